#pragma once
// A whole monitor in a temporary program folder, over a scripted serial port.

#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "SettingsFixture.h"
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

    void writeSettings(int port = 3) { writeSettingsFile(dir.path(), port); }

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
