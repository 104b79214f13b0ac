#pragma once
// Serial Port > "Lab link...": whether and where the lab link sends the session and takes markers, with a
// status line of what it sent and received and its last error. Apply and OK put the choice into effect
// and keep it in aurivo-usb.conf.

#include "link/LabLinkSettings.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace aurivo {

class LabLink;

class LabLinkDialog : public QDialog {
    Q_OBJECT
  public:
    // Applies and keeps the chosen settings; false with the reason when they could not be kept.
    using Apply = std::function<bool(const LabLinkSettings&, QString& failure)>;

    LabLinkDialog(const LabLink& link, Apply apply, QWidget* parent);

    LabLinkSettings chosen() const;
    void apply();

  protected:
    void accept() override;

  private:
    void showStatus();

    const LabLink& link_;
    Apply apply_;
    QString saveFailure_;
    QCheckBox* send_ = nullptr;
    QLineEdit* sendHost_ = nullptr;
    QSpinBox* sendPort_ = nullptr;
    QCheckBox* receive_ = nullptr;
    QLineEdit* listenAddress_ = nullptr;
    QSpinBox* receivePort_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer refresh_; // the counts move while the dialog is open
};

} // namespace aurivo
