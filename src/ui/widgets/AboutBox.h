#pragma once
// The About box frmAbout: the program's title and version, closed with OK (Enter or Escape).

#include <QDialog>

namespace aurivo {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace aurivo
