// The simulated sensor and the packet dump, run as the separate programs they are.

#include "PseudoTerminal.h"
#include "TestFiles.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

const QString kSim = QStringLiteral(AURIVO_SIM_PATH);
const QString kDump = QStringLiteral(AURIVO_DUMP_PATH);

QStringList toArgs(const char* words) {
    return QString::fromLatin1(words).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Runs a program to its end (at most 10 s) and returns its standard output.
QByteArray runProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
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

TEST(Tools, SimPipedIntoDumpDecodesTheStreamExactlyAsLogged) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("L"));
    const QStringList args =
        toArgs("--stdout --seed 7 --count 500 --garbage 0.1 --bad-checks 0.05 --long-packets 0.1");
    QProcess sim, dump;
    sim.setStandardOutputProcess(&dump);
    sim.start(kSim, args + QStringList{QStringLiteral("--log"), log});
    dump.start(kDump, {});
    ASSERT_TRUE(sim.waitForFinished(10000));
    ASSERT_TRUE(dump.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    const QByteArray expected = readFile(log);
    EXPECT_EQ(dump.readAllStandardOutput(), expected);
    // Some packets were bad, so the log holds fewer than 500, but most of them.
    const auto count = expected.count('\n');
    EXPECT_TRUE(count > 400 && count < 500) << count;
    const QByteArray err = dump.readAllStandardError();
    EXPECT_TRUE(err.contains(QByteArray::number(count) + " valid packets")) << err.constData();
    // The same seed gives the same stream.
    EXPECT_EQ(runProgram(kDump, {QStringLiteral("-")}, runProgram(kSim, args)), expected);
}

TEST(Tools, ReplaySendsTheFileAndDumpReadsFiles) {
    QTemporaryDir dir;
    const QString capture = dir.filePath(QStringLiteral("capture.bin"));
    const QByteArray bytes = QByteArray::fromHex("0012FF") + PacketDecoder::makePacket(8123, 4) +
                             PacketDecoder::makePacket(100, 5, "xy") + QByteArray::fromHex("A35B");
    QFile f(capture);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QByteArray err;
    EXPECT_EQ(runProgram(kDump, {capture}, {}, &err), QByteArray("8123 4\n100 5\n"));
    // Three garbage bytes are rejected; the unfinished packet at the end is not counted as rejected.
    EXPECT_TRUE(err.contains("2 valid packets, 3 rejected bytes")) << err.constData();
    const QString log = dir.filePath(QStringLiteral("L"));
    EXPECT_EQ(runProgram(kSim, toArgs("--stdout --replay") << capture << QStringLiteral("--log") << log),
              bytes);
    EXPECT_EQ(readFile(log), QByteArray("8123 4\n100 5\n"));
}

TEST(Tools, SimulatorServesAPortAndHangsUp) {
    QTemporaryDir folder;
    QProcess sim;
    sim.start(kSim, QStringList{QStringLiteral("--folder"), folder.path()} +
                        toArgs("--port 5 --rate 200 --seed 2 --hangup-after 1"));
    ASSERT_TRUE(sim.waitForStarted(5000));
    const QString link = folder.filePath(QStringLiteral("ports/com5"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(link).isSymLink(); }, 5000));

    QtSerialComm comm(folder.path());
    comm.setCommPort(5);
    comm.setSettings(QStringLiteral("19200,N,8,1"));
    comm.setInBufferSize(4096);
    ASSERT_EQ(comm.setPortOpen(true), 0) << qPrintable(comm.lastErrorText());
    PacketDecoder decoder;
    int packets = 0;
    bool failed = false;
    QDeadlineTimer deadline(5000);
    while (!failed && !deadline.hasExpired()) {
        int waiting = 0;
        static_cast<void>(QTest::qWaitFor([&] { return (waiting = comm.inBufferCount()) != 0; }, 100));
        failed = waiting < 0;
        for (const char b : waiting > 0 ? comm.input() : QByteArray()) {
            if (!decoder.feed(static_cast<uint8_t>(b))) continue;
            ++packets;
            EXPECT_TRUE(decoder.rawReading() > 7000 && decoder.rawReading() < 9500) << decoder.rawReading();
            EXPECT_EQ(decoder.statusByte(), 4);
        }
    }
    EXPECT_TRUE(failed) << "the hang-up was not seen";
    EXPECT_GT(packets, 20);
    comm.setPortOpen(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link was left behind";
}

} // namespace

} // namespace aurivo
