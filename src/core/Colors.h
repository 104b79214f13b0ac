#pragma once
// Colours are kept as 0x00BBGGRR numbers (red in the low byte) in the program's state, so tests can read
// the exact value; system colours 0x800000nn stand for palette roles. This turns either into a QColor.

#include <QColor>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace aurivo {

namespace colors {

constexpr uint32_t kWindowBackground = 0x80000005;    // system colour 5
constexpr uint32_t kButtonFace = 0x8000000F;          // system colour 15
constexpr uint32_t kInactiveCaptionText = 0x80000013; // system colour 19

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;
constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kLightGreen = 0x0080FF80;
constexpr uint32_t kLightRed = 0x008080FF;
constexpr uint32_t kMagenta = 0x00FF00FF;

// The caption of an option button that cannot be chosen: dark enough to keep 4.5:1 on the pale red and
// pale yellow of unusable ports, and greyer than the black of usable ones.
constexpr uint32_t kDisabledCaption = 0x00404040;
// The keyboard focus ring: dark blue, at least 3:1 against every light panel colour it is drawn on.
constexpr uint32_t kFocusRing = 0x00A03000;

inline bool isSystemColour(uint32_t value) {
    return (value & 0x80000000u) != 0;
}

// 0x00BBGGRR to QColor; system colours map to palette roles (5 -> Base, 15 -> Button,
// 19 -> the greyed text colour of disabled widgets; any other index -> Window). Colour 19 greys the
// port label during a session; the palette's inactive text colour is as dark as the label's own text,
// which would hide the port number.
inline QColor toQColor(uint32_t value, const QPalette& palette = QPalette()) {
    if (isSystemColour(value)) {
        switch (value & 0xFF) {
        case 5:
            return palette.color(QPalette::Base);
        case 15:
            return palette.color(QPalette::Button);
        case 19:
            return palette.color(QPalette::Disabled, QPalette::WindowText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// QRgb of a plain (non-system) colour, for pixel checks on the graph picture.
inline QRgb toRgb(uint32_t value) {
    return qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// Relative luminance of a colour (0 black .. 1 white), by the sRGB formula of the contrast guidelines.
inline double luminance(const QColor& c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// Contrast ratio of two colours, 1 (none) to 21 (black on white).
inline double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace colors

} // namespace aurivo
