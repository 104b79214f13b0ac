#pragma once
// Every colour of the program in one place. Colours are kept as 0x00BBGGRR numbers (red in the low byte),
// so tests can read the exact value. The desktop's own colours of the controls are the widgets' (see
// widgets/SystemColours.h).

#include <QColor>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace aurivo {

namespace colors {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;
constexpr uint32_t kLightGrey = 0x00E0E0E0;
constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kBlue = 0x00FF0000;
constexpr uint32_t kCyan = 0x00FFFF00;
constexpr uint32_t kYellow = 0x0000FFFF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kOrange = 0x000080FF;
constexpr uint32_t kMarkerOrange = 0x0000A5FF;
constexpr uint32_t kLightGreen = 0x0080FF80;
constexpr uint32_t kLightRed = 0x008080FF;
constexpr uint32_t kPaleRed = 0x00C0C0FF;
constexpr uint32_t kPaleOrange = 0x00C0E0FF;
constexpr uint32_t kPaleYellow = 0x00C0FFFF;
constexpr uint32_t kPaleGreen = 0x00C0FFC0;
constexpr uint32_t kPaleCyan = 0x00FFFFC0;
constexpr uint32_t kPaleBlue = 0x00FFC0C0;
constexpr uint32_t kPaleMagenta = 0x00FFC0FF;

// The caption of an option button that cannot be chosen: dark enough to keep 4.5:1 on the pale red and
// pale yellow of unusable ports, and greyer than the black of usable ones.
constexpr uint32_t kDisabledCaption = 0x00404040;
// The keyboard focus ring: dark blue, at least 3:1 against every light panel colour it is drawn on.
constexpr uint32_t kFocusRing = 0x00A03000;

// 0x00BBGGRR to QColor.
inline QColor toQColor(uint32_t value) {
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
