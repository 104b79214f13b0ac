// The serial component over real pseudo-terminals linked as ports/comN in a temporary program folder.

#include "PseudoTerminal.h"
#include "device/PortMap.h"
#include "device/QtSerialComm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <random>
#include <termios.h>

namespace aurivo {

namespace {

void configure(QtSerialComm& comm, int port) {
    comm.setCommPort(port);
    comm.setSettings(QStringLiteral("19200,N,8,1"));
    comm.setInBufferSize(4096);
}

// Reads until `count` bytes came, a failure, or two seconds; asserts that input() hands out all that waits.
// With `failed`, reads on until inBufferCount reports a failure.
QByteArray readBytes(QtSerialComm& comm, qsizetype count, int* largestCount = nullptr,
                     bool* failed = nullptr) {
    QByteArray got;
    QDeadlineTimer deadline(2000);
    while ((failed || got.size() < count) && !deadline.hasExpired()) {
        const int waiting = comm.inBufferCount();
        if (waiting < 0) {
            if (failed) *failed = true;
            break;
        }
        if (largestCount) *largestCount = std::max(*largestCount, waiting);
        if (waiting == 0) static_cast<void>(QTest::qWaitFor([&] { return comm.inBufferCount() != 0; }, 10));
        if (waiting > 0) {
            const QByteArray block = comm.input();
            EXPECT_EQ(block.size(), waiting);
            got += block;
        }
    }
    return got;
}

class SerialCommTest : public ::testing::Test {
  protected:
    QTemporaryDir folder;
};

TEST_F(SerialCommTest, BytesArriveOneAtATimeOn19200EightNoneOne) {
    PseudoTerminal pty(folder.path(), 3);
    ASSERT_TRUE(pty.isValid());
    QtSerialComm comm(folder.path());
    configure(comm, 3);
    // What the device sent while the port was closed is not part of what the monitor reads.
    ASSERT_TRUE(pty.write(QByteArray(40, '\x55')));
    ASSERT_EQ(comm.setPortOpen(true), 0) << qPrintable(comm.lastErrorText());
    EXPECT_TRUE(comm.portOpen());
    EXPECT_EQ(comm.openDevicePath(), QFileInfo(pty.slavePath()).canonicalFilePath());
    EXPECT_FALSE(QTest::qWaitFor([&] { return comm.inBufferCount() != 0; }, 50));
    EXPECT_TRUE(comm.input().isEmpty());

    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.masterFd(), &tio), 0); // the master sees the device side's settings
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

    std::mt19937 rng(3);
    QByteArray sent;
    for (int i = 0; i < 3000; ++i)
        sent.append(static_cast<char>(rng() & 0xFF)); // no translation
    ASSERT_TRUE(pty.write(sent));
    EXPECT_EQ(readBytes(comm, sent.size()), sent);
    EXPECT_EQ(comm.inBufferCount(), 0);

    // The receive buffer holds at most InBufferSize bytes.
    comm.setInBufferSize(16);
    sent = QByteArray(200, 'x');
    for (int i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i);
    ASSERT_TRUE(pty.write(sent));
    int largest = 0;
    EXPECT_EQ(readBytes(comm, sent.size(), &largest), sent);
    EXPECT_TRUE(largest >= 1 && largest <= 16) << largest;

    // Input returns everything waiting at once.
    ASSERT_TRUE(pty.write("abcdef"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return comm.inBufferCount() >= 6; }, 2000));
    EXPECT_EQ(comm.input(), QByteArray("abcdef"));
    EXPECT_EQ(comm.setPortOpen(false), 0);
    EXPECT_FALSE(comm.portOpen());
}

TEST_F(SerialCommTest, MissingDeviceIs8002AndClosingAClosedPortIsHarmless) {
    QtSerialComm comm(folder.path());
    configure(comm, 0); // no number outside 1..16 names a device
    EXPECT_EQ(comm.setPortOpen(true), SerialComm::kNoSuchPort);
    EXPECT_FALSE(comm.lastErrorText().isEmpty());
    // A link whose device has gone names the port but cannot be opened.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("ports")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/aurivo-no-such-device"),
                            folder.filePath(QStringLiteral("ports/com6"))));
    configure(comm, 6);
    EXPECT_EQ(comm.setPortOpen(true), SerialComm::kNoSuchPort);
    EXPECT_FALSE(comm.portOpen());

    EXPECT_EQ(comm.setPortOpen(false), 0);
    EXPECT_EQ(comm.setPortOpen(false), 0);
    EXPECT_FALSE(comm.portOpen());
    EXPECT_EQ(comm.inBufferCount(), -1);
    EXPECT_TRUE(comm.input().isEmpty());
}

TEST_F(SerialCommTest, PortHeldInThisProcessIs8005UnderAnyName) {
    PseudoTerminal pty(folder.path(), 3);
    QTemporaryDir otherFolder;
    ASSERT_TRUE(pty.link(otherFolder.path(), 7)); // the same device as port 7 of another folder

    QtSerialComm first(folder.path());
    configure(first, 3);
    ASSERT_EQ(first.setPortOpen(true), 0);
    EXPECT_EQ(first.setPortOpen(true), SerialComm::kPortInUse); // opening an open port again
    EXPECT_TRUE(first.portOpen());

    QtSerialComm second(folder.path());
    configure(second, 3);
    EXPECT_EQ(second.setPortOpen(true), SerialComm::kPortInUse);
    EXPECT_EQ(second.lastErrorText(), QStringLiteral("in use by another program"));
    EXPECT_FALSE(second.portOpen());

    QtSerialComm viaOtherName(otherFolder.path());
    configure(viaOtherName, 7);
    EXPECT_EQ(viaOtherName.setPortOpen(true), SerialComm::kPortInUse);

    // The first holder still reads normally; once it lets go, the port opens again.
    ASSERT_TRUE(pty.write("z"));
    EXPECT_EQ(readBytes(first, 1), QByteArray("z"));
    EXPECT_EQ(first.setPortOpen(false), 0);
    EXPECT_EQ(second.setPortOpen(true), 0);
}

