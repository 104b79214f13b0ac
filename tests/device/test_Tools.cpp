// The simulated sensor and the packet dump, run as the separate programs they are.

#include "PseudoTerminal.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kSim = QStringLiteral(AURIVO_SIM_PATH);
const QString kDump = QStringLiteral(AURIVO_DUMP_PATH);

QStringList Args(const char* words) { return QString::fromLatin1(words).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a program to its end (at most 10 s) and returns its standard output.
QByteArray RunProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
                      QByteArray* err = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000)) return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        ADD_FAILURE() << qPrintable(program) << " did not finish";
    }
    if (err) *err = p.readAllStandardError();
    return p.readAllStandardOutput();
}

bool WaitFor(const std::function<bool()>& condition) {
    QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired()) QThread::msleep(5);
    return condition();
}

TEST(Tools, SimPipedIntoDumpDecodesTheStreamExactlyAsLogged) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("L"));
    const QStringList args = Args("--stdout --seed 7 --count 500 --garbage 0.1 --bad-checks 0.05 --long-packets 0.1");
    QProcess sim, dump;
    sim.setStandardOutputProcess(&dump);
    sim.start(kSim, args + QStringList{QStringLiteral("--log"), log});
    dump.start(kDump, {});
    ASSERT_TRUE(sim.waitForFinished(10000));
    ASSERT_TRUE(dump.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    const QByteArray expected = ReadFile(log);
    EXPECT_EQ(dump.readAllStandardOutput(), expected);
    // Some packets were bad, so the log holds fewer than 500, but most of them.
    const auto count = expected.count('\n');
    EXPECT_TRUE(count > 400 && count < 500) << count;
    const QByteArray err = dump.readAllStandardError();
    EXPECT_TRUE(err.contains(QByteArray::number(count) + " valid packets")) << err.constData();
    // The same seed gives the same stream.
    EXPECT_EQ(RunProgram(kDump, {QStringLiteral("-")}, RunProgram(kSim, args)), expected);
}

TEST(Tools, ReplaySendsTheFileAndDumpReadsFiles) {
    QTemporaryDir dir;
    const QString capture = dir.filePath(QStringLiteral("capture.bin"));
    const QByteArray bytes = QByteArray::fromHex("0012FF") + PacketDecoder::MakePacket(8123, 4) +
                             PacketDecoder::MakePacket(100, 5, "xy") + QByteArray::fromHex("A35B");
    QFile f(capture);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QByteArray err;
    EXPECT_EQ(RunProgram(kDump, {capture}, {}, &err), QByteArray("8123 4\n100 5\n"));
    // Three garbage bytes are rejected; the unfinished packet at the end is not counted as rejected.
    EXPECT_TRUE(err.contains("2 valid packets, 3 rejected bytes")) << err.constData();
    const QString log = dir.filePath(QStringLiteral("L"));
    EXPECT_EQ(RunProgram(kSim, Args("--stdout --replay") << capture << QStringLiteral("--log") << log), bytes);
    EXPECT_EQ(ReadFile(log), QByteArray("8123 4\n100 5\n"));
}

TEST(Tools, SimulatorServesAPortAndHangsUp) {
    QTemporaryDir folder;
    QProcess sim;
    sim.start(kSim, QStringList{QStringLiteral("--folder"), folder.path()} +
                        Args("--port 5 --rate 200 --seed 2 --hangup-after 1"));
    ASSERT_TRUE(sim.waitForStarted(5000));
    const QString link = folder.filePath(QStringLiteral("ports/com5"));
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(link).isSymLink(); }));

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
    while (!failed && !deadline.hasExpired()) {
        const int waiting = comm.InBufferCount();
        failed = waiting < 0;
        if (waiting == 0) QThread::msleep(2);
        for (int i = 0; i < waiting; ++i) {
            if (!decoder.Feed(static_cast<uint8_t>(comm.Input().at(0)))) continue;
            ++packets;
            EXPECT_TRUE(decoder.RawReading() > 7000 && decoder.RawReading() < 9500) << decoder.RawReading();
            EXPECT_EQ(decoder.StatusByte(), 4);
        }
    }
    EXPECT_TRUE(failed) << "the hang-up was not seen";
    EXPECT_GT(packets, 20);
    comm.SetPortOpen(false);
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link was left behind";
}

} // namespace
