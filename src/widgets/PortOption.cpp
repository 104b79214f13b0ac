#include "widgets/PortOption.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace aurivo {

PortOption::PortOption(const QString& caption, QWidget* parent) : QRadioButton(caption, parent) {
    // The chooser's record alone sets the check marks; one option never unchecks another by itself.
    setAutoExclusive(false);
}

void PortOption::choose() {
    if (isEnabled() && isVisible()) emit chosen();
}

// Any mouse button chooses on its press; the button's own click handling (which would flip the check
// mark) is not used.
void PortOption::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) setFocus(Qt::MouseFocusReason);
    choose();
}

void PortOption::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void PortOption::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void PortOption::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Select:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->isAutoRepeat()) return;
        choose();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        emit arrowPressed(event->key());
        return;
    default:
        event->ignore(); // Escape belongs to the chooser frame
    }
}

void PortOption::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter)
        event->accept();
    else
        event->ignore();
}

} // namespace aurivo
