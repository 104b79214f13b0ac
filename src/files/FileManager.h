#pragma once
// The session file manager frmFileManager without its widgets: the name box, the folder, file and drive
// lists, the buttons' captions and the six display-list labels, and the handlers of the dialog. Opened
// to save, it copies the temporary session files under the typed name; opened to display, it builds the
// display list of up to six saved sessions that the replay draws. The dialog ends by hiding itself:
// hidden() turns true and the view closes. It lives as long as the program and remembers the folder it
// was last in, the display list and the paths of the session named last.

#include "core/CommentBox.h"
#include "core/MessageBoxes.h"
#include "recording/DisplayList.h"

#include <QString>
#include <QStringList>
#include <array>

namespace aurivo {

class FileManager {
  public:
    enum class Purpose { Save, Display };

    FileManager(QString programFolder, MessageBoxes& boxes, CommentBox& comments);

    // ---- What the file manager keeps between openings -------------------------------------------------
    // The folder it opens in (the program's folder at first).
    const QString& rememberedFolder() const { return rememberedFolder_; }
    const DisplayList& displayList() const { return list_; }

    // ---- Controls ----------------------------------------------------------------------------------
    const QString& name() const { return name_; } // txtFM: the session name, typed or picked
    const QString& caption() const { return caption_; }
    double widthTwips() const { return width_; }                    // outer width
    const QString& optionCaption() const { return optionCaption_; } // cmdFileOption: "Save" or "Display"
    bool addButtonShown() const { return addButtonShown_; }         // cmdAdd2List, only when displaying
    // cmdFileOption can act: "Display" needs a session on the list or a name to put there first.
    bool fileOptionEnabled() const;
    // What each place of the display list shows (lblFile2Display(0..5)): the session's name, or
    // "File to Display" while the place is free. Place k is drawn in session colour k.
    const std::array<QString, 6>& displayNames() const { return displayNames_; }
    const QString& folder() const { return folder_; }       // current folder, without a trailing '/'
    const QStringList& fileNames() const { return files_; } // "*.tst" names of the folder, any case, sorted
    const QStringList& drives() const { return drives_; }   // mounted roots, "/" first
    QString currentDrive() const;                           // the root of the drive holding dirFM
    bool hidden() const { return hidden_; }
    // This opening saved the temporary session under a name.
    bool saved() const { return saved_; }

    // ---- Handlers ----------------------------------------------------------------------------------
    // Opens the dialog: an empty name box and display list, the drive list, the remembered folder, and the
    // caption, width and buttons of the purpose.
    void load(Purpose purpose);
    void setName(const QString& name) { name_ = name; } // the user typed
    void runFileOption();
    void addToDisplayList();
    void cancel();
    void nameKeyUp(int keyCode); // 13 = Enter
    void pickFile(const QString& name);
    void pickFileAndConfirm(const QString& name);
    void changeFolder(const QString& folder);
    void changeDrive(const QString& drive);
    // Session files opened from outside the dialog (the command line, a drop on the window): a saved
    // session's .Tst or .Hdr each, the first six of them. Makes them the display list, in order, as
    // "Add ->" would; a file that cannot be listed is left out, and one message says which and why.
    void listSessionFiles(const QStringList& paths);

    static constexpr double kSaveWidth = 4185;
    static constexpr double kDisplayWidth = 6735;
    static inline const QString kAddErrorTitle = QStringLiteral("Error accessing 'File to Display'");

  private:
    bool isReservedName();
    // Runs splitSessionPath on the folder + "/" + the name and keeps the three paths;
    // false when there is no usable name (the colon message is shown for a path that is not absolute).
    bool takeTypedPath();
    // Rewrites tempdata.hdr with the comment box's text; false with "path: reason" when it cannot.
    [[nodiscard]] bool refreshTemporaryHeader(QString& failure);
    void saveSession();
    // Opens a folder: false (and the folder unchanged) when it cannot be listed; reason says why.
    [[nodiscard]] bool openFolder(const QString& folder, QString& reason);

    QString programFolder_;
    MessageBoxes& boxes_;
    CommentBox& comments_;
    QString rememberedFolder_;
    DisplayList list_;
    QString sessionTstPath_, sessionHdrPath_, sessionTxtPath_;
    QString name_;
    QString caption_ = QStringLiteral("File Manager");
    double width_ = kDisplayWidth;
    QString optionCaption_;
    bool addButtonShown_ = true;
    std::array<QString, 6> displayNames_;
    QString folder_;
    QStringList files_;
    QStringList drives_;
    bool hidden_ = false;
    bool saved_ = false;
};

} // namespace aurivo
