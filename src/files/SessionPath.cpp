#include "files/SessionPath.h"

#include <QDir>
#include <QFileInfo>

namespace aurivo {

SessionPath splitSessionPath(const QString& path) {
    SessionPath result;
    // On this platform an absolute path takes the place of the drive letter and its colon.
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) {
        result.status = SessionPath::Status::NotAbsolute;
        return result;
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    result.folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) {
        result.status = SessionPath::Status::NoName;
        return result;
    }
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    result.tstPath = result.folder + base + QStringLiteral(".Tst");
    result.hdrPath = result.folder + base + QStringLiteral(".Hdr");
    result.txtPath = result.folder + base + QStringLiteral(".Txt");
    result.status = SessionPath::Status::Ok;
    return result;
}

QString resolveFileCase(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) return path;
    const QDir folder = info.dir();
    const QString name = info.fileName();
    if (name.isEmpty()) return path;
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return info.path() + QLatin1Char('/') + entry;
    return path;
}

} // namespace aurivo
