#pragma once
// Replaces whole files so that a failure never costs the previous file: the new contents are written
// through SafeFile under a temporary name beside the target, checked (every write, the flush to the disk,
// the written size, the close) and only then renamed over the target. On any failure the temporary is
// removed and the target is left as it was. Several files can be staged and put in place together (a
// saved session's three files), so that either all of them are new or all are as before.
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
    explicit SafeFileWriter(QString target);
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
    // Puts every finished writer's file in place: all of them, or (when one rename fails) none, the
    // previous files restored.
    [[nodiscard]] static bool commitTogether(const std::vector<SafeFileWriter*>& writers,
                                             WriteFailure& failure);

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
    QString temporary_;
    SafeFile file_;
    qint64 written_ = 0;
    bool finished_ = false;
    int createError_ = 0; // why the temporary could not be created (errno), 0 when it was
    WriteFailure failure_;
};

} // namespace aurivo
