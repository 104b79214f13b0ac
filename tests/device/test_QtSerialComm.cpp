// The serial component over real pseudo-terminals linked as ports/comN in a temporary program folder.

#include "PseudoTerminal.h"
#include "device/PortMap.h"
#include "device/PortMessages.h"
#include "device/QtSerialComm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <termios.h>

namespace aurivo {

namespace {

void configure(QtSerialComm& comm, int port) {
    comm.setCommPort(port);
    comm.setSettings(QStringLiteral("19200,N,8,1"));
    comm.setInBufferSize(4096);
}

// Reads until `count` bytes came, a failure (sets *failed), or two seconds; input() must hand out all
// that inBufferCount said was waiting, and never more than `largest`.
QByteArray readBytes(QtSerialComm& comm, qsizetype count, bool* failed = nullptr, int largest = 4096) {
    QByteArray got;
    QDeadlineTimer deadline(2000);
    while ((failed || got.size() < count) && !deadline.hasExpired()) {
        const int waiting = comm.inBufferCount();
        if (waiting < 0 && failed) *failed = true;
        if (waiting < 0) break;
        EXPECT_LE(waiting, largest);
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

TEST_F(SerialCommTest, BytesArriveUntranslatedUntilAHangUp) {
    PseudoTerminal pty(folder.path(), 3);
    ASSERT_TRUE(pty.isValid());
    QtSerialComm comm(folder.path());
    configure(comm, 3);
    // What the device sent while the port was closed is not part of what the monitor reads.
    ASSERT_TRUE(pty.write(QByteArray(40, '\x55')));
    ASSERT_EQ(comm.setPortOpen(true), 0) << qPrintable(comm.lastErrorText());
    EXPECT_EQ(comm.openDevicePath(), QFileInfo(pty.slavePath()).canonicalFilePath());
    EXPECT_FALSE(QTest::qWaitFor([&] { return comm.inBufferCount() != 0; }, 50));

    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.masterFd(), &tio), 0); // the master sees the device side's settings
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

    QByteArray sent;
    for (int i = 0; i < 3000; ++i)
        sent.append(static_cast<char>(i * 7 + i / 256)); // every byte value, no translation
    ASSERT_TRUE(pty.write(sent));
    EXPECT_EQ(readBytes(comm, sent.size()), sent);
    EXPECT_EQ(comm.inBufferCount(), 0);

    // The receive buffer holds at most InBufferSize bytes.
    comm.setInBufferSize(16);
    ASSERT_TRUE(pty.write(sent.left(200)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return comm.inBufferCount() == 16; }, 5000)); // full, to the byte
    EXPECT_EQ(readBytes(comm, 200, nullptr, 16), sent.left(200));

    // A hang-up shows as a failure after the last bytes, also when the event loop ran between two polls of
    // the line (Qt itself does not read it).
    ASSERT_TRUE(pty.write("late"));
    QCoreApplication::processEvents();
    pty.hangUp();
    QCoreApplication::processEvents();
    bool failed = false;
    readBytes(comm, 0, &failed);
    EXPECT_TRUE(failed);
    EXPECT_EQ(comm.inBufferCount(), -1); // it stays failed
    EXPECT_EQ(comm.setPortOpen(false), 0);
    EXPECT_FALSE(comm.portOpen());
}

TEST_F(SerialCommTest, OpenFailuresAndClosingAClosedPort) {
    PseudoTerminal pty(folder.path(), 3);
    QtSerialComm comm(folder.path());
    configure(comm, 0); // no number outside 1..16 names a device
    EXPECT_EQ(comm.setPortOpen(true), SerialComm::kNoSuchPort);
    EXPECT_EQ(comm.lastErrorText(), QStringLiteral("no such port"));
    // A link whose device has gone names the port but cannot be opened; a plain file is no serial device.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/aurivo-no-such-device"),
                            folder.filePath(QStringLiteral("ports/com6"))));
    configure(comm, 6);
    EXPECT_EQ(comm.setPortOpen(true), SerialComm::kNoSuchPort);
    ASSERT_TRUE(QFile(folder.filePath(QStringLiteral("ports/com7"))).open(QIODevice::WriteOnly));
    configure(comm, 7);
    EXPECT_EQ(comm.setPortOpen(true), SerialComm::kOtherFailure);
    EXPECT_EQ(comm.lastErrorText(), QStringLiteral("not a serial device"));
    EXPECT_FALSE(comm.portOpen());

    EXPECT_EQ(comm.setPortOpen(false), 0); // closing a closed port is harmless
    EXPECT_EQ(comm.inBufferCount(), -1);
    EXPECT_TRUE(comm.input().isEmpty());
}

