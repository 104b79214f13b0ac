// The whole monitor over a real serial line: the simulator's bytes reach the real serial component through
// a pseudo-terminal linked as ports/com3, and the session files hold exactly what an independent model
// of the decoder, the filter and the start-value capture predicts for those bytes.

#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "ReferenceDecoder.h"
#include "SettingsFixture.h"
#include "TestFiles.h"
#include "app/Monitor.h"
#include "core/NumberRules.h"
#include "device/QtSerialComm.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

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
    void tick() {
        clock.advance(200);
        monitor.onTick();
    }
    QByteArray read(const char* name) const { return readFile(QDir(monitor.programFolder()).filePath(name)); }
};

// What the monitor stores for decoded packets: the filter window, the step limit, and the storing rule
// (nothing is stored by a rebuild that finds no start reading), plus the per-tick start-value capture.
struct ReferenceRecording {
    int filterSize = 3, jitter = 100, width = 0;
    int32_t buffer[9] = {}, filtered = 0, raw = 0, status = 0;
    int32_t graphStart = 0, graphSpan = 0, recordCount = 1, startValue = 0;
    int32_t candidate = 0, stable = 0;
    bool awaiting = true, redraw = false;
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
    ASSERT_TRUE(writeSettingsFile(dir.path()));
    PseudoTerminal pty(dir.path(), 3);
    ASSERT_TRUE(pty.isValid());
    QProcess sim;
    sim.start(AURIVO_SIM_PATH,
              QStringLiteral("--stdout --seed 11 --count 900 --garbage 0.05 --bad-checks 0.03 --long-packets "
                             "0.05 --invalid 0.02 --probe-errors 0.02")
                  .split(QLatin1Char(' ')));
    ASSERT_TRUE(sim.waitForFinished(20000));
    const QByteArray bytes = sim.readAllStandardOutput();

    RealPortMonitor rig(dir.path());
    rig.tick(); // the first arrangement
    rig.monitor.choose(MenuItem::Start);
    ReferenceDecoder decoder;
    ReferenceRecording expected;
    expected.width = rig.monitor.graph().picture().scaleWidth();

    // The bytes arrive in uneven pieces, one piece per tick, cut anywhere (also inside packets).
    QRandomGenerator random(5);
    for (int64_t at = 0; at < bytes.size();) {
        const QByteArray chunk = bytes.mid(at, 1 + random.bounded(60));
        at += chunk.size();
        ASSERT_TRUE(pty.write(chunk));
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.comm.inBufferCount() >= chunk.size(); }, 2000));
        rig.tick();
        for (const auto& [reading, status] : decoder.run(chunk))
            expected.take(reading, status);
        expected.capture();
    }
    ASSERT_TRUE(rig.monitor.sessions().running());
    rig.monitor.choose(MenuItem::Stop);

    ASSERT_GT(expected.stored.size(), 300u);
    EXPECT_EQ(rig.monitor.sessions().startText(), numbers::numberText(expected.startValue));
    QByteArray records, text;
    for (size_t i = 0; i < expected.stored.size(); ++i) {
        const int32_t v = expected.stored[i];
        records += QByteArray(reinterpret_cast<const char*>(&v), 4); // little-endian machine
        text += QByteArray::number(v) + ',' + QByteArray::number(30 + 5 * qint64(i)) + "\r\n";
    }
    EXPECT_EQ(rig.read("tempdata.tst"), records);
    EXPECT_EQ(rig.read("tempdata.txt"), text);
    EXPECT_TRUE(rig.read("tempdata.hdr").startsWith("\"MinADC\"\r\n"));
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(EndToEnd, TheSimulatorHangingUpStopsTheSessionWithOneMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeSettingsFile(dir.path()));
    QProcess sim;
    sim.setReadChannel(QProcess::StandardError);
    sim.start(AURIVO_SIM_PATH, {"--folder", dir.path(), "--port", "3", "--seed", "4", "--hangup-after", "3"});
    ASSERT_TRUE(sim.waitForReadyRead(10000)); // it names its port once the link is made

    RealPortMonitor rig(dir.path());
    rig.monitor.choose(MenuItem::Start);
    ASSERT_TRUE(rig.comm.portOpen());
    QDeadlineTimer deadline(30000);
    while (rig.monitor.sessions().running() && !deadline.hasExpired()) {
        sim.waitForFinished(100);
        rig.tick();
    }
    EXPECT_FALSE(rig.monitor.sessions().running());
    const qint64 readings = rig.read("tempdata.tst").size() / 4;
    EXPECT_GT(readings, 5);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(
        rig.boxes.shown[0].text,
        QStringLiteral("The sensor on COM3 was disconnected at %1; the session was stopped (%2 readings "
                       "recorded).")
            .arg(rig.clock.now().time().toString("HH:mm:ss"))
            .arg(readings));
    EXPECT_TRUE(rig.read("tempdata.hdr").startsWith("\"MinADC\"\r\n"));
}

} // namespace aurivo
