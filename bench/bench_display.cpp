// Costs of the display path: one packet through the readings panel, the graph and the session files,
// and a graph rebuild of a long session next to a plain read of its reading file.
#include "core/MonitorState.h"
#include "display/GraphPlotter.h"
#include "display/ReadingStatus.h"
#include "recording/SessionFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <map>
#include <memory>

namespace aurivo {

namespace {

// A resting level near 470 kOhm with a little deterministic noise.
int32_t reading(int64_t i) {
    return 8192 + int32_t((i * 7919) % 201) - 100;
}

void startRunningSession(MonitorState& state, GraphPlotter& graph) {
    state.mnuStart.enabled = false;
    state.recordCount = 1;
    state.yCompress = 1;
    state.recordTime = 25;
    state.filterSize = 3;
    for (auto& v : state.filterBuffer)
        v = 8192;
    state.filteredReading = 8192;
    state.lblSysADCstart.caption = QStringLiteral(" 8192");
    state.lblParams[3].caption = QStringLiteral("25");
    state.graphSpanPercent = 25;
    state.graphStartReading = 8192;
    graph.resetForNewSession();
}

// Per packet: readings panel, graph (with the rebuilds the session's compression steps bring) and the
// three file writes; the files are flushed once per tick of four packets.
void BM_PerPacket(benchmark::State& st) {
    QTemporaryDir dir;
    MonitorState state;
    SessionFiles files(dir.path());
    if (!files.open(QStringLiteral("tempdata")).isEmpty()) {
        st.SkipWithError("cannot create the session files");
        return;
    }
    GraphPlotter graph(state, files);
    ReadingStatus panel(state);
    startRunningSession(state, graph);
    int64_t i = 0;
    for (auto _ : st) {
        state.statusByte = 4;
        state.rawReading = reading(i);
        panel.showReading();
        graph.plotReading();
        if (++i % 4 == 0) files.flush();
    }
    files.closeAll();
    st.counters["records"] = state.recordCount - 1;
}
BENCHMARK(BM_PerPacket)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerPacket)->Iterations(200000)->Unit(benchmark::kMicrosecond);

// A stored session of n readings, its reading file on disk and in memory.
struct StoredSession {
    QTemporaryDir dir;
    MonitorState state;
    std::unique_ptr<SessionFiles> files;
    std::unique_ptr<GraphPlotter> graph;
    QString tstPath;

    explicit StoredSession(int64_t n) {
        files = std::make_unique<SessionFiles>(dir.path());
        if (!files->open(QStringLiteral("tempdata")).isEmpty()) std::abort(); // no folder to write into
        graph = std::make_unique<GraphPlotter>(state, *files);
        startRunningSession(state, *graph);
        for (int64_t i = 1; i <= n; ++i)
            files->writeReading(int32_t(i), reading(i));
        files->flush();
        state.recordCount = int32_t(n + 1);
        tstPath = files->filePath(QStringLiteral("tempdata.tst"));
    }
};

StoredSession& session(int64_t n) {
    static std::map<int64_t, std::unique_ptr<StoredSession>> sessions;
    auto& s = sessions[n];
    if (!s) s = std::make_unique<StoredSession>(n);
    return *s;
}

void BM_Rebuild(benchmark::State& st) {
    StoredSession& s = session(st.range(0));
    for (auto _ : st) {
        s.state.redrawRequested = true;
        benchmark::DoNotOptimize(s.graph->rebuild(8192, 25));
    }
    st.counters["yCompress"] = s.state.yCompress;
}

// The same rebuild with the trace file closed: the graph alone, without the 489 trace lines.
void BM_RebuildWithoutTrace(benchmark::State& st) {
    StoredSession& s = session(st.range(0));
    s.files->closeAll(); // the readings stay in memory
    for (auto _ : st) {
        s.state.redrawRequested = true;
        benchmark::DoNotOptimize(s.graph->rebuild(8192, 25));
    }
}

// One plain sequential read of the whole reading file into memory (the destination is allocated once:
// on this machine first-touch page faults of a fresh 48 MB buffer cost more than the read itself).
void BM_ReadReadingFile(benchmark::State& st) {
    StoredSession& s = session(st.range(0));
    std::vector<int32_t> records(size_t(QFileInfo(s.tstPath).size() / 4), 1);
    for (auto _ : st) {
        QFile f(s.tstPath);
        if (!f.open(QIODevice::ReadOnly)) st.SkipWithError("cannot open the reading file");
        // Sequential reads of 1 MiB, as a reader streaming the file would make them.
        char* out = reinterpret_cast<char*>(records.data());
        const qint64 total = qint64(records.size()) * 4;
        for (qint64 done = 0; done < total;) {
            const qint64 n = f.read(out + done, std::min<qint64>(1 << 20, total - done));
            if (n <= 0) break;
            done += n;
        }
        benchmark::DoNotOptimize(records.data());
        benchmark::ClobberMemory();
    }
}

constexpr int64_t kDay = 24LL * 3600 * 20; // 20 readings per second
BENCHMARK(BM_Rebuild)->Arg(979)->Arg(kDay)->Arg(7 * kDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildWithoutTrace)->Arg(kDay)->Arg(7 * kDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadReadingFile)->Arg(kDay)->Arg(7 * kDay)->Unit(benchmark::kMillisecond);

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
