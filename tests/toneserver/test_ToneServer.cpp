// The whole program with a real sound server that has no sound hardware: PulseAudio with a null sink
// (scripts/null-sound-server.sh), recorded from its monitor with parec, while a session is fed a known
// conductance ramp over a pseudo-terminal. The recorded pitch follows the ramp; no sound server at all
// leaves the program recording as before. Each test runs in a process of its own (CTest runs them so):
// the sound server a process first reaches is the one it keeps.

#include "../tone/ToneAnalysis.h"
#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "SettingsFixture.h"
#include "app/ToneOutput.h"
#include "core/SystemClock.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"
#include "sound/TonePitch.h"
#include "widgets/MainWindow.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#ifndef AURIVO_SOURCE_DIR
#error "the tests need the source folder for scripts/"
#endif

namespace aurivo {

namespace {

constexpr int kRate = 48000;

// The null sound server for one test, ended with it.
struct SoundServer {
    QTemporaryDir dir;
    QProcess process;
    QString problem; // why it could not be started

    SoundServer() {
        process.setProgram(QStringLiteral(AURIVO_SOURCE_DIR "/scripts/null-sound-server.sh"));
        process.setArguments({dir.path()});
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start();
        const QString socket = dir.filePath(QStringLiteral("native"));
        if (!process.waitForStarted(5000) ||
            !QTest::qWaitFor([&] { return QFile::exists(socket) || process.state() != QProcess::Running; },
                             10000) ||
            !QFile::exists(socket)) {
            problem = QStringLiteral("no sound server could be started (scripts/null-sound-server.sh: %1)")
                          .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        }
    }
    ~SoundServer() {
        process.terminate();
        if (!process.waitForFinished(5000)) process.kill();
        process.waitForFinished(2000);
    }
    QByteArray address() const { return "unix:" + dir.filePath(QStringLiteral("native")).toLocal8Bit(); }
};

// What the sink plays, as it arrives, with the steady time of each arrival.
struct Recording {
    QProcess parec;
    std::vector<int16_t> samples;
    QByteArray pending;
    double offsetMs = 1e300; // steady time of sample 0: the earliest any block arrival allows

