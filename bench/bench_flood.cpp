// The whole window under a flood of packets through a pseudo-terminal: once the session's start reading
// has settled, a writer thread sends packets as fast as the line takes them while the window runs its
// event loop. Or, with hostile datagrams, the packets at the device's own pace (20 a second) while a
// second thread sends that many hostile datagrams to the lab link's receiver (markers over the rate
// limit, damaged and oversized packets, text lines with control characters). Reports the longest gap between
// two repaints of the window (its data label or its graph), of the graph alone and between two ticks; the
// processor time of the window's thread per packet; and whether the recording holds exactly the packets
// sent (with filter size 1 every reading is stored as sent).
#include "BenchSupport.h"
#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "app/Monitor.h"
#include "core/SystemClock.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"
#include "link/LabLink.h"
#include "link/OscMessage.h"
#include "widgets/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <random>
#include <thread>
#include <vector>

namespace aurivo {

namespace {

// A resting level near 470 kOhm with noise that never repeats in a run, so a lost or doubled packet
// shows in the recording.
int32_t reading(int64_t i) {
    return 8092 + int32_t((uint32_t(i) * 2654435761u >> 16) % 201);
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Records the time of every paint of a widget, and the longest gap between two.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QObject* parent) : QObject(parent) { clock_.start(); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) note();
        return false;
    }
    void note() {
        const qint64 now = clock_.elapsed();
        if (last_ >= 0) longest = std::max(longest, now - last_);
        last_ = now;
        ++count;
    }
    // Starts measuring now: the first gap runs from here to the first paint.
    void restart() { last_ = clock_.elapsed(), longest = 0, count = 0; }
    // The longest gap, counting the one still open now.
    qint64 longestUntilNow() const { return std::max(longest, last_ >= 0 ? clock_.elapsed() - last_ : 0); }
    qint64 longest = 0;
    int count = 0;

  private:
    QElapsedTimer clock_;
    qint64 last_ = -1;
};

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The hostile datagram number i: a marker (most dropped by the rate limit), random bytes up to 1,500,
// a text line with control characters over the label limit, or a marker with one byte changed.
QByteArray hostileDatagram(int i, std::mt19937& rng) {
    static const QByteArray marker =
        OscMessage{QByteArrayLiteral("/aurivo/marker"), {QStringLiteral("flood")}}.encode();
    QByteArray d;
    switch (i % 4) {
    case 0:
        return marker;
    case 1:
        return QByteArray(int(rng() % 1500), char(rng()));
    case 2:
        return "marker \x01\x02" + QByteArray(300, 'x') + "\n";
    default:
        d = marker;
        d[int(rng() % uint32_t(d.size()))] = char(rng());
        return d;
    }
}

