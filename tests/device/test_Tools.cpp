// The simulated sensor and the packet dump, run as the separate programs they are.

#include "PseudoTerminal.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QString kSim = QStringLiteral(AURIVO_SIM_PATH);
const QString kDump = QStringLiteral(AURIVO_DUMP_PATH);

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a program to its end (at most 10 s) and returns its standard output.
QByteArray RunProgram(const QString& program, const QStringList& args, QByteArray* err = nullptr, const QByteArray& input = {}) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        ADD_FAILURE() << qPrintable(program) << " did not finish";
    }
    if (err)
        *err = p.readAllStandardError();
    return p.readAllStandardOutput();
}

TEST(Tools, DumpDecodesTheSimulatorsStreamExactlyAsLogged) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("L"));
    QProcess sim;
    QProcess dump;
    sim.setStandardOutputProcess(&dump);
    sim.start(kSim, {QStringLiteral("--stdout"), QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--count"),
                     QStringLiteral("500"), QStringLiteral("--garbage"), QStringLiteral("0.1"), QStringLiteral("--bad-checks"),
                     QStringLiteral("0.05"), QStringLiteral("--long-packets"), QStringLiteral("0.1"), QStringLiteral("--log"), log});
    dump.start(kDump, {});
    ASSERT_TRUE(sim.waitForFinished(10000));
    ASSERT_TRUE(dump.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    const QByteArray expected = ReadFile(log);
    const QByteArray lines = dump.readAllStandardOutput();
    EXPECT_EQ(lines, expected);
    // Some packets were bad, so the log holds fewer than 500, but most of them.
    const auto count = expected.count('\n');
    EXPECT_GT(count, 400);
    EXPECT_LT(count, 500);
    const QByteArray err = dump.readAllStandardError();
    EXPECT_TRUE(err.contains(QByteArray::number(count) + " valid packets")) << err.constData();

    // The same seed gives the same stream.
    QByteArray again = RunProgram(kSim, {QStringLiteral("--stdout"), QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--count"),
                                  QStringLiteral("500"), QStringLiteral("--garbage"), QStringLiteral("0.1"), QStringLiteral("--bad-checks"),
                                  QStringLiteral("0.05"), QStringLiteral("--long-packets"), QStringLiteral("0.1")});
    EXPECT_EQ(RunProgram(kDump, {QStringLiteral("-")}, nullptr, again), expected);
}

TEST(Tools, SimulatorStatusOptionsAndSilence) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("L"));
    // 100 packets at 20 per second, silent from 1 s for 2 s: 20 before, 60 after the silence.
    const QByteArray out = RunProgram(kSim, {QStringLiteral("--stdout"), QStringLiteral("--seed"), QStringLiteral("1"), QStringLiteral("--count"),
                                      QStringLiteral("100"), QStringLiteral("--probe-errors"), QStringLiteral("0.3"), QStringLiteral("--invalid"),
                                      QStringLiteral("0.3"), QStringLiteral("--silence-at"), QStringLiteral("1"), QStringLiteral("--silence-for"),
                                      QStringLiteral("2"), QStringLiteral("--log"), log});
    const QList<QByteArray> lines = ReadFile(log).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 100);
    int probe = 0;
    int invalid = 0;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.split(' ');
        ASSERT_EQ(f.size(), 2);
        const int reading = f[0].toInt();
        const int status = f[1].toInt();
        EXPECT_GT(reading, 7000);
        EXPECT_LT(reading, 9500);
        EXPECT_EQ(status & ~5, 0);
        probe += status & 1;
        invalid += (status & 4) == 0;
    }
    EXPECT_GT(probe, 10);
    EXPECT_GT(invalid, 10);
    EXPECT_EQ(RunProgram(kDump, {}, nullptr, out).trimmed().split('\n'), lines);
}

TEST(Tools, ReplaySendsTheFileAndDumpReadsFiles) {
    QTemporaryDir dir;
    const QString capture = dir.filePath(QStringLiteral("capture.bin"));
    const QByteArray bytes = QByteArray::fromHex("0012FF") + PacketDecoder::MakePacket(8123, 4) +
                             PacketDecoder::MakePacket(100, 5, "xy") + QByteArray::fromHex("A35B");
    {
        QFile f(capture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray err;
    EXPECT_EQ(RunProgram(kDump, {capture}, &err), QByteArray("8123 4\n100 5\n"));
    // Three garbage bytes are rejected; the unfinished packet at the end is not counted as rejected.
    EXPECT_TRUE(err.contains("2 valid packets, 3 rejected bytes")) << err.constData();

    const QString log = dir.filePath(QStringLiteral("L"));
    EXPECT_EQ(RunProgram(kSim, {QStringLiteral("--stdout"), QStringLiteral("--replay"), capture, QStringLiteral("--log"), log}), bytes);
    EXPECT_EQ(ReadFile(log), QByteArray("8123 4\n100 5\n"));
}

TEST(Tools, SimulatorServesAPortAndHangsUp) {
    QTemporaryDir folder;
    QProcess sim;
    sim.start(kSim, {QStringLiteral("--folder"), folder.path(), QStringLiteral("--port"), QStringLiteral("5"), QStringLiteral("--rate"),
                     QStringLiteral("200"), QStringLiteral("--seed"), QStringLiteral("2"), QStringLiteral("--hangup-after"), QStringLiteral("1")});
    ASSERT_TRUE(sim.waitForStarted(5000));
    const QString link = folder.filePath(QStringLiteral("ports/com5"));
    QDeadlineTimer linked(5000);
    while (!QFileInfo(link).isSymLink() && !linked.hasExpired())
        QThread::msleep(5);
    ASSERT_TRUE(QFileInfo(link).isSymLink());

    QtSerialComm comm(folder.path());
    comm.SetCommPort(5);
    comm.SetSettings(QStringLiteral("19200,N,8,1"));
    comm.SetInputLen(1);
    comm.SetInBufferSize(4096);
    ASSERT_EQ(comm.SetPortOpen(true), 0) << qPrintable(comm.LastErrorText());

    PacketDecoder decoder;
    int packets = 0;
    bool failed = false;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        const int waiting = comm.InBufferCount();
        if (waiting < 0) {
            failed = true;
            break;
        }
        if (waiting == 0)
            QThread::msleep(2);
        for (int i = 0; i < waiting; ++i) {
            if (decoder.Feed(static_cast<uint8_t>(comm.Input().at(0)))) {
                ++packets;
                EXPECT_GT(decoder.RawReading(), 7000);
                EXPECT_LT(decoder.RawReading(), 9500);
                EXPECT_EQ(decoder.StatusByte(), 4);
            }
        }
    }
    EXPECT_TRUE(failed) << "the hang-up was not seen";
    EXPECT_GT(packets, 20);
    comm.SetPortOpen(false);
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link was left behind";
}

TEST(Tools, SimulatorEndsCleanlyOnTerminate) {
    QTemporaryDir folder;
    // A stale link from an earlier run is replaced.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("ports")));
    const QString link = folder.filePath(QStringLiteral("ports/com3"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/aurivo-stale"), link));
    QProcess sim;
    sim.start(kSim, {QStringLiteral("--folder"), folder.path()});
    ASSERT_TRUE(sim.waitForStarted(5000));
    QDeadlineTimer linked(5000);
    while (QFileInfo(link).symLinkTarget() == QStringLiteral("/dev/aurivo-stale") && !linked.hasExpired())
        QThread::msleep(5);
    EXPECT_TRUE(QFileInfo(link).symLinkTarget().startsWith(QStringLiteral("/dev/pts/")));
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

} // namespace
