#include "core/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aurivo {

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// A name beside the target that nothing uses yet, hidden so the file lists do not show it, and short
// enough for any file system even when the target's own name is as long as a name may be.
QString siblingName(const QString& target, const char* kind) {
    const QFileInfo info(target);
    for (;;) {
        const QString name = info.dir().filePath(
            QStringLiteral(".%1.%2%3")
                .arg(info.fileName().left(32), QString::number(QRandomGenerator::global()->generate(), 36),
                     QString::fromLatin1(kind)));
        struct stat st {};
        if (::lstat(encoded(name).constData(), &st) != 0) return name;
    }
}

// The error that names what stands where a file should be.
int placeError(mode_t mode) {
    return S_ISLNK(mode) ? ELOOP : S_ISDIR(mode) ? EISDIR : -1;
}

bool renamePath(const QString& from, const QString& to) {
    return ::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

bool pathExists(const QString& path) {
    struct stat st {};
    return ::lstat(encoded(path).constData(), &st) == 0;
}

// Makes the folder's renames and removals so far survive a power loss. Where the file system cannot
// (it refuses fsync on a folder), the order of the changes still holds against a kill.
void syncFolder(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// One file of a replacement: the staged new file goes to the target, the previous target to the backup.
struct JournalEntry {
    QString staged; // empty for a previous file that only goes away
    QString target;
    qint64 size;    // the staged file's size; -1 without one
    QString backup; // empty when there was no previous file
};

constexpr qint64 kJournalLimit = 1 << 20;
const QByteArray kJournalHeader = "aurivo-replace 1";

// Journal lines: "entry <staged> <target> <size> <backup>", names relative to the folder,
// percent-encoded from their bytes, "*" for none.
QByteArray nameField(const QString& path) {
    return path.isEmpty() ? QByteArray("*") : encoded(QFileInfo(path).fileName()).toPercentEncoding();
}

QByteArray journalText(const std::vector<JournalEntry>& entries) {
    QByteArray text = kJournalHeader + '\n';
    for (const JournalEntry& e : entries)
        text += "entry " + nameField(e.staged) + ' ' + nameField(e.target) + ' ' +
                QByteArray::number(e.size) + ' ' + nameField(e.backup) + '\n';
    return text;
}

// A name read back must stay inside the folder.
bool readName(const QByteArray& field, const QDir& folder, QString& path) {
    path.clear();
    if (field == "*") return true;
    const QString name = QFile::decodeName(QByteArray::fromPercentEncoding(field));
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return false;
    path = folder.filePath(name);
    return true;
}

bool parseJournal(const QByteArray& text, const QDir& folder, std::vector<JournalEntry>& entries) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 2 || lines.front() != kJournalHeader || !lines.back().isEmpty()) return false;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        JournalEntry e;
        bool number = false;
        if (fields.size() != 5 || fields[0] != "entry" || !readName(fields[1], folder, e.staged) ||
            !readName(fields[2], folder, e.target) || e.target.isEmpty() ||
            !readName(fields[4], folder, e.backup))
            return false;
        e.size = fields[3].toLongLong(&number);
        if (!number) return false;
        entries.push_back(e);
    }
    return true;
}

