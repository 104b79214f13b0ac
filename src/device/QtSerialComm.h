#pragma once
// The serial-port component on QSerialPort. The port number is turned into a device by PortMap and
// opened by its canonical path, exclusively (Qt's lock file plus TIOCEXCL).
//
// Reception is polled: InBufferCount() moves whatever has arrived into the component's own receive
// buffer (at most InBufferSize bytes) and Input() hands it out. Bytes that Qt has already taken in
// while the event loop ran are collected first; the rest is read straight from the operating system
// with a non-blocking read(2) on the port's descriptor, so polling works with or without an event loop
// and never waits. A device that has gone (a pseudo-terminal whose other side hung up, an unplugged
// adapter) makes InBufferCount() return -1 once the bytes received before are used up.

#include "device/PortMap.h"
#include "device/SerialComm.h"

#include <QSerialPort>

class QtSerialComm : public SerialComm {
public:
    explicit QtSerialComm(QString programFolder);
    ~QtSerialComm() override;

    QtSerialComm(const QtSerialComm&) = delete;
    QtSerialComm& operator=(const QtSerialComm&) = delete;

    void SetCommPort(int port) override { m_commPort = port; }
    int CommPort() const override { return m_commPort; }
    void SetSettings(const QString& settings) override { m_settings = settings; }
    void SetInputLen(int length) override { m_inputLen = length; }
    void SetRThreshold(int threshold) override { m_rThreshold = threshold; }
    void SetInputMode(int mode) override { m_inputMode = mode; }
    void SetInBufferSize(int size) override { m_inBufferSize = size; }

    int SetPortOpen(bool open) override;
    bool PortOpen() const override;

    int InBufferCount() override;
    QByteArray Input() override;

    QString LastErrorText() const override { return m_lastErrorText; }

    // The canonical path of the open device; empty while closed.
    QString OpenDevicePath() const { return m_openPath; }

    // Line settings read from a text such as "19200,N,8,1"; ok is false when the text is malformed.
    struct LineSettings {
        bool ok = false;
        qint32 baudRate = 0;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };
    static LineSettings ParseSettings(const QString& settings);

private:
    int Open();
    void Close();
    void FillBuffer();
    qsizetype Waiting() const { return m_buffer.size() - m_readPos; }

    PortMap m_portMap;
    QSerialPort m_port;
    QString m_openPath;

    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_inputLen = 0; // 0 = everything waiting
    int m_rThreshold = 0;
    int m_inputMode = 0;
    int m_inBufferSize = 1024;

    QByteArray m_buffer; // received bytes; those before m_readPos are already handed out
    qsizetype m_readPos = 0;
    bool m_failed = false; // the device reported a hang-up or a read error since it was opened
    QString m_lastErrorText;
};
