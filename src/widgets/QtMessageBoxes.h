#pragma once
// Message boxes shown with QMessageBox, modal to the main window; notices are shown without blocking.

#include "core/MessageBoxes.h"

class QWidget;

namespace aurivo {

class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    void notify(const QString& text, const QString& title, Icon icon) override;

  private:
    QWidget* parent_;
};

} // namespace aurivo
