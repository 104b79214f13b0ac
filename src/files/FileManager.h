#pragma once
// The session file manager frmFileManager without its widgets: the name box, the folder, file and drive
// lists, the buttons' captions and the six display-list labels, and the handlers of the dialog. In save
// mode (cmdFileOption "Save") it copies the temporary session files under the typed name; in display
// mode ("Display") it builds the list of up to six saved sessions that the replay draws. The dialog
// ends by hiding itself: Hidden() turns true and the view closes.

#include "core/ControlModels.h"
#include "core/MessageBoxes.h"
#include "core/MonitorState.h"

#include <QString>
#include <QStringList>
#include <array>

namespace aurivo {

class FileManager {
  public:
    FileManager(MonitorState& state, QString programFolder, MessageBoxes& boxes);

    // ---- Controls ----------------------------------------------------------------------------------
    QString txtFM; // the session name, typed or picked
    QString caption = QStringLiteral("File Manager");
    double width = 6735;          // twips, outer width; the caller sets 4185 (save) or 6735 (display)
    QString cmdFileOptionCaption; // "Save" or "Display", set by the caller
    bool cmdAdd2ListVisible = true;
    std::array<LabelModel, 6> lblFile2Display;

    const QString& folder() const { return folder_; }       // current folder, without a trailing '/'
    const QStringList& fileNames() const { return files_; } // "*.tst" names of the folder, any case, sorted
    const QStringList& drives() const { return drives_; }   // mounted roots, "/" first
    QString currentDrive() const;                           // the root of the drive holding dirFM
    bool hidden() const { return hidden_; }

    // ---- Handlers ----------------------------------------------------------------------------------
    void load();
    void runFileOption();
    void addToDisplayList();
    void cancel();
    void nameKeyUp(int keyCode); // 13 = Enter
    void pickFile(const QString& name);
    void pickFileAndConfirm(const QString& name);
    void changeFolder(const QString& folder);
    void changeDrive(const QString& drive);

    static constexpr double kSaveWidth = 4185;
    static constexpr double kDisplayWidth = 6735;
    static inline const QString kTitle = QStringLiteral("Aurivo USB");
    static inline const QString kAddErrorTitle = QStringLiteral("Error accessing 'File to Display'");

  private:
    bool isReservedName();
    // Runs splitSessionPath on the folder + "/" + the name and stores the paths in the globals;
    // false when there is no usable name (the colon message is shown for a path that is not absolute).
    bool takeTypedPath();
    // Rewrites tempdata.hdr with the comment box's text; false with "path: reason" when it cannot.
    [[nodiscard]] bool refreshTemporaryHeader(QString& failure);
    void saveSession();
    // Opens a folder: false (and the folder unchanged) when it cannot be listed; reason says why.
    [[nodiscard]] bool openFolder(const QString& folder, QString& reason);

    MonitorState& state_;
    QString programFolder_;
    MessageBoxes& boxes_;
    QString folder_;
    QStringList files_;
    QStringList drives_;
    bool hidden_ = false;
};

} // namespace aurivo
