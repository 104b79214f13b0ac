#pragma once
// The serial-port component as the monitor uses it: a handful of properties set before opening, an
// open/close switch, and byte-at-a-time polling of the receive buffer. Failures come back as error
// numbers instead of exceptions: 8002 no such port, 8005 port held, locked or not permitted.

#include <QByteArray>
#include <QString>

class SerialComm {
public:
    static constexpr int kNoSuchPort = 8002;
    static constexpr int kPortInUse = 8005;
    static constexpr int kOtherFailure = 8015;

    virtual ~SerialComm() = default;

    virtual void SetCommPort(int port) = 0;
    virtual int CommPort() const = 0;
    virtual void SetSettings(const QString& settings) = 0; // "19200,N,8,1"
    virtual void SetInputLen(int length) = 0;
    virtual void SetRThreshold(int threshold) = 0;
    virtual void SetInputMode(int mode) = 0; // 1 = binary
    virtual void SetInBufferSize(int size) = 0;

    // PortOpen = open. Returns 0 on success or the error number; closing a closed port returns 0.
    virtual int SetPortOpen(bool open) = 0;
    virtual bool PortOpen() const = 0;

    // Number of received bytes waiting; -1 when the count cannot be read (the device has gone).
    virtual int InBufferCount() = 0;
    // The next waiting byte, removed from the buffer, as a one-element array; empty when none waits.
    virtual QByteArray Input() = 0;

    // Why the last open failed, in words a user can act on (for tooltips).
    virtual QString LastErrorText() const = 0;
};
