#pragma once
// The save-as box formSaveAs of "Start and save as": OK takes the typed name into saveAsName and hides
// the box; Cancel empties saveAsName and leaves the box open; the window's close button ends it with
// saveAsName unchanged. The caller keeps the object between uses, so it still holds the last name.

#include "core/MonitorState.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace aurivo {

class SaveAsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveAsDialog(MonitorState& state, QWidget* parent = nullptr);

    void confirmName();
    void clearName();

  private:
    MonitorState& state_;
    QLineEdit* txtSaveAs_;
    QPushButton* cmndSavAsok_;
    QPushButton* cmndCnclSavAs_;
};

} // namespace aurivo
