#include "settings/PortChooser.h"

#include "core/Clock.h"
#include "core/Colors.h"
#include "core/MonitorState.h"
#include "core/WindowHost.h"
#include "device/SerialComm.h"

namespace aurivo {

namespace {
const QString kLineSettings = QStringLiteral("19200,N,8,1");
const QString kNoSuchPortText = QStringLiteral("no such port");
const QString kHeldPortText = QStringLiteral("in use by another program");
} // namespace

PortChooser::PortChooser(MonitorState& state, SerialComm& comm, Clock& clock, WindowHost& host,
                         DeviceNameLookup deviceName)
    : state_(state), comm_(comm), clock_(clock), host_(host), deviceName_(std::move(deviceName)) {}

bool PortChooser::pause(int64_t ms) {
    const int64_t start = clock_.steadyMilliseconds();
    state_.closingRequested = false;
    while (clock_.steadyMilliseconds() - start < ms) {
        host_.processEvents();
        if (state_.closingRequested || state_.cancelRequested) return false;
    }
    return true;
}

void PortChooser::scanPorts() {
    // A new scan always starts from a closed chooser.
    if (state_.fraSelctPort.visible) closeChooser();
    state_.cancelRequested = false;
    state_.portScanActive = true;

    state_.fraSelctPort.caption = QStringLiteral("Examining Ports");
    state_.fraSelctPort.captionColor = colors::kRed;
    for (OptionButtonModel& opt : state_.optPortNum) {
        opt.enabled = false;
        opt.visible = false;
    }
    state_.fraSelctPort.rect.top = 0;
    state_.fraSelctPort.rect.left = 480;
    state_.fraSelctPort.visible = true;

    // Gives the frame time to show before the probing, which does not yield. "Okay" or closing the
    // window in this second abandons the scan, leaving portScanActive set as it stands.
    if (!pause(kScanPauseMs)) return;

    state_.mnuSetComPort.enabled = false;
    for (int port = 1; port <= 16; ++port)
        probePort(port);
    state_.mnuSetComPort.enabled = true;

    state_.fraSelctPort.caption = QStringLiteral("Available Ports");
    state_.fraSelctPort.captionColor = colors::kBlack;
    state_.portScanActive = false;
}

void PortChooser::probePort(int port) {
    OptionButtonModel& opt = state_.optPortNum[port - 1];
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
        opt.value = (port == state_.commPortNumber);
        opt.enabled = true;
        opt.toolTip = device;
        comm_.setPortOpen(false);
    }
}

void PortChooser::closeChooser() {
    state_.cancelRequested = true; // ends a pause of the scan or of a choice still running
    state_.fraSelctPort.visible = false;
    comm_.setPortOpen(false); // closing a closed port is harmless; errors are ignored
    host_.processEvents();
}

void PortChooser::choosePort(int index) {
    if (state_.portScanActive) return;
    if (index < 0 || index >= int(state_.optPortNum.size())) return;
    state_.commPortNumber = index + 1;
    state_.lblParams[5].caption = QString::number(state_.commPortNumber);
    // Leaves the chosen button visibly selected for a moment before the chooser closes.
    pause(kChoicePauseMs);
    state_.fraSelctPort.visible = false;
}

void PortChooser::scanFromPortLabel() {
    if (state_.sessionRunning()) return;

    state_.lblParams[6].visible = true; // "Examiming Ports"; start-up hides it again
    // Two timer ticks let the label show before the scan's own pause.
    state_.tickCountdown = 2;
    const int64_t start = clock_.steadyMilliseconds();
    while (state_.tickCountdown > 0 && clock_.steadyMilliseconds() - start < kTickWaitLimitMs)
        host_.processEvents();
    scanPorts();
}

} // namespace aurivo
