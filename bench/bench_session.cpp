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

namespace {

constexpr int64_t kDay = 24LL * 3600 * 20; // readings of a day at 20 per second

int32_t Reading(int64_t i) { return 8192 + int32_t((i * 7919) % 401) - 200; }

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
        comm.AddPort(2);
        monitor = std::make_unique<Monitor>(
            Monitor::Services{comm, clock, boxes, host, dialogs, dir.path(), [](int) { return QString(); }});
        dialogs.state = &monitor->State();
        monitor->Form_Load();
        Tick();
        monitor->Sessions().mnuStart_Click();
        for (int i = 0; i < 12; ++i) Tick(4);
        MonitorState& s = monitor->State();
        for (int64_t n = s.RecordCount; n <= kDay; ++n) monitor->Files().WriteReading(int32_t(n), Reading(n));
        monitor->Files().Flush();
        s.RecordCount = int32_t(kDay + 1);
        s.ComprshnCounter = s.RecordCount;
    }
    void Tick(int packets = 0) {
        for (int i = 0; i < packets; ++i) comm.Deliver(PacketDecoder::MakePacket(uint16_t(Reading(i)), 4));
        clock.Advance(200);
        monitor->Timer1_Timer();
    }
};

// One tick with four packets, the first of which rebuilds the whole day's graph.
void BM_TickWithRebuild24h(benchmark::State& st) {
    static DaySession session;
    for (auto _ : st) {
        session.monitor->State().RedrawRequested = true;
        session.Tick(4);
    }
    st.counters["records"] = session.monitor->State().RecordCount - 1;
    st.counters["yCompress"] = session.monitor->State().yCompress;
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
            const int32_t v = Reading(i);
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

SixSessions& Six() {
    static SixSessions six;
    return six;
}

void BM_ReplaySixDays(benchmark::State& st) {
    SixSessions& six = Six();
    QTemporaryDir program;
    MonitorState state;
    SessionFiles files(program.path()); // closed: the replay writes no trace lines
    GraphPlotter graph(state, files);
    ScriptedBoxes boxes;
    state.ChosenSessionCount = 6;
    for (int k = 0; k < 6; ++k) {
        state.ChosenTstPaths[k] = six.tst[k];
        state.ChosenHdrPaths[k] = six.hdr[k];
    }
    for (auto _ : st) {
        SessionReplay replay(state, boxes);
        replay.DrawChosenSessions([&graph](int32_t x, double ohms, uint32_t colour) { return graph.PlotPoint(x, ohms, colour); },
                                  [&graph] { graph.DrawGraphGrid(); });
    }
    st.counters["yCompress"] = state.yCompress;
}
BENCHMARK(BM_ReplaySixDays)->Unit(benchmark::kMillisecond);

void BM_ReadSixDayFiles(benchmark::State& st) {
    SixSessions& six = Six();
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