    Recording(const QElapsedTimer& clock, const QByteArray& server) {
        parec.setProgram(QStringLiteral("parec"));
        parec.setArguments({QStringLiteral("--server=") + QString::fromLocal8Bit(server),
                            QStringLiteral("--device=aurivo_null.monitor"), QStringLiteral("--raw"),
                            QStringLiteral("--format=s16le"), QStringLiteral("--rate=48000"),
                            QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, &parec, [this, &clock] {
            pending += parec.readAllStandardOutput();
            const qsizetype whole = pending.size() / 2;
            const size_t at = samples.size();
            samples.resize(at + size_t(whole));
            std::memcpy(samples.data() + at, pending.constData(), size_t(whole) * 2);
            pending.remove(0, whole * 2);
            offsetMs =
                std::min(offsetMs, double(clock.nsecsElapsed()) / 1e6 - samples.size() * 1000.0 / kRate);
        });
        parec.start();
    }
    ~Recording() {
        parec.terminate();
        if (!parec.waitForFinished(5000)) parec.kill();
    }
    size_t sampleAt(double ms) const { return size_t(std::max(0.0, (ms - offsetMs) * kRate / 1000.0)); }
};

// Every reading the tone heard, when it heard it and the pitch it asked for.
struct Heard : ReadingListener {
    const QElapsedTimer& clock;
    ToneOutput& tone;
    struct Entry {
        double ms;
        int32_t filtered;
        double hz;
    };
    std::vector<Entry> entries;
    Heard(const QElapsedTimer& c, ToneOutput& t) : clock(c), tone(t) {}
    void readingRecorded(const RecordedReading& r) override {
        entries.push_back({double(clock.nsecsElapsed()) / 1e6, r.filtered, tone.pitch().value_or(0)});
    }
};

// The program as main() builds it, over ports/com3 in a fresh folder, with the tone on at 80 %.
struct Program {
    QTemporaryDir dir;
    SystemClock clock;
    ScriptedBoxes boxes;
    std::unique_ptr<QtSerialComm> comm;
    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<MainWindow> window;
    Program() {
        writeSettingsFile(dir.path(), 3);
        ToneSettings tone;
        tone.enabled = true;
        tone.volumePercent = 80;
        tone.save(dir.path());
        pty = std::make_unique<PseudoTerminal>(dir.path(), 3);
        comm = std::make_unique<QtSerialComm>(dir.path());
        window = std::make_unique<MainWindow>(*comm, clock, boxes, dir.path(), [](int) { return QString(); });
        window->show();
        window->startUp();
    }
    int noOutputNotices() const {
        return int(std::count_if(boxes.notices.begin(), boxes.notices.end(), [](const auto& n) {
            return n.text.startsWith(QStringLiteral("No sound output was found"));
        }));
    }
    void start() { window->findChild<QAction*>(QStringLiteral("mnuStart"))->trigger(); }
    void stop() { window->findChild<QAction*>(QStringLiteral("mnuStop"))->trigger(); }
    // Sends the readings 20 a second, as the device does, and returns when the last has been sent.
    bool feed(const std::vector<int>& readings) {
        size_t next = 0;
        bool ok = true;
        QTimer pace;
        pace.setTimerType(Qt::PreciseTimer);
        QObject::connect(&pace, &QTimer::timeout, [&] {
            if (next < readings.size())
                ok &= pty->write(PacketDecoder::makePacket(uint16_t(readings[next++]), 4));
        });
        pace.start(50);
        const bool sent =
            QTest::qWaitFor([&] { return next >= readings.size(); }, int(readings.size()) * 50 + 10000);
        return ok && sent;
    }
};

} // namespace

TEST(ToneServer, TheRecordedPitchFollowsAConductanceRampOverARealSoundServer) {
    if (QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
        GTEST_SKIP() << "parec is not installed (pulseaudio-utils): nothing can record the tone";
    SoundServer server;
    if (!server.problem.isEmpty()) GTEST_SKIP() << server.problem.toStdString();
    qputenv("PULSE_SERVER", server.address());
    QElapsedTimer clock;
    clock.start();
    Recording recording(clock, server.address());
    ASSERT_TRUE(recording.parec.waitForStarted(5000));

    Program program;
    ASSERT_EQ(program.noOutputNotices(), 0);
    Heard heard(clock, program.window->tone());
    program.window->monitor().addListener(heard);
    program.start();
    ASSERT_TRUE(program.window->monitor().sessions().running());

    // Two seconds at the start value, then a ramp of conductance in steps a second long, up and down.
    const std::vector<int> levels = {8000, 8600, 9200, 9800, 10400, 11000, 10000, 9000, 7500, 6000, 8000};
    std::vector<int> readings(40, 8000);
    for (int level : levels)
        readings.insert(readings.end(), 20, level);
    ASSERT_TRUE(program.feed(readings));
    // The last step plays a little longer before the stop.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !heard.entries.empty() && clock.elapsed() > heard.entries.back().ms + 700; }, 5000));
    program.stop();
    program.window->monitor().removeListener(heard);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program.window->tone().playing(); }, 3000));
    const size_t end = recording.samples.size();

