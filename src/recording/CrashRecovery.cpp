#include "recording/CrashRecovery.h"

#include "core/NumberRules.h"
#include "core/SafeFile.h"
#include "core/SafeFileWriter.h"
#include "recording/SessionHeaderFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

constexpr const char* kTemporaryBase = "tempdata";
// The sensor sends 20 packets a second, and each stored reading is one packet.
constexpr int64_t kMillisecondsPerReading = 50;
// A journal or run record holds a few session names; anything much longer is not one of ours.
constexpr qint64 kMaxRecordBytes = 64 * 1024;

struct SessionPaths {
    QString tst, txt, hdr, mrk, tim, scr;
};

SessionPaths pathsOf(const QDir& folder, const QString& base) {
    return {folder.filePath(base + QStringLiteral(".tst")), folder.filePath(base + QStringLiteral(".txt")),
            folder.filePath(base + QStringLiteral(".hdr")), folder.filePath(base + QStringLiteral(".mrk")),
            folder.filePath(base + QStringLiteral(".tim")), folder.filePath(base + QStringLiteral(".scr"))};
}

// Any entry at the path, a dangling link included.
bool entryExists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// A regular file that is not reached through a link.
bool isPlainFile(const QString& path) {
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile();
}

// A rename within the folder: never a copy, so nothing can be left half-made.
bool moveFile(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool removeFile(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

// The name of a file in the program's folder, never a path or a temporary session.
bool plainName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')))
        return false;
    if (name.section(QLatin1Char('.'), 0, 0).compare(QLatin1String(kTemporaryBase), Qt::CaseInsensitive) == 0)
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control || c.isNull(); });
}

// The journal and the run record: session names, one a line. Only whole lines count, and a line that is
// not a plain name is left out.
enum class Record { None, Damaged, Named };

Record readRecord(const QString& path, QStringList& names) {
    names.clear();
    SafeFile file;
    QByteArray bytes;
    // Not through a link and never a pipe: the record is the program's own file.
    if (!file.open(path, SafeFile::Mode::Read) || !file.readAll(bytes, kMaxRecordBytes + 1))
        return Record::None;
    if (bytes.size() > kMaxRecordBytes) return Record::Damaged;
    for (qsizetype start = 0, end; (end = bytes.indexOf('\n', start)) >= 0; start = end + 1) {
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        const QString name = QString::fromUtf8(line);
        if (plainName(name) && !names.contains(name)) names << name;
    }
    return names.isEmpty() ? Record::Damaged : Record::Named;
}

bool writeRecord(const QString& path, const QStringList& names, WriteFailure& failure) {
    QByteArray bytes;
    for (const QString& name : names)
        bytes += name.toUtf8() + QByteArrayLiteral("\r\n");
    return SafeFileWriter::writeFile(path, bytes, failure);
}

// The header holds its five items: the session was stopped, or its recovery has written it.
bool headerComplete(const QString& hdrPath) {
    QStringList items;
    QString reason;
    return !QFileInfo(hdrPath).isSymLink() && SessionHeaderFile::readItems(hdrPath, 5, items, reason) &&
           items.size() >= 5;
}

// The named sessions whose headers are not whole yet: running, or cut off and not completed so far.
QStringList unfinished(const QDir& folder, const QStringList& names) {
    QStringList left;
    for (const QString& name : names) {
        const QString base = folder.filePath(name);
        if (isPlainFile(base + QStringLiteral(".tst")) && !headerComplete(base + QStringLiteral(".hdr")))
            left << name;
    }
    return left;
}

// The run record keeps exactly the names given; without any it goes.
void keepRecord(const QString& path, const QStringList& before, const QStringList& names) {
    WriteFailure ignored; // a record that cannot be changed is corrected by the next start or stop
    if (names.isEmpty())
        removeFile(path);
    else if (names != before)
        static_cast<void>(writeRecord(path, names, ignored));
}

