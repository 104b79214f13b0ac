// Costs of the session as a whole: one tick of a running 24-hour session including a full graph
// rebuild, and the replay of six 24-hour saved sessions next to one plain read of their reading files.
#include "BenchSupport.h"
#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "app/Monitor.h"
#include "device/PacketDecoder.h"
#include "display/GraphPlotter.h"
#include "recording/SessionRecorder.h"
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

// A monitor whose running session already holds a day of readings. The day is plotted on a picture as
// wide as the day, so that no compression step rebuilds the graph on the way; the picture then takes
// the size the window's arrangement gave it.
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
        monitor->startUp();
        tick();
        monitor->choose(MenuItem::Start);
        for (int i = 0; i < 12; ++i)
            tick(4);
        QByteArray day;
        for (int64_t n = monitor->recorder().recordCount(); n <= kDay; ++n)
            day += PacketDecoder::makePacket(uint16_t(reading(n)), 4);
        comm.deliver(day);
        tick(); // the test clock stands still within a tick: one tick reads the whole day
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
        // Hiding and showing the graph rebuilds it from the whole session.
        session.monitor->choose(MenuItem::ShowPictureGraph);
        session.monitor->choose(MenuItem::ShowPictureGraph);
        session.tick(4);
    }
    st.counters["records"] = session.monitor->recorder().recordCount() - 1;
    st.counters["yCompress"] = session.monitor->graph().state().yCompress;
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
    SessionFiles files(program.path()); // closed: the replay writes no trace lines
    SessionRecorder recorder(files);
    GraphPlotter graph(recorder);
    CommentBox comments;
    ScriptedBoxes boxes;
    DisplayList list;
    list.count = 6;
    for (int k = 0; k < 6; ++k) {
        list.tstPaths[k] = six.tst[k];
        list.hdrPaths[k] = six.hdr[k];
    }
    for (auto _ : st) {
        SessionReplay replay(boxes);
        replay.drawChosenSessions(list, graph, comments);
    }
    st.counters["yCompress"] = graph.state().yCompress;
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

AURIVO_BENCHMARK_MAIN(QGuiApplication)
