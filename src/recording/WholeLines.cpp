#include "recording/WholeLines.h"

#include "core/SafeFile.h"

#include <QDir>
#include <algorithm>
#include <cerrno>

namespace aurivo {

namespace {
QString failure(const QString& path, const QString& reason) {
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}
} // namespace

bool WholeLines::read(const QString& path, qint64 maxBytes, const QString& kind, WholeLines& out,
                      QString& reason) {
    out = {};
    SafeFile file;
    if (!file.open(path, SafeFile::Mode::Read)) {
        if (file.error() == ENOENT) return true;
        reason = failure(path, file.reason());
        return false;
    }
    out.exists = true;
    // The size is checked before anything is read, and the read stops one byte past the limit in case the
    // file grows meanwhile.
    const qint64 size = file.size();
    QByteArray data;
    if (size < 0 || (size <= maxBytes && !file.readAll(data, maxBytes + 1))) {
        reason = failure(path, file.reason());
        return false;
    }
    if (size > maxBytes || data.size() > maxBytes) {
        reason = failure(path, QStringLiteral("the file holds %1 bytes, more than the %2 MB %3 may hold")
                                   .arg(std::max<qint64>(size, data.size()))
                                   .arg(maxBytes / (1024 * 1024))
                                   .arg(kind));
        return false;
    }
    for (qsizetype start = 0;;) {
        const qsizetype end = data.indexOf('\n', start);
        if (end < 0) {
            out.cutOff = start < data.size();
            break;
        }
        QByteArray line = data.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) line.chop(1);
        if (out.lines.empty() && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
        out.lines.push_back(std::move(line));
    }
    return true;
}

} // namespace aurivo
