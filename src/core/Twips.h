#pragma once
// Lengths of the screen, the window and its controls are twips (1/1440 inch) in the program's state and
// its settings file; they become pixels only at the widget boundary, with twips per pixel = 1440 divided
// by the logical DPI of the window's screen (15 at 96 DPI). These are the only conversions.

#include <QRect>
#include <algorithm>
#include <cmath>

struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Twips per pixel on a screen of the given logical DPI; 15 when the DPI is unknown.
inline double twipsPerPixelAt(double logicalDpi) {
    return logicalDpi > 0 ? 1440.0 / logicalDpi : 15.0;
}

// Nearest whole pixel of a length in twips.
inline int toPixels(double twips, double perPixel) {
    return int(std::lround(twips / perPixel));
}

// A rectangle in pixels; a negative size becomes empty.
inline QRect toPixelRect(const TwipsRect& r, double perPixel) {
    return QRect(toPixels(r.left, perPixel), toPixels(r.top, perPixel),
                 std::max(0, toPixels(r.width, perPixel)), std::max(0, toPixels(r.height, perPixel)));
}

// A rectangle in pixels as twips.
inline TwipsRect toTwipsRect(const QRect& r, double perPixel) {
    return TwipsRect{r.x() * perPixel, r.y() * perPixel, r.width() * perPixel, r.height() * perPixel};
}