bool isFileOfSize(const QString& path, qint64 size) {
    struct stat st {};
    return ::lstat(encoded(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == size;
}

// Every new file is either staged whole (its full size, flushed before the journal was written) or
// already in its target's place.
bool allStaged(const std::vector<JournalEntry>& entries) {
    for (const JournalEntry& e : entries) {
        if (e.staged.isEmpty()) continue;
        if (!isFileOfSize(pathExists(e.staged) ? e.staged : e.target, e.size)) return false;
    }
    return true;
}

bool moveOrFail(const QString& from, const QString& to, WriteFailure& failure) {
    if (renamePath(from, to)) return true;
    failure = WriteFailure::at(to, SafeFile::describe(errno));
    return false;
}

bool removeOrFail(const QString& path, WriteFailure& failure) {
    if (::unlink(encoded(path).constData()) == 0 || errno == ENOENT) return true;
    failure = WriteFailure::at(path, SafeFile::describe(errno));
    return false;
}

// Ends the change the way it was going: each previous file steps aside (unless it already did), each
// staged file takes its place, then the set-aside files go. Safe to repeat after a kill of its own.
bool rollForward(const QString& folder, const std::vector<JournalEntry>& entries, WriteFailure& failure) {
    for (const JournalEntry& e : entries) {
        const bool staged = !e.staged.isEmpty() && pathExists(e.staged);
        if (!e.staged.isEmpty() && !staged) continue; // already in place
        if (!e.backup.isEmpty() && !pathExists(e.backup) && pathExists(e.target) &&
            !moveOrFail(e.target, e.backup, failure))
            return false;
        if (staged && !moveOrFail(e.staged, e.target, failure)) return false;
    }
    syncFolder(folder);
    for (const JournalEntry& e : entries)
        if (!e.backup.isEmpty() && !removeOrFail(e.backup, failure)) return false;
    return true;
}

// Undoes the change, last file first: staged files go, a new file placed where there was none goes,
// and each set-aside file returns to its name. Safe to repeat after a kill of its own.
bool rollBack(const std::vector<JournalEntry>& entries, WriteFailure& failure) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const JournalEntry& e = *it;
        if (!e.staged.isEmpty()) {
            if (pathExists(e.staged)) {
                if (!removeOrFail(e.staged, failure)) return false;
            } else if (e.backup.isEmpty() && !removeOrFail(e.target, failure)) {
                return false;
            }
        }
        if (!e.backup.isEmpty() && pathExists(e.backup) && !moveOrFail(e.backup, e.target, failure))
            return false;
    }
    return true;
}
} // namespace

QString WriteFailure::text() const {
    return file + QStringLiteral(" in ") + folder + QStringLiteral(": ") + reason;
}

WriteFailure WriteFailure::at(const QString& path, const QString& reason) {
    const QFileInfo info(path);
    return WriteFailure{info.fileName(), QDir::toNativeSeparators(info.absolutePath()), reason};
}

SafeFileWriter::SafeFileWriter(QString target, const char* mark) : target_(std::move(target)), mark_(mark) {}

SafeFileWriter::~SafeFileWriter() {
    removeTemporary();
}

bool SafeFileWriter::failWith(const QString& path, const QString& reason) {
    if (!failure_.failed()) failure_ = WriteFailure::at(path, reason);
    removeTemporary();
    return false;
}

void SafeFileWriter::removeTemporary() {
    file_.close();
    if (!temporary_.isEmpty()) ::unlink(encoded(temporary_).constData());
    temporary_.clear();
}

bool SafeFileWriter::begin() {
    removeTemporary();
    failure_ = WriteFailure();
    written_ = 0;
    finished_ = false;
    createError_ = 0;

    int permissions = 0666;
    struct stat st {};
    if (::lstat(encoded(target_).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return failWith(target_, SafeFile::describe(placeError(st.st_mode)));
        permissions = int(st.st_mode & 0777);
    }
    temporary_ = siblingName(target_, mark_);
    if (!file_.open(temporary_, SafeFile::Mode::Exclusive, permissions)) {
        createError_ = file_.error();
        temporary_.clear(); // nothing was created
        return failWith(target_, file_.reason());
    }
    return true;
}

bool SafeFileWriter::append(const QByteArray& data) {
    if (!file_.isOpen()) return failWith(target_, SafeFile::describe(EBADF));
    if (!file_.writeAt(written_, data)) return failWith(target_, file_.reason());
    written_ += data.size();
    return true;
}

bool SafeFileWriter::appendFile(const QString& sourcePath) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) return failWith(sourcePath, source.errorString());
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 16);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            return failWith(sourcePath, source.errorString());
        if (block.isEmpty()) break;
        if (!append(block)) return false;
    }
    return true;
}

