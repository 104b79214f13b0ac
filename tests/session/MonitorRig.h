#pragma once
// A whole monitor in a temporary program folder, over a scripted serial port.

#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "app/Monitor.h"
#include "core/NumberRules.h"
#include "device/PacketDecoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace aurivo {

struct MonitorRig {
    QTemporaryDir dir;
    TestClock clock;
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FakeSerialComm comm;
    std::unique_ptr<Monitor> monitor;

    explicit MonitorRig(bool withSettingsFile = true) {
        if (withSettingsFile) writeSettings();
        monitor = std::make_unique<Monitor>(
            Monitor::Services{comm, clock, boxes, host, dialogs, dir.path(), [](int) { return QString(); }});
        comm.addPort(2);
        comm.addPort(3);
        monitor->startUp();
    }

    Monitor& m() { return *monitor; }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void writeSettings(int port = 3) {
        QFile f(QDir(dir.path()).filePath(QStringLiteral("Aurivo_USB.ini")));
        f.open(QIODevice::WriteOnly);
        const QString text =
            QStringLiteral(
                "\"Port # \"\r\n%1\r\n\"Sensitivty = \"\r\n\"25\"\r\n"
                "\"Picture graph visibilty = \"\r\n\"True\"\r\n\"Color graph visibilty = \"\r\n\"True\"\r\n"
                "\"Bar graph visibilty = \"\r\n\"True\"\r\n\"Internal status visibilty = \"\r\n\"True\"\r\n"
                "\"Session comments visibilty = \"\r\n\"True\"\r\n\"Time etc. visibilty = \"\r\n\"True\"\r\n"
                "\"Form Width = \"\r\n10560\r\n\"Form Height = \"\r\n7920\r\n\"Form Top = \"\r\n360\r\n"
                "\"Form Left = \"\r\n480\r\n\"Filter Size = \"\r\n3\r\n\"Jitter = \"\r\n100\r\n")
                .arg(port);
        f.write(text.toUtf8());
    }

    // One 200 ms tick.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.advance(200);
            monitor->onTick();
        }
    }
    // Delivers packets of the given readings and runs one tick.
    void tickWith(std::initializer_list<int> readings, uint8_t status = 4) {
        for (int r : readings)
            comm.deliver(PacketDecoder::makePacket(uint16_t(r), status));
        tick();
    }
    // Starts a session and lets its start reading settle on a steady reading.
    void startAndSettle(int reading = 8000) {
        monitor->sessions().startSession();
        for (int i = 0; i < 10; ++i)
            tickWith({reading, reading});
    }
};

} // namespace aurivo
