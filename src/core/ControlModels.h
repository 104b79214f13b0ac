#pragma once
// What the window shows, kept without widgets: each control of the main window is a small record of the
// properties the program reads and writes (caption, colours, tooltip, visibility, geometry in twips).
// The routines of the monitor work on these records; the widgets only mirror them, so every routine can
// be tested headless and a caption can serve as state exactly as the program expects.

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

struct LabelModel {
    QString caption;
    uint32_t backColor = 0x8000000F; // button face unless the design says otherwise
    uint32_t foreColor = 0x00000000;
    QString toolTip;
    bool visible = true;
    TwipsRect rect;
    FontSpec font;
};

struct MenuItemModel {
    QString caption;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
};

struct FrameModel {
    QString caption;
    uint32_t captionColor = 0x00000000;
    bool visible = false;
    TwipsRect rect;
};

struct TextBoxModel {
    QString text;
    bool locked = false;
    bool visible = true;
    TwipsRect rect;
    FontSpec font;
};

struct OptionButtonModel {
    QString caption;
    bool visible = true;
    bool enabled = true;
    bool value = false;
    uint32_t backColor = 0x80000005;
    QString toolTip;
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
