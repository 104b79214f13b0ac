#pragma once
// A whole monitor in a temporary program folder, over a scripted serial port.

#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "app/Monitor.h"
#include "app/NumberRules.h"
#include "device/PacketDecoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

struct MonitorRig {
    QTemporaryDir dir;
    TestClock clock;
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FakeSerialComm comm;
    std::unique_ptr<Monitor> monitor;

    explicit MonitorRig(bool withSettingsFile = true) {
        if (withSettingsFile) WriteSettings();
        monitor = std::make_unique<Monitor>(
            Monitor::Services{comm, clock, boxes, host, dialogs, dir.path(), [](int) { return QString(); }});
        dialogs.state = &monitor->State();
        comm.AddPort(2);
        comm.AddPort(3);
        monitor->Form_Load();
    }

    MonitorState& S() { return monitor->State(); }
    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QByteArray Read(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void WriteSettings(int port = 3) {
        QFile f(QDir(dir.path()).filePath(QStringLiteral("Aurivo_USB.ini")));
        f.open(QIODevice::WriteOnly);
        const QString text = QStringLiteral(
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
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            clock.Advance(200);
            monitor->Timer1_Timer();
        }
    }
    // Delivers packets of the given readings and runs one tick.
    void TickWith(std::initializer_list<int> readings, uint8_t status = 4) {
        for (int r : readings) comm.Deliver(PacketDecoder::MakePacket(uint16_t(r), status));
        Tick();
    }
    // Starts a session and lets its start reading settle on a steady reading.
    void StartAndSettle(int reading = 8000) {
        monitor->Sessions().mnuStart_Click();
        for (int i = 0; i < 10; ++i) TickWith({reading, reading});
    }
};
