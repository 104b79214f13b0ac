#include "widgets/MarkerPrompt.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

namespace aurivo {

MarkerPrompt::MarkerPrompt(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("txtMarkerLabel"));
    setAccessibleName(QStringLiteral("Marker label"));
    setToolTip(QStringLiteral("Enter keeps the new label, Escape the old one"));
    hide();
}

void MarkerPrompt::open(int index, const QString& label, QPoint at) {
    if (index_) finish(true);
    index_ = index;
    returnFocus_ = QApplication::focusWidget();
    setText(label);
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("M")) * 16;
    const QWidget* area = parentWidget();
    // Kept inside the parent, so a marker near the right edge still shows its whole prompt.
    const int x = std::max(0, std::min(at.x(), area->width() - width));
    setGeometry(x, std::max(0, at.y()), width, sizeHint().height());
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void MarkerPrompt::finish(bool keepTyped) {
    if (!index_) return;
    const int index = *index_;
    index_.reset();
    const QString typed = text();
    hide();
    if (returnFocus_ && returnFocus_ != this) returnFocus_->setFocus(Qt::OtherFocusReason);
    if (keepTyped) emit renamed(index, typed);
}

void MarkerPrompt::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        finish(true);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        finish(false);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void MarkerPrompt::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu or a tooltip opening takes the focus only for a moment; the prompt stays for them.
    if (event->reason() != Qt::PopupFocusReason) finish(true);
}

} // namespace aurivo
