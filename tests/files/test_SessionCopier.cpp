#include "files/SessionCopier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SessionCopierTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid() && target.isValid());
        Write(program.filePath(QStringLiteral("tempdata.tst")), QByteArray("\x40\x1F\x00\x00", 4));
        Write(program.filePath(QStringLiteral("tempdata.txt")), "8000,30\r\n");
        Write(program.filePath(QStringLiteral("tempdata.hdr")), "\"MinADC\"\r\n");
    }
    QString Dest(const char* name) const { return target.filePath(QString::fromLatin1(name)); }

    QTemporaryDir program, target;
};

} // namespace

TEST_F(SessionCopierTest, CopiesAllThreeAndReplacesOnlyWhenAsked) {
    SessionCopier copier(program.path());
    ASSERT_TRUE(copier.Copy(Dest("s.Tst"), Dest("s.Txt"), Dest("s.Hdr"), false).ok);
    EXPECT_EQ(Read(Dest("s.Tst")), QByteArray("\x40\x1F\x00\x00", 4));
    EXPECT_EQ(Read(Dest("s.Txt")), QByteArray("8000,30\r\n"));
    EXPECT_EQ(Read(Dest("s.Hdr")), QByteArray("\"MinADC\"\r\n"));

    Write(program.filePath(QStringLiteral("tempdata.txt")), "9000,30\r\n");
    const SessionCopier::Result refused = copier.Copy(Dest("s.Tst"), Dest("s.Txt"), Dest("s.Hdr"), false);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.reason.contains(QStringLiteral("s.Tst")));
    EXPECT_EQ(Read(Dest("s.Txt")), QByteArray("8000,30\r\n"));

    ASSERT_TRUE(copier.Copy(Dest("s.Tst"), Dest("s.Txt"), Dest("s.Hdr"), true).ok);
    EXPECT_EQ(Read(Dest("s.Txt")), QByteArray("9000,30\r\n"));
}

TEST_F(SessionCopierTest, MissingSourceOrFolderIsReported) {
    const SessionCopier::Result noFolder =
        SessionCopier(program.path()).Copy(Dest("none/s.Tst"), Dest("none/s.Txt"), Dest("none/s.Hdr"), true);
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.reason.isEmpty());

    QFile::remove(program.filePath(QStringLiteral("tempdata.txt")));
    const SessionCopier::Result noSource =
        SessionCopier(program.path()).Copy(Dest("s.Tst"), Dest("s.Txt"), Dest("s.Hdr"), true);
    EXPECT_FALSE(noSource.ok);
    EXPECT_TRUE(noSource.reason.contains(QStringLiteral("tempdata.txt")));
    EXPECT_TRUE(QDir(target.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}
