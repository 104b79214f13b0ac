#include "widgets/ModelLabel.h"

#include "widgets/SystemColours.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace aurivo {

ModelLabel::ModelLabel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ModelLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
    if (accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void ModelLabel::setBackColor(uint32_t colour) {
    if (colour == back_) return;
    back_ = colour;
    update();
}

void ModelLabel::setForeColor(uint32_t colour) {
    if (colour == fore_) return;
    fore_ = colour;
    update();
}

void ModelLabel::setBordered(bool bordered) {
    bordered_ = bordered;
    update();
}

void ModelLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void ModelLabel::setAction(bool action) {
    action_ = action;
    setFocusPolicy(action ? Qt::TabFocus : Qt::NoFocus);
}

void ModelLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colors::toQColor(back_, palette()));
    if (bordered_) {
        // Four filled edges rather than a drawn rectangle: at a fractional scale factor (150 %) a
        // one-pixel pen along the right and bottom edges falls between device pixels and is lost.
        const QColor edge(96, 96, 96);
        const int w = width(), h = height();
        p.fillRect(QRect(0, 0, w, 1), edge);
        p.fillRect(QRect(0, h - 1, w, 1), edge);
        p.fillRect(QRect(0, 0, 1, h), edge);
        p.fillRect(QRect(w - 1, 0, 1, h), edge);
    }
    p.setPen(colors::toQColor(fore_, palette()));
    p.setFont(font());
    p.drawText(rect().adjusted(2, 0, -2, 0), int(alignment_) | Qt::TextSingleLine, text_);
}

// A click is a left-button press and release on the label, as on a button.
void ModelLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept(); // the press is the label's, as it is a button's; it does not reach the panel
}

void ModelLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit clicked();
}

void ModelLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (action_ && event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select)) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ModelLabel::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The label paints every pixel of itself: a new caption repaints the label alone, not its frame. (Set
    // here because the style's polish, when the widget is first shown, clears the attribute.)
    if (event->type() == QEvent::Polish) setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

} // namespace aurivo