bool SafeFileWriter::finish() {
    if (!file_.isOpen()) return failWith(target_, SafeFile::describe(EBADF));
    if (!file_.sync()) return failWith(target_, file_.reason());
    const qint64 size = file_.size();
    if (size != written_) {
        return failWith(target_, size < 0
                                     ? file_.reason()
                                     : QStringLiteral("%1 of %2 bytes were written").arg(size).arg(written_));
    }
    if (!file_.close()) return failWith(target_, file_.reason());
    finished_ = true;
    return true;
}

bool SafeFileWriter::commit() {
    if (!finished_) return failWith(target_, SafeFile::describe(EBADF));
    if (!renamePath(temporary_, target_)) return failWith(target_, SafeFile::describe(errno));
    temporary_.clear();
    return true;
}

bool SafeFileWriter::commitTogether(const std::vector<SafeFileWriter*>& writers, WriteFailure& failure,
                                    const std::vector<QString>& removals, int stopAfterStep) {
    if (writers.empty() && removals.empty()) return true;
    const QString folder =
        QFileInfo(writers.empty() ? removals.front() : writers.front()->target_).absolutePath();
    const QString journalPath = QDir(folder).filePath(kJournalName);
    const auto fail = [&failure](const QString& path, int error) {
        failure = WriteFailure::at(path, SafeFile::describe(error));
        return false;
    };

    // Everything that can be checked is checked before the journal exists, so a refusal changes nothing.
    std::vector<JournalEntry> entries;
    for (SafeFileWriter* w : writers) {
        if (!w->finished_) return fail(w->target_, EBADF);
        if (QFileInfo(w->target_).absolutePath() != folder) return fail(w->target_, EXDEV);
        JournalEntry entry{w->temporary_, w->target_, w->written_, QString()};
        struct stat st {};
        if (::lstat(encoded(w->target_).constData(), &st) == 0) {
            // Only a previous file is replaced; whatever else took its place meanwhile stays.
            if (!S_ISREG(st.st_mode)) return fail(w->target_, placeError(st.st_mode));
            entry.backup = siblingName(w->target_, ".old~");
        }
        entries.push_back(entry);
    }
    for (const QString& path : removals) {
        if (QFileInfo(path).absolutePath() != folder) return fail(path, EXDEV);
        struct stat st {};
        if (::lstat(encoded(path).constData(), &st) != 0) continue; // already gone
        if (S_ISDIR(st.st_mode)) return fail(path, EISDIR);
        entries.push_back({QString(), path, -1, siblingName(path, ".old~")});
    }
    // A journal still there belongs to a change nobody finished; writing over it would lose that change.
    if (pathExists(journalPath)) {
        failure = WriteFailure::at(journalPath, QStringLiteral("an earlier save there was cut off and is not "
                                                               "finished yet"));
        return false;
    }

    int steps = 0;
    SafeFileWriter journal(journalPath, kStagedMark);
    // What a kill leaves: every file stays where it is, nothing is cleaned up.
    const auto stopHere = [&] {
        if (stopAfterStep < 0 || steps != stopAfterStep) return false;
        for (SafeFileWriter* w : writers)
            w->temporary_.clear();
        journal.temporary_.clear();
        failure = WriteFailure::at(journalPath, QStringLiteral("stopped after step %1").arg(steps));
        return true;
    };
    // A rename refused midway: back to the previous files, and the journal goes when that worked.
    const auto undo = [&](const QString& path, int error) {
        for (SafeFileWriter* w : writers)
            w->temporary_.clear(); // the roll-back removes what is left of them
        WriteFailure ignored;
        if (rollBack(entries, ignored) && ::unlink(encoded(journalPath).constData()) == 0) syncFolder(folder);
        return fail(path, error);
    };

    if (stopHere()) return false;
    if (!journal.begin() || !journal.append(journalText(entries)) || !journal.finish()) {
        failure = journal.failure();
        return false;
    }
    ++steps;
    if (stopHere()) return false;
    if (!journal.commit()) {
        failure = journal.failure();
        return false;
    }
    syncFolder(folder); // the journal is on the disk before the first file moves
    ++steps;
    if (stopHere()) return false;

    for (const JournalEntry& entry : entries) {
        if (!entry.backup.isEmpty()) {
            if (!renamePath(entry.target, entry.backup)) return undo(entry.target, errno);
            ++steps;
            if (stopHere()) return false;
        }
        if (!entry.staged.isEmpty()) {
            if (!renamePath(entry.staged, entry.target)) return undo(entry.target, errno);
            ++steps;
            if (stopHere()) return false;
        }
    }
    for (SafeFileWriter* w : writers)
        w->temporary_.clear();
    syncFolder(folder);

    // A set-aside file that cannot be removed keeps the journal, so the next start removes it.
    bool clean = true;
    for (const JournalEntry& entry : entries) {
        if (entry.backup.isEmpty()) continue;
        if (::unlink(encoded(entry.backup).constData()) != 0 && errno != ENOENT) clean = false;
        ++steps;
        if (stopHere()) return false;
    }
    if (clean && ::unlink(encoded(journalPath).constData()) == 0) syncFolder(folder);
    return true;
}