    ASSERT_FALSE(heard.entries.empty());
    ASSERT_GT(end, size_t(10 * kRate));
    // Each level: the first reading whose filtered value is the level's own (and stays so) asked for its
    // pitch; from 200 ms later at most, the recording holds it within 2 % until the next level begins.
    const double g0 = conductanceOf(8000);
    int checked = 0;
    double worstDelay = 0;
    for (size_t i = 1; i < heard.entries.size(); ++i) {
        const Heard::Entry& e = heard.entries[i];
        if (e.filtered == heard.entries[i - 1].filtered ||
            std::find(levels.begin(), levels.end(), e.filtered) == levels.end())
            continue;
        const double g = conductanceOf(e.filtered);
        const double expected = 440.0 * g / g0;
        EXPECT_NEAR(e.hz, expected, 1e-6 * expected);
        // The next change of level.
        double until = heard.entries.back().ms + 400; // it sounds for 0.5 s after the last reading
        for (size_t j = i + 1; j < heard.entries.size(); ++j)
            if (heard.entries[j].filtered != e.filtered) {
                until = heard.entries[j].ms;
                break;
            }
        if (until - e.ms < 500) continue; // a value on the way to a level, not a level
        // The first window (10 ms, or 3.5 periods of a low pitch) that holds the pitch, and every one after.
        const size_t window = std::max<size_t>(kRate / 100, size_t(3.5 * kRate / expected));
        std::optional<double> reached;
        for (size_t at = recording.sampleAt(e.ms); at + window < recording.sampleAt(until);
             at += window / 2) {
            const std::optional<double> hz = pitchOf(recording.samples, at, at + window, kRate);
            const bool holds = hz && std::abs(*hz - expected) <= 0.02 * expected;
            if (holds && !reached) reached = (at + window) * 1000.0 / kRate + recording.offsetMs - e.ms;
            if (reached && *reached < 200) {
                EXPECT_TRUE(holds) << "level " << e.filtered << " at " << at << ": " << hz.value_or(0)
                                   << " Hz, " << expected << " Hz expected";
            }
        }
        ASSERT_TRUE(reached.has_value()) << "level " << e.filtered;
        EXPECT_LE(*reached, 200.0) << "level " << e.filtered;
        worstDelay = std::max(worstDelay, *reached);
        ++checked;
    }
    EXPECT_GE(checked, int(levels.size()) - 1);
    std::printf("levels checked: %d, longest delay from a reading to its pitch: %.0f ms, underruns: %d\n",
                checked, worstDelay, program.window->tone().underruns());
    // Half a second after the last reading the tone has faded out (allowing 200 ms for the output).
    EXPECT_EQ(peakOf(recording.samples, recording.sampleAt(heard.entries.back().ms + 720), end), 0);
    EXPECT_GT(peakOf(recording.samples, recording.sampleAt(heard.entries.back().ms + 200),
                     recording.sampleAt(heard.entries.back().ms + 480)),
              20000);
    // No click anywhere in what was played, and no underrun.
    const double fadeStep = ToneGenerator::kFullScale / (0.020 * kRate);
    EXPECT_LE(largestStep(recording.samples, 0, end), sineStep(0.8 * 32767, 1760, kRate) + fadeStep + 2);
    EXPECT_EQ(program.window->tone().underruns(), 0);
}

TEST(ToneServer, WithoutASoundServerTheProgramSaysSoOnceAndRecordsAsBefore) {
    QTemporaryDir nowhere;
    qputenv("PULSE_SERVER", "unix:" + nowhere.filePath(QStringLiteral("no-server")).toLocal8Bit());
    Program program;
    EXPECT_EQ(program.noOutputNotices(), 1);
    program.start();
    ASSERT_TRUE(program.window->monitor().sessions().running());
    // (The start value settles over seven ticks; the readings after it are recorded.)
    ASSERT_TRUE(program.feed(std::vector<int>(100, 8000)));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return program.window->monitor().recorder().recordCount() > 40; }, 5000));
    program.stop();
    EXPECT_FALSE(program.window->monitor().sessions().running());
    EXPECT_EQ(program.noOutputNotices(), 1);
    EXPECT_TRUE(program.window->tone().enabled());
    EXPECT_TRUE(program.boxes.shown.empty());
    QFile readings(QDir(program.dir.path()).filePath(QStringLiteral("tempdata.tst")));
    EXPECT_EQ(readings.size() / 4, program.window->monitor().recorder().recordCount() - 1);
}

} // namespace aurivo
