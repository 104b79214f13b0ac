#pragma once
// Puts a part's state on a widget, touching the widget only where it differs from what it shows, so
// that an update repaints nothing and tells assistive technology nothing when nothing changed.

#include "core/ControlModels.h"
#include "widgets/LabelModel.h"
#include "widgets/SystemColours.h"

#include <QRect>
#include <QString>

class QWidget;

namespace aurivo {

class ModelLabel;

class WidgetUpdate {
  public:
    static void geometry(QWidget* w, const QRect& r);
    static void visible(QWidget* w, bool visible);
    // A font without a name or size keeps the design font.
    static void font(QWidget* w, const FontSpec& wanted);
    static void accessibleName(QWidget* w, const QString& name);
    static void label(ModelLabel* w, const LabelModel& l);
    // A label's record with only a caption, on the button face unless told otherwise.
    static LabelModel captioned(const QString& caption, uint32_t backColor = colors::kButtonFace);
};

} // namespace aurivo
