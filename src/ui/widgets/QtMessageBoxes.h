#pragma once
// Message boxes shown with QMessageBox, modal to the main window.

#include "app/MessageBoxes.h"

class QWidget;

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    Answer Show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;

private:
    QWidget* parent_;
};
