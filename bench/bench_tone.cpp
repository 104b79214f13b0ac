// What the tone costs and whether it keeps up: the whole window on a session fed 20 packets a second
// over a pseudo-terminal (a slow drift with a little noise), first with the tone off and then on, each
// for the same time. Reports the processor time of the whole process (the sound output's own threads
// included) per second with either, the difference as a share of one core, the output's underruns, and,
// from what the sound server played (parec on its monitor), the largest step between two samples and the
// longest silence while the tone was meant to sound.
// Run it against a sound server, for example the null one of scripts/null-sound-server.sh:
//     scripts/null-sound-server.sh /tmp/snd &
//     PULSE_SERVER=unix:/tmp/snd/native build-rel/bench_tone 60        # seconds for each of off and on
//     PULSE_SERVER=unix:/tmp/snd/native build-rel/bench_tone 600 on    # a long run with the tone only
#include "BenchSupport.h"
#include "MonitorFakes.h"
#include "PseudoTerminal.h"
#include "app/ToneOutput.h"
#include "core/SystemClock.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"
#include "widgets/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace aurivo {

namespace {

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Runs the event loop for a while (the benchmark's pacing; the window's own timers go on meanwhile).
void run(int64_t ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The largest step and the longest run of silent samples in what the server played.
struct PlayedWatch {
    QProcess parec;
    int16_t last = 0;
    int largestStep = 0;
    int64_t silentRun = 0, longestSilence = 0, samples = 0;
    bool counting = false; // the tone is meant to sound now
    explicit PlayedWatch(const QString& server) {
        parec.setProgram(QStringLiteral("parec"));
        parec.setArguments({QStringLiteral("--server=") + server,
                            QStringLiteral("--device=aurivo_null.monitor"), QStringLiteral("--raw"),
                            QStringLiteral("--format=s16le"), QStringLiteral("--rate=48000"),
                            QStringLiteral("--channels=1")});
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, &parec, [this] {
            const QByteArray bytes = parec.readAllStandardOutput();
            for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
                const int16_t s = int16_t(uint16_t(uint8_t(bytes[i])) | uint16_t(uint8_t(bytes[i + 1])) << 8);
                largestStep = std::max(largestStep, std::abs(int(s) - int(last)));
                last = s;
                ++samples;
                silentRun = s == 0 ? silentRun + 1 : 0;
                if (counting) longestSilence = std::max(longestSilence, silentRun);
            }
        });
        parec.start();
    }
    ~PlayedWatch() {
        parec.terminate();
        parec.waitForFinished(3000);
    }
};

struct Result {
    double cpuPerSecond = 0;
    int underruns = 0;
};

Result session(bool toneOn, int seconds, PlayedWatch* watch) {
    QTemporaryDir dir;
    writeBenchSettings(dir.path(), 3);
    ToneSettings tone;
    tone.enabled = toneOn;
    tone.volumePercent = 50;
    tone.save(dir.path());
    PseudoTerminal pty(dir.path(), 3);
    QtSerialComm comm(dir.path());
    SystemClock clock;
    ScriptedBoxes boxes;
    MainWindow window(comm, clock, boxes, dir.path(), [](int) { return QString(); });
    window.show();
    window.startUp();
    window.findChild<QAction*>(QStringLiteral("mnuStart"))->trigger();
    int64_t sent = 0;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pace, &QTimer::timeout, [&] {
        // A drift over a minute and back, with noise: the pitch moves all the time.
        const double drift = 600 * std::sin(double(sent) / (20.0 * 60.0) * 2 * M_PI);
        const int noise = int((uint32_t(sent) * 2654435761u >> 16) % 41) - 20;
        pty.write(PacketDecoder::makePacket(uint16_t(8000 + int(drift) + noise), 4));
        ++sent;
    });
    pace.start(50);
    run(3000); // the start value settles
    if (watch) watch->counting = toneOn;
    const double cpu0 = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    run(int64_t(seconds) * 1000);
    const double cpu = processCpuSeconds() - cpu0;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    if (watch) watch->counting = false;
    for (const auto& notice : boxes.notices)
        std::printf("notice: %s\n", qPrintable(notice.text));
    window.findChild<QAction*>(QStringLiteral("mnuStop"))->trigger();
    run(300);
    return {cpu / elapsed, window.tone().underruns()};
}

} // namespace

} // namespace aurivo

int main(int argc, char** argv) {
    using namespace aurivo;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const bool onlyOn = argc > 2 && QByteArray(argv[2]) == "on";
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    std::unique_ptr<PlayedWatch> watch;
    if (!server.isEmpty()) watch = std::make_unique<PlayedWatch>(server);
    std::printf("%d s for each, 20 packets a second\n", seconds);
    Result off;
    if (!onlyOn) {
        off = session(false, seconds, watch.get());
        std::printf("tone off: %.4f s of processor time a second (%.2f %% of a core)\n", off.cpuPerSecond,
                    100 * off.cpuPerSecond);
    }
    const Result on = session(true, seconds, watch.get());
    std::printf("tone on:  %.4f s of processor time a second (%.2f %% of a core), %d underruns\n",
                on.cpuPerSecond, 100 * on.cpuPerSecond, on.underruns);
    if (!onlyOn)
        std::printf("the tone costs %.2f %% of a core\n", 100 * (on.cpuPerSecond - off.cpuPerSecond));
    if (watch)
        std::printf("played: %lld samples, largest step %d, longest silence while sounding %.1f ms\n",
                    static_cast<long long>(watch->samples), watch->largestStep,
                    double(watch->longestSilence) / 48.0);
    return 0;
}
