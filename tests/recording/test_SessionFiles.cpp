#include "recording/SessionFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SessionFilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(SessionFilesTest, ReadingAndTextFilesOfThreeReadings) {
    SessionFiles files(dir.path());
    EXPECT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
    const int32_t values[] = {8000, 8010, 8020};
    for (int i = 0; i < 3; ++i) {
        files.WriteReading(i + 1, values[i]);
        files.AppendTextLine(values[i], 30 + 5 * i);
    }
    EXPECT_EQ(files.Readings(), (std::vector<int32_t>{8000, 8010, 8020}));
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("tempdata.tst")), QByteArray::fromHex("401F00004A1F0000541F0000"));
    EXPECT_EQ(ReadAll(Path("tempdata.txt")), QByteArray("8000,30\r\n8010,35\r\n8020,40\r\n"));
    // The header exists from the start and stays empty without a stop.
    EXPECT_TRUE(QFile::exists(Path("tempdata.hdr")));
    EXPECT_EQ(ReadAll(Path("tempdata.hdr")), QByteArray());
    EXPECT_EQ(ReadAll(Path("PlotData.txt")), QByteArray());
}

TEST_F(SessionFilesTest, RecordsLandAtTheirOffsetsInAnyOrder) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("s"));
    files.WriteReading(2, -2);
    files.WriteReading(1, 0x01020304);
    files.WriteReading(2, 7); // rewritten in place
    files.WriteReading(0, 99); // no record 0
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("s.tst")), QByteArray::fromHex("0403020107000000"));
    EXPECT_EQ(files.Readings(), (std::vector<int32_t>{0x01020304, 7}));
}

TEST_F(SessionFilesTest, HeaderItemsWithMultiLineCommentsAndQuotes) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("tempdata"));
    files.WriteHeaderClosing(7312, 8200, QStringLiteral("Start of Session : 05/03/2024 10:11:12\r\nfirst\r\nsay \"second\""));
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("tempdata.hdr")),
              QByteArray("\"MinADC\"\r\n\" 7312\"\r\n\"MaxADC\"\r\n\" 8200\"\r\n"
                         "\"Start of Session : 05/03/2024 10:11:12\r\nfirst\r\nsay 'second'\"\r\n"));
}

TEST_F(SessionFilesTest, HeaderOfASessionWithoutReadingsAndLooseLineBreaks) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("tempdata"));
    files.WriteHeaderClosing(16383, 0, QStringLiteral("a\nb\u00e9"));
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("tempdata.hdr")),
              QByteArray("\"MinADC\"\r\n\" 16383\"\r\n\"MaxADC\"\r\n\" 0\"\r\n\"a\r\nb\xc3\xa9\"\r\n"));
}

TEST_F(SessionFilesTest, ANewSessionEmptiesTheReadingFile) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("tempdata"));
    for (int i = 1; i <= 5; ++i) files.WriteReading(i, 8000 + i);
    files.CloseAll();
    files.Open(QStringLiteral("tempdata"));
    EXPECT_TRUE(files.Readings().empty());
    files.WriteReading(1, 9000);
    files.WriteReading(2, 9001);
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("tempdata.tst")), QByteArray::fromHex("2823000029230000"));
}

TEST_F(SessionFilesTest, RestartKeepsTheTraceFileAppending) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("tempdata"));
    files.AppendTraceLine(QStringLiteral(" 1: 5"));
    files.AppendTraceEmptyLine();
    files.WriteReading(1, 8000);
    files.AppendTextLine(8000, 30);

    files.CloseForRestart();
    EXPECT_TRUE(files.TraceOpen());
    files.DeleteSessionFiles(QStringLiteral("tempdata"));
    EXPECT_FALSE(QFile::exists(Path("tempdata.hdr")));
    EXPECT_FALSE(QFile::exists(Path("tempdata.tst")));
    EXPECT_FALSE(QFile::exists(Path("tempdata.txt")));

    EXPECT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
    files.AppendTraceLine(QStringLiteral(" 1: 6"));
    files.CloseAll();
    EXPECT_FALSE(files.TraceOpen());
    EXPECT_EQ(ReadAll(Path("PlotData.txt")), QByteArray("\" 1: 5\"\r\n\r\n\" 1: 6\"\r\n"));
    EXPECT_EQ(ReadAll(Path("tempdata.tst")), QByteArray());
    EXPECT_EQ(ReadAll(Path("tempdata.txt")), QByteArray());

    // After a stop, the next session starts a new trace file.
    files.Open(QStringLiteral("tempdata"));
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("PlotData.txt")), QByteArray());
}

TEST_F(SessionFilesTest, NamedSessionUsesItsBaseName) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("test"));
    files.CloseAll();
    for (const char* name : {"test.hdr", "test.tst", "test.txt", "PlotData.txt"}) EXPECT_TRUE(QFile::exists(Path(name))) << name;
    EXPECT_FALSE(QFile::exists(Path("tempdata.tst")));
}

