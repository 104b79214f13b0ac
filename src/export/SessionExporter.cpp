#include "export/SessionExporter.h"

#include "export/CsvWriter.h"
#include "export/EdfWriter.h"
#include "export/LoadedSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace aurivo {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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

std::optional<ExportFormat> SessionExporter::formatFor(const QString& outPath) {
    if (outPath.endsWith(QStringLiteral(".edf"), Qt::CaseInsensitive)) return ExportFormat::Edf;
    if (outPath.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) return ExportFormat::Csv;
    return std::nullopt;
}

ExportResult SessionExporter::run(const QString& sessionPath, const QString& outPath,
                                  const ExportProgress& progress) {
    const std::optional<ExportFormat> format = formatFor(outPath);
    if (!format) {
        ExportResult result;
        result.error = exportFailure(outPath, QStringLiteral("the name must end in .edf or .csv"));
        return result;
    }
    return run(SessionSource::fromPath(sessionPath), outPath, *format, progress);
}

ExportResult SessionExporter::run(const SessionSource& source, const QString& outPath, ExportFormat format,
                                  const ExportProgress& progress) {
    ExportResult result;
    if (QFileInfo(outPath).isDir()) {
        result.error = exportFailure(outPath, QStringLiteral("is a folder"));
        return result;
    }
    LoadedSession session;
    if (!LoadedSession::load(source, session, result.error)) return result;

    const QString temporary = createTemporary(outPath, result.error);
    if (temporary.isEmpty()) return result;
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
    if (status != ExportStatus::Done) {
        QFile::remove(temporary);
        result.status = status;
        result.error = error;
        return result;
    }
    syncToDisk(QFileInfo(outPath).absolutePath(), O_RDONLY | O_DIRECTORY, sysError);
    result.status = ExportStatus::Done;
    result.warnings = warnings;
    result.readings = int64_t(session.readings.size());
    result.markers = int64_t(session.markers.size());
    return result;
}

} // namespace aurivo
