#pragma once
// Turns a port number 1..16 into a device. An entry ports/comN in the program folder (a link to
// /dev/ttyUSB0, a /dev/serial/by-id name or a pseudo-terminal) names the device directly; without one,
// the numbers go in order to the serial devices the system reports: ttyUSB*, then ttyACM*, then the
// rest, each group in numeric order. Devices are opened by their canonical path, so that every name
// of one device shares one lock file.

#include <QString>
#include <QStringList>

namespace aurivo {

class PortMap {
  public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;

    explicit PortMap(QString programFolder);

    // The path of ports/comN in the program folder (whether or not it exists).
    QString linkPath(int port) const;
    // The device as named: ports/comN if that entry exists (even a dangling link), otherwise the
    // system device for that number; empty when the number names nothing.
    QString devicePath(int port) const;
    // devicePath with every link resolved; empty when the device does not exist.
    QString canonicalPath(int port) const;

    // The device in words for the port chooser: its canonical path and what the system says of it
    // ("/dev/ttyUSB0, FTDI FT232R USB UART", "/dev/pts/3, pseudo-terminal"); empty when none.
    QString describe(int port) const;

    // System serial devices (full paths, e.g. /dev/ttyUSB0) in the order the port numbers take them.
    static QStringList systemPorts();
    // Orders device names (or paths) as systemPorts does: ttyUSB*, ttyACM*, then the rest; within a
    // group by name with embedded numbers compared numerically (ttyUSB2 before ttyUSB10).
    static QStringList orderPortNames(QStringList names);

  private:
    QString programFolder_;
};

} // namespace aurivo
