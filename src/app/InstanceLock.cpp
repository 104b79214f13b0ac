#include "app/InstanceLock.h"

#include <QDir>

namespace aurivo {

InstanceLock::InstanceLock(const QString& folder) : folder_(folder), file_(QDir(folder).filePath(kFileName)) {
    // Never stale by age: a monitor runs for days. Only a lock whose process is gone is stale.
    file_.setStaleLockTime(0);
}

InstanceLock::Outcome InstanceLock::acquire() {
    if (file_.tryLock(0)) return Outcome::Taken;
    if (file_.error() == QLockFile::LockFailedError) {
        // The owner may let go between the failed try and this look; it is then named as it was.
        QString app;
        if (!file_.getLockInfo(&ownerPid_, &ownerHost_, &app)) ownerPid_ = 0;
        return Outcome::Held;
    }
    const QString path = QDir::toNativeSeparators(QDir(folder_).filePath(kFileName));
    problem_ = file_.error() == QLockFile::PermissionError ? QStringLiteral("%1: permission denied").arg(path)
                                                           : QStringLiteral("%1 cannot be made").arg(path);
    return Outcome::Unavailable;
}

QString InstanceLock::heldMessage() const {
    QString owner = ownerPid_ > 0 ? QStringLiteral("process %1").arg(ownerPid_) : QStringLiteral("a process");
    if (!ownerHost_.isEmpty()) owner += QStringLiteral(" on ") + ownerHost_;
    return QStringLiteral("The folder %1 is in use by another Aurivo USB monitor (%2).")
        .arg(QDir::toNativeSeparators(folder_), owner);
}

} // namespace aurivo
