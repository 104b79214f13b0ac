#pragma once
// The serial-port component as the monitor uses it: a handful of properties set before opening, an
// open/close switch, and polling of the receive buffer, which hands out whatever waits in one block. Failures
// come back as error numbers instead of exceptions: 8002 no such port, 8005 port held, locked or not
// permitted.

#include <QByteArray>
#include <QString>

namespace aurivo {

class SerialComm {
  public:
    static constexpr int kNoSuchPort = 8002;
    static constexpr int kPortInUse = 8005;
    static constexpr int kOtherFailure = 8015;

    virtual ~SerialComm() = default;

    virtual void setCommPort(int port) = 0;
    virtual int commPort() const = 0;
    virtual void setSettings(const QString& settings) = 0; // "19200,N,8,1"
    virtual void setInBufferSize(int size) = 0;

    // portOpen = open. Returns 0 on success or the error number; closing a closed port returns 0.
    virtual int setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;

    // Number of received bytes waiting; -1 when the count cannot be read (the device has gone).
    virtual int inBufferCount() = 0;
    // Every byte waiting, removed from the buffer, in the order received; empty when none waits.
    virtual QByteArray input() = 0;

    // Why the last open failed, in words a user can act on (for tooltips).
    virtual QString lastErrorText() const = 0;
    // The device the last open tried (links resolved where they lead somewhere); empty when the port
    // number names none.
    virtual QString lastDevicePath() const { return QString(); }
};

} // namespace aurivo
