// aurivo-sim: the simulated Aurivo USB sensor. Streams device packets with a realistic signal through a
// pseudo-terminal linked as <folder>/ports/comN (or to standard output), with options to inject the
// faults the monitor must survive.

#include "PtyOutput.h"
#include "SignalModel.h"
#include "device/PacketDecoder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>
#include <random>
#include <unistd.h>
#include <utility>

namespace aurivo {

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void onStopSignal(int) {
    g_stopRequested = 1;
}

void installSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a pending sleep ends at once
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

struct Options {
    QString folder;
    int port = 3;
    double rate = 20.0;
    std::optional<uint32_t> seed;
    std::optional<double> seconds;
    double probeErrors = 0;
    double invalid = 0;
    double badChecks = 0;
    double garbage = 0;
    double longPackets = 0;
    std::optional<double> silenceAt;
    double silenceFor = 0;
    std::optional<double> hangupAfter;
    bool toStdout = false;
    bool paced = false;
    bool flood = false;
    std::optional<long long> count;
    QString replay;
    QString log;
};

[[noreturn]] void fail(const QString& text) {
    std::fprintf(stderr, "aurivo-sim: %s\n", qPrintable(text));
    std::exit(2);
}

double fractionOption(const QCommandLineParser& p, const QString& name) {
    bool ok = false;
    const double v = p.value(name).toDouble(&ok);
    if (!ok || v < 0 || v > 1) fail(QStringLiteral("--%1 needs a fraction between 0 and 1").arg(name));
    return v;
}

double secondsOption(const QCommandLineParser& p, const QString& name) {
    bool ok = false;
    const double v = p.value(name).toDouble(&ok);
    if (!ok || v < 0) fail(QStringLiteral("--%1 needs a number of seconds >= 0").arg(name));
    return v;
}

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated Aurivo USB sensor. Creates a pseudo-terminal, links it as <folder>/ports/com<port> and\n"
        "streams device packets (A3 5B N reading status ... check) at about 20 per second: a resting\n"
        "level near 470 kOhm (reading about 8192), slow drift, occasional responses (a fall of a few\n"
        "percent within 1-2 s, recovering over 10-20 s) and a little noise; status 4 (reading valid).\n"
        "Packets are dropped while the port is closed. The link is removed on exit (also on SIGTERM\n"
        "and SIGINT). Times are counted in packet periods, so unpaced output behaves like paced output."));
    p.addHelpOption();
    p.addOptions({
        {QStringLiteral("folder"),
         QStringLiteral("Program folder that gets ports/com<port> (default: current folder)."),
         QStringLiteral("DIR")},
        {QStringLiteral("port"), QStringLiteral("Port number 1..16 (default 3)."), QStringLiteral("N"),
         QStringLiteral("3")},
        {QStringLiteral("rate"), QStringLiteral("Packets per second (default 20)."), QStringLiteral("HZ"),
         QStringLiteral("20")},
        {QStringLiteral("seed"), QStringLiteral("Fixed random seed (default: a fresh one each run)."),
         QStringLiteral("N")},
        {QStringLiteral("seconds"), QStringLiteral("Run this long, then exit (default: until stopped)."),
         QStringLiteral("S")},
        {QStringLiteral("count"), QStringLiteral("Send this many packets (bad ones included), then exit."),
         QStringLiteral("N")},
        {QStringLiteral("probe-errors"),
         QStringLiteral("Fraction of packets with the probe-error bit (status bit 0) set."),
         QStringLiteral("FRACTION"), QStringLiteral("0")},
        {QStringLiteral("invalid"),
         QStringLiteral("Fraction of packets with the reading-valid bit (status bit 2) clear."),
         QStringLiteral("FRACTION"), QStringLiteral("0")},
        {QStringLiteral("bad-checks"), QStringLiteral("Fraction of packets sent with a wrong check value."),
         QStringLiteral("FRACTION"), QStringLiteral("0")},
        {QStringLiteral("garbage"),
         QStringLiteral(
             "Fraction of packets preceded by 1-6 random garbage bytes (never A3, so no packet is lost)."),
         QStringLiteral("FRACTION"), QStringLiteral("0")},
        {QStringLiteral("long-packets"),
         QStringLiteral("Fraction of packets of length 10 (two extra payload bytes)."),
         QStringLiteral("FRACTION"), QStringLiteral("0")},
        {QStringLiteral("silence-at"), QStringLiteral("Stop sending at this time..."), QStringLiteral("S")},
        {QStringLiteral("silence-for"), QStringLiteral("...for this long (default 0)."), QStringLiteral("S"),
         QStringLiteral("0")},
        {QStringLiteral("hangup-after"),
         QStringLiteral("Close the pseudo-terminal after this time (the reader sees a hang-up) and exit."),
         QStringLiteral("S")},
        {QStringLiteral("stdout"),
         QStringLiteral(
             "Write the bytes to standard output instead of a pseudo-terminal, as fast as possible.")},
        {QStringLiteral("paced"),
         QStringLiteral("With --stdout: keep the packet rate instead of writing as fast as possible.")},
        {QStringLiteral("flood"),
         QStringLiteral(
             "Wait until a program opens the port, then send as fast as it reads, never dropping a "
             "packet (times still count in packet periods of --rate); after the last packet, wait "
             "until the program closes the port.")},
        {QStringLiteral("replay"),
         QStringLiteral(
             "Send the bytes of FILE (8 bytes per packet period) instead of generated packets, then exit."),
         QStringLiteral("FILE")},
        {QStringLiteral("log"),
         QStringLiteral(
             "Write one line \"reading status\" per valid packet sent (the form aurivo-dump prints)."),
         QStringLiteral("FILE")},
    });
    p.process(app);

    Options o;
    o.folder = p.isSet(QStringLiteral("folder")) ? p.value(QStringLiteral("folder")) : QDir::currentPath();
    bool ok = false;
    o.port = p.value(QStringLiteral("port")).toInt(&ok);
    if (!ok || o.port < 1 || o.port > 16) fail(QStringLiteral("--port needs a number 1..16"));
    o.rate = p.value(QStringLiteral("rate")).toDouble(&ok);
    if (!ok || o.rate <= 0 || o.rate > 100000) fail(QStringLiteral("--rate needs a positive number"));
    if (p.isSet(QStringLiteral("seed"))) {
        o.seed = p.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok) fail(QStringLiteral("--seed needs a whole number"));
    }
    if (p.isSet(QStringLiteral("seconds"))) o.seconds = secondsOption(p, QStringLiteral("seconds"));
    if (p.isSet(QStringLiteral("count"))) {
        o.count = p.value(QStringLiteral("count")).toLongLong(&ok);
        if (!ok || *o.count < 0) fail(QStringLiteral("--count needs a whole number >= 0"));
    }
    o.probeErrors = fractionOption(p, QStringLiteral("probe-errors"));
    o.invalid = fractionOption(p, QStringLiteral("invalid"));
    o.badChecks = fractionOption(p, QStringLiteral("bad-checks"));
    o.garbage = fractionOption(p, QStringLiteral("garbage"));
    o.longPackets = fractionOption(p, QStringLiteral("long-packets"));
    if (p.isSet(QStringLiteral("silence-at"))) o.silenceAt = secondsOption(p, QStringLiteral("silence-at"));
    o.silenceFor = secondsOption(p, QStringLiteral("silence-for"));
    if (p.isSet(QStringLiteral("hangup-after")))
        o.hangupAfter = secondsOption(p, QStringLiteral("hangup-after"));
    o.toStdout = p.isSet(QStringLiteral("stdout"));
    o.flood = p.isSet(QStringLiteral("flood"));
    if (o.flood && o.toStdout) fail(QStringLiteral("--flood writes to the pseudo-terminal, not to --stdout"));
    o.paced = o.toStdout ? p.isSet(QStringLiteral("paced")) : !o.flood;
    o.replay = p.value(QStringLiteral("replay"));
    o.log = p.value(QStringLiteral("log"));
    return o;
}

