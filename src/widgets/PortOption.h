#pragma once
// An option button of the port chooser (optPortNum). Its check mark shows the chooser's record; the
// user's choice goes out as chosen(), by every input path: a press of any mouse button, Space or Enter,
// and a screen reader's "press" or "toggle". An arrow key only moves the focus to the neighbouring
// usable port, so the ports can be looked at before one is chosen. Screen readers meet it as a radio
// button.

#include <QRadioButton>

namespace aurivo {

class PortOption : public QRadioButton {
    Q_OBJECT
  public:
    PortOption(const QString& caption, QWidget* parent = nullptr);

  public slots:
    // Chooses this port, when it can be chosen.
    void choose();

  signals:
    void chosen();
    // An arrow key: the chooser moves the focus to the neighbouring port in that direction.
    void arrowPressed(int key);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

} // namespace aurivo
