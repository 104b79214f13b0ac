#pragma once
// Small records of what the controls of the main window show (menu items, the slider, frames and
// geometry in twips). Each part keeps the records of its own controls and exposes them read-only; the
// widgets show them, so every routine can be tested headless.

#include "core/Twips.h"

#include <QString>
#include <cstdint>

namespace aurivo {

struct FontSpec {
    QString name;
    double size = 0;
    bool bold = true;
    bool operator==(const FontSpec&) const = default;
};

// Where a control sits (twips, inside its frame) and its font.
struct ControlGeometry {
    TwipsRect rect;
    FontSpec font;
};

struct MenuItemModel {
    QString caption;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    bool operator==(const MenuItemModel&) const = default;
};

// A panel frame: shown or not, and where.
struct FrameModel {
    bool visible = false;
    TwipsRect rect;
};

struct SliderModel {
    int min = 20;
    int max = 1000;
    int value = 20;
    int smallChange = 1;
    int largeChange = 10;
};

} // namespace aurivo
