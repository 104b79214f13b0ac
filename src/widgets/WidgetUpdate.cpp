#include "widgets/WidgetUpdate.h"

#include "widgets/ModelLabel.h"

namespace aurivo {

void WidgetUpdate::geometry(QWidget* w, const QRect& r) {
    if (w->geometry() != r) w->setGeometry(r);
}

void WidgetUpdate::visible(QWidget* w, bool visible) {
    if (w->isVisibleTo(w->parentWidget()) != visible) w->setVisible(visible);
}

void WidgetUpdate::font(QWidget* w, const FontSpec& wanted) {
    if (wanted.name.isEmpty() || wanted.size <= 0) return;
    QFont f = w->font();
    if (f.family() == wanted.name && f.pointSizeF() == wanted.size && f.bold() == wanted.bold) return;
    f.setFamily(wanted.name);
    f.setPointSizeF(wanted.size);
    f.setBold(wanted.bold);
    w->setFont(f);
}

void WidgetUpdate::accessibleName(QWidget* w, const QString& name) {
    if (w->accessibleName() != name) w->setAccessibleName(name);
}

void WidgetUpdate::label(ModelLabel* w, const LabelModel& l) {
    if (w->text() != l.caption) w->setText(l.caption);
    w->setBackColor(l.backColor);
    w->setForeColor(l.foreColor);
    if (w->toolTip() != l.toolTip) w->setToolTip(l.toolTip);
    visible(w, l.visible);
}

LabelModel WidgetUpdate::captioned(const QString& caption, uint32_t backColor) {
    LabelModel l;
    l.caption = caption;
    l.backColor = backColor;
    return l;
}

} // namespace aurivo
