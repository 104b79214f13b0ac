#include "recording/SessionSource.h"

#include <QDir>
#include <QFileInfo>

namespace aurivo {

namespace {

// The entry named base + extension in any case; the preferred spelling wins when several exist.
QString findEntry(const QDir& dir, const QStringList& entries, const QString& preferred) {
    if (entries.contains(preferred)) return dir.filePath(preferred);
    for (const QString& entry : entries)
        if (entry.compare(preferred, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

} // namespace

SessionSource SessionSource::fromPath(const QString& path) {
    const QFileInfo info(path);
    const QDir dir = info.dir();
    QString base = info.fileName();
    bool savedSpelling = false; // ".Tst", ".Hdr" as the file manager writes them
    for (const char* ext : {".tst", ".hdr", ".txt", ".mrk", ".tim", ".scr"}) {
        if (base.endsWith(QLatin1String(ext), Qt::CaseInsensitive)) {
            savedSpelling = base.at(base.size() - 3).isUpper();
            base.chop(4);
            break;
        }
    }
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    const QString tst = base + (savedSpelling ? QStringLiteral(".Tst") : QStringLiteral(".tst"));
    const QString hdr = base + (savedSpelling ? QStringLiteral(".Hdr") : QStringLiteral(".hdr"));
    SessionSource source;
    source.readingPath = findEntry(dir, entries, tst);
    if (source.readingPath.isEmpty()) source.readingPath = dir.filePath(tst);
    source.headerPath = findEntry(dir, entries, hdr);
    if (source.headerPath.isEmpty()) source.headerPath = dir.filePath(hdr);
    source.markerPath = findEntry(dir, entries, base + QStringLiteral(".mrk"));
    source.timingPath = findEntry(dir, entries, base + QStringLiteral(".tim"));
    source.responsePath = findEntry(dir, entries, base + QStringLiteral(".scr"));
    return source;
}

} // namespace aurivo
