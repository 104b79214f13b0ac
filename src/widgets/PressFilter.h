#pragma once
// Forwards a mouse press on a frame or text box (a click on the panel) to a handler; the press goes on
// to the widget as before.

#include <QObject>
#include <functional>

namespace aurivo {

class PressFilter : public QObject {
    Q_OBJECT
  public:
    PressFilter(QObject* parent, std::function<void()> onPress);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> onPress_;
};

} // namespace aurivo
