#pragma once
// The desktop's own colours for the controls. A control's colour is either a plain 0x00BBGGRR colour or a
// system colour 0x800000nn, which stands for a role of the palette: the window's background, the button
// face, the greyed text. Only the widgets know them; the parts model plain colours or states.

#include "core/Colors.h"

#include <QPalette>

namespace aurivo {

namespace colors {

constexpr uint32_t kWindowBackground = 0x80000005;    // system colour 5
constexpr uint32_t kButtonFace = 0x8000000F;          // system colour 15
constexpr uint32_t kInactiveCaptionText = 0x80000013; // system colour 19

inline bool isSystemColour(uint32_t value) {
    return (value & 0x80000000u) != 0;
}

// A plain or system colour to QColor; system colours map to palette roles (5 -> Base, 15 -> Button,
// 19 -> the greyed text colour of disabled widgets; any other index -> Window). Colour 19 greys the
// port label during a session; the palette's inactive text colour is as dark as the label's own text,
// which would hide the port number.
inline QColor toQColor(uint32_t value, const QPalette& palette) {
    if (!isSystemColour(value)) return toQColor(value);
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

} // namespace colors

} // namespace aurivo