// Byte offset just past the n-th CR LF (or LF) line of the text, or past the last whole line when the
// text has fewer.
qint64 endOfLines(const QByteArray& text, int64_t n) {
    qint64 end = 0;
    for (int64_t line = 0; line < n; ++line) {
        const qsizetype at = text.indexOf('\n', end);
        if (at < 0) break;
        end = at + 1;
    }
    return end;
}

// Cuts the open file to `size` bytes when it is longer, keeping its time of last change: that is the time
// of the session's last reading, which names the recovered session and dates its start.
bool cutTo(SafeFile& file, qint64 length, qint64 size) {
    if (length == size) return file.close();
    struct stat before {};
    const QByteArray name = QFile::encodeName(file.path());
    const bool timed = ::lstat(name.constData(), &before) == 0;
    if (!file.truncate(size) || !file.close()) return false;
    if (timed) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
        ::utimensat(AT_FDCWD, name.constData(), times, AT_SYMLINK_NOFOLLOW);
    }
    return true;
}

struct Measured {
    int64_t count = 0;
    double minADC = 16383;
    double maxADC = 0;
};

// The reading file and the text file are written together every tick; should the end of one have been
// lost, both are cut to the readings they share, and never inside a record or a line. Cutting again
// changes nothing, so a recovery cut off can do this once more.
bool measure(const QString& tstPath, const QString& txtPath, Measured& out, QString& failure) {
    SafeFile tst, txt;
    QByteArray records, lines;
    if (!tst.open(tstPath, SafeFile::Mode::Existing) || !tst.readAll(records)) {
        failure = WriteFailure::at(tstPath, tst.reason()).text();
        return false;
    }
    const bool hasText = isPlainFile(txtPath);
    if (hasText && (!txt.open(txtPath, SafeFile::Mode::Existing) || !txt.readAll(lines))) {
        failure = WriteFailure::at(txtPath, txt.reason()).text();
        return false;
    }
    out = {};
    out.count = records.size() / 4;
    if (hasText) out.count = std::min<int64_t>(out.count, lines.count('\n'));
    for (int64_t i = 0; i < out.count; ++i) {
        const int32_t a = qFromLittleEndian<int32_t>(records.constData() + 4 * i);
        if (a < 1) continue; // the readers skip these too
        out.minADC = std::min<double>(out.minADC, a);
        out.maxADC = std::max<double>(out.maxADC, a);
    }
    if (!cutTo(tst, records.size(), 4 * out.count)) {
        failure = WriteFailure::at(tstPath, tst.reason()).text();
        return false;
    }
    if (hasText && !cutTo(txt, lines.size(), endOfLines(lines, out.count))) {
        failure = WriteFailure::at(txtPath, txt.reason()).text();
        return false;
    }
    return true;
}

// The header a stop would have written, with the recovery said in the comments.
QByteArray recoveredHeader(const Measured& m, const QString& tstPath) {
    const QString comments =
        SessionHeaderFile::startLineFor(CrashRecovery::estimatedStart(tstPath, m.count)) +
        QStringLiteral("\r\n") + QString::fromLatin1(CrashRecovery::kComment);
    return SessionHeaderFile::bytes({QStringLiteral("MinADC"), numbers::numberText(m.minADC),
                                     QStringLiteral("MaxADC"), numbers::numberText(m.maxADC), comments});
}

