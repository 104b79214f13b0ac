#include "recording/MarkerFile.h"

#include "recording/CsvText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace aurivo {

namespace {

QString failure(const QString& path, const QString& reason) {
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = failure(path_, systemReason(errno));
        return false;
    }
    struct stat st {};
    QByteArray out;
    if (::fstat(fd, &st) != 0) {
        reason = failure(path_, systemReason(errno));
        ::close(fd);
        return false;
    }
    if (st.st_size == 0) {
        out = QByteArray(kHeaderLine) + "\r\n";
    } else {
        // An unfinished line left by a crash stays on its own, so the new marker is not lost with it.
        char last = '\n';
        if (::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') out = "\r\n";
    }
    out += line(marker);

    qsizetype written = 0;
    int error = 0;
    while (written < out.size()) {
        const ssize_t n = ::write(fd, out.constData() + written, size_t(out.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        written += n;
    }
    // A line written in part is taken back, so the file holds no half line.
    const bool takenBack = error == 0 || written == 0 || ::ftruncate(fd, st.st_size) == 0;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        reason = failure(path_, systemReason(error));
        if (!takenBack) reason += QStringLiteral(" (an unfinished line remains; reading skips it)");
        return false;
    }
    return true;
}

bool MarkerFile::rewrite(const std::vector<Marker>& markers, QString& reason) const {
    QByteArray out = QByteArray(kHeaderLine) + "\r\n";
    for (const Marker& marker : markers)
        out += line(marker);
    QSaveFile file(path_);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        reason = failure(path_, file.errorString());
        return false;
    }
    return true;
}

bool MarkerFile::remove(QString& reason) const {
    const QByteArray name = QFile::encodeName(path_);
    if (::unlink(name.constData()) != 0 && errno != ENOENT) {
        reason = failure(path_, systemReason(errno));
        return false;
    }
    return true;
}

bool MarkerFile::read(const QString& path, Contents& contents, QString& reason) {
    contents = {};
    QFile file(path);
    if (!QFileInfo::exists(path)) return true;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = failure(path, file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = failure(path, file.errorString());
        return false;
    }
    // Only lines ended by a line feed are whole; what follows the last one was cut off by a crash.
    QList<QByteArray> lines = data.split('\n');
    if (!lines.last().isEmpty()) ++contents.skippedLines;
    lines.removeLast();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString text = QString::fromUtf8(lines[i]); // drops a byte order mark an editor may add
        if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
        if (i == 0) {
            if (text != QLatin1String(kHeaderLine)) {
                reason =
                    failure(path, QStringLiteral("the first line is not %1").arg(QLatin1String(kHeaderLine)));
                return false;
            }
            continue;
        }
        if (text.isEmpty()) continue;
        const std::optional<QStringList> fields = CsvText::split(text);
        bool timeOk = false, readingOk = false;
        Marker marker;
        if (fields && fields->size() == 3) {
            marker.timeSeconds = fields->at(0).toDouble(&timeOk);
            marker.reading = fields->at(1).toLongLong(&readingOk);
            marker.label = fields->at(2);
        }
        if (!timeOk || !readingOk || !std::isfinite(marker.timeSeconds) || marker.timeSeconds < 0 ||
            marker.reading < 0) {
            ++contents.skippedLines;
            continue;
        }
        contents.markers.push_back(std::move(marker));
    }
    return true;
}

} // namespace aurivo
