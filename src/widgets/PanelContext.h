#pragma once
// What every panel and entry frame of the main window works with: the monitor whose parts it shows, the
// steady clock, the window's size in twips, the queue that shows the parts' changes, the teller of live
// values, the keeper of the keyboard focus, and the window's way of running a user action (which shows what
// the action changed afterwards).

#include <functional>

namespace aurivo {

class ChangeQueue;
class Clock;
class LiveAnnouncer;
class Monitor;
class WindowFocus;
class WindowHost;

struct PanelContext {
    Monitor& monitor;
    const Clock& clock;
    const WindowHost& host;
    ChangeQueue& changes;
    LiveAnnouncer& live;
    WindowFocus& focus;
    std::function<void(const std::function<void()>&)> act;
};

} // namespace aurivo
