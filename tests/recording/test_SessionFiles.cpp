#include "recording/SessionFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class SessionFilesTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray Read(const char* name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    SessionFiles files{dir.path()};
};

TEST_F(SessionFilesTest, ReadingAndTextFileLayouts) {
    EXPECT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
    for (int i = 0; i < 3; ++i) {
        files.WriteReading(i + 1, 8000 + 10 * i);
        files.AppendTextLine(8000 + 10 * i, 30 + 5 * i);
    }
    EXPECT_EQ(files.Readings(), (std::vector<int32_t>{8000, 8010, 8020}));
    files.CloseAll();
    EXPECT_EQ(Read("tempdata.tst"), QByteArray::fromHex("401F00004A1F0000541F0000"));
    EXPECT_EQ(Read("tempdata.txt"), QByteArray("8000,30\r\n8010,35\r\n8020,40\r\n"));
    // The header exists from the start and stays empty without a stop.
    EXPECT_TRUE(QFile::exists(Path("tempdata.hdr")));
    EXPECT_EQ(Read("tempdata.hdr"), QByteArray());
    EXPECT_TRUE(QFile::exists(Path("PlotData.txt")));

    // A named session uses its base name; a new session empties its reading file; records land at
    // their offsets in any order, and there is no record 0.
    files.Open(QStringLiteral("test"));
    EXPECT_TRUE(files.Readings().empty());
    files.WriteReading(2, -2);
    files.WriteReading(1, 0x01020304);
    files.WriteReading(2, 7);
    files.WriteReading(0, 99);
    files.CloseAll();
    EXPECT_EQ(Read("test.tst"), QByteArray::fromHex("0403020107000000"));
    EXPECT_EQ(files.Readings(), (std::vector<int32_t>{0x01020304, 7}));
    for (const char* name : {"test.hdr", "test.txt"}) EXPECT_TRUE(QFile::exists(Path(name))) << name;
    files.Open(QStringLiteral("test"));
    files.WriteReading(1, 9000);
    files.CloseAll();
    EXPECT_EQ(Read("test.tst"), QByteArray::fromHex("28230000"));

    // Large sessions are written whole.
    files.Open(QStringLiteral("tempdata"));
    const int n = 100000; // several internal blocks
    for (int i = 1; i <= n; ++i) files.WriteReading(i, i);
    files.CloseAll();
    const QByteArray bytes = Read("tempdata.tst");
    ASSERT_EQ(bytes.size(), 4 * n);
    int32_t last = 0;
    std::memcpy(&last, bytes.constData() + 4 * (n - 1), 4);
    EXPECT_EQ(last, n);
}

TEST_F(SessionFilesTest, HeaderItemsWithMultiLineCommentsAndQuotes) {
    const std::tuple<int32_t, int32_t, QString, QByteArray> rows[] = {
        {7312, 8200, QStringLiteral("Start of Session : 05/03/2024 10:11:12\r\nfirst\r\nsay \"second\""),
         "\"MinADC\"\r\n\" 7312\"\r\n\"MaxADC\"\r\n\" 8200\"\r\n"
         "\"Start of Session : 05/03/2024 10:11:12\r\nfirst\r\nsay 'second'\"\r\n"},
        {16383, 0, QStringLiteral("a\nb\u00e9"), // no readings; a loose line break
         "\"MinADC\"\r\n\" 16383\"\r\n\"MaxADC\"\r\n\" 0\"\r\n\"a\r\nb\xc3\xa9\"\r\n"},
    };
    for (const auto& [min, max, comments, bytes] : rows) {
        files.Open(QStringLiteral("tempdata"));
        files.WriteHeaderClosing(min, max, comments);
        files.CloseAll();
        EXPECT_EQ(Read("tempdata.hdr"), bytes);
    }
}

