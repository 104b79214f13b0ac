// Probing ports 1..16 over real pseudo-terminals linked as ports/comN: a free port is offered and
// selected, one held by another process is pale yellow and disabled, a number naming no device is pale
// red and disabled, and each button's tooltip says which device it stands for or why it cannot be used.

#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "app/Monitor.h"
#include "device/PortMap.h"
#include "device/QtSerialComm.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aurivo {

TEST(PortProbing, FreeHeldAndMissingPortsOverRealPseudoTerminals) {
    QTemporaryDir dir;
    PseudoTerminal freePort(dir.path(), 4);
    PseudoTerminal heldPort(dir.path(), 7);
    ASSERT_TRUE(freePort.isValid() && heldPort.isValid());
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"),
                            QDir(dir.path()).filePath(QStringLiteral("ports/com9"))));

    // Another program holds COM7. A probe that happens to open the port while the holder starts makes
    // the holder give up, so the holder is started again until it is seen holding the port.
    QProcess holder;
    QtSerialComm probe(dir.path());
    probe.setCommPort(7);
    bool held = false;
    for (int attempt = 0; attempt < 10 && !held; ++attempt) { // up to 20 s on a loaded machine
        if (holder.state() == QProcess::NotRunning) {
            holder.start(QStringLiteral(AURIVO_DUMP_PATH), {QStringLiteral("--port"), QStringLiteral("7"),
                                                            QStringLiteral("--folder"), dir.path()});
            ASSERT_TRUE(holder.waitForStarted());
        }
        held = QTest::qWaitFor(
                   [&] {
                       const int error = probe.setPortOpen(true);
                       probe.setPortOpen(false);
                       return error == SerialComm::kPortInUse || holder.state() == QProcess::NotRunning;
                   },
                   2000) &&
               holder.state() != QProcess::NotRunning;
    }
    ASSERT_TRUE(held);

    TestClock clock;
    TestHost host(clock);
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    QtSerialComm comm(dir.path());
    PortMap ports(dir.path());
    Monitor monitor(
        {comm, clock, boxes, host, dialogs, dir.path(), [&ports](int n) { return ports.canonicalPath(n); }});
    PortChooser& chooser = monitor.ports();
    chooser.setCommPortNumber(4);
    host.onEvents = [&] { clock.advance(100); };
    monitor.ports().scanPorts();

    EXPECT_EQ(chooser.frameCaption(), QStringLiteral("Available Ports"));
    EXPECT_TRUE(chooser.frameShown());
    const OptionButtonModel& free = chooser.options()[3];
    EXPECT_EQ(free.backColor, 0x80000005u);
    EXPECT_TRUE(free.enabled);
    EXPECT_TRUE(free.visible);
    EXPECT_TRUE(free.value);
    EXPECT_TRUE(free.toolTip.contains(QStringLiteral("/dev/pts/"))) << free.toolTip.toStdString();
    const OptionButtonModel& busy = chooser.options()[6];
    EXPECT_EQ(busy.backColor, 0x00C0FFFFu);
    EXPECT_FALSE(busy.enabled);
    EXPECT_EQ(busy.toolTip, QStringLiteral("in use by another program"));
    const OptionButtonModel& missing = chooser.options()[8];
    EXPECT_EQ(missing.backColor, 0x00C0C0FFu);
    EXPECT_FALSE(missing.enabled);
    EXPECT_FALSE(comm.portOpen()); // probing leaves every port closed

    // Choosing the free port records it for the next session and closes the chooser.
    monitor.ports().choosePort(3);
    EXPECT_EQ(chooser.commPortNumber(), 4);
    EXPECT_EQ(monitor.parameterLabel(5).caption, QStringLiteral("4"));
    EXPECT_FALSE(chooser.frameShown());

    holder.kill();
    holder.waitForFinished();
}

} // namespace aurivo
