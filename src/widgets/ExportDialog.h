#pragma once
// "Export session": the session to export (those at hand, or another saved session chosen from the disk),
// the format (EDF+ or CSV) and the file to write, suggested from the session and following the format.

#include "app/ExportChoices.h"

#include <QDialog>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace aurivo {

class ExportDialog : public QDialog {
    Q_OBJECT
  public:
    ExportDialog(const ExportChoices& choices, QWidget* parent);
    // Shows the dialog modally; the choice made, none when cancelled.
    std::optional<ExportRequest> ask();

  protected:
    void accept() override;

  private:
    ExportFormat format() const;
    void sessionChosen(int index);
    void chooseOtherSession();
    void browseForFile();

    std::vector<ExportChoices::Session> sessions_;
    QString browseFolder_;
    int shownSession_ = 0;
    QComboBox* session_ = nullptr;
    QComboBox* format_ = nullptr;
    QLineEdit* file_ = nullptr;
    std::optional<ExportRequest> request_;
};

} // namespace aurivo
