#pragma once
// Keeps the keyboard focus of the main window where the user expects it: remembers the control the
// keyboard was last on (menus aside) and counts the times it went to a dialog or message box, so that
// after an action the focus goes back to where the action came from; an entry frame that opens takes
// the focus and gives it back when it closes. Where a control is gone, the focus goes to the graph.

#include <QObject>
#include <QPointer>

class QMainWindow;
class QWidget;

namespace aurivo {

class WindowFocus : public QObject {
    Q_OBJECT
  public:
    explicit WindowFocus(QMainWindow& window);

    // The control that takes the focus when the one it should go back to is gone.
    void setFallback(QWidget* fallback) { fallback_ = fallback; }
    // The control the keyboard was last on in the window, menus aside.
    QWidget* last() const { return last_; }
    // How many times the keyboard has gone to a dialog or message box.
    unsigned dialogCount() const { return dialogCount_; }
    // The focus is on the menu bar, in a menu, or nowhere.
    bool onMenus(const QWidget* focus) const;

    // Shows or hides an entry frame; an opened frame takes the focus (to `first`), a closed one gives it
    // back to where it was.
    void showBox(QWidget* box, bool shown, QWidget* first);
    // Gives the keyboard back to `from` when an action left it on the menu bar or nowhere.
    void returnTo(QWidget* from);
    // Set from a menu, a prompt gives the keyboard back to the control it was on before the menu.
    void leaveMenus();

  private:
    void restore();
    void focusOrFallback(QWidget* back);

    QMainWindow& window_;
    QPointer<QWidget> fallback_;
    QPointer<QWidget> last_;   // the control the keyboard was last on, menus aside
    QPointer<QWidget> before_; // where the focus was when an entry frame took it
    unsigned dialogCount_ = 0;
};

} // namespace aurivo
