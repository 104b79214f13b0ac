#pragma once
// A whole monitor in a temporary folder with the shared settings, over a fake port where COM2 and COM3 open.

#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "SettingsFixture.h"
#include "TestFiles.h"
#include "app/Monitor.h"
#include "device/PacketDecoder.h"

#include <QDir>
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

    MonitorRig() {
        writeSettingsFile(dir.path());
        comm.addPort(2);
        comm.addPort(3);
        monitor = std::make_unique<Monitor>(
            Monitor::Services{comm, clock, boxes, host, dialogs, dir.path(), [](int) { return QString(); }});
        monitor->startUp();
    }

    Monitor& m() { return *monitor; }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QByteArray read(const QString& name) const { return readFile(path(name)); }
    void tick(int n = 1, std::initializer_list<int> readings = {}) {
        for (int i = 0; i < n; ++i) {
            for (int r : readings)
                comm.deliver(PacketDecoder::makePacket(uint16_t(r), 4));
            clock.advance(200);
            monitor->onTick();
        }
    }
    // What the file manager does when it opens: save as the name, or show the sessions (none: Cancel).
    void chooseFiles(const QString& folder, const QStringList& names, bool save = false) {
        dialogs.fileManager = [=](FileManager& fm) {
            fm.changeFolder(folder);
            for (const QString& n : names) {
                fm.setName(n);
                if (!save) fm.addToDisplayList();
            }
            names.isEmpty() ? fm.cancel() : fm.runFileOption();
        };
    }
    void startAndSettle(int reading = 8000) {
        monitor->choose(MenuItem::Start);
        tick(10, {reading, reading});
    }
};

} // namespace aurivo
