#pragma once
// The serial-port component on QSerialPort. The port number is turned into a device by PortMap and
// opened by its canonical path, exclusively (Qt's lock file plus TIOCEXCL).
//
// Reception is polled: inBufferCount() moves whatever has arrived into the component's own receive
// buffer (at most InBufferSize bytes) and input() hands all of it out in one block. The bytes are read
// straight from the operating system with a non-blocking read(2) on the port's descriptor (Qt's own
// reading is switched off, so the event loop does not wake for every packet), so polling works with or
// without an event loop and never waits. A device that has gone (a pseudo-terminal whose other side hung
// up, an unplugged adapter) makes inBufferCount() return -1 once the bytes received before are used up;
// bytes the system still held for the line when it went are lost with it.

#include "device/PortMap.h"
#include "device/SerialComm.h"

#include <QSerialPort>

struct stat; // <sys/stat.h>

namespace aurivo {

class QtSerialComm : public SerialComm {
  public:
    explicit QtSerialComm(QString programFolder);
    ~QtSerialComm() override;

    QtSerialComm(const QtSerialComm&) = delete;
    QtSerialComm& operator=(const QtSerialComm&) = delete;

    void setCommPort(int port) override { commPort_ = port; }
    int commPort() const override { return commPort_; }
    void setSettings(const QString& settings) override { settings_ = settings; }
    void setInBufferSize(int size) override { inBufferSize_ = size; }

    int setPortOpen(bool open) override;
    bool portOpen() const override;

    int inBufferCount() override;
    QByteArray input() override;

    QString lastErrorText() const override { return lastErrorText_; }
    QString lastDevicePath() const override { return lastDevicePath_; }

    // The canonical path of the open device; empty while closed.
    QString openDevicePath() const { return openPath_; }

    // Line settings read from a text such as "19200,N,8,1"; ok is false when the text is malformed.
    struct LineSettings {
        bool ok = false;
        qint32 baudRate = 0;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };
    [[nodiscard]] static LineSettings parseSettings(const QString& settings);

  private:
    int openPort();
    // The steps of opening the port. Those that can fail return 0, or the failure code with
    // lastErrorText_ saying why; a step that fails after the device was opened closes it again.
    //
    // The port's device by its canonical path (with its status), which must be a character device.
    int findDevice(QString& path, struct stat& st);
    // Opens the device through Qt; a failure is told apart by Qt's error and the device's access rights.
    int openDevice(const QString& path, const struct stat& st);
    int lockExclusively(const QString& path);
    void makeReadsNonBlocking();
    // Speed, data bits, parity and stop bits from the settings text, without flow control.
    int applyLine(const LineSettings& line);
    // Reception is polled by the tick: Qt's read notifications are switched off.
    void stopReadNotifications();
    void closePort();
    void fillBuffer();

    PortMap portMap_;
    QSerialPort port_;
    QString openPath_;

    int commPort_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    int inBufferSize_ = 1024;

    QByteArray buffer_;   // received bytes not yet handed out
    bool failed_ = false; // the device reported a hang-up or a read error since it was opened
    QString lastErrorText_;
    QString lastDevicePath_;
};

} // namespace aurivo