bool SafeFileWriter::finishInterruptedChanges(const QString& folder, WriteFailure& failure) {
    const QString journalPath = QDir(folder).filePath(kJournalName);
    SafeFile journal;
    if (journal.open(journalPath, SafeFile::Mode::Read)) {
        QByteArray text;
        std::vector<JournalEntry> entries;
        if (!journal.readAll(text, kJournalLimit)) {
            failure = WriteFailure::at(journalPath, journal.reason());
            return false;
        }
        journal.close();
        if (!parseJournal(text, QDir(folder), entries)) {
            failure = WriteFailure::at(journalPath, QStringLiteral("not a journal this program wrote"));
            return false;
        }
        if (!(allStaged(entries) ? rollForward(folder, entries, failure) : rollBack(entries, failure)))
            return false;
        if (::unlink(encoded(journalPath).constData()) != 0 && errno != ENOENT) {
            failure = WriteFailure::at(journalPath, SafeFile::describe(errno));
            return false;
        }
        syncFolder(folder);
    } else if (journal.error() != ENOENT) {
        failure = WriteFailure::at(journalPath, journal.reason());
        return false;
    }
    // Staged files of a save that was killed before its journal existed, and unfinished journals.
    const QDir dir(folder);
    const QStringList leftovers = dir.entryList({QStringLiteral(".*") + QString::fromLatin1(kStagedMark)},
                                                QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : leftovers)
        ::unlink(encoded(dir.filePath(name)).constData());
    return true;
}

bool SafeFileWriter::writeFile(const QString& path, const QByteArray& data, WriteFailure& failure) {
    SafeFileWriter writer(path);
    if (writer.begin()) {
        if (writer.append(data) && writer.finish() && writer.commit()) return true;
        failure = writer.failure();
        return false;
    }
    const bool folderRefused =
        writer.createError_ == EACCES || writer.createError_ == EPERM || writer.createError_ == EROFS;
    if (folderRefused && QFileInfo(path).isFile() && !QFileInfo(path).isSymLink())
        return rewriteInPlace(path, data, failure);
    failure = writer.failure();
    return false;
}

bool SafeFileWriter::rewriteInPlace(const QString& path, const QByteArray& data, WriteFailure& failure) {
    SafeFile file;
    QByteArray previous;
    if (!file.open(path, SafeFile::Mode::Existing) || !file.readAll(previous)) {
        failure = WriteFailure::at(path, file.reason());
        return false;
    }
    if (file.writeAt(0, data) && file.truncate(data.size()) && file.sync() && file.size() == data.size() &&
        file.close())
        return true;
    failure = WriteFailure::at(path, file.reason().isEmpty() ? QStringLiteral("the size does not match")
                                                             : file.reason());
    // Put the previous contents back; they fitted before, so their room is still there.
    SafeFile restore;
    if (restore.open(path, SafeFile::Mode::Existing) && restore.writeAt(0, previous) &&
        restore.truncate(previous.size()))
        static_cast<void>(restore.sync());
    restore.close();
    return false;
}

} // namespace aurivo
