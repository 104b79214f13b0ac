#pragma once
// The main window's client area, under the menu bar: the panels and the entry frames over them.
// Assistive technology meets it as the window's client, made of the controls in it that are shown.

#include <QWidget>

namespace aurivo {

class ClientArea : public QWidget {
    Q_OBJECT
  public:
    explicit ClientArea(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace aurivo