// Sleeps until an absolute time on the monotonic clock; returns early when a stop was requested.
void sleepUntil(const timespec& when) {
    while (!g_stopRequested) {
        const int rc = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr);
        if (rc == 0 || rc != EINTR) return;
    }
}

timespec now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

timespec addSeconds(timespec base, double seconds) {
    const double whole = std::floor(seconds);
    base.tv_sec += static_cast<time_t>(whole);
    base.tv_nsec += static_cast<long>((seconds - whole) * 1e9);
    while (base.tv_nsec >= 1000000000L) {
        base.tv_nsec -= 1000000000L;
        ++base.tv_sec;
    }
    return base;
}

} // namespace

} // namespace aurivo

int main(int argc, char** argv) {
    using namespace aurivo;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("aurivo-sim"));
    const Options o = parseOptions(app);
    installSignalHandlers();

    const uint32_t seed = o.seed ? *o.seed : std::random_device{}();
    std::mt19937 rng(seed ^ 0x5EEDu);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> anyByte(0, 255);
    SignalModel model(seed, o.rate);

    QByteArray replayBytes;
    if (!o.replay.isEmpty()) {
        QFile f(o.replay);
        if (!f.open(QIODevice::ReadOnly)) fail(QStringLiteral("cannot read %1").arg(o.replay));
        replayBytes = f.readAll();
    }

    std::FILE* log = nullptr;
    if (!o.log.isEmpty()) {
        log = std::fopen(QFile::encodeName(o.log).constData(), "w");
        if (log == nullptr) fail(QStringLiteral("cannot write %1").arg(o.log));
    }

    PtyOutput pty;
    if (!o.toStdout) {
        if (!pty.open(o.folder, o.port)) fail(pty.errorText());
        std::fprintf(stderr, "aurivo-sim: COM%d is %s (%s)\n", o.port, qPrintable(pty.linkPath()),
                     qPrintable(pty.slavePath()));
    }

    const auto stopped = [] { return g_stopRequested != 0; };
    // A flood starts once the reader has opened the port and settled (a reader that flushes its input
    // when it opens must not lose the first packets), and is written in blocks as the line takes them.
    QByteArray flood;
    if (o.flood) {
        if (!pty.waitForReader(stopped)) return 1;
        sleepUntil(addSeconds(now(), 0.5));
    }
    const auto sendFlood = [&] { return pty.writeAll(std::exchange(flood, QByteArray()), stopped); };

    // Writes one chunk of the stream; false when standard output is gone (or a flooded reader left).
    auto send = [&](const QByteArray& bytes) -> bool {
        if (o.flood) {
            flood += bytes;
            return flood.size() < 4096 || sendFlood();
        }
        if (!o.toStdout) {
            pty.write(bytes);
            return true;
        }
        return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
               static_cast<size_t>(bytes.size());
    };

    PacketDecoder replayDecoder; // tells which replayed packets are valid, for the log
    qsizetype replayPos = 0;
    long long packetsSent = 0;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    int exitCode = 0;

    for (long long tick = 0; !g_stopRequested; ++tick) {
        const double t = static_cast<double>(tick) / o.rate;
        if (o.seconds && t >= *o.seconds) break;
        if (o.hangupAfter && t >= *o.hangupAfter) break;
        if (o.count && packetsSent >= *o.count) break;

        const uint16_t reading = model.nextReading();
        const bool silent = o.silenceAt && t >= *o.silenceAt && t < *o.silenceAt + o.silenceFor;

        QByteArray chunk;
        if (!o.replay.isEmpty()) {
            if (replayPos >= replayBytes.size()) break;
            chunk = replayBytes.mid(replayPos, 8);
            replayPos += chunk.size();
            for (char c : chunk)
                if (replayDecoder.feed(static_cast<uint8_t>(c)) && log)
                    std::fprintf(log, "%d %d\n", replayDecoder.rawReading(), replayDecoder.statusByte());
        } else if (!silent) {
            // Every draw happens on every packet, so a fault option does not change the others' stream.
            const bool withGarbage = chance(rng) < o.garbage;
            const bool probeError = chance(rng) < o.probeErrors;
            const bool notValid = chance(rng) < o.invalid;
            const bool isLong = chance(rng) < o.longPackets;
            const bool badCheck = chance(rng) < o.badChecks;
            const int garbageLength = 1 + anyByte(rng) % 6;
            QByteArray garbage;
            for (int i = 0; i < 6; ++i) {
                uint8_t g = static_cast<uint8_t>(anyByte(rng));
                if (g == PacketDecoder::kStartByte1)
                    g = 0; // a start byte here would swallow the packet that follows
                if (i < garbageLength) garbage.append(static_cast<char>(g));
            }
            QByteArray extra;
            extra.append(static_cast<char>(anyByte(rng)));
            extra.append(static_cast<char>(anyByte(rng)));
            const uint8_t wrongBy = static_cast<uint8_t>(1 + anyByte(rng) % 255);

            uint8_t status = 4;
            if (probeError) status |= 1;
            if (notValid) status &= static_cast<uint8_t>(~4u);
            QByteArray packet = PacketDecoder::makePacket(reading, status, isLong ? extra : QByteArray());
            if (badCheck)
                packet[packet.size() - 1] = static_cast<char>(static_cast<uint8_t>(packet.back()) ^ wrongBy);
            if (withGarbage) chunk = garbage;
            chunk.append(packet);
            ++packetsSent;
            if (log && !badCheck) std::fprintf(log, "%d %d\n", reading, status);
        }

        if (!chunk.isEmpty() && !send(chunk)) {
            exitCode = 1;
            break;
        }
        if (o.paced) {
            if (o.toStdout) std::fflush(stdout);
            sleepUntil(addSeconds(start, static_cast<double>(tick + 1) / o.rate));
        }
    }

    if (o.flood && !flood.isEmpty() && !sendFlood()) exitCode = 1;
    // Closing the line would discard what the reader has not taken yet: the flood ends when it leaves.
    if (o.flood && exitCode == 0) pty.waitForReaderToLeave(stopped);
    if (o.toStdout) std::fflush(stdout);
    if (log) std::fclose(log);
    pty.close();
    return exitCode;
}
