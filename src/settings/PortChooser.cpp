#include "settings/PortChooser.h"

#include "core/Colors.h"
#include "core/TickCountdown.h"
#include "core/WindowHost.h"
#include "device/SerialComm.h"

namespace aurivo {

namespace {
const QString kLineSettings = QStringLiteral("19200,N,8,1");
const QString kNoSuchPortText = QStringLiteral("no such port");
const QString kHeldPortText = QStringLiteral("in use by another program");
} // namespace

PortChooser::PortChooser(SerialComm& comm, WindowHost& host, TickCountdown& countdown,
                         DeviceNameLookup deviceName)
    : comm_(comm), host_(host), countdown_(countdown), deviceName_(std::move(deviceName)) {
    const double columns[4] = {180, 1200, 2220, 3240};
    const double rows[4] = {270, 600, 930, 1260};
    for (int i = 0; i < 16; ++i) {
        options_[i].caption = QStringLiteral("COM%1").arg(i + 1);
        options_[i].rect = TwipsRect{columns[i / 4], rows[i % 4], 900, 195};
    }
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

    frameCaption_ = QStringLiteral("Examining Ports");
    frameCaptionColour_ = colors::kRed;
    for (OptionButtonModel& opt : options_) {
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

    frameCaption_ = QStringLiteral("Available Ports");
    frameCaptionColour_ = colors::kBlack;
    scanActive_ = false;
    changed.notify();
}

void PortChooser::probePort(int port) {
    OptionButtonModel& opt = options_[port - 1];
    opt.visible = true;
    comm_.setCommPort(port);
    comm_.setSettings(kLineSettings);
    const int error = comm_.setPortOpen(true);
    const QString device = deviceName_ ? deviceName_(port) : QString();

    if (error == SerialComm::kPortInUse) {
        opt.backColor = kPortHeldColour;
        const QString reason = comm_.lastErrorText();
        opt.toolTip = reason.isEmpty() ? kHeldPortText : reason;
    } else if (error == SerialComm::kNoSuchPort) {
        opt.backColor = kPortMissingColour;
        opt.toolTip = kNoSuchPortText;
    } else {
        // Any other failure still offers the port: only "missing" and "held" rule it out.
        opt.backColor = colors::kWindowBackground;
        opt.value = (port == commPortNumber_);
        opt.enabled = true;
        opt.toolTip = device;
        comm_.setPortOpen(false);
    }
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
    changed.notify();
    // Leaves the chosen button visibly selected for a moment before the chooser closes.
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