void BM_FloodThroughTheWindow(benchmark::State& st) {
    const int seconds = int(st.range(0));
    const int hostile = int(st.range(1));
    for (auto _ : st) {
        QTemporaryDir dir;
        writeBenchSettings(dir.path(), 1);

        PseudoTerminal pty(dir.path(), 3);
        QtSerialComm comm(dir.path());
        SystemClock clock;
        ScriptedBoxes boxes;
        MainWindow window(comm, clock, boxes, dir.path(), [](int) { return QString(); });
        window.show();
        window.startUp();
        runEventLoop(1000); // the first arrangement
        auto* graph = window.findChild<QWidget*>(QStringLiteral("pixXYgraf"));
        auto* graphPaints = new PaintWatch(graph);
        graph->installEventFilter(graphPaints);
        // The window repaints when the data label (the raw reading of the last packet) or the graph shows
        // something new; the label alone stays as it is when a tick's last reading equals the one before.
        auto* label = window.findChild<QWidget*>(QStringLiteral("LblShnStf_7"));
        auto* labelPaints = new PaintWatch(label);
        label->installEventFilter(labelPaints);
        graph->installEventFilter(labelPaints);
        auto* ticks = new PaintWatch(&window);
        QObject::connect(&window.tickTimer(), &QTimer::timeout, ticks, [ticks] { ticks->note(); });
        uint16_t linkPort = 0;
        if (hostile > 0) {
            LabLinkSettings link;
            link.receiveEnabled = true;
            link.receivePort = 0; // any free port
            QString notKept;
            window.monitor().applyLabLink(link, notKept);
            linkPort = window.monitor().labLink().listeningPort();
            if (linkPort == 0) std::abort();
        }
        window.monitor().choose(MenuItem::Start);

        // Packets at the device's own pace until the start reading has settled, so that every packet of
        // the flood that follows is recorded.
        std::atomic<bool> stop{false};
        std::atomic<int64_t> sent{0};
        while (window.monitor().sessions().awaitingStartValue()) {
            QByteArray block;
            for (int k = 0; k < 4; ++k)
                block += PacketDecoder::makePacket(uint16_t(reading(sent + k)), 4);
            if (!pty.write(block)) std::abort();
            sent += 4;
            runEventLoop(200);
        }

        // The writer sends as fast as the line takes the bytes (or at the device's pace) for the measured
        // time; the hostile datagrams are spread over it.
        // It goes on until the gaps are taken, so the last of the measured time has packets to show too.
        std::atomic<bool> measured{false};
        std::thread writer([&] {
            int64_t i = sent;
            QElapsedTimer elapsed;
            elapsed.start();
            while (!stop && !measured && elapsed.elapsed() < (seconds + 60) * 1000) {
                const int count = hostile > 0 ? 1 : 64;
                QByteArray block;
                for (int k = 0; k < count; ++k)
                    block += PacketDecoder::makePacket(uint16_t(reading(i + k)), 4);
                if (!pty.write(block, 5000)) break;
                i += count;
                sent = i;
                if (hostile > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
        std::atomic<int> hostileSent{0};
        std::thread attacker([&] {
            if (hostile == 0) return;
            QUdpSocket socket;
            std::mt19937 rng(20261207);
            const auto pause =
                std::chrono::microseconds(int64_t(seconds) * 1000000 / std::max(1, hostile / 50));
            for (int i = 0; i < hostile && !stop; ++i) {
                socket.writeDatagram(hostileDatagram(i, rng), QHostAddress::LocalHost, linkPort);
                hostileSent = i + 1;
                // Evenly over the flood's time, in bursts of 50.
                if (i % 50 == 49) std::this_thread::sleep_for(pause);
            }
        });
        graphPaints->restart();
        labelPaints->restart();
        ticks->restart();
        const double cpuBefore = threadCpuSeconds();
        runEventLoop(seconds * 1000);
        // The gaps while the flood lasts (afterwards nothing changes that would need a repaint).
        const qint64 windowGap = labelPaints->longestUntilNow(), graphGap = graphPaints->longestUntilNow(),
                     tickGap = ticks->longestUntilNow();
        const int repaints = labelPaints->count;
        measured = true;
        // The rest that waits is read by the following ticks.
        int32_t records = -1;
        while (records != window.monitor().recorder().recordCount()) {
            records = window.monitor().recorder().recordCount();
            runEventLoop(600);
        }
        stop = true;
        writer.join();
        attacker.join();
        const double cpu = threadCpuSeconds() - cpuBefore;
        window.monitor().choose(MenuItem::Stop);

        // The stored readings are the last ones sent, in order, none missing.
        QFile tst(QDir(dir.path()).filePath(QStringLiteral("tempdata.tst")));
        if (!tst.open(QIODevice::ReadOnly)) std::abort();
        const QByteArray bytes = tst.readAll();
        const int64_t stored = bytes.size() / 4;
        bool exact = stored > 0 && stored <= sent;
        for (int64_t k = 0; exact && k < stored; ++k) {
            int32_t v;
            std::memcpy(&v, bytes.constData() + 4 * k, 4);
            exact = v == reading(sent - stored + k);
        }
        st.counters["packets"] = double(sent);
        st.counters["stored"] = double(stored);
        st.counters["exact"] = exact ? 1 : 0;
        st.counters["cpu_us_per_packet"] = sent > 0 ? cpu * 1e6 / double(sent) : 0;
        st.counters["longest_repaint_gap_ms"] = double(windowGap);
        st.counters["longest_graph_repaint_gap_ms"] = double(graphGap);
        st.counters["longest_tick_gap_ms"] = double(tickGap);
        st.counters["repaints"] = repaints;
        if (hostile > 0) {
            const LabLink::Counts& counts = window.monitor().labLink().counts();
            st.counters["hostile_sent"] = double(hostileSent.load());
            st.counters["hostile_read"] = double(counts.received);
            st.counters["markers_set"] = double(counts.markers);
            st.counters["markers_dropped"] = double(counts.dropped);
            st.counters["refused"] = double(counts.refused);
        }
        window.close();
    }
}
BENCHMARK(BM_FloodThroughTheWindow)
    ->Args({10, 0})
    ->Args({10, 10000})
    ->ArgNames({"seconds", "hostile"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

} // namespace aurivo

AURIVO_BENCHMARK_MAIN(QApplication)
