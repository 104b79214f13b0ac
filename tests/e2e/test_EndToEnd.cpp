// The whole monitor over a real serial line: the simulated sensor's bytes go through a pseudo-terminal
// linked as ports/com3, the real serial component reads them on the tick, and the session files must
// hold exactly what a plain, independent model of the decoder, the filter and the start-value capture
// predicts for those bytes.

#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "ReferenceDecoder.h"
#include "SettingsFixture.h"
#include "app/Monitor.h"
#include "core/NumberRules.h"
#include "device/QtSerialComm.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace aurivo {

namespace {

// The monitor, started up, over the real serial port of the folder's ports/comN links; the clock, window
// and boxes are scripted.
struct RealPortMonitor {
    TestClock clock;
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    QtSerialComm comm;
    Monitor monitor;
    explicit RealPortMonitor(const QString& folder)
        : comm(folder), monitor({comm, clock, boxes, host, dialogs, folder, [](int) { return QString(); }}) {
        monitor.startUp();
    }
    auto parts() { return std::tie(clock, boxes, comm, monitor); }
};

void writeSettings(const QString& folder, int port) {
    ASSERT_TRUE(writeSettingsFile(folder, port));
}

QByteArray simulatedBytes(int seed, int count) {
    QProcess sim;
    sim.start(QStringLiteral(AURIVO_SIM_PATH),
              {QStringLiteral("--stdout"), QStringLiteral("--seed"), QString::number(seed),
               QStringLiteral("--count"), QString::number(count), QStringLiteral("--garbage"),
               QStringLiteral("0.05"), QStringLiteral("--bad-checks"), QStringLiteral("0.03"),
               QStringLiteral("--long-packets"), QStringLiteral("0.05"), QStringLiteral("--invalid"),
               QStringLiteral("0.02"), QStringLiteral("--probe-errors"), QStringLiteral("0.02")});
    EXPECT_TRUE(sim.waitForFinished(20000));
    return sim.readAllStandardOutput();
}

// What the monitor stores for those packets: the filter window, the step limit, and the storing rule
// (nothing is stored by a rebuild that finds no start reading), plus the per-tick start-value capture.
struct ReferenceRecording {
    int filterSize = 3, jitter = 100, width = 0;
    int32_t buffer[9] = {}, filtered = 0, raw = 0, status = 0;
    int32_t graphStart = 0, graphSpan = 0, recordCount = 1, startValue = 0;
    int32_t candidate = 0, stable = 0;
    bool awaiting = true, redraw = false;
    double minADC = 16383, maxADC = 0;
    std::vector<int32_t> stored;

    void take(int32_t reading, int32_t st) {
        raw = reading;
        status = st;
        if (!(status & 4) || raw == 0) return;
        bool bad = false;
        for (int i = 1; i <= filterSize; ++i) {
            buffer[i - 1] = buffer[i];
            bad |= buffer[i] < 320 || buffer[i] > 16000;
        }
        if (bad) {
            buffer[filterSize] = raw;
            return;
        }
        if (filtered == 0) filtered = buffer[1];
        const int32_t d = raw - filtered;
        if (std::abs(d) > 804) raw = filtered + (d > 0 ? 804 : -804);
        buffer[filterSize] = raw;
        int64_t sum = 0;
        for (int i = 1; i <= filterSize; ++i)
            sum += buffer[i];
        filtered = numbers::toLong(double(sum) / filterSize);
        if (filtered > maxADC)
            maxADC = filtered;
        else if (filtered < minADC)
            minADC = filtered;
        if (startValue != graphStart || 25 != graphSpan || redraw) {
            graphStart = startValue;
            graphSpan = 25;
            if (graphStart == 0) return;
            redraw = false;
        }
        stored.push_back(filtered);
        ++recordCount;
        if (recordCount % width == 1) redraw = true;
    }
    void capture() {
        if (!(status & 4) || !awaiting) return;
        if (std::abs(candidate - raw) > jitter) {
            candidate = raw;
        } else if (++stable > 2 * filterSize) {
            awaiting = false;
            startValue = candidate;
        }
    }
};

} // namespace

