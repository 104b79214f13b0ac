#pragma once
// What the monitor asks of the window system: the screen size, the main window's outer geometry and
// state (all in twips), moving and sizing the window, letting pending window events run once, and
// waiting while they run. Tests pass a fake.

#include "core/Twips.h"

#include <cstdint>
#include <functional>

namespace aurivo {

// How the main window is shown.
enum class WindowState { Normal, Minimized, Maximized };

class WindowHost {
  public:
    virtual ~WindowHost() = default;
    virtual double screenWidthTwips() const = 0;
    virtual double screenHeightTwips() const = 0;
    virtual TwipsRect windowGeometry() const = 0; // outer frame: left, top, width, height
    virtual WindowState showState() const = 0;
    virtual void setWindowWidth(double twips) = 0;
    virtual void setWindowHeight(double twips) = 0;
    virtual void setWindowLeft(double twips) = 0;
    virtual void setWindowTop(double twips) = 0;
    // Lets pending window events run once (timer ticks included).
    virtual void processEvents() = 0;
    // Lets window events run until `done` holds (true) or `limitMs` milliseconds have passed on the
    // steady clock (false); `done` is first checked after one round of events.
    virtual bool waitUntil(const std::function<bool()>& done, int64_t limitMs) = 0;
    // Twips per pixel of the window's screen (1440 / logical DPI; 15 at 96 DPI).
    virtual double twipsPerPixel() const { return 15.0; }
};

} // namespace aurivo
