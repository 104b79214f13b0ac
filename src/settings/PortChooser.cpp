#include "settings/PortChooser.h"

#include "core/TickCountdown.h"
#include "core/WindowHost.h"
#include "device/SerialComm.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace aurivo {

namespace {
const QString kLineSettings = QStringLiteral("19200,N,8,1");
const QString kNoSuchPortText = QStringLiteral("no such port");
const QString kHeldPortText = QStringLiteral("in use by another program");
} // namespace

PortChooser::PortChooser(SerialComm& comm, WindowHost& host, TickCountdown& countdown,
                         DeviceNameLookup deviceName)
    : comm_(comm), host_(host), countdown_(countdown), deviceName_(std::move(deviceName)) {
    for (int i = 0; i < 16; ++i)
        options_[i].caption = QStringLiteral("COM%1").arg(i + 1);
}

bool PortChooser::pause(int64_t ms) {
    closingRequested_ = false;
    return !host_.waitUntil([this] { return closingRequested_ || cancelRequested_; }, ms);
}

void PortChooser::setCommPortNumber(int port) {
    commPortNumber_ = port;
    changed.notify();
}

void PortChooser::scanPorts() {
    // A new scan always starts from a closed chooser.
    if (frameShown_) closeChooser();
    cancelRequested_ = false;
    scanActive_ = true;

    examining_ = true;
    for (PortOptionState& opt : options_) {
        opt.enabled = false;
        opt.visible = false;
    }
    frameShown_ = true;
    changed.notify();

    // Gives the frame time to show before the probing, which does not yield. "Okay" or closing the
    // window in this second abandons the scan, leaving the scan marked active as it stands.
    if (!pause(kScanPauseMs)) return;

    probing_ = true;
    changed.notify();
    for (int port = 1; port <= 16; ++port)
        probePort(port);
    probing_ = false;

    examining_ = false;
    scanActive_ = false;
    changed.notify();
}

void PortChooser::probePort(int port) {
    PortOptionState& opt = options_[port - 1];
    opt.visible = true;
    comm_.setCommPort(port);
    comm_.setSettings(kLineSettings);
    const int error = comm_.setPortOpen(true);
    const QString device = deviceName_ ? deviceName_(port) : QString();
    devices_[size_t(port - 1)] = device;

    if (error == SerialComm::kPortInUse) {
        opt.state = PortState::Held;
        const QString reason = comm_.lastErrorText();
        opt.toolTip = reason.isEmpty() ? kHeldPortText : reason;
    } else if (error == SerialComm::kNoSuchPort) {
        opt.state = PortState::Missing;
        opt.toolTip = kNoSuchPortText;
    } else {
        // Any other failure still offers the port: only "missing" and "held" rule it out.
        opt.state = PortState::Usable;
        opt.chosen = (port == commPortNumber_);
        opt.enabled = true;
        opt.toolTip = device;
        comm_.setPortOpen(false);
    }
}

QString PortChooser::unusableReason(int index) const {
    if (index < 0 || index >= int(options_.size())) return QString();
    const PortOptionState& opt = options_[size_t(index)];
    if (scanActive_ || !opt.visible || opt.enabled) return QString();
    return opt.toolTip;
}

QString PortChooser::portLine(int index) const {
    if (index < 0 || index >= int(options_.size())) return QString();
    QString line = options_[size_t(index)].caption;
    const QString& device = devices_[size_t(index)];
    if (!device.isEmpty()) line += QStringLiteral(" - ") + device;
    const QString reason = unusableReason(index);
    if (!reason.isEmpty()) line += QStringLiteral(": ") + reason;
    return line;
}

QString PortChooser::statusText() const {
    // Port numbers by reason, reasons in the order of their first port.
    std::vector<std::pair<QString, std::vector<int>>> groups;
    for (int i = 0; i < int(options_.size()); ++i) {
        const QString reason = unusableReason(i);
        if (reason.isEmpty()) continue;
        auto group =
            std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == reason; });
        if (group == groups.end()) group = groups.insert(groups.end(), {reason, {}});
        group->second.push_back(i + 1);
    }
    QStringList lines;
    for (const auto& [reason, ports] : groups) {
        // Runs of three or more neighbouring ports are written as a range.
        QStringList names;
        for (size_t k = 0; k < ports.size();) {
            size_t end = k;
            while (end + 1 < ports.size() && ports[end + 1] == ports[end] + 1)
                ++end;
            if (end - k >= 2) {
                names.append(QStringLiteral("COM%1-COM%2").arg(ports[k]).arg(ports[end]));
            } else {
                for (size_t j = k; j <= end; ++j)
                    names.append(QStringLiteral("COM%1").arg(ports[j]));
            }
            k = end + 1;
        }
        lines.append(names.join(QStringLiteral(", ")) + QStringLiteral(": ") + reason);
    }
    return lines.join(QLatin1Char('\n'));
}

void PortChooser::closeChooser() {
    cancelRequested_ = true; // ends a pause of the scan or of a choice still running
    frameShown_ = false;
    changed.notify();
    comm_.setPortOpen(false); // closing a closed port is harmless; errors are ignored
    host_.processEvents();
}

void PortChooser::choosePort(int index) {
    if (scanActive_) return;
    if (index < 0 || index >= int(options_.size())) return;
    commPortNumber_ = index + 1;
    // The mark moves to the chosen button at once and stays there, seen, for a moment before the
    // chooser closes.
    for (size_t i = 0; i < options_.size(); ++i)
        if (options_[i].enabled) options_[i].chosen = int(i) == index;
    changed.notify();
    pause(kChoicePauseMs);
    frameShown_ = false;
    changed.notify();
}

void PortChooser::scanFromPortLabel() {
    scanNoticeShown_ = true; // "Examiming Ports"; the next arrangement hides it again
    changed.notify();
    // Two timer ticks let the notice show before the scan's own pause.
    countdown_.start(2);
    host_.waitUntil([this] { return countdown_.expired(); }, kTickWaitLimitMs);
    scanPorts();
}

void PortChooser::hideScanNotice() {
    if (!scanNoticeShown_) return;
    scanNoticeShown_ = false;
    changed.notify();
}

void PortChooser::requestCancel() {
    cancelRequested_ = true;
}

void PortChooser::requestClose() {
    closingRequested_ = true;
}

} // namespace aurivo
