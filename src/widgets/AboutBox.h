#pragma once
// The About box frmAbout: the program's title and version and the folder of its files, closed with OK
// (Enter or Escape).

#include <QDialog>

namespace aurivo {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(const QString& programFolder, QWidget* parent = nullptr);
};

} // namespace aurivo
