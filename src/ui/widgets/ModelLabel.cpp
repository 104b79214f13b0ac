#include "ui/widgets/ModelLabel.h"

#include "core/Colors.h"

#include <QEvent>
#include <QPainter>

namespace aurivo {

ModelLabel::ModelLabel(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::TabFocus);
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

void ModelLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colors::toQColor(back_, palette()));
    if (bordered_) {
        p.setPen(QPen(QColor(96, 96, 96)));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
    p.setPen(colors::toQColor(fore_, palette()));
    p.setFont(font());
    p.drawText(rect().adjusted(2, 0, -2, 0), int(alignment_) | Qt::TextSingleLine, text());
}

bool ModelLabel::event(QEvent* event) {
    const bool handled = QAbstractButton::event(event);
    // The label paints every pixel of itself: a new caption repaints the label alone, not its frame. (Set
    // here because the style's polish, when the widget is first shown, clears the attribute.)
    if (event->type() == QEvent::Polish) setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

} // namespace aurivo
