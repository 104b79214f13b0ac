#pragma once
// The words in which the program tells the user that the sensor's port failed: at the start of a
// session (the port could not be opened) and during one (the device hung up).

#include <QString>
#include <QTime>
#include <cstdint>

namespace aurivo {

class PortMessages {
  public:
    // "The sensor's port COM3 (/dev/ttyUSB0) cannot be opened: in use by another program." and that the
    // session was stopped. device may be empty (the number names no device), reason the port's own words.
    static QString openFailed(int port, const QString& device, const QString& reason);
    // Why this user may not open a device, and what to do: the device's group may use it, but the user
    // is not in that group (add yourself, then log in again), or is in it only since the last login (log
    // in again); or only its owner may use it.
    struct Access {
        QString owner, group;
        bool groupMayUse = false;  // the group may read and write the device
        bool memberNow = false;    // this program runs with the group
        bool memberListed = false; // the user is listed in the group (takes effect at the next login)
    };
    static QString permissionDenied(const Access& access);
    // "The sensor on COM3 was disconnected at 10:11:12; the session was stopped (95 readings recorded)."
    static QString disconnected(int port, const QTime& at, int64_t readings);
};

} // namespace aurivo
