// Costs of the display path: one packet through the readings panel, the graph and the session files,
// and a graph rebuild of a long session next to a plain read of its reading file.
#include "BenchSupport.h"
#include "app/ReadingPipeline.h"
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

// What a running session with a settled start reading of 8192 plots against.
const ReadingPipeline::Context kInputs{8192, 25, 3, false, 0};

// Per packet: readings panel, graph (with the rebuilds the session's compression steps bring) and the
// three file writes; the files are flushed once per tick of four packets.
void BM_PerPacket(benchmark::State& st) {
    QTemporaryDir dir;
    SessionFiles files(dir.path());
    if (!files.open(QStringLiteral("tempdata")).isEmpty()) {
        st.SkipWithError("cannot create the session files");
        return;
    }
    ReadingPipeline pipeline(files);
    ReadingStatus panel;
    pipeline.graph().startSession();
    pipeline.recorder().startSession();
    int64_t i = 0;
    for (auto _ : st) {
        const Reading r{reading(i), 4};
        const GraphState& g = pipeline.graph().state();
        benchmark::DoNotOptimize(
            panel.showReading(r, {pipeline.filter().filtered(), true, 8192, g.graphSpanPercent}));
        benchmark::DoNotOptimize(pipeline.take(r, kInputs));
        if (++i % 4 == 0) files.flush();
    }
    files.closeAll();
    st.counters["records"] = pipeline.recorder().recordCount() - 1;
}
BENCHMARK(BM_PerPacket)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerPacket)->Iterations(200000)->Unit(benchmark::kMicrosecond);

// A running session of n stored readings, its reading file on disk and in memory. The readings are
// plotted on a picture as wide as the session, so that no compression step rebuilds the graph on the
// way; the picture then takes its usual size and the next rebuild draws the whole session at the
// compression that fits it.
struct StoredSession {
    QTemporaryDir dir;
    std::unique_ptr<SessionFiles> files;
    std::unique_ptr<ReadingPipeline> pipeline;
    GraphPlotter* graph = nullptr;
    QString tstPath;

    explicit StoredSession(int64_t n) {
        files = std::make_unique<SessionFiles>(dir.path());
        if (!files->open(QStringLiteral("tempdata")).isEmpty()) std::abort(); // no folder to write into
        pipeline = std::make_unique<ReadingPipeline>(*files);
        graph = &pipeline->graph();
        graph->startSession();
        pipeline->recorder().startSession();
        graph->resizePicture(int(n + 2), 1);
        for (int64_t i = 1; i <= n + 3; ++i) // the first three readings only fill the filter window
            pipeline->take(Reading{reading(i), 4}, kInputs);
        graph->resizePicture(489, 300);
        files->flush();
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
        s.graph->requestRedraw();
        benchmark::DoNotOptimize(s.graph->rebuild(8192, 25, false, s.pipeline->recorder().storedReadings(),
                                                  s.pipeline->recorder().recordCount()));
    }
    st.counters["yCompress"] = s.graph->state().yCompress;
}

// The same rebuild with the trace file closed: the graph alone, without the 489 trace lines.
void BM_RebuildWithoutTrace(benchmark::State& st) {
    StoredSession& s = session(st.range(0));
    s.files->closeAll(); // the readings stay in memory
    for (auto _ : st) {
        s.graph->requestRedraw();
        benchmark::DoNotOptimize(s.graph->rebuild(8192, 25, false, s.pipeline->recorder().storedReadings(),
                                                  s.pipeline->recorder().recordCount()));
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
BENCHMARK(BM_Rebuild)->Arg(979)->Arg(kDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildWithoutTrace)->Arg(kDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadReadingFile)->Arg(kDay)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace aurivo

AURIVO_BENCHMARK_MAIN(QGuiApplication)
