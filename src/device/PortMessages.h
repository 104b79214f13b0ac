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
    // "The sensor on COM3 was disconnected at 10:11:12; the session was stopped (95 readings recorded)."
    static QString disconnected(int port, const QTime& at, int64_t readings);
};

} // namespace aurivo
