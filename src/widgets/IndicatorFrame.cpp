#include "widgets/IndicatorFrame.h"

namespace aurivo {

void IndicatorFrame::setLevel(const QString& name, const QString& count) {
    // Each change tells assistive technology itself.
    if (accessibleName() != name) setAccessibleName(name);
    if (accessibleDescription() != count) setAccessibleDescription(count);
}

} // namespace aurivo
