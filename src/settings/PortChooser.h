#pragma once
// The port chooser: the port number (shown in LblParams(5)), the frame fraSelctPort that probes serial
// ports 1..16 and marks each option button with what the probe found (usable, held by another
// program, missing), and the scan notice LblParams(6). Its pauses let window events run and end
// on the steady clock, or early when a handler that ran meanwhile asked to cancel or the window closes.

#include "core/ChangeSignal.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace aurivo {

class SerialComm;
class TickCountdown;
class WindowHost;

// Whether a probed port can be chosen: it opened (or failed in a way that still offers it), another
// program holds it, or there is no such port.
enum class PortState { Usable, Held, Missing };

// One of the chooser's sixteen option buttons.
struct PortOptionState {
    QString caption;
    bool visible = true;
    bool enabled = true;
    bool chosen = false;
    PortState state = PortState::Usable;
    QString toolTip;
};

class PortChooser {
  public:
    // The device a port number stands for, in words ("/dev/ttyUSB0, FTDI FT232R USB UART"), empty when
    // none; for the tooltips and the status line only.
    using DeviceNameLookup = std::function<QString(int port)>;

    static constexpr int64_t kScanPauseMs = 1000;
    static constexpr int64_t kChoicePauseMs = 250;
    // Longest wait for the two timer ticks before a scan from the port label; the timer ticks every
    // 200 ms, so this only matters when the timer has stopped.
    static constexpr int64_t kTickWaitLimitMs = 2000;

    PortChooser(SerialComm& comm, WindowHost& host, TickCountdown& countdown,
                DeviceNameLookup deviceName = {});

    // The port number 1..16.
    int commPortNumber() const { return commPortNumber_; }
    // The chooser frame and its sixteen option buttons optPortNum(0..15).
    bool frameShown() const { return frameShown_; }
    QString frameCaption() const {
        return examining_ ? QStringLiteral("Examining Ports") : QStringLiteral("Available Ports");
    }
    // The frame's caption warns (in red) while the ports are being examined.
    bool examining() const { return examining_; }
    const std::array<PortOptionState, 16>& options() const { return options_; }
    // Why option button index cannot be chosen ("no such port", "in use by another program",
    // "permission denied: ..."), so that it reaches people who cannot see the button's colour or its
    // tooltip; empty for a port that can be chosen or was not probed.
    QString unusableReason(int index) const;
    // One port in words for the status line: "COM3 - /dev/ttyUSB0, FTDI FT232R USB UART", with the reason
    // after a colon for a port that cannot be used ("COM4 - /dev/ttyS0: permission denied: ...").
    QString portLine(int index) const;
    // The chooser's status text: the unusable ports with their reasons, the ports of one reason together,
    // one reason a line ("COM2: in use by another program", "COM3-COM16: no such port"); empty while
    // the scan runs or when every probed port can be chosen.
    QString statusText() const;
    // A scan runs (option-button presses are ignored); the ports are being probed right now.
    bool scanActive() const { return scanActive_; }
    bool probing() const { return probing_; }
    // The scan notice "Examiming Ports" over the port number.
    bool scanNoticeShown() const { return scanNoticeShown_; }
    // Flags that end the pauses: a cancel (File > Cancel, Okay, the file manager) and the window closing.
    bool cancelRequested() const { return cancelRequested_; }
    bool closingRequested() const { return closingRequested_; }

    void setCommPortNumber(int port); // from the settings file
    void scanPorts();                 // the scan
    void closeChooser();              // "Okay": close the chooser
    void choosePort(int index);       // press on option button index (0..15)
    // A click on the port number outside a session: shows the scan notice, waits two ticks so it can be
    // seen, then scans.
    void scanFromPortLabel();
    void hideScanNotice();
    void requestCancel();
    void requestClose();

    ChangeSignal changed;

  private:
    // Waits up to ms, letting window events run; false when a cancel or the closing ended it early.
    bool pause(int64_t ms);
    void probePort(int port);

    SerialComm& comm_;
    WindowHost& host_;
    TickCountdown& countdown_;
    DeviceNameLookup deviceName_;

    int commPortNumber_ = 2;
    bool frameShown_ = false;
    bool examining_ = false;
    std::array<PortOptionState, 16> options_;
    std::array<QString, 16> devices_; // what the lookup named at the last probe
    bool scanActive_ = false;
    bool probing_ = false;
    bool scanNoticeShown_ = true;
    bool cancelRequested_ = false;
    bool closingRequested_ = false;
};

} // namespace aurivo
