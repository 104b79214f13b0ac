#include "TestFiles.h"
#include "app/InstanceLock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using aurivo::InstanceLock;

namespace {

QString lockPath(const QTemporaryDir& dir) {
    return dir.filePath(InstanceLock::kFileName);
}

// A lock file as a monitor with this process id, program name and host would leave it, an hour old.
void plantLock(const QTemporaryDir& dir, qint64 pid, const QByteArray& program) {
    aurivo::writeFile(lockPath(dir), QByteArray::number(pid) + '\n' + program + '\n' +
                                         QSysInfo::machineHostName().toUtf8() + '\n');
    QFile file(lockPath(dir));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
}

} // namespace

TEST(InstanceLock, ASecondLockOnTheFolderFailsNamingTheOwner) {
    QTemporaryDir dir;
    {
        InstanceLock first(dir.path());
        ASSERT_EQ(first.acquire(), InstanceLock::Outcome::Taken);
        InstanceLock second(dir.path());
        EXPECT_EQ(second.acquire(), InstanceLock::Outcome::Held);
        EXPECT_EQ(second.ownerPid(), QCoreApplication::applicationPid());
        EXPECT_EQ(second.heldMessage(),
                  QStringLiteral("The folder %1 is in use by another Aurivo USB monitor (process %2 on %3).")
                      .arg(dir.path())
                      .arg(QCoreApplication::applicationPid())
                      .arg(QSysInfo::machineHostName()));
    }
    // The owner's end frees the folder.
    EXPECT_FALSE(QFile::exists(lockPath(dir)));
    InstanceLock next(dir.path());
    EXPECT_EQ(next.acquire(), InstanceLock::Outcome::Taken);
}

TEST(InstanceLock, ALockOfADeadProcessIsTakenOverAndALiveOwnerIsNotWhateverItsAge) {
    QProcess owner;
    owner.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(owner.waitForStarted());
    const qint64 pid = owner.processId();

    QTemporaryDir dir;
    plantLock(dir, pid, "sleep");
    InstanceLock held(dir.path());
    EXPECT_EQ(held.acquire(), InstanceLock::Outcome::Held);
    EXPECT_EQ(held.ownerPid(), pid);

    owner.kill();
    ASSERT_TRUE(owner.waitForFinished());
    plantLock(dir, pid, "sleep");
    InstanceLock taken(dir.path());
    EXPECT_EQ(taken.acquire(), InstanceLock::Outcome::Taken);
    qint64 now = 0;
    QString host, app;
    ASSERT_TRUE(QLockFile(lockPath(dir)).getLockInfo(&now, &host, &app));
    EXPECT_EQ(now, QCoreApplication::applicationPid());
}

TEST(InstanceLock, AFolderThatCannotHoldTheLockLeavesTheMonitorUnguarded) {
    QTemporaryDir dir;
    aurivo::writeFile(dir.filePath("file"), "");
    InstanceLock lock(dir.filePath("file/aurivo-usb"));
    EXPECT_EQ(lock.acquire(), InstanceLock::Outcome::Unavailable);
    EXPECT_FALSE(lock.problem().isEmpty());
}

// The real program: a second monitor on the folder of a running one says who holds it and leaves.
TEST(InstanceLock, ASecondMonitorOnTheFolderExitsAndTheFirstRunsOn) {
    QTemporaryDir dir;
    const QStringList args = {QStringLiteral("--folder"), dir.path(), QStringLiteral("-platform"),
                              QStringLiteral("offscreen")};
    QProcess first;
    first.start(QStringLiteral(AURIVO_USB_PATH), args);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(lockPath(dir)); }, 30000));

    QProcess second;
    second.start(QStringLiteral(AURIVO_USB_PATH), args);
    const bool ended = second.waitForFinished(30000);
    if (!ended) second.kill();
    EXPECT_TRUE(ended);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(second.exitCode(), 0);
    const QString said = QString::fromLocal8Bit(second.readAllStandardError());
    EXPECT_TRUE(
        said.contains(QStringLiteral("The folder %1 is in use by another Aurivo USB monitor (process %2")
                          .arg(dir.path())
                          .arg(first.processId())))
        << said.toStdString();
    EXPECT_FALSE(first.waitForFinished(500)); // still running, and still holding the folder
    qint64 owner = 0;
    QString host, app;
    EXPECT_TRUE(QLockFile(lockPath(dir)).getLockInfo(&owner, &host, &app));
    EXPECT_EQ(owner, first.processId());
    first.kill();
    first.waitForFinished();
}
