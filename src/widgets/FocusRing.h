#pragma once
// The keyboard focus ring of the program: a solid ring, 2 pixels wide and one pixel away from the
// control, in a dark blue that keeps at least 3:1 against the light panel colours around the controls.
// It follows the focus into every window of the program, so every focusable control (the graph, the
// value cells, the boxes' controls, the dialogs' lists and buttons) shows where the keyboard is; the menu
// bar shows its selected item instead.

#include <QObject>
#include <QPointer>

class QFocusFrame;
class QMenuBar;
class QStyle;
class QWidget;

namespace aurivo {

class FocusRing : public QObject {
    Q_OBJECT
  public:
    static constexpr int kWidth = 2;  // pixels of the ring
    static constexpr int kMargin = 3; // pixels between the control's edge and the ring's outer edge

    explicit FocusRing(QObject* parent = nullptr);
    ~FocusRing() override;

    // The control the ring is around now, or null.
    QWidget* ringed() const;
    // Puts the ring around a widget (null takes it away).
    void follow(QWidget* widget);
    // Highlights the menu bar item the keyboard is on. The bar must have been made before this object.
    void showMenuBarSelection(QMenuBar* bar);

  private:
    QPointer<QFocusFrame> frame_;
    QStyle* style_;
};

} // namespace aurivo