TEST_F(SessionFilesTest, FolderThatCannotHoldFilesGivesOneMessagePerFile) {
    // A regular file in place of the folder: creation fails even for a privileged user.
    const QString notAFolder = Path("plainfile");
    QFile f(notAFolder);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    SessionFiles files(notAFolder);
    const QStringList failures = files.Open(QStringLiteral("tempdata"));
    ASSERT_EQ(failures.size(), 4);
    const char* names[] = {"tempdata.hdr", "tempdata.tst", "tempdata.txt", "PlotData.txt"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(failures[i].startsWith(QDir(notAFolder).filePath(QString::fromLatin1(names[i])) + QStringLiteral(": ")))
            << failures[i].toStdString();
        EXPECT_GT(failures[i].size(), notAFolder.size() + 16); // a reason follows the path
    }
    // The session goes on: writes are skipped silently, the readings are still kept for the graph.
    files.WriteReading(1, 8000);
    files.AppendTextLine(8000, 30);
    files.AppendTraceLine(QStringLiteral("x"));
    files.AppendTraceEmptyLine();
    files.WriteHeaderClosing(1, 2, QStringLiteral("c"));
    files.Flush();
    EXPECT_TRUE(files.TakeWriteFailure().isEmpty());
    EXPECT_EQ(files.Readings(), std::vector<int32_t>{8000});
    files.CloseAll();
}

TEST_F(SessionFilesTest, FlushHandsEveryReadingToTheSystem) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("tempdata"));
    for (int i = 1; i <= 3; ++i) {
        files.WriteReading(i, 8000 + i);
        files.AppendTextLine(8000 + i, 25 + 5 * i);
        files.AppendTraceEmptyLine();
    }
    files.Flush();
    // Read by another handle while the session files are still open, as after the program was killed.
    EXPECT_EQ(ReadAll(Path("tempdata.tst")).size(), 12);
    EXPECT_EQ(ReadAll(Path("tempdata.txt")), QByteArray("8001,30\r\n8002,35\r\n8003,40\r\n"));
    EXPECT_EQ(ReadAll(Path("PlotData.txt")), QByteArray("\r\n\r\n\r\n"));

    files.WriteReading(4, 8004);
    files.AppendTextLine(8004, 45);
    files.Flush();
    EXPECT_EQ(ReadAll(Path("tempdata.tst")).right(4), QByteArray::fromHex("441F0000"));
    EXPECT_EQ(ReadAll(Path("tempdata.txt")).count('\n'), 4);
    files.CloseAll();
}

TEST_F(SessionFilesTest, AWriteFailureIsReportedOnce) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), Path("tempdata.txt")));
    SessionFiles files(dir.path());
    EXPECT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
    files.AppendTextLine(8000, 30);
    files.Flush();
    const QString failure = files.TakeWriteFailure();
    EXPECT_TRUE(failure.startsWith(Path("tempdata.txt") + QStringLiteral(": "))) << failure.toStdString();
    files.AppendTextLine(8001, 35);
    files.Flush();
    EXPECT_TRUE(files.TakeWriteFailure().isEmpty());
    // The other files are unaffected.
    files.WriteReading(1, 8000);
    files.CloseAll();
    EXPECT_EQ(ReadAll(Path("tempdata.tst")).size(), 4);
    // A new session may report again.
    files.Open(QStringLiteral("tempdata"));
    files.AppendTextLine(8000, 30);
    files.CloseAll();
    EXPECT_FALSE(files.TakeWriteFailure().isEmpty());
}

TEST_F(SessionFilesTest, DeleteTemporaryFilesLeavesOtherFiles) {
    for (const char* name : {"tempdata.txt", "tempdata.tst", "PlotData.txt", "keep.tst"}) {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    SessionFiles::DeleteTemporaryFiles(dir.path()); // tempdata.hdr is missing: no error
    EXPECT_FALSE(QFile::exists(Path("tempdata.txt")));
    EXPECT_FALSE(QFile::exists(Path("tempdata.tst")));
    EXPECT_FALSE(QFile::exists(Path("PlotData.txt")));
    EXPECT_TRUE(QFile::exists(Path("keep.tst")));
}

TEST_F(SessionFilesTest, LargeSessionsAreWrittenWhole) {
    SessionFiles files(dir.path());
    files.Open(QStringLiteral("tempdata"));
    const int n = 100000; // several internal blocks
    for (int i = 1; i <= n; ++i) files.WriteReading(i, i);
    files.CloseAll();
    const QByteArray bytes = ReadAll(Path("tempdata.tst"));
    ASSERT_EQ(bytes.size(), 4 * n);
    int32_t last = 0;
    std::memcpy(&last, bytes.constData() + 4 * (n - 1), 4);
    EXPECT_EQ(last, n);
}

} // namespace
