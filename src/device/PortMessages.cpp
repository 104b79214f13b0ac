#include "device/PortMessages.h"

#include <QDir>

namespace aurivo {

QString PortMessages::openFailed(int port, const QString& device, const QString& reason) {
    const QString where = device.isEmpty()
                              ? QStringLiteral("COM%1").arg(port)
                              : QStringLiteral("COM%1 (%2)").arg(port).arg(QDir::toNativeSeparators(device));
    const QString why = reason.isEmpty() ? QStringLiteral("no reason given") : reason;
    return QStringLiteral("The sensor's port %1 cannot be opened: %2.\r\nThe session was stopped.")
        .arg(where, why);
}

QString PortMessages::disconnected(int port, const QTime& at, int64_t readings) {
    return QStringLiteral("The sensor on COM%1 was disconnected at %2; the session was stopped (%3 readings "
                          "recorded).")
        .arg(port)
        .arg(at.toString(QStringLiteral("HH:mm:ss")))
        .arg(readings);
}

QString PortMessages::permissionDenied(const Access& a) {
    if (!a.groupMayUse)
        return QStringLiteral("permission denied: only %1 may use this device (group %2 may not)")
            .arg(a.owner, a.group);
    if (a.memberListed && !a.memberNow)
        return QStringLiteral("permission denied: you were added to the group %1; log out and in again")
            .arg(a.group);
    if (!a.memberNow)
        return QStringLiteral(
                   "permission denied: add your user to the group %1 (sudo adduser $USER %1), then log "
                   "in again")
            .arg(a.group);
    return QStringLiteral("permission denied");
}

} // namespace aurivo