TEST(EndToEnd, SimulatedSensorOverAPseudoTerminalGivesThePredictedSessionFiles) {
    QTemporaryDir dir;
    writeSettings(dir.path(), 3);
    PseudoTerminal pty(dir.path(), 3);
    ASSERT_TRUE(pty.isValid());
    const QByteArray bytes = simulatedBytes(11, 900);
    ASSERT_GT(bytes.size(), 5000);

    RealPortMonitor rig(dir.path());
    auto [clock, boxes, comm, monitor] = rig.parts();
    clock.advance(200);
    monitor.onTick(); // the first arrangement
    monitor.sessions().startSession();
    ASSERT_TRUE(comm.portOpen());

    ReferenceDecoder decoder;
    ReferenceRecording expected;
    expected.width = monitor.graph().picture().scaleWidth();

    // The bytes arrive in uneven pieces, one piece per tick, cut anywhere (also inside packets).
    QRandomGenerator random(5);
    int64_t at = 0;
    while (at < bytes.size()) {
        const int64_t piece = std::min<int64_t>(bytes.size() - at, 1 + random.bounded(60));
        const QByteArray chunk = bytes.mid(at, piece);
        at += piece;
        ASSERT_TRUE(pty.write(chunk));
        ASSERT_TRUE(QTest::qWaitFor([&] { return comm.inBufferCount() >= chunk.size(); }, 2000));
        ASSERT_EQ(comm.inBufferCount(), chunk.size());
        clock.advance(200);
        monitor.onTick();
        for (const auto& [reading, status] : decoder.run(chunk))
            expected.take(reading, status);
        expected.capture();
    }
    ASSERT_TRUE(monitor.sessions().running());
    monitor.sessions().stopSession();

    ASSERT_GT(expected.stored.size(), 300u);
    EXPECT_EQ(monitor.sessions().startText(), numbers::numberText(expected.startValue));

    QFile tst(QDir(dir.path()).filePath(QStringLiteral("tempdata.tst")));
    ASSERT_TRUE(tst.open(QIODevice::ReadOnly));
    const QByteArray records = tst.readAll();
    ASSERT_EQ(records.size(), qsizetype(expected.stored.size() * 4));
    QByteArray text;
    for (size_t i = 0; i < expected.stored.size(); ++i) {
        const int32_t v = expected.stored[i];
        const auto* p = reinterpret_cast<const uint8_t*>(records.constData() + 4 * i);
        EXPECT_EQ(int32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24), v) << "record " << i + 1;
        text += QByteArray::number(v) + ',' + QByteArray::number(30 + 5 * qint64(i)) + "\r\n";
    }
    QFile txt(QDir(dir.path()).filePath(QStringLiteral("tempdata.txt")));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(txt.readAll(), text);

    QFile hdr(QDir(dir.path()).filePath(QStringLiteral("tempdata.hdr")));
    ASSERT_TRUE(hdr.open(QIODevice::ReadOnly));
    const QByteArray header = hdr.readAll();
    const QByteArray expectedStart =
        "\"MinADC\"\r\n\"" + numbers::numberText(expected.minADC).toLatin1() + "\"\r\n\"MaxADC\"\r\n\"" +
        numbers::numberText(expected.maxADC).toLatin1() + "\"\r\n\"Start of Session : ";
    EXPECT_TRUE(header.startsWith(expectedStart)) << header.left(120).constData();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(EndToEnd, TheSimulatorHangingUpStopsTheSessionWithOneMessageAfterTheHeader) {
    QTemporaryDir dir;
    writeSettings(dir.path(), 3);
    QProcess sim;
    sim.setReadChannel(QProcess::StandardError);
    sim.start(QStringLiteral(AURIVO_SIM_PATH),
              {QStringLiteral("--folder"), dir.path(), QStringLiteral("--port"), QStringLiteral("3"),
               QStringLiteral("--seed"), QStringLiteral("4"), QStringLiteral("--hangup-after"),
               QStringLiteral("3")});
    ASSERT_TRUE(sim.waitForReadyRead(10000)); // it names its port once the link is made

    RealPortMonitor rig(dir.path());
    auto [clock, boxes, comm, monitor] = rig.parts();
    monitor.sessions().startSession();
    ASSERT_TRUE(comm.portOpen());
    QByteArray headerWhileTold;
    boxes.whileOpen = [&] {
        QFile hdr(QDir(dir.path()).filePath(QStringLiteral("tempdata.hdr")));
        if (hdr.open(QIODevice::ReadOnly)) headerWhileTold = hdr.readAll();
    };
    // One tick per tenth of a second of the simulator's life, then until the hang-up is seen.
    QDeadlineTimer deadline(30000);
    while (monitor.sessions().running() && !deadline.hasExpired()) {
        sim.waitForFinished(100);
        clock.advance(200);
        monitor.onTick();
    }
    EXPECT_FALSE(monitor.sessions().running());
    EXPECT_FALSE(comm.portOpen());
    QFile tst(QDir(dir.path()).filePath(QStringLiteral("tempdata.tst")));
    ASSERT_TRUE(tst.open(QIODevice::ReadOnly));
    const qint64 readings = tst.size() / 4;
    EXPECT_GT(readings, 5);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("The sensor on COM3 was disconnected at %1; the session was "
                             "stopped (%2 readings recorded).")
                  .arg(clock.now().time().toString(QStringLiteral("HH:mm:ss")))
                  .arg(readings));
    EXPECT_TRUE(headerWhileTold.startsWith("\"MinADC\"\r\n"));
}

TEST(EndToEnd, APortHeldMissingOrNotASerialDeviceIsToldAtStart) {
    QTemporaryDir dir;
    writeSettings(dir.path(), 3);
    PseudoTerminal pty(dir.path(), 3);
    ASSERT_TRUE(pty.isValid());
    const QString link = QDir(dir.path()).filePath(QStringLiteral("ports/com3"));
    QtSerialComm holder(dir.path()); // another program holding the sensor's port
    holder.setCommPort(3);
    holder.setSettings(QStringLiteral("19200,N,8,1"));
    ASSERT_EQ(holder.setPortOpen(true), 0);

    const QString plain = QDir(dir.path()).filePath(QStringLiteral("plain"));
    QFile(plain).open(QIODevice::WriteOnly);
    const struct {
        QString target; // what ports/com3 links to
        QString where, reason;
    } rows[] = {
        {pty.slavePath(), pty.slavePath(), QStringLiteral("in use by another program")},
        {plain, plain, QStringLiteral("not a serial device")},
        {QStringLiteral("/nonexistent/ttyUSB9"), link, QStringLiteral("no such port")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason.toStdString());
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(row.target, link));
        RealPortMonitor rig(dir.path());
        auto [clock, boxes, comm, monitor] = rig.parts();
        monitor.sessions().startSession();
        EXPECT_FALSE(monitor.sessions().running());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text,
                  QStringLiteral("The sensor's port COM3 (%1) cannot be opened: %2.\r\nThe "
                                 "session was stopped.")
                      .arg(row.where, row.reason));
        EXPECT_FALSE(monitor.menuItem(MenuItem::Stop).enabled);
        for (int i = 0; i < 200; ++i) { // no later timeout blames the wrong cause
            clock.advance(200);
            monitor.onTick();
        }
        EXPECT_EQ(boxes.shown.size(), 1u);
    }
}

} // namespace aurivo
