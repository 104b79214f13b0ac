#pragma once
// The save-as box formSaveAs of "Start and save as": OK takes the typed name and hides the box; Cancel
// empties the name and leaves the box open; Escape and the window's close button end it with no name,
// so nothing starts. The caller keeps the object between uses, so its name box still holds the last name
// typed (or the caller hands the text on to a new box); each opening puts the focus there, with the
// name selected, and Enter presses OK.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace aurivo {

class SaveAsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveAsDialog(QWidget* parent = nullptr);

    // Shows the box modally; returns the name OK took, empty when the box was closed otherwise.
    QString ask();

    void confirmName();
    void clearName();
    // The text of the name box, to carry over to the next opening.
    QString typedText() const;
    void setTypedText(const QString& text);

  private:
    QString name_;
    QLineEdit* txtSaveAs_;
    QPushButton* cmndSavAsok_;
    QPushButton* cmndCnclSavAs_;
};

} // namespace aurivo
