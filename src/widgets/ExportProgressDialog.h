#pragma once
// The progress of an export running on its worker thread, with a Cancel button. The window goes on
// answering meanwhile: the dialog polls the job from the event loop.

#include <QProgressDialog>

namespace aurivo {

class ExportJob;

class ExportProgressDialog : public QProgressDialog {
    Q_OBJECT
  public:
    ExportProgressDialog(ExportJob& job, QWidget* parent);
    // Starts the job and shows its progress until it has finished (after a Cancel as well).
    void run();

  private:
    ExportJob& job_;
};

} // namespace aurivo
