#pragma once
// Where a stopped session that was never saved goes instead of being deleted: the folder unsaved/ of the
// program's folder. The temporary session's files (tempdata.tst, .txt, .hdr, .mrk and .tim) are moved
// there, whole, under the name of the session's start (unsaved/20261207-061913.Tst, .Txt, .Hdr, .Mrk,
// .Tim), so each one is a saved session the file manager can open and replay. The last kKept sessions are
// kept; older ones are removed when a new one arrives.

#include <QDateTime>
#include <QString>

namespace aurivo {

class UnsavedSessions {
  public:
    static constexpr int kKept = 20;
    static constexpr const char* kFolderName = "unsaved";

    struct Outcome {
        QString name;  // the kept session's base name in unsaved/, empty when nothing was kept
        QString error; // why the session could not be kept ("<file> in <folder>: <reason>")
        bool ok() const { return error.isEmpty(); }
    };

    // Moves the temporary session of the program's folder into unsaved/, named after `start`. A missing
    // or empty reading file is nothing to keep. On failure every file is where it was before.
    [[nodiscard]] static Outcome keep(const QString& programFolder, const QDateTime& start);

    static QString folderOf(const QString& programFolder);
};

} // namespace aurivo
