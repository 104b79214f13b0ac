#pragma once
// A display panel of the main window (the picture graph, the readings, the comments, the parameters
// strip). Assistive technology meets it as a named group of the controls inside it that are shown.

#include <QFrame>

namespace aurivo {

class PanelFrame : public QFrame {
    Q_OBJECT
  public:
    explicit PanelFrame(QWidget* parent = nullptr) : QFrame(parent) {}
};

// The main window's client area, under the menu bar: the panels and the entry frames over them.
class ClientArea : public QWidget {
    Q_OBJECT
  public:
    explicit ClientArea(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace aurivo
