#pragma once
// What the monitor asks of the window system: the screen size, the main window's outer geometry and
// state (all in twips), moving and sizing the window, and letting pending window events run (the
// pauses and waits of the program yield through ProcessEvents). Tests pass a fake.

#include "ui/ControlModels.h"

class WindowHost {
public:
    enum class WindowState { Normal, Minimized, Maximized };

    virtual ~WindowHost() = default;
    virtual double ScreenWidthTwips() const = 0;
    virtual double ScreenHeightTwips() const = 0;
    virtual TwipsRect WindowGeometry() const = 0; // outer frame: left, top, width, height
    virtual WindowState State() const = 0;
    virtual void SetWindowWidth(double twips) = 0;
    virtual void SetWindowHeight(double twips) = 0;
    virtual void SetWindowLeft(double twips) = 0;
    virtual void SetWindowTop(double twips) = 0;
    // Lets pending window events run once (timer ticks included).
    virtual void ProcessEvents() = 0;
    // Twips per pixel of the window's screen (1440 / logical DPI; 15 at 96 DPI).
    virtual double TwipsPerPixel() const { return 15.0; }
};
