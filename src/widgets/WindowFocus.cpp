#include "widgets/WindowFocus.h"

#include "widgets/EntryFrame.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace aurivo {

namespace {

// The widget is one of the window's entry frames or lies inside one.
bool inEntryFrame(const QWidget* w) {
    for (; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (qobject_cast<const EntryFrame*>(w)) return true;
    return false;
}

} // namespace

WindowFocus::WindowFocus(QMainWindow& window) : QObject(&window), window_(window) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        // The control the keyboard was last on in this window (not its menus), for the focus to go back
        // to when a dialog or box that was opened from there closes.
        if (now && now != window_.menuBar() && window_.isAncestorOf(now) && !qobject_cast<QMenu*>(now))
            last_ = now;
        // The keyboard went to a dialog or message box of this window.
        if (now && qobject_cast<QDialog*>(now->window())) ++dialogCount_;
    });
}

bool WindowFocus::onMenus(const QWidget* focus) const {
    return !focus || focus == window_.menuBar() || qobject_cast<const QMenu*>(focus);
}

void WindowFocus::showBox(QWidget* box, bool shown, QWidget* first) {
    if (box->isVisibleTo(box->parentWidget()) == shown) return;
    QWidget* focus = QApplication::focusWidget();
    if (shown) {
        // Opened from a menu, the box gives the keyboard back to the control it was on before the menu.
        if (onMenus(focus)) focus = last_;
        if (focus && !inEntryFrame(focus) && window_.isAncestorOf(focus)) before_ = focus;
        box->show();
        box->raise();
        if (first) first->setFocus(Qt::OtherFocusReason);
        return;
    }
    const bool hadFocus = box->isAncestorOf(focus);
    box->hide();
    if (hadFocus) restore();
}

void WindowFocus::returnTo(QWidget* from) {
    // After an action that opened a dialog or message box (from a menu, which leaves the keyboard on the
    // menu bar), the keyboard goes back to the control it came from; an entry frame that opened keeps it.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
    // A dialog without an owner (the About box) leaves no window active when it closes.
    QWidget* active = QApplication::activeWindow();
    if (active && active != &window_) return;
    if (!active) window_.activateWindow();
    QWidget* focus = window_.focusWidget();
    if (focus && focus != window_.menuBar() && !qobject_cast<QMenu*>(focus)) return;
    focusOrFallback(from);
}

void WindowFocus::leaveMenus() {
    if (onMenus(QApplication::focusWidget()) && last_) last_->setFocus(Qt::OtherFocusReason);
}

void WindowFocus::restore() {
    focusOrFallback(before_);
}

void WindowFocus::focusOrFallback(QWidget* back) {
    if (!back || !back->isVisible() || !back->isEnabled() || back->focusPolicy() == Qt::NoFocus)
        back = fallback_;
    if (back && back->isVisible()) back->setFocus(Qt::OtherFocusReason);
}

} // namespace aurivo
