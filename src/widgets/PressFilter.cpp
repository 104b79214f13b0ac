#include "widgets/PressFilter.h"

#include <QEvent>

namespace aurivo {

PressFilter::PressFilter(QObject* parent, std::function<void()> onPress)
    : QObject(parent), onPress_(std::move(onPress)) {}

bool PressFilter::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) onPress_();
    return false;
}

} // namespace aurivo
