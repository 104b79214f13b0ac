#pragma once
// The save-as box formSaveAs of "Start and save as": OK takes the typed name and hides the box; Cancel
// empties the name and leaves the box open; the window's close button ends it with the name unchanged.
// The caller keeps the object between uses, so its name box still holds the last name typed.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace aurivo {

class SaveAsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveAsDialog(QWidget* parent = nullptr);

    // Shows the box modally; returns the name as it stands when the box ends, `current` to begin with.
    QString ask(const QString& current);

    void confirmName();
    void clearName();

  private:
    QString name_;
    QLineEdit* txtSaveAs_;
    QPushButton* cmndSavAsok_;
    QPushButton* cmndCnclSavAs_;
};

} // namespace aurivo
