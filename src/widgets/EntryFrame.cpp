#include "widgets/EntryFrame.h"

#include "core/WindowHost.h"
#include "widgets/TextFit.h"
#include "widgets/WidgetUpdate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace aurivo {

EntryFrame::EntryFrame(PanelContext& context, const QString& objectName, QWidget* parent)
    : QGroupBox(parent), context_(context) {
    setObjectName(objectName);
    hide();
    setAutoFillBackground(true);
    // A press inside an entry frame (its background or caption) is not a click on the form, which would
    // close the filter and jitter box.
    setAttribute(Qt::WA_NoMousePropagation);
}

QRect EntryFrame::pxRect(const TwipsRect& r) const {
    return toPixelRect(r, context_.host.twipsPerPixel());
}

void EntryFrame::showCaption(const QString& caption) {
    if (title() != caption) setTitle(caption);
}

void EntryFrame::placeWidened(QRect design) {
    design.setWidth(std::max(design.width(), TextFit::groupBoxWidth(this)));
    WidgetUpdate::geometry(this, design);
}

QPushButton* EntryFrame::addButton(const char* objectName, const QString& caption, const QRect& geometry,
                                   std::function<void()> onClick) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setGeometry(geometry);
    connect(b, &QPushButton::clicked, this, std::move(onClick));
    return b;
}

void EntryFrame::keyPressEvent(QKeyEvent* event) {
    // Keys reach the frame when the focused control inside it did not use them.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (button && isAncestorOf(button))
            button->click();
        else if (accept_)
            accept_();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape && cancel_) {
        cancel_();
        return;
    }
    QGroupBox::keyPressEvent(event);
}

bool EntryFrame::focusNextPrevChild(bool next) {
    QWidget* focus = QApplication::focusWidget();
    if (!keepsFocus_ || !focus || !isAncestorOf(focus)) return QGroupBox::focusNextPrevChild(next);
    // The next control along the window's Tab chain that lies in this frame and takes Tab.
    for (QWidget* w = next ? focus->nextInFocusChain() : focus->previousInFocusChain(); w != focus;
         w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if (isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            break;
        }
    }
    return true;
}

} // namespace aurivo
