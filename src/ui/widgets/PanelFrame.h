#pragma once
// A display panel of the main window (the picture graph, the readings, the comments, the parameters
// strip). Assistive technology meets it as a named group of the controls inside it.

#include <QFrame>

namespace aurivo {

class PanelFrame : public QFrame {
    Q_OBJECT
  public:
    explicit PanelFrame(QWidget* parent = nullptr) : QFrame(parent) {}
};

} // namespace aurivo
