#pragma once
// What a typed session name may be, in "Start and save as" and in the session file manager alike: the
// name of a file in the chosen folder, never a path. Refused: a folder separator (/ or \), the names
// "." and "..", control characters, a name whose files would be longer than the folder's file system
// allows, and the reserved names of the temporary session files (tempdata and PlotData, in any case and
// with any extension), which a session would otherwise overwrite or share.

#include <QString>

namespace aurivo {

class MessageBoxes;

class SessionNameRule {
  public:
    // Why the name cannot be used, as the message to show; empty when it can. The longest extension
    // added to the name is ".hdr"/".Tst" (4 characters); folder is where the files would be made.
    static QString refusal(const QString& name, const QString& folder);

    // "Start and save as": true when a session may start under the name in the folder. A refused name
    // is told; a name whose reading file exists (in any case) asks the file manager's overwrite
    // question, and No starts nothing.
    static bool acceptForStart(const QString& name, const QString& folder, MessageBoxes& boxes);
    // The overwrite question for the session whose reading file is tstPath: it names the session and
    // its folder, so the user knows what a Yes replaces.
    static QString overwriteQuestion(const QString& tstPath);

    static inline const QString kTempdataMessage =
        QStringLiteral("'tempdata.tst' is a reserved filename\r\nPlease use another name.");
    static inline const QString kPlotDataMessage =
        QStringLiteral("'PlotData.txt' is a reserved filename\r\nPlease use another name.");
};

} // namespace aurivo
