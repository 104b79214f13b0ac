#include "device/PortMap.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <utility>

namespace aurivo {

namespace {

int groupOf(const QString& name) {
    if (name.startsWith(QLatin1String("ttyUSB"))) return 0;
    if (name.startsWith(QLatin1String("ttyACM"))) return 1;
    return 2;
}

// Natural order: runs of digits compare by value, everything else character by character.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ie = i;
            qsizetype je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            // Compare digit runs by value without overflow: strip leading zeros, then by length.
            QStringView da = QStringView(a).mid(i, ie - i);
            QStringView db = QStringView(b).mid(j, je - j);
            while (da.size() > 1 && da.front() == u'0')
                da = da.mid(1);
            while (db.size() > 1 && db.front() == u'0')
                db = db.mid(1);
            if (da.size() != db.size()) return da.size() < db.size();
            const int c = da.compare(db);
            if (c != 0) return c < 0;
            i = ie;
            j = je;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
    return a < b;
}

} // namespace

PortMap::PortMap(QString programFolder) : programFolder_(std::move(programFolder)) {}

QString PortMap::linkPath(int port) const {
    return QDir(programFolder_).filePath(QStringLiteral("ports/com%1").arg(port));
}

QString PortMap::devicePath(int port) const {
    if (port < kFirstPort || port > kLastPort) return {};
    const QString link = linkPath(port);
    const QFileInfo info(link);
    if (info.isSymLink() || info.exists()) return link;
    const QStringList system = systemPorts();
    if (port <= system.size()) return system.at(port - 1);
    return {};
}

QString PortMap::canonicalPath(int port) const {
    const QString path = devicePath(port);
    if (path.isEmpty()) return {};
    return QFileInfo(path).canonicalFilePath();
}

QString PortMap::describe(int port) const {
    const QString path = canonicalPath(port);
    if (path.isEmpty()) return {};
    if (path.startsWith(QLatin1String("/dev/pts/"))) return path + QStringLiteral(", pseudo-terminal");
    const QSerialPortInfo info(path);
    QString what = info.description().trimmed();
    const QString maker = info.manufacturer().trimmed();
    if (!maker.isEmpty() && !what.startsWith(maker, Qt::CaseInsensitive))
        what = what.isEmpty() ? maker : maker + QLatin1Char(' ') + what;
    return what.isEmpty() ? path : path + QStringLiteral(", ") + what;
}

QStringList PortMap::systemPorts() {
    QStringList paths;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        paths.append(info.systemLocation());
    return orderPortNames(paths);
}

QStringList PortMap::orderPortNames(QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const QString na = QFileInfo(a).fileName();
        const QString nb = QFileInfo(b).fileName();
        const int ga = groupOf(na);
        const int gb = groupOf(nb);
        if (ga != gb) return ga < gb;
        if (na != nb) return naturalLess(na, nb);
        return a < b;
    });
    return names;
}

} // namespace aurivo
