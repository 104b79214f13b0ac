// The response detector's cost: per reading over a day of readings held in memory, and a saved 24-hour
// session (1,728,000 readings and a marker a minute) scored from its files into its table.

#include "analysis/ResponseTable.h"
#include "recording/MarkerFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace aurivo {

namespace {

constexpr int64_t kDay = 24LL * 3600 * 20; // readings of a day at 20 per second

// A day at about 5 uS with a slow drift, a response (rise 0.75 s, decay 3 s) every 5 to 15 s of 0.01 to
// 0.5 uS, and noise of 0.002 uS, as recorded readings.
const std::vector<int32_t>& day() {
    static const std::vector<int32_t> readings = [] {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> uniform(0, 1);
        std::normal_distribution<double> noise(0, 0.002);
        std::vector<int32_t> out(static_cast<size_t>(kDay));
        const double tMax = std::log(3 / 0.75) * 3 * 0.75 / (3 - 0.75);
        const double top = std::exp(-tMax / 3) - std::exp(-tMax / 0.75);
        double start = 5, amplitude = 0.1, previousStart = -100, previousAmplitude = 0;
        for (int64_t n = 1; n <= kDay; ++n) {
            const double t = double(n) / 20;
            if (t >= start) {
                previousStart = start;
                previousAmplitude = amplitude;
                start += 5 + 10 * uniform(random);
                amplitude = 0.01 * std::pow(50.0, uniform(random));
            }
            const double s = t - previousStart;
            const double g = 5 + 0.3 * std::sin(t / 600) +
                             previousAmplitude * (std::exp(-s / 3) - std::exp(-s / 0.75)) / top +
                             noise(random);
            const double ohms = 1e6 / g;
            out[size_t(n - 1)] = int32_t(std::lround(16383.0 * 470000.0 / (ohms + 470000.0)));
        }
        return out;
    }();
    return readings;
}

// Every reading of the day through one detector, the responses counted as a listener would take them.
void BM_DetectorPerReading(benchmark::State& state) {
    const std::vector<int32_t>& readings = day();
    int64_t responses = 0;
    for (auto _ : state) {
        responses = 0;
        ResponseDetector detector(ResponseDetector::Settings{},
                                  {[&responses](const SkinResponse&) { ++responses; }, {}, {}});
        for (size_t i = 0; i < readings.size(); ++i)
            detector.addReading(int64_t(i) + 1, readings[i]);
        detector.finish();
        benchmark::DoNotOptimize(responses);
    }
    state.SetItemsProcessed(state.iterations() * kDay);
    state.counters["per_reading"] = benchmark::Counter(
        double(state.iterations()) * double(kDay), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
    state.counters["responses"] = double(responses);
}
BENCHMARK(BM_DetectorPerReading)->Unit(benchmark::kMillisecond);

// A saved day: its reading file and a marker a minute, scored from the files into the table's lines.
void BM_SavedDayTable(benchmark::State& state) {
    static QTemporaryDir dir;
    static const QString tst = [] {
        const QString path = dir.filePath(QStringLiteral("day.Tst"));
        QByteArray bytes;
        bytes.reserve(int(kDay * 4));
        for (const int32_t r : day()) {
            const int32_t le = qToLittleEndian(r);
            bytes.append(reinterpret_cast<const char*>(&le), 4);
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
        std::vector<Marker> markers;
        for (int64_t n = 1200; n <= kDay; n += 1200)
            markers.push_back({double(n) / 20, n, QStringLiteral("minute %1").arg(n / 1200)});
        QString reason;
        if (!MarkerFile(dir.filePath(QStringLiteral("day.mrk"))).rewrite(markers, reason)) std::abort();
        return path;
    }();
    int64_t lines = 0, bytes = 0;
    for (auto _ : state) {
        lines = bytes = 0;
        QStringList warnings;
        QString error;
        if (!ResponseTable::forSession(
                tst, {},
                [&](const QByteArray& line) {
                    ++lines;
                    bytes += line.size();
                },
                warnings, error))
            state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_SavedDayTable)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace aurivo

BENCHMARK_MAIN();