// A name recovered-<time>[-k] that no entry of the folder has in any case and with any extension.
QString freeName(const QDir& folder, const QDateTime& when) {
    const QString stem = QStringLiteral("recovered-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int k = 1;; ++k) {
        const QString name = k == 1 ? stem : stem + QStringLiteral("-%1").arg(k);
        const QStringList taken =
            folder.entryList({name + QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
        if (taken.isEmpty()) return name;
    }
}

QString folderText(const QDir& folder) {
    return QDir::toNativeSeparators(folder.path());
}

CrashRecovery::Outcome temporaryFailed(const QString& why, bool finishedNextStart) {
    CrashRecovery::Outcome outcome;
    outcome.keepTemporaryFiles = true;
    outcome.notice =
        QStringLiteral("The session that was being recorded when the program ended unexpectedly could not be "
                       "recovered:\r\n%1\r\n")
            .arg(why) +
        (finishedNextStart
             ? QStringLiteral("Its files are kept; the recovery is completed at the next start.")
             : QStringLiteral(
                   "Its files are kept as tempdata.hdr, tempdata.tst and tempdata.txt until the next "
                   "session starts."));
    return outcome;
}

// The outcome of a recovery that stops before its end: the temporary files still hold the session.
CrashRecovery::Outcome pendingRecovery() {
    CrashRecovery::Outcome pending;
    pending.keepTemporaryFiles = true;
    return pending;
}

// Before anything has moved, a failure undoes the journal: the session stays whole where it was.
CrashRecovery::Outcome abandonMove(const SessionPaths& to, const QString& journal, const QString& why) {
    removeFile(to.hdr);
    return temporaryFailed(why, !removeFile(journal));
}

// Writes the recovered header under the new name, measured on the reading and text files wherever they
// are now; nothing when it is written or was already whole, else the failure's outcome.
std::optional<CrashRecovery::Outcome> writeRecoveredHeader(const SessionPaths& from, const SessionPaths& to,
                                                           const QString& journal, bool readingsMoved,
                                                           bool laterSession) {
    if (headerComplete(to.hdr)) return std::nullopt;
    Measured m;
    QString failure;
    const QString tst = readingsMoved ? to.tst : from.tst;
    const QString txt = entryExists(to.txt) || laterSession ? to.txt : from.txt;
    WriteFailure written;
    if (!measure(tst, txt, m, failure))
        return readingsMoved ? temporaryFailed(failure, true) : abandonMove(to, journal, failure);
    if (!SafeFileWriter::writeFile(to.hdr, recoveredHeader(m, tst), written))
        return readingsMoved ? temporaryFailed(written.text(), true)
                             : abandonMove(to, journal, written.text());
    return std::nullopt;
}

// Moves the session's files that are still to move, the reading file first: the other files follow it.
// The marker, timing and response files are optional (a timing file may name a tick beyond the readings
// kept: readers leave such lines out). Nothing when every file is in place; else the outcome to end
// with: a failure, or the stop after a step.
std::optional<CrashRecovery::Outcome> moveSessionFiles(const SessionPaths& from, const SessionPaths& to,
                                                       const QString& journal, bool laterSession,
                                                       int stopAfterStep) {
    const std::pair<QString, QString> moves[] = {
        {from.tst, to.tst}, {from.txt, to.txt}, {from.mrk, to.mrk}, {from.tim, to.tim}, {from.scr, to.scr}};
    int step = 3;
    for (const auto& [source, target] : moves) {
        const bool due = !laterSession && isPlainFile(source) && !entryExists(target);
        if (due && !moveFile(source, target)) {
            const QString why = WriteFailure::at(target, SafeFile::describe(errno)).text();
            // Back to the temporary names, so the session is whole under one name again.
            bool restored = true;
            for (const auto& [back, moved] : moves)
                if (entryExists(moved) && !entryExists(back)) restored = moveFile(moved, back) && restored;
            return restored ? abandonMove(to, journal, why) : temporaryFailed(why, true);
        }
        if (stopAfterStep == step++) return pendingRecovery();
    }
    return std::nullopt;
}

// The moved session gets its text file if it has none, and the temporary header goes once no temporary
// reading file is left to need it.
void completeMovedSession(const SessionPaths& from, const SessionPaths& to) {
    // A session always has its text file; one that could not be made is recovered with an empty one,
    // made only now: an empty text file before the moves would cut the readings to none when measured.
    WriteFailure ignored; // the program never reads the text file back
    if (!entryExists(to.txt)) static_cast<void>(SafeFileWriter::writeFile(to.txt, QByteArray(), ignored));
    if (!entryExists(from.tst)) removeFile(from.hdr);
}

// The session is whole under its new name: the journal goes, and the user is told.
CrashRecovery::Outcome recoveredOutcome(const QDir& folder, const QString& name, const SessionPaths& to,
                                        const QString& journal) {
    CrashRecovery::Outcome outcome;
    // A journal that cannot be removed is finished again by the next start, which then finds every file
    // in place; until then the temporary files stay.
    outcome.keepTemporaryFiles = !removeFile(journal);
    outcome.name = name;
    outcome.notice = QStringLiteral("The program ended unexpectedly during a session. Its %1 readings were "
                                    "recovered as the saved session \"%2\" in %3.")
                         .arg(QFileInfo(to.tst).size() / 4)
                         .arg(name, folderText(folder));
    return outcome;
}

// Moves the temporary session to `name`, as the journal says. A run cut off may have done any of the
// steps already: each one looks at what is in place first. Once the reading file has moved, a temporary
// reading file can only belong to a later session (a journal whose removal failed), and the temporary
// files are then left to that session.
CrashRecovery::Outcome finishMove(const QDir& folder, const QString& name, int stopAfterStep) {
    const SessionPaths from = pathsOf(folder, QString::fromLatin1(kTemporaryBase));
    const SessionPaths to = pathsOf(folder, name);
    const QString journal = folder.filePath(QString::fromLatin1(CrashRecovery::kJournalName));

    const bool readingsMoved = entryExists(to.tst);
    if (!readingsMoved && (!isPlainFile(from.tst) || headerComplete(from.hdr))) {
        // Nothing of it is left to move: its reading file is gone, or the temporary files now hold a
        // session that was stopped normally.
        removeFile(journal);
        return {};
    }
    const bool laterSession = readingsMoved && entryExists(from.tst);
    if (auto failed = writeRecoveredHeader(from, to, journal, readingsMoved, laterSession)) return *failed;
    if (stopAfterStep == 2) return pendingRecovery();
    if (auto ended = moveSessionFiles(from, to, journal, laterSession, stopAfterStep)) return *ended;
    completeMovedSession(from, to);
    if (stopAfterStep == 8) return pendingRecovery();
    return recoveredOutcome(folder, name, to, journal);
}

CrashRecovery::Outcome recoverTemporary(const QDir& folder, int stopAfterStep) {
    const SessionPaths from = pathsOf(folder, QString::fromLatin1(kTemporaryBase));
    const QFileInfo tstInfo(from.tst);
    if (!isPlainFile(from.tst) || tstInfo.size() < 4) return {};
    if (headerComplete(from.hdr)) return {}; // stopped normally

    Measured m;
    QString failure;
    if (!measure(from.tst, from.txt, m, failure)) return temporaryFailed(failure, false);
    if (m.maxADC < 1) return {}; // nothing a replay could draw
    WriteFailure written;
    const QString name = freeName(folder, tstInfo.lastModified());
    if (!writeRecord(folder.filePath(QString::fromLatin1(CrashRecovery::kJournalName)), {name}, written))
        return temporaryFailed(written.text(), false);
    if (stopAfterStep == 1) return pendingRecovery();
    return finishMove(folder, name, stopAfterStep);
}

void add(CrashRecovery::Outcome& into, const CrashRecovery::Outcome& more) {
    if (!more.notice.isEmpty())
        into.notice += (into.notice.isEmpty() ? QString() : QStringLiteral("\r\n\r\n")) + more.notice;
    if (!more.name.isEmpty()) into.name = more.name;
    into.keepTemporaryFiles = into.keepTemporaryFiles || more.keepTemporaryFiles;
}

CrashRecovery::Outcome recoverNamed(const QDir& folder) {
    const QString recordPath = folder.filePath(QString::fromLatin1(CrashRecovery::kRunningName));
    QStringList names;
    const Record record = readRecord(recordPath, names);
    if (record == Record::Damaged) removeFile(recordPath);
    if (record != Record::Named) return {};

    CrashRecovery::Outcome outcome;
    QStringList left; // the sessions whose headers could not be completed: the next start tries again
    for (const QString& name : unfinished(folder, names)) {
        const SessionPaths files = pathsOf(folder, name);
        Measured m;
        QString failure;
        WriteFailure written;
        QString told;
        if (!measure(files.tst, files.txt, m, failure) ||
            !SafeFileWriter::writeFile(files.hdr, recoveredHeader(m, files.tst), written)) {
            left << name;
            told = QStringLiteral("The session \"%1\" was being recorded when the program ended "
                                  "unexpectedly, and its header could not be completed:\r\n%2\r\nIts files "
                                  "stay as they are; the next start tries again.")
                       .arg(name, failure.isEmpty() ? written.text() : failure);
        } else if (m.count > 0) {
            told = QStringLiteral("The program ended unexpectedly during the session \"%1\". Its %2 readings "
                                  "were recovered in %3 and its header was completed.")
                       .arg(name)
                       .arg(m.count)
                       .arg(folderText(folder));
        }
        CrashRecovery::Outcome one;
        one.notice = told;
        add(outcome, one);
    }
    keepRecord(recordPath, names, left);
    return outcome;
}

QDateTime fromTimestamp(const struct statx_timestamp& t) {
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000);
}

} // namespace

