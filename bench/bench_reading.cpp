// The tick's reading path over a real serial line, as under a flood of packets: packets written into a
// pseudo-terminal are read by the monitor's tick through the serial component, the packet reader, the
// readings panel, the graph with its rebuilds, the indicators and the session files. Reports the cost
// per packet.
#include "BenchSupport.h"
#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "app/Monitor.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace aurivo {

namespace {

constexpr int kPacketsPerBlock = 256; // 2 KB: what a flood leaves waiting between two reads

int32_t reading(int64_t i) {
    return 8192 + int32_t((i * 7919) % 201) - 100;
}

// A running session over port 3 of a pseudo-terminal, its start reading settled.
struct FloodRig {
    QTemporaryDir dir;
    TestClock clock; // stands still within a tick: the tick reads all that waits
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<QtSerialComm> comm;
    std::unique_ptr<Monitor> monitor;
    int64_t sent = 0;

    FloodRig() {
        writeBenchSettings(dir.path(), 3);
        pty = std::make_unique<PseudoTerminal>(dir.path(), 3);
        comm = std::make_unique<QtSerialComm>(dir.path());
        monitor = std::make_unique<Monitor>(
            Monitor::Services{*comm, clock, boxes, host, dialogs, dir.path(), [](int) { return QString(); }});
        monitor->startUp();
        tick(); // the first arrangement
        monitor->choose(MenuItem::Start);
        if (!comm->portOpen()) std::abort();
        while (monitor->sessions().awaitingStartValue()) {
            send(4);
            tick();
        }
    }
    void tick() {
        clock.advance(200);
        monitor->onTick();
    }
    void send(int packets) {
        QByteArray block;
        for (int i = 0; i < packets; ++i)
            block += PacketDecoder::makePacket(uint16_t(reading(sent++)), 4);
        if (!pty->write(block)) std::abort();
    }
};

void BM_TickReadingPath(benchmark::State& st) {
    static FloodRig rig;
    for (auto _ : st) {
        const int32_t before = rig.monitor->recorder().recordCount();
        rig.send(kPacketsPerBlock);
        // The kernel hands written bytes to the reading side shortly after the write: tick until all
        // of them are stored.
        while (rig.monitor->recorder().recordCount() < before + kPacketsPerBlock)
            rig.tick();
    }
    st.SetItemsProcessed(st.iterations() * kPacketsPerBlock);
    st.counters["records"] = rig.monitor->recorder().recordCount() - 1;
}
BENCHMARK(BM_TickReadingPath)->Iterations(400)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace aurivo

AURIVO_BENCHMARK_MAIN(QGuiApplication)