TEST_F(SerialCommTest, PortHeldByAnotherProgramIs8005) {
    PseudoTerminal pty(folder.path(), 3);
    QProcess dump;
    dump.start(QStringLiteral(AURIVO_DUMP_PATH),
               {QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--folder"), folder.path()});
    ASSERT_TRUE(dump.waitForStarted(5000));
    // Once the other program prints a packet, it surely holds the port.
    QByteArray out;
    QDeadlineTimer deadline(5000);
    while (!out.contains("\n") && !deadline.hasExpired()) {
        ASSERT_TRUE(pty.write(QByteArray::fromHex("A35B081FBB0401E4")));
        dump.waitForReadyRead(100);
        out += dump.readAllStandardOutput();
    }
    ASSERT_TRUE(out.startsWith("8123 4\n")) << out.constData() << dump.readAllStandardError().constData();

    QtSerialComm comm(folder.path());
    configure(comm, 3);
    EXPECT_EQ(comm.setPortOpen(true), SerialComm::kPortInUse);
    EXPECT_EQ(comm.lastErrorText(), QStringLiteral("in use by another program"));

    // The other program sees the hang-up and ends.
    pty.hangUp();
    if (!dump.waitForFinished(5000)) {
        dump.kill();
        dump.waitForFinished(1000);
        FAIL() << "aurivo-dump did not notice the hang-up";
    }
    EXPECT_EQ(dump.exitCode(), 0);
    EXPECT_TRUE(dump.readAllStandardError().contains("valid packets"));
}

TEST_F(SerialCommTest, HangUpShowsAsFailureAfterTheLastBytes) {
    PseudoTerminal pty(folder.path(), 3);
    QtSerialComm comm(folder.path());
    configure(comm, 3);
    ASSERT_EQ(comm.setPortOpen(true), 0);
    ASSERT_TRUE(pty.write("abc"));
    EXPECT_EQ(readBytes(comm, 3), QByteArray("abc"));
    pty.hangUp();
    bool failed = false;
    EXPECT_TRUE(readBytes(comm, 0, nullptr, &failed).isEmpty());
    EXPECT_TRUE(failed);
    EXPECT_EQ(comm.inBufferCount(), -1); // it stays failed
    EXPECT_EQ(comm.setPortOpen(false), 0);
    EXPECT_FALSE(comm.portOpen());
}

TEST_F(SerialCommTest, HangUpIsSeenAlsoWhenTheEventLoopRan) {
    // The event loop runs between two polls of the line (Qt itself does not read it): what one poll
    // took is kept, and the next one sees the hang-up.
    PseudoTerminal pty(folder.path(), 3);
    QtSerialComm comm(folder.path());
    configure(comm, 3);
    ASSERT_EQ(comm.setPortOpen(true), 0);
    ASSERT_TRUE(pty.write("hello"));
    QCoreApplication::processEvents(); // the line has bytes waiting while the loop runs
    EXPECT_EQ(readBytes(comm, 5), QByteArray("hello"));
    ASSERT_TRUE(pty.write("late"));
    QCoreApplication::processEvents();
    pty.hangUp();
    QCoreApplication::processEvents();
    bool failed = false;
    readBytes(comm, 0, nullptr, &failed);
    EXPECT_TRUE(failed);
}

TEST(PortMap, LinksWinThenUsbAcmAndTheRestInNumericOrder) {
    QStringList names;
    for (const char* n :
         {"ttyS10", "ttyACM1", "ttyUSB10", "ttyS2", "ttyUSB2", "ttyACM0", "rfcomm0", "ttyS0", "ttyUSB9"})
        names << QStringLiteral("/dev/") + QLatin1String(n);
    QStringList expected;
    for (const char* n :
         {"ttyUSB2", "ttyUSB9", "ttyUSB10", "ttyACM0", "ttyACM1", "rfcomm0", "ttyS0", "ttyS2", "ttyS10"})
        expected << QStringLiteral("/dev/") + QLatin1String(n);
    EXPECT_EQ(PortMap::orderPortNames(names), expected);

    QTemporaryDir folder;
    PseudoTerminal pty(folder.path(), 12);
    const PortMap map(folder.path());
    EXPECT_EQ(map.devicePath(12), folder.filePath(QStringLiteral("ports/com12")));
    EXPECT_EQ(map.canonicalPath(12), QFileInfo(pty.slavePath()).canonicalFilePath());
    EXPECT_TRUE(map.devicePath(0).isEmpty());
    EXPECT_TRUE(map.devicePath(17).isEmpty());
    // Without a link, numbers go to the system's devices in order, and beyond them name nothing.
    const QStringList system = PortMap::systemPorts();
    for (int n : {1, 2, 11})
        EXPECT_EQ(map.devicePath(n), n <= system.size() ? system[n - 1] : QString()) << n;
}

} // namespace

} // namespace aurivo
