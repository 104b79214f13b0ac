#include "settings/PortChooser.h"

#include "app/Clock.h"
#include "app/Colors.h"
#include "app/MonitorState.h"
#include "app/WindowHost.h"
#include "device/SerialComm.h"

namespace {
const QString kLineSettings = QStringLiteral("19200,N,8,1");
const QString kNoSuchPortText = QStringLiteral("no such port");
const QString kHeldPortText = QStringLiteral("in use by another program");
} // namespace

PortChooser::PortChooser(MonitorState& state, SerialComm& comm, Clock& clock, WindowHost& host,
                         DeviceNameLookup deviceName)
    : state_(state), comm_(comm), clock_(clock), host_(host), deviceName_(std::move(deviceName)) {}

bool PortChooser::Pause(int64_t ms) {
    const int64_t start = clock_.SteadyMilliseconds();
    state_.ClosingRequested = false;
    while (clock_.SteadyMilliseconds() - start < ms) {
        host_.ProcessEvents();
        if (state_.ClosingRequested || state_.CancelRequested) return false;
    }
    return true;
}

void PortChooser::mnuSetComPort_Click() {
    // A new scan always starts from a closed chooser.
    if (state_.fraSelctPort.visible) Command2_Click();
    state_.CancelRequested = false;
    state_.PortScanActive = true;

    state_.fraSelctPort.caption = QStringLiteral("Examining Ports");
    state_.fraSelctPort.captionColor = Colors::kRed;
    for (OptionButtonModel& opt : state_.optPortNum) {
        opt.enabled = false;
        opt.visible = false;
    }
    state_.fraSelctPort.rect.top = 0;
    state_.fraSelctPort.rect.left = 480;
    state_.fraSelctPort.visible = true;

    // Gives the frame time to show before the probing, which does not yield. "Okay" or closing the
    // window in this second abandons the scan, leaving PortScanActive set as it stands.
    if (!Pause(kScanPauseMs)) return;

    state_.mnuSetComPort.enabled = false;
    for (int port = 1; port <= 16; ++port) ProbePort(port);
    state_.mnuSetComPort.enabled = true;

    state_.fraSelctPort.caption = QStringLiteral("Available Ports");
    state_.fraSelctPort.captionColor = Colors::kBlack;
    state_.PortScanActive = false;
}

void PortChooser::ProbePort(int port) {
    OptionButtonModel& opt = state_.optPortNum[port - 1];
    opt.visible = true;
    comm_.SetCommPort(port);
    comm_.SetSettings(kLineSettings);
    const int error = comm_.SetPortOpen(true);
    const QString device = deviceName_ ? deviceName_(port) : QString();

    if (error == SerialComm::kPortInUse) {
        opt.backColor = kPortHeldColour;
        const QString reason = comm_.LastErrorText();
        opt.toolTip = reason.isEmpty() ? kHeldPortText : reason;
    } else if (error == SerialComm::kNoSuchPort) {
        opt.backColor = kPortMissingColour;
        opt.toolTip = kNoSuchPortText;
    } else {
        // Any other failure still offers the port: only "missing" and "held" rule it out.
        opt.backColor = Colors::kWindowBackground;
        opt.value = (port == state_.CommPortNumber);
        opt.enabled = true;
        opt.toolTip = device;
        comm_.SetPortOpen(false);
    }
}

void PortChooser::Command2_Click() {
    state_.CancelRequested = true; // ends a pause of the scan or of a choice still running
    state_.fraSelctPort.visible = false;
    comm_.SetPortOpen(false); // closing a closed port is harmless; errors are ignored
    host_.ProcessEvents();
}

void PortChooser::optPortNum_MouseDown(int index) {
    if (state_.PortScanActive) return;
    if (index < 0 || index >= int(state_.optPortNum.size())) return;
    state_.CommPortNumber = index + 1;
    state_.LblParams[5].caption = QString::number(state_.CommPortNumber);
    // Leaves the chosen button visibly selected for a moment before the chooser closes.
    Pause(kChoicePauseMs);
    state_.fraSelctPort.visible = false;
}

void PortChooser::LblParams_Click(int index) {
    state_.fraSetStuff.visible = false; // every click on the parameters panel hides the entry box
    if (index == 3) {
        if (openSensitivityBox_) openSensitivityBox_();
        return;
    }
    if (index != 5) return;
    if (state_.SessionRunning()) return;

    state_.LblParams[6].visible = true; // "Examiming Ports"; start-up hides it again
    // Two timer ticks let the label show before the scan's own pause.
    state_.TickCountdown = 2;
    const int64_t start = clock_.SteadyMilliseconds();
    while (state_.TickCountdown > 0 && clock_.SteadyMilliseconds() - start < kTickWaitLimitMs)
        host_.ProcessEvents();
    mnuSetComPort_Click();
}
