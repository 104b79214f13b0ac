#include "export/SessionExporter.h"

#include "analysis/ResponseTable.h"
#include "core/SafeFileWriter.h"
#include "export/CsvWriter.h"
#include "export/EdfWriter.h"
#include "export/LoadedSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aurivo {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// An unfinished export is named ".OUT.xxxxxxxx.part" beside OUT (OUT ends in .edf or .csv, each x a
// lower-case hexadecimal digit); the pattern finds those that an export killed or cut off by a power loss
// left behind.
const QRegularExpression& temporaryNamePattern() {
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.(?i:edf|csv)\\.[0-9a-f]{8}\\.part$"));
    return pattern;
}

// An export running elsewhere keeps writing to its file; one untouched for this long was abandoned.
constexpr time_t kStaleSeconds = 10 * 60;

// Removes the unfinished files of exports that ended without cleaning up (killed, or the machine went
// down) from the folder. Only this program's own names, regular files of this user untouched for
// kStaleSeconds, are removed. Whether their writer still runs is not asked: the folder may be shared
// with other machines, where a process number means nothing.
void removeAbandonedTemporaries(const QString& folder) {
    const QStringList names = QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
    const time_t now = ::time(nullptr);
    for (const QString& name : names) {
        if (!temporaryNamePattern().match(name).hasMatch()) continue;
        const QByteArray path = QFile::encodeName(QDir(folder).filePath(name));
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
            now - st.st_mtime < kStaleSeconds)
            continue;
        ::unlink(path.constData()); // housekeeping: a file that cannot be removed stays, unmentioned
    }
}

// Creates an empty file with a fresh hidden name beside outPath (permissions as for any new file).
QString createTemporary(const QString& outPath, QString& error) {
    const QFileInfo out(outPath);
    for (int attempt = 0;; ++attempt) {
        const QString path =
            out.dir().filePath(QStringLiteral(".%1.%2.part")
                                   .arg(out.fileName())
                                   .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST || attempt == 10) {
            error = exportFailure(
                outPath, QStringLiteral("cannot create a file in %1: %2")
                             .arg(QDir::toNativeSeparators(out.absolutePath()), systemReason(errno)));
            return {};
        }
    }
}

// Forces the file (or folder) to the disk; a rename is only as safe as the data it moves.
bool syncToDisk(const QString& path, int flags, int& error) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    if (!ok) error = errno;
    ::close(fd);
    return ok;
}

} // namespace

QString SessionExporter::responsesPathFor(const QString& csvPath) {
    QString base = csvPath;
    if (base.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) base.chop(4);
    return base + QStringLiteral(".scr.csv");
}

std::optional<ExportFormat> SessionExporter::formatFor(const QString& outPath) {
    if (outPath.endsWith(QStringLiteral(".edf"), Qt::CaseInsensitive)) return ExportFormat::Edf;
    if (outPath.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) return ExportFormat::Csv;
    return std::nullopt;
}

ExportResult SessionExporter::run(const QString& sessionPath, const QString& outPath,
                                  const ExportProgress& progress, const UnfinishedFileNotice& unfinished) {
    const std::optional<ExportFormat> format = formatFor(outPath);
    if (!format) {
        ExportResult result;
        result.error = exportFailure(outPath, QStringLiteral("the name must end in .edf or .csv"));
        return result;
    }
    return run(SessionSource::fromPath(sessionPath), outPath, *format, progress, unfinished);
}

ExportResult SessionExporter::run(const SessionSource& source, const QString& outPath, ExportFormat format,
                                  const ExportProgress& progress, const UnfinishedFileNotice& unfinished) {
    ExportResult result;
    if (QFileInfo(outPath).isDir()) {
        result.error = exportFailure(outPath, QStringLiteral("is a folder"));
        return result;
    }
    LoadedSession session;
    if (!LoadedSession::load(source, session, result.error)) return result;

    removeAbandonedTemporaries(QFileInfo(outPath).absolutePath());
    const QString temporary = createTemporary(outPath, result.error);
    if (temporary.isEmpty()) return result;
    if (unfinished) unfinished(temporary);
    QStringList warnings = session.warnings;
    QString error;
    ExportStatus status = format == ExportFormat::Edf
                              ? EdfWriter::write(session, temporary, progress, error, warnings)
                              : CsvWriter::write(session, temporary, progress, error);
    // Messages name the file the user asked for, not the temporary one.
    error.replace(QDir::toNativeSeparators(temporary), QDir::toNativeSeparators(outPath));
    int sysError = 0;
    if (status == ExportStatus::Done && !syncToDisk(temporary, O_RDONLY, sysError)) {
        status = ExportStatus::Failed;
        error = exportFailure(outPath, systemReason(sysError));
    }
    if (status == ExportStatus::Done &&
        std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(outPath).constData()) != 0) {
        status = ExportStatus::Failed;
        error = exportFailure(outPath, systemReason(errno));
    }
    if (status != ExportStatus::Done) QFile::remove(temporary);
    if (unfinished) unfinished(QString());
    if (status != ExportStatus::Done) {
        result.status = status;
        result.error = error;
        return result;
    }
    syncToDisk(QFileInfo(outPath).absolutePath(), O_RDONLY | O_DIRECTORY, sysError);
    if (format == ExportFormat::Csv) {
        // The session's skin-conductance responses go beside the readings, as the response table.
        QByteArray table = ResponseTable::header();
        ResponseTable::score(session.readings, session.markers, {},
                             [&table](const SkinResponse& r) { table += ResponseTable::line(r); });
        WriteFailure failed;
        if (!SafeFileWriter::writeFile(responsesPathFor(outPath), table, failed)) warnings << failed.text();
    }
    result.status = ExportStatus::Done;
    result.warnings = warnings;
    result.readings = int64_t(session.readings.size());
    result.markers = int64_t(session.markers.size());
    return result;
}

} // namespace aurivo
