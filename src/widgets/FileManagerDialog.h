#pragma once
// The session file manager window frmFileManager: a thin view over FileManager. It shows the model's
// name box, folder, file and drive lists, buttons and display-list labels, forwards every user action
// to the model's handler, and closes (accepted) as soon as the model has hidden itself. Its window
// close button ends it without touching the display list.
//
// The keyboard: the focus starts in the name box; Enter there (or on a file) adds the session when
// displaying and saves when saving, Enter on a button presses it, and anywhere else presses the default
// button ("Save" or "Display"); Escape is Cancel.
//
// Use: open the file manager for its purpose (FileManager::load), construct the dialog over it, then
// exec().

#include "files/FileManager.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace aurivo {

class FileManagerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FileManagerDialog(FileManager& model, QWidget* parent = nullptr);

    // Shows the model's state in the controls; exec() does it before showing.
    void syncFromModel();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The name box, the folder, file and drive lists and the buttons, in their tab order.
    void createControls();
    // The display list's six labels, one under the other at the right.
    void createDisplayLabels();
    void placeControls();
    // The name reaches the model as it changes; Enter in the name box adds or saves.
    void connectNameBox();
    void connectButtonsAndLists();
    void run(const std::function<void()>& handler);
    QRect twips(double left, double top, double width, double height) const;
    void fillFolderList();

    FileManager& model_;
    QLineEdit* txtFM_;
    QListWidget* dirFM_;
    QListWidget* filFM_;
    QComboBox* drvFM_;
    QPushButton* cmdAdd2List_;
    QPushButton* cmdFileOption_;
    QPushButton* cmdCancel_;
    std::array<QLabel*, 6> lblFile2Display_{};
    QString listedFolder_;
    QStringList listedFiles_;
};

} // namespace aurivo
