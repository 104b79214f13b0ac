#pragma once
// Where a stopped session that was never saved goes instead of being deleted: the folder unsaved/ of the
// program's folder. The temporary session's files (tempdata.tst, .txt, .hdr, .mrk, .tim and .scr) are
// moved there, whole, under the name of the session's start (unsaved/20261207-061913.Tst, .Txt, .Hdr,
// .Mrk, .Tim, .Scr), so each one is a saved session the file manager can open and replay. The last kKept
// sessions are kept; older ones are removed when a new one arrives.

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
    // or empty reading file is nothing to keep. On failure every file is where it was before. The name is
    // written into unsaved/.keeping before the first move and removed after the last, so a move cut off
    // by the end of the program is finished by finishInterrupted(). Tests stop it after `stopAfterMoves`
    // moves, as a kill would.
    [[nodiscard]] static Outcome keep(const QString& programFolder, const QDateTime& start,
                                      int stopAfterMoves = -1);
    // Finishes a keep that was cut off: the temporary files still in the program's folder join the
    // session already moved. Runs at start-up before anything deletes temporary files. Returns an empty
    // text, or why it could not be finished (the journal then stays for the next start).
    [[nodiscard]] static QString finishInterrupted(const QString& programFolder);

    static QString folderOf(const QString& programFolder);
};

} // namespace aurivo
