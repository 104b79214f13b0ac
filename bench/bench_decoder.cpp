// Decoder throughput on a large generated capture, next to the cost of merely touching the same bytes.

#include "device/PacketDecoder.h"

#include <QByteArray>
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

namespace aurivo {

namespace {

// About 16 MB of packets (mostly length 8, some longer), with garbage between one packet in ten.
const QByteArray& recordedStream() {
    static const QByteArray capture = [] {
        std::mt19937 rng(1);
        std::uniform_int_distribution<int> byte(0, 255);
        QByteArray out;
        out.reserve(16 * 1024 * 1024 + 128);
        while (out.size() < 16 * 1024 * 1024) {
            if (byte(rng) < 26)
                for (int g = 1 + byte(rng) % 6; g > 0; --g)
                    out.append(static_cast<char>(byte(rng)));
            QByteArray extra;
            if (byte(rng) < 26) extra = QByteArray(2 + byte(rng) % 20, static_cast<char>(byte(rng)));
            out += PacketDecoder::makePacket(static_cast<uint16_t>(8000 + byte(rng)), 4, extra);
        }
        return out;
    }();
    return capture;
}

void BM_Decode(benchmark::State& state) {
    const QByteArray& capture = recordedStream();
    const auto* bytes = reinterpret_cast<const uint8_t*>(capture.constData());
    const qsizetype size = capture.size();
    for (auto _ : state) {
        PacketDecoder decoder;
        long long packets = 0;
        long long readings = 0;
        for (qsizetype i = 0; i < size; ++i) {
            if (decoder.feed(bytes[i])) {
                ++packets;
                readings += decoder.rawReading();
            }
        }
        benchmark::DoNotOptimize(packets);
        benchmark::DoNotOptimize(readings);
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

// Reading every byte once (a byte sum the compiler cannot drop).
void BM_ReadBytes(benchmark::State& state) {
    const QByteArray& capture = recordedStream();
    const auto* bytes = reinterpret_cast<const uint8_t*>(capture.constData());
    const qsizetype size = capture.size();
    for (auto _ : state) {
        uint64_t sum = 0;
        for (qsizetype i = 0; i < size; ++i)
            sum += bytes[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);

// Copying the capture into another buffer.
void BM_CopyBytes(benchmark::State& state) {
    const QByteArray& capture = recordedStream();
    QByteArray target(capture.size(), '\0');
    for (auto _ : state) {
        std::memcpy(target.data(), capture.constData(), static_cast<size_t>(capture.size()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * capture.size());
}
BENCHMARK(BM_CopyBytes)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace aurivo

BENCHMARK_MAIN();
