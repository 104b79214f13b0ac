// Costs of the session as a whole: one tick of a running 24-hour session including a full graph
// rebuild, and the replay of six 24-hour saved sessions next to one plain read of their reading files.
#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "app/Monitor.h"
#include "device/PacketDecoder.h"
#include "display/GraphPlotter.h"
#include "recording/SessionReplay.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace aurivo {

namespace {

constexpr int64_t kDay = 24LL * 3600 * 20; // readings of a day at 20 per second

int32_t reading(int64_t i) {
    return 8192 + int32_t((i * 7919) % 401) - 200;
}

// A monitor whose running session already holds a day of readings.
struct DaySession {
    QTemporaryDir dir;
    TestClock clock;
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FakeSerialComm comm;
    std::unique_ptr<Monitor> monitor;

    DaySession() {
        comm.addPort(2);
        monitor = std::make_unique<Monitor>(
            Monitor::Services{comm, clock, boxes, host, dialogs, dir.path(), [](int) { return QString(); }});
        dialogs.state = &monitor->state();
        monitor->startUp();
        tick();
        monitor->sessions().startSession();
        for (int i = 0; i < 12; ++i)
            tick(4);
        MonitorState& s = monitor->state();
        for (int64_t n = s.recordCount; n <= kDay; ++n)
            monitor->files().writeReading(int32_t(n), reading(n));
        monitor->files().flush();
        s.recordCount = int32_t(kDay + 1);
        s.compressionCounter = s.recordCount;
    }
    void tick(int packets = 0) {
        for (int i = 0; i < packets; ++i)
            comm.deliver(PacketDecoder::makePacket(uint16_t(reading(i)), 4));
        clock.advance(200);
        monitor->onTick();
    }
};

// One tick with four packets, the first of which rebuilds the whole day's graph.
void BM_TickWithRebuild24h(benchmark::State& st) {
    static DaySession session;
    for (auto _ : st) {
        session.monitor->state().redrawRequested = true;
        session.tick(4);
    }
    st.counters["records"] = session.monitor->state().recordCount - 1;
    st.counters["yCompress"] = session.monitor->state().yCompress;
}
BENCHMARK(BM_TickWithRebuild24h)->Unit(benchmark::kMillisecond)->Iterations(20);

// Six saved sessions of a day each.
struct SixSessions {
    QTemporaryDir dir;
    std::array<QString, 6> tst, hdr;
    SixSessions() {
        QByteArray records;
        records.resize(kDay * 4);
        for (int64_t i = 0; i < kDay; ++i) {
            const int32_t v = reading(i);
            std::memcpy(records.data() + 4 * i, &v, 4); // little-endian machine
        }
        for (int k = 0; k < 6; ++k) {
            tst[k] = QDir(dir.path()).filePath(QStringLiteral("day%1.Tst").arg(k));
            hdr[k] = QDir(dir.path()).filePath(QStringLiteral("day%1.Hdr").arg(k));
            QFile t(tst[k]);
            t.open(QIODevice::WriteOnly);
            t.write(records);
            QFile h(hdr[k]);
            h.open(QIODevice::WriteOnly);
            h.write("\"MinADC\"\r\n\" 7992\"\r\n\"MaxADC\"\r\n\" 8392\"\r\n\"a day\"\r\n");
        }
    }
};

SixSessions& sixSessions() {
    static SixSessions six;
    return six;
}

void BM_ReplaySixDays(benchmark::State& st) {
    SixSessions& six = sixSessions();
    QTemporaryDir program;
    MonitorState state;
    SessionFiles files(program.path()); // closed: the replay writes no trace lines
    GraphPlotter graph(state, files);
    ScriptedBoxes boxes;
    state.chosenSessionCount = 6;
    for (int k = 0; k < 6; ++k) {
        state.chosenTstPaths[k] = six.tst[k];
        state.chosenHdrPaths[k] = six.hdr[k];
    }
    for (auto _ : st) {
        SessionReplay replay(state, boxes);
        replay.drawChosenSessions(
            graph.picture().scaleWidth(), graph.picture().scaleHeight(),
            [&graph](int32_t x, double ohms, uint32_t colour) { return graph.plotPoint(x, ohms, colour); },
            [&graph] {
                graph.picture().clear();
                graph.drawGrid();
            });
    }
    st.counters["yCompress"] = state.yCompress;
}
BENCHMARK(BM_ReplaySixDays)->Unit(benchmark::kMillisecond);

void BM_ReadSixDayFiles(benchmark::State& st) {
    SixSessions& six = sixSessions();
    for (auto _ : st) {
        for (const QString& path : six.tst) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(f.readAll());
        }
    }
}
BENCHMARK(BM_ReadSixDayFiles)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace aurivo

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