TEST_F(SessionFilesTest, RestartKeepsTheTraceFileAppending) {
    files.Open(QStringLiteral("tempdata"));
    files.AppendTraceLine(QStringLiteral(" 1: 5"));
    files.AppendTraceEmptyLine();
    files.WriteReading(1, 8000);
    files.AppendTextLine(8000, 30);
    files.CloseForRestart();
    EXPECT_TRUE(files.TraceOpen());
    files.DeleteSessionFiles(QStringLiteral("tempdata"));
    for (const char* name : {"tempdata.hdr", "tempdata.tst", "tempdata.txt"}) EXPECT_FALSE(QFile::exists(Path(name)));

    EXPECT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
    files.AppendTraceLine(QStringLiteral(" 1: 6"));
    files.CloseAll();
    EXPECT_FALSE(files.TraceOpen());
    EXPECT_EQ(Read("PlotData.txt"), QByteArray("\" 1: 5\"\r\n\r\n\" 1: 6\"\r\n"));
    EXPECT_EQ(Read("tempdata.tst"), QByteArray());
    EXPECT_EQ(Read("tempdata.txt"), QByteArray());
    // After a stop, the next session starts a new trace file.
    files.Open(QStringLiteral("tempdata"));
    files.CloseAll();
    EXPECT_EQ(Read("PlotData.txt"), QByteArray());

    // Deleting the temporary files leaves other files; a missing one is no error.
    ASSERT_TRUE(QFile(Path("keep.tst")).open(QIODevice::WriteOnly));
    QFile::remove(Path("tempdata.hdr"));
    SessionFiles::DeleteTemporaryFiles(dir.path());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.tst")});
}

TEST_F(SessionFilesTest, FolderThatCannotHoldFilesGivesOneMessagePerFile) {
    const QString notAFolder = Path("plainfile"); // creation fails even for a privileged user
    ASSERT_TRUE(QFile(notAFolder).open(QIODevice::WriteOnly));
    SessionFiles broken(notAFolder);
    const QStringList failures = broken.Open(QStringLiteral("tempdata"));
    ASSERT_EQ(failures.size(), 4);
    const char* names[] = {"tempdata.hdr", "tempdata.tst", "tempdata.txt", "PlotData.txt"};
    for (int i = 0; i < 4; ++i) {
        const QString prefix = QDir(notAFolder).filePath(QString::fromLatin1(names[i])) + QStringLiteral(": ");
        EXPECT_TRUE(failures[i].startsWith(prefix) && failures[i].size() > prefix.size() + 2)
            << failures[i].toStdString();
    }
    // The session goes on: writes are skipped silently, the readings are still kept for the graph.
    broken.WriteReading(1, 8000);
    broken.AppendTextLine(8000, 30);
    broken.AppendTraceLine(QStringLiteral("x"));
    broken.AppendTraceEmptyLine();
    broken.WriteHeaderClosing(1, 2, QStringLiteral("c"));
    broken.Flush();
    EXPECT_TRUE(broken.TakeWriteFailure().isEmpty());
    EXPECT_EQ(broken.Readings(), std::vector<int32_t>{8000});
    broken.CloseAll();
}

TEST_F(SessionFilesTest, FlushHandsEveryReadingToTheSystem) {
    files.Open(QStringLiteral("tempdata"));
    for (int i = 1; i <= 3; ++i) {
        files.WriteReading(i, 8000 + i);
        files.AppendTextLine(8000 + i, 25 + 5 * i);
        files.AppendTraceEmptyLine();
    }
    files.Flush();
    // Read by another handle while the session files are still open, as after the program was killed.
    EXPECT_EQ(Read("tempdata.tst").size(), 12);
    EXPECT_EQ(Read("tempdata.txt"), QByteArray("8001,30\r\n8002,35\r\n8003,40\r\n"));
    EXPECT_EQ(Read("PlotData.txt"), QByteArray("\r\n\r\n\r\n"));
    files.WriteReading(4, 8004);
    files.AppendTextLine(8004, 45);
    files.Flush();
    EXPECT_EQ(Read("tempdata.tst").right(4), QByteArray::fromHex("441F0000"));
    EXPECT_EQ(Read("tempdata.txt").count('\n'), 4);
    files.CloseAll();
}

TEST_F(SessionFilesTest, AWriteFailureIsReportedOncePerSession) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), Path("tempdata.txt")));
    EXPECT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
    files.AppendTextLine(8000, 30);
    files.Flush();
    const QString failure = files.TakeWriteFailure();
    EXPECT_TRUE(failure.startsWith(Path("tempdata.txt") + QStringLiteral(": "))) << failure.toStdString();
    files.AppendTextLine(8001, 35);
    files.Flush();
    EXPECT_TRUE(files.TakeWriteFailure().isEmpty());
    files.WriteReading(1, 8000); // the other files are unaffected
    files.CloseAll();
    EXPECT_EQ(Read("tempdata.tst").size(), 4);
    files.Open(QStringLiteral("tempdata"));
    files.AppendTextLine(8000, 30);
    files.CloseAll();
    EXPECT_FALSE(files.TakeWriteFailure().isEmpty());
}

} // namespace
