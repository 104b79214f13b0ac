#pragma once
// The save-as box formSaveAs of "Start and save as": OK takes the typed name into SaveAsName and hides
// the box; Cancel empties SaveAsName and leaves the box open; the window's close button ends it with
// SaveAsName unchanged. The caller keeps the object between uses, so it still holds the last name.

#include "app/MonitorState.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class SaveAsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveAsDialog(MonitorState& state, QWidget* parent = nullptr);

    void cmndSavAsok_Click();
    void cmndCnclSavAs_Click();

  private:
    MonitorState& state_;
    QLineEdit* txtSaveAs_;
    QPushButton* cmndSavAsok_;
    QPushButton* cmndCnclSavAs_;
};
