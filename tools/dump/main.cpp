// aurivo-dump: decodes an Aurivo packet stream with the monitor's own decoder and prints one line
// "reading status" per valid packet. Reads a file, standard input, or a serial port.

#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace aurivo {

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void onStopSignal(int) {
    g_stopRequested = 1;
}

// Counts what the decoder made of the stream.
struct Tally {
    long long validPackets = 0;
    long long bytesInPackets = 0;
    long long bytesSeen = 0;
};

void feedByte(PacketDecoder& decoder, Tally& tally, uint8_t b, bool flushEachLine) {
    ++tally.bytesSeen;
    if (decoder.feed(b)) {
        ++tally.validPackets;
        tally.bytesInPackets += decoder.completedLength();
        std::printf("%d %d\n", decoder.rawReading(), decoder.statusByte());
        if (flushEachLine) std::fflush(stdout);
    }
}

void printTally(const PacketDecoder& decoder, const Tally& tally) {
    std::fflush(stdout);
    // Bytes of an unfinished packet at the end are neither valid nor rejected yet.
    const long long rejected = tally.bytesSeen - tally.bytesInPackets - decoder.packetIndex;
    std::fprintf(stderr, "aurivo-dump: %lld valid packets, %lld rejected bytes\n", tally.validPackets,
                 rejected);
}

int dumpFile(int fd) {
    PacketDecoder decoder;
    Tally tally;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR && !g_stopRequested) continue;
        if (n <= 0) {
            printTally(decoder, tally);
            return n < 0 && !g_stopRequested ? 1 : 0;
        }
        for (ssize_t i = 0; i < n; ++i)
            feedByte(decoder, tally, static_cast<uint8_t>(chunk[i]), false);
    }
}

int dumpPort(QtSerialComm& comm, const QString& name) {
    comm.setSettings(QStringLiteral("19200,N,8,1"));
    comm.setInBufferSize(4096);
    const int error = comm.setPortOpen(true);
    if (error != 0) {
        std::fprintf(stderr, "aurivo-dump: cannot open %s: error %d, %s\n", qPrintable(name), error,
                     qPrintable(comm.lastErrorText()));
        return 2;
    }
    std::fprintf(stderr, "aurivo-dump: reading %s\n", qPrintable(comm.openDevicePath()));

    PacketDecoder decoder;
    Tally tally;
    while (!g_stopRequested) {
        const int waiting = comm.inBufferCount();
        if (waiting < 0) {
            std::fprintf(stderr, "aurivo-dump: the device has gone\n");
            break;
        }
        if (waiting == 0) {
            const timespec pause{0, 10 * 1000 * 1000};
            nanosleep(&pause, nullptr);
            continue;
        }
        for (const char b : comm.input())
            feedByte(decoder, tally, static_cast<uint8_t>(b), true);
    }
    comm.setPortOpen(false);
    printTally(decoder, tally);
    return 0;
}

} // namespace

} // namespace aurivo

int main(int argc, char** argv) {
    using namespace aurivo;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("aurivo-dump"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Decodes an Aurivo USB packet stream and prints one line \"reading status\" (decimal) per valid\n"
        "packet. At the end, standard error gets the number of valid packets and of rejected bytes\n"
        "(bytes that were not part of a valid packet). Reads FILE, or standard input for \"-\" or no\n"
        "argument, or a serial port with --port/--device until the device goes away or SIGINT/SIGTERM."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("file"),
                            QStringLiteral("Capture to decode (\"-\" or none: standard input)."));
    p.addOptions({
        {QStringLiteral("port"), QStringLiteral("Read serial port N (1..16) as the monitor finds it."),
         QStringLiteral("N")},
        {QStringLiteral("folder"),
         QStringLiteral("Program folder for --port, where ports/comN links live (default: current folder)."),
         QStringLiteral("DIR")},
        {QStringLiteral("device"), QStringLiteral("Read this serial device."), QStringLiteral("PATH")},
    });
    p.process(app);

    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    if (p.isSet(QStringLiteral("port")) || p.isSet(QStringLiteral("device"))) {
        if (p.isSet(QStringLiteral("device"))) {
            // A device given by path goes through a private folder holding only ports/com1 -> PATH.
            const QString device = QFileInfo(p.value(QStringLiteral("device"))).absoluteFilePath();
            if (!QFileInfo::exists(device)) {
                std::fprintf(stderr, "aurivo-dump: %s does not exist\n", qPrintable(device));
                return 2;
            }
            const QString folder = QDir::temp().filePath(QStringLiteral("aurivo-dump-%1").arg(::getpid()));
            QDir(folder).mkpath(QStringLiteral("ports"));
            const QString link = QDir(folder).filePath(QStringLiteral("ports/com1"));
            QFile::link(device, link);
            QtSerialComm comm(folder);
            comm.setCommPort(1);
            const int rc = dumpPort(comm, device);
            QDir(folder).removeRecursively();
            return rc;
        }
        bool ok = false;
        const int port = p.value(QStringLiteral("port")).toInt(&ok);
        if (!ok || port < 1 || port > 16) {
            std::fprintf(stderr, "aurivo-dump: --port needs a number 1..16\n");
            return 2;
        }
        const QString folder =
            p.isSet(QStringLiteral("folder")) ? p.value(QStringLiteral("folder")) : QDir::currentPath();
        QtSerialComm comm(folder);
        comm.setCommPort(port);
        return dumpPort(comm, QStringLiteral("COM%1").arg(port));
    }

    const QStringList args = p.positionalArguments();
    if (args.size() > 1) {
        std::fprintf(stderr, "aurivo-dump: give at most one file\n");
        return 2;
    }
    if (args.isEmpty() || args[0] == QLatin1String("-")) return dumpFile(STDIN_FILENO);
    const int fd = ::open(QFile::encodeName(args[0]).constData(), O_RDONLY);
    if (fd < 0) {
        std::fprintf(stderr, "aurivo-dump: cannot read %s\n", qPrintable(args[0]));
        return 2;
    }
    const int rc = dumpFile(fd);
    ::close(fd);
    return rc;
}