CrashRecovery::Outcome CrashRecovery::recover(const QString& programFolder, int stopAfterStep) {
    const QDir folder(programFolder);
    Outcome result;
    const QString journal = folder.filePath(QString::fromLatin1(kJournalName));
    QStringList names;
    switch (readRecord(journal, names)) {
    case Record::Named:
        add(result, finishMove(folder, names.front(), 0));
        break;
    case Record::Damaged:
        removeFile(journal); // not written by a recovery: no session is named in it
        break;
    case Record::None:
        break;
    }
    // With a recovery still unfinished the temporary files are its own; they are not recovered twice.
    if (!recoveryPending(programFolder)) add(result, recoverTemporary(folder, stopAfterStep));
    if (stopAfterStep > 0) return result;
    add(result, recoverNamed(folder));
    return result;
}

bool CrashRecovery::recoveryPending(const QString& programFolder) {
    return entryExists(QDir(programFolder).filePath(QString::fromLatin1(kJournalName)));
}

QString CrashRecovery::namedSessionStarted(const QString& programFolder, const QString& baseName) {
    const QDir folder(programFolder);
    const QString path = folder.filePath(QString::fromLatin1(kRunningName));
    QStringList names;
    static_cast<void>(readRecord(path, names));
    // Sessions still waiting for their header stay in the record beside the new one.
    names = unfinished(folder, names);
    names.removeAll(baseName);
    names << baseName;
    WriteFailure failure;
    return writeRecord(path, names, failure) ? QString() : failure.text();
}

