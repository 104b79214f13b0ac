#pragma once
// Replaces whole files so that a failure never costs the previous file: the new contents are written
// through SafeFile under a temporary name beside the target, checked (every write, the flush to the disk,
// the written size, the close) and only then renamed over the target. On any failure the temporary is
// removed and the target is left as it was. Several files can be staged and put in place together (a
// saved session's files), so that either all of them are new or all are as before, even when the program
// is killed or the power fails in the middle: a journal beside them lets the next start finish the change.
//
// The settings, saved session copies, refreshed headers and recovered headers are written this way; the
// files of a running session are written through SafeFile directly.

#include "core/SafeFile.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace aurivo {

// Where and why a write failed, in the terms the messages use.
struct WriteFailure {
    QString file;   // the file's name
    QString folder; // its folder, in the system's notation
    QString reason; // the system's description ("No space left on device")

    bool failed() const { return !reason.isEmpty(); }
    // "<file> in <folder>: <reason>"
    QString text() const;
    static WriteFailure at(const QString& path, const QString& reason);
};

class SafeFileWriter {
  public:
    // The temporary is named ".<target's name>.<random><mark>" beside the target.
    explicit SafeFileWriter(QString target, const char* mark = "~");
    ~SafeFileWriter(); // removes a temporary that was not put in place
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Checks the target's place (a symbolic link, a directory or a device there is refused) and creates
    // the temporary beside it, with the target's permissions when it exists.
    [[nodiscard]] bool begin();
    [[nodiscard]] bool append(const QByteArray& data);
    // Appends the whole contents of another file, read in blocks.
    [[nodiscard]] bool appendFile(const QString& sourcePath);
    // Flushes the temporary to the disk, compares its size with what was written and closes it.
    [[nodiscard]] bool finish();
    // Renames the finished temporary over the target.
    [[nodiscard]] bool commit();
    // Puts every finished writer's file in place and takes each of the removals (previous files the new
    // set has no counterpart for) away: all of it, or (when a rename fails) none, the previous files
    // restored. Before anything is renamed, a journal in the files' folder (kJournalName, written like any
    // file here) lists each staged file with its target and size and the hidden name each previous file
    // steps aside to; it goes once the change is complete. After a kill, finishInterruptedChanges() ends the
    // change from the journal. All targets and removals must lie in one folder, whose FolderLock the
    // caller holds.
    // A stopAfterStep of 0 or more is for tests: the change stops after that many steps and leaves the
    // files as a kill there would (the failure says so).
    [[nodiscard]] static bool commitTogether(const std::vector<SafeFileWriter*>& writers,
                                             WriteFailure& failure, const std::vector<QString>& removals = {},
                                             int stopAfterStep = -1);
    // Ends a change that commitTogether() began in this folder and did not finish: forward when every
    // staged file is still there whole (or already in place), else back to the previous files; either
    // way no set-aside file or journal is left. Then removes the files staged with kStagedMark that no
    // journal lists (a save killed before its journal was written). True when nothing was left to do or
    // it is done; false, with the file and the reason, when the journal is kept for a later try. The
    // caller holds the folder's FolderLock, so no save runs there meanwhile.
    [[nodiscard]] static bool finishInterruptedChanges(const QString& folder, WriteFailure& failure);

    // The mark of files staged for commitTogether(): a file with it and no journal is left over.
    static constexpr const char* kStagedMark = ".new~";
    static inline const QString kJournalName = QStringLiteral(".aurivo-save.journal");

    const WriteFailure& failure() const { return failure_; }
    const QString& target() const { return target_; }

    // The whole round for one file held in memory. When the folder refuses a new file but the target
    // exists and may be written (a settings file in a read-only folder), the target is rewritten in
    // place instead, and its previous contents are written back should that fail.
    [[nodiscard]] static bool writeFile(const QString& path, const QByteArray& data, WriteFailure& failure);

  private:
    bool failWith(const QString& path, const QString& reason);
    void removeTemporary();
    static bool rewriteInPlace(const QString& path, const QByteArray& data, WriteFailure& failure);

    QString target_;
    const char* mark_;
    QString temporary_;
    SafeFile file_;
    qint64 written_ = 0;
    bool finished_ = false;
    int createError_ = 0; // why the temporary could not be created (errno), 0 when it was
    WriteFailure failure_;
};

} // namespace aurivo
