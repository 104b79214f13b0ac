#pragma once
// What a label of the main window shows; where it sits and its font are the layout's.

#include "widgets/SystemColours.h"

#include <QString>
#include <cstdint>

namespace aurivo {

struct LabelModel {
    QString caption;
    uint32_t backColor = colors::kButtonFace; // unless the design says otherwise
    uint32_t foreColor = colors::kBlack;
    QString toolTip;
    bool visible = true;
};

} // namespace aurivo