void CrashRecovery::sessionStopped(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString path = folder.filePath(QString::fromLatin1(kRunningName));
    QStringList names;
    if (readRecord(path, names) == Record::None) return;
    // A header that the stop could not write (a full disk) leaves the session as a crash would: its name
    // stays, so the next start completes it.
    keepRecord(path, names, unfinished(folder, names));
}

QDateTime CrashRecovery::estimatedStart(const QString& tstPath, int64_t readings) {
    struct statx st {};
    const bool known = ::statx(AT_FDCWD, QFile::encodeName(tstPath).constData(), AT_SYMLINK_NOFOLLOW,
                               STATX_MTIME | STATX_BTIME, &st) == 0;
    const QDateTime modified = known && (st.stx_mask & STATX_MTIME) ? fromTimestamp(st.stx_mtime)
                                                                    : QFileInfo(tstPath).lastModified();
    const qint64 nominal = readings * kMillisecondsPerReading;
    // The last reading was written at the last change; before it the readings came 20 a second.
    const QDateTime estimate = modified.addMSecs(-nominal);
    if (known && (st.stx_mask & STATX_BTIME)) {
        // The file is made when the session starts. A name used again empties its reading file instead of
        // making a new one, so the birth may be that of an earlier session: it is taken only when the
        // readings fit between it and the last change at no less than half their rate (and a minute).
        const QDateTime born = fromTimestamp(st.stx_btime);
        if (born <= modified && born >= estimate.addMSecs(-nominal - 60000)) return born;
    }
    return estimate;
}

} // namespace aurivo