TEST_F(SerialCommTest, PortHeldIs8005UnderAnyName) {
    PseudoTerminal pty(folder.path(), 3);
    QTemporaryDir otherFolder;
    ASSERT_TRUE(pty.link(otherFolder.path(), 7)); // the same device as port 7 of another folder
    QtSerialComm first(folder.path()), second(folder.path()), viaOtherName(otherFolder.path());
    configure(first, 3);
    configure(second, 3);
    configure(viaOtherName, 7);
    ASSERT_EQ(first.setPortOpen(true), 0);
    EXPECT_EQ(first.setPortOpen(true), SerialComm::kPortInUse); // opening an open port again
    EXPECT_TRUE(first.portOpen());
    EXPECT_EQ(second.setPortOpen(true), SerialComm::kPortInUse);
    EXPECT_EQ(second.lastErrorText(), QStringLiteral("in use by another program"));
    EXPECT_FALSE(second.portOpen());
    EXPECT_EQ(viaOtherName.setPortOpen(true), SerialComm::kPortInUse);
    // The first holder still reads normally; once it lets go, the port opens again.
    ASSERT_TRUE(pty.write("z"));
    EXPECT_EQ(readBytes(first, 1), QByteArray("z"));
    EXPECT_EQ(first.setPortOpen(false), 0);
    EXPECT_EQ(second.setPortOpen(true), 0);
}

TEST(PortMap, LinksWinThenUsbAcmAndTheRestInNumericOrder) {
    const auto devices = [](const char* names) {
        return QString::fromLatin1(names)
            .split(QLatin1Char(' '))
            .replaceInStrings(QRegularExpression(QStringLiteral("^")), QStringLiteral("/dev/"));
    };
    EXPECT_EQ(PortMap::orderPortNames(
                  devices("ttyS10 ttyACM1 ttyUSB10 rfcomm0 ttyS2 ttyUSB2 ttyACM0 rfcomm ttyS0 ttyUSB9")),
              devices("ttyUSB2 ttyUSB9 ttyUSB10 ttyACM0 ttyACM1 rfcomm rfcomm0 ttyS0 ttyS2 ttyS10"));

    QTemporaryDir folder;
    PseudoTerminal pty(folder.path(), 12);
    const PortMap map(folder.path());
    EXPECT_EQ(map.devicePath(12), folder.filePath(QStringLiteral("ports/com12")));
    EXPECT_EQ(map.canonicalPath(12), QFileInfo(pty.slavePath()).canonicalFilePath());
    EXPECT_TRUE(map.devicePath(0).isEmpty());
    EXPECT_TRUE(map.devicePath(17).isEmpty());
}

} // namespace

} // namespace aurivo

namespace aurivo {

TEST(PortMessages, APermissionProblemNamesTheDevicesGroupOrAskForANewLogin) {
    using A = PortMessages::Access;
    const QString notMember = PortMessages::permissionDenied(A{"root", "uucp", true, false, false});
    EXPECT_TRUE(notMember.contains("group uucp") && notMember.contains("adduser")) << notMember.toStdString();
    const QString addedSinceLogin = PortMessages::permissionDenied(A{"root", "uucp", true, false, true});
    EXPECT_TRUE(addedSinceLogin.contains("log out and in again") && !addedSinceLogin.contains("adduser"));
    const QString rootOnly = PortMessages::permissionDenied(A{"root", "root", false, false, false});
    EXPECT_TRUE(rootOnly.contains("only root") && !rootOnly.contains("adduser")) << rootOnly.toStdString();
}

} // namespace aurivo
