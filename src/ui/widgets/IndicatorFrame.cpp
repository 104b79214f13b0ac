#include "ui/widgets/IndicatorFrame.h"

#include <QAccessible>

namespace aurivo {

void IndicatorFrame::setLevel(const QString& words, int lit) {
    const bool valueChanged = lit != lit_;
    lit_ = lit;
    if (accessibleName() != words) setAccessibleName(words);
    if (valueChanged) {
        QAccessibleValueChangeEvent event(this, lit);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace aurivo
