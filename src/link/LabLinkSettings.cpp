#include "link/LabLinkSettings.h"

#include <QDir>
#include <QSettings>

namespace aurivo {

namespace {

QString filePath(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(LabLinkSettings::kFileName));
}

uint16_t port(const QSettings& s, const char* key, uint16_t fallback) {
    bool ok = false;
    const int value = s.value(QString::fromLatin1(key)).toInt(&ok);
    return ok && value >= 1 && value <= 65535 ? uint16_t(value) : fallback;
}

QString text(const QSettings& s, const char* key, const QString& fallback) {
    const QString value = s.value(QString::fromLatin1(key)).toString().trimmed();
    return value.isEmpty() ? fallback : value;
}

} // namespace

LabLinkSettings LabLinkSettings::load(const QString& folder) {
    LabLinkSettings out;
    QSettings s(filePath(folder), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("lablink"));
    out.sendEnabled = s.value(QStringLiteral("send"), false).toBool();
    out.sendHost = text(s, "sendHost", out.sendHost);
    out.sendPort = port(s, "sendPort", out.sendPort);
    out.receiveEnabled = s.value(QStringLiteral("receive"), false).toBool();
    out.listenAddress = text(s, "listenAddress", out.listenAddress);
    out.receivePort = port(s, "receivePort", out.receivePort);
    return out;
}

bool LabLinkSettings::save(const QString& folder, QString& failure) const {
    QSettings s(filePath(folder), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("lablink"));
    s.setValue(QStringLiteral("send"), sendEnabled);
    s.setValue(QStringLiteral("sendHost"), sendHost);
    s.setValue(QStringLiteral("sendPort"), int(sendPort));
    s.setValue(QStringLiteral("receive"), receiveEnabled);
    s.setValue(QStringLiteral("listenAddress"), listenAddress);
    s.setValue(QStringLiteral("receivePort"), int(receivePort));
    s.endGroup();
    s.sync();
    if (s.status() == QSettings::NoError) return true;
    failure = QStringLiteral("%1: could not be written").arg(QDir::toNativeSeparators(filePath(folder)));
    return false;
}

} // namespace aurivo
