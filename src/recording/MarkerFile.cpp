#include "recording/MarkerFile.h"

#include "core/SafeFile.h"
#include "core/SafeFileWriter.h"
#include "recording/CsvText.h"
#include "recording/WholeLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <unistd.h>
#include <utility>

namespace aurivo {

namespace {

QString failure(const QString& path, const QString& reason) {
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

} // namespace

MarkerFile::MarkerFile(QString path) : path_(std::move(path)) {}

QString MarkerFile::pathForBase(const QString& basePath) {
    return basePath + QStringLiteral(".mrk");
}

QByteArray MarkerFile::line(const Marker& marker) {
    QString label = marker.label;
    for (QChar& c : label)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return QString::number(marker.timeSeconds, 'f', 3).toUtf8() + ',' + QByteArray::number(marker.reading) +
           ',' + CsvText::field(label).toUtf8() + "\r\n";
}

bool MarkerFile::append(const Marker& marker, QString& reason) const {
    // Like the other session files: no link followed, nothing but a regular file written to.
    SafeFile file;
    const bool existed = file.open(path_, SafeFile::Mode::Existing);
    if (!existed && (file.error() != ENOENT || !file.open(path_, SafeFile::Mode::Exclusive))) {
        reason = failure(path_, file.reason());
        return false;
    }
    QByteArray before;
    if (existed && !file.readAll(before)) {
        reason = failure(path_, file.reason());
        return false;
    }
    QByteArray out;
    if (before.isEmpty())
        out = QByteArray(kHeaderLine) + "\r\n";
    else if (!before.endsWith('\n'))
        out =
            "\r\n"; // an unfinished line left by a crash stays on its own, so the marker is not lost with it
    out += line(marker);
    if (!file.writeAt(before.size(), out)) {
        reason = failure(path_, file.reason());
        // A line written in part is taken back, so the file holds no half line.
        if (!file.truncate(before.size()))
            reason += QStringLiteral(" (an unfinished line remains; reading skips it)");
        return false;
    }
    if (!file.close()) {
        reason = failure(path_, file.reason());
        return false;
    }
    return true;
}

bool MarkerFile::rewrite(const std::vector<Marker>& markers, QString& reason) const {
    QByteArray out = QByteArray(kHeaderLine) + "\r\n";
    for (const Marker& marker : markers)
        out += line(marker);
    WriteFailure failed;
    if (!SafeFileWriter::writeFile(path_, out, failed)) {
        reason = failed.text();
        return false;
    }
    return true;
}

bool MarkerFile::remove(QString& reason) const {
    const QByteArray name = QFile::encodeName(path_);
    if (::unlink(name.constData()) != 0 && errno != ENOENT) {
        reason = failure(path_, SafeFile::describe(errno));
        return false;
    }
    return true;
}

QString MarkerFile::Contents::skippedNote(const QString& path) const {
    if (skippedLines == 0) return QString();
    return QStringLiteral("%1: %2 damaged or unfinished lines skipped")
        .arg(QFileInfo(path).fileName())
        .arg(skippedLines);
}

namespace {

// One line of the file (line end removed) as a marker; none when it does not parse.
std::optional<Marker> parseLine(const QString& text) {
    const std::optional<QStringList> fields = CsvText::split(text);
    if (!fields || fields->size() != 3) return std::nullopt;
    bool timeOk = false, readingOk = false;
    Marker marker;
    marker.timeSeconds = fields->at(0).toDouble(&timeOk);
    marker.reading = fields->at(1).toLongLong(&readingOk);
    marker.label = fields->at(2);
    if (!timeOk || !readingOk || !std::isfinite(marker.timeSeconds) || marker.timeSeconds < 0 ||
        marker.reading < 0)
        return std::nullopt;
    return marker;
}

} // namespace

bool MarkerFile::read(const QString& path, Contents& contents, QString& reason,
                      std::optional<int64_t> readingCount) {
    contents = {};
    WholeLines file;
    if (!WholeLines::read(path, kMaxBytes, QStringLiteral("a marker file"), file, reason)) return false;
    if (file.cutOff) ++contents.skippedLines;
    for (size_t i = 0; i < file.lines.size(); ++i) {
        const QByteArray& bytes = file.lines[i];
        if (bytes.isEmpty()) continue;
        if (contents.markers.size() >= size_t(kMaxMarkers)) {
            ++contents.skippedLines;
            continue;
        }
        const QString text = QString::fromUtf8(bytes);
        if (i == 0 && text == QLatin1String(kHeaderLine)) continue;
        std::optional<Marker> marker = parseLine(text);
        if (!marker || (readingCount && marker->reading > *readingCount)) {
            ++contents.skippedLines;
            continue;
        }
        contents.markers.push_back(std::move(*marker));
    }
    return true;
}

} // namespace aurivo
