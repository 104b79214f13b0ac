#pragma once
// The port chooser: probes serial ports 1..16, shows each as an option button coloured by what the
// probe found (usable, held by another program, missing), and records the port the user presses.
// Its pauses yield to window events and end on the steady clock or when cancelRequested or
// closingRequested is raised by a handler that ran meanwhile.

#include <QString>
#include <cstdint>
#include <functional>

namespace aurivo {

struct MonitorState;
class SerialComm;
class Clock;
class WindowHost;

class PortChooser {
  public:
    // Device a port number stands for (e.g. "/dev/ttyUSB0"), empty when none; used for tooltips only.
    using DeviceNameLookup = std::function<QString(int port)>;

    static constexpr uint32_t kPortHeldColour = 0x00C0FFFF;    // pale yellow
    static constexpr uint32_t kPortMissingColour = 0x00C0C0FF; // pale red
    static constexpr int64_t kScanPauseMs = 1000;
    static constexpr int64_t kChoicePauseMs = 250;
    // Longest wait for the two timer ticks before a scan from the port label; the timer ticks every
    // 200 ms, so this only matters when the timer has stopped.
    static constexpr int64_t kTickWaitLimitMs = 2000;

    PortChooser(MonitorState& state, SerialComm& comm, Clock& clock, WindowHost& host,
                DeviceNameLookup deviceName = {});

    void scanPorts();           // the scan
    void closeChooser();        // "Okay": close the chooser
    void choosePort(int index); // press on option button index (0..15)
    // A click on the port number LblParams(5): outside a session, shows the scan notice, waits two
    // ticks so it can be seen, then scans.
    void scanFromPortLabel();

  private:
    // Waits up to ms on the steady clock, yielding once per round; false when cancelRequested or
    // closingRequested ended it early.
    bool pause(int64_t ms);
    void probePort(int port);

    MonitorState& state_;
    SerialComm& comm_;
    Clock& clock_;
    WindowHost& host_;
    DeviceNameLookup deviceName_;
};

} // namespace aurivo
