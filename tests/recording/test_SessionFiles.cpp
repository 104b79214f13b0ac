#include "FullDisk.h"
#include "TestFiles.h"
#include "recording/SessionFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

class SessionFilesTest : public ::testing::Test {
  protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray read(const char* name) const { return readFile(path(name)); }
    QTemporaryDir dir;
    SessionFiles files{dir.path()};
};

TEST_F(SessionFilesTest, ReadingAndTextFileLayouts) {
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    for (int i = 0; i < 3; ++i) {
        files.writeReading(i + 1, 8000 + 10 * i);
        files.appendTextLine(8000 + 10 * i, 30 + 5 * i);
    }
    EXPECT_EQ(files.readings(), (std::vector<int32_t>{8000, 8010, 8020}));
    files.closeAll();
    EXPECT_EQ(read("tempdata.tst"), QByteArray::fromHex("401F00004A1F0000541F0000"));
    EXPECT_EQ(read("tempdata.txt"), QByteArray("8000,30\r\n8010,35\r\n8020,40\r\n"));
    // The header exists from the start and stays empty without a stop.
    EXPECT_TRUE(QFile::exists(path("tempdata.hdr")));
    EXPECT_EQ(read("tempdata.hdr"), QByteArray());
    EXPECT_TRUE(QFile::exists(path("PlotData.txt")));

    // A named session uses its base name; a new session empties its reading file; records land at
    // their offsets in any order, and there is no record 0.
    EXPECT_TRUE(files.open(QStringLiteral("test")).isEmpty());
    EXPECT_TRUE(files.readings().empty());
    files.writeReading(2, -2);
    files.writeReading(1, 0x01020304);
    files.writeReading(2, 7);
    files.writeReading(0, 99);
    files.closeAll();
    EXPECT_EQ(read("test.tst"), QByteArray::fromHex("0403020107000000"));
    EXPECT_EQ(files.readings(), (std::vector<int32_t>{0x01020304, 7}));
    for (const char* name : {"test.hdr", "test.txt"})
        EXPECT_TRUE(QFile::exists(path(name))) << name;
    EXPECT_TRUE(files.open(QStringLiteral("test")).isEmpty());
    files.writeReading(1, 9000);
    files.closeAll();
    EXPECT_EQ(read("test.tst"), QByteArray::fromHex("28230000"));

    // Large sessions are written whole.
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    const int n = 100000; // several internal blocks
    for (int i = 1; i <= n; ++i)
        files.writeReading(i, i);
    files.closeAll();
    const QByteArray bytes = read("tempdata.tst");
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
        EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
        files.writeHeaderClosing(min, max, comments);
        files.closeAll();
        EXPECT_EQ(read("tempdata.hdr"), bytes);
    }
}

TEST_F(SessionFilesTest, RestartKeepsTheTraceFileAppending) {
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.appendTraceLine(QStringLiteral(" 1: 5"));
    files.appendTraceEmptyLine();
    files.writeReading(1, 8000);
    files.appendTextLine(8000, 30);
    files.closeForRestart();
    EXPECT_TRUE(files.traceOpen());
    files.deleteSessionFiles(QStringLiteral("tempdata"));
    for (const char* name : {"tempdata.hdr", "tempdata.tst", "tempdata.txt"})
        EXPECT_FALSE(QFile::exists(path(name)));

    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.appendTraceLine(QStringLiteral(" 1: 6"));
    files.closeAll();
    EXPECT_FALSE(files.traceOpen());
    EXPECT_EQ(read("PlotData.txt"), QByteArray("\" 1: 5\"\r\n\r\n\" 1: 6\"\r\n"));
    EXPECT_EQ(read("tempdata.tst"), QByteArray());
    EXPECT_EQ(read("tempdata.txt"), QByteArray());
    // After a stop, the next session starts a new trace file.
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.closeAll();
    EXPECT_EQ(read("PlotData.txt"), QByteArray());

    // Deleting the temporary files leaves other files; a missing one is no error.
    ASSERT_TRUE(QFile(path("keep.tst")).open(QIODevice::WriteOnly));
    QFile::remove(path("tempdata.hdr"));
    SessionFiles::deleteTemporaryFiles(dir.path());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.tst")});
}

TEST_F(SessionFilesTest, FolderThatCannotHoldFilesGivesOneMessagePerFile) {
    const QString notAFolder = path("plainfile"); // creation fails even for a privileged user
    ASSERT_TRUE(QFile(notAFolder).open(QIODevice::WriteOnly));
    SessionFiles broken(notAFolder);
    const QStringList failures = broken.open(QStringLiteral("tempdata"));
    ASSERT_EQ(failures.size(), 4);
    const char* names[] = {"tempdata.hdr", "tempdata.tst", "tempdata.txt", "PlotData.txt"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(failures[i],
                  QStringLiteral("%1 in %2: Not a directory").arg(QLatin1String(names[i]), notAFolder));
    // The session goes on: writes are skipped silently, the readings are still kept for the graph.
    broken.writeReading(1, 8000);
    broken.appendTextLine(8000, 30);
    broken.appendTraceLine(QStringLiteral("x"));
    broken.appendTraceEmptyLine();
    broken.writeHeaderClosing(1, 2, QStringLiteral("c"));
    broken.flush();
    EXPECT_TRUE(broken.takeRecordingStopped().isEmpty());
    EXPECT_EQ(broken.readings(), std::vector<int32_t>{8000});
    broken.closeAll();
}

TEST_F(SessionFilesTest, LinksAndFoldersInTheFilesPlacesAreNotFollowed) {
    QTemporaryDir outside;
    const QString victim = QDir(outside.path()).filePath(QStringLiteral("victim.txt"));
    writeFile(victim, "keep");
    ASSERT_TRUE(QFile::link(victim, path("tempdata.txt")));
    ASSERT_TRUE(QFile::link(victim, path("PlotData.txt")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("tempdata.hdr")));
    EXPECT_EQ(
        files.open(QStringLiteral("tempdata")),
        (QStringList{QStringLiteral("tempdata.hdr in %1: Is a directory").arg(dir.path()),
                     QStringLiteral("tempdata.txt in %1: a symbolic link is in its place").arg(dir.path()),
                     QStringLiteral("PlotData.txt in %1: a symbolic link is in its place").arg(dir.path())}));
    files.writeReading(1, 8000);
    files.appendTextLine(8000, 30);
    files.appendTraceEmptyLine();
    files.closeAll();
    EXPECT_EQ(readFile(victim), QByteArray("keep"));
    EXPECT_EQ(read("tempdata.tst").size(), 0); // not half a session: nothing is recorded
}

TEST(SessionFilesFullDisk, RecordingStopsOnWholeReadingsAndTheHeaderIsWrittenWhenThereIsRoom) {
    // Room for some ticks of 3 readings; then the disk is full until it is freed before the stop.
    FullDisk disk(16384);
    SessionFiles files(disk.path());
    ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    int32_t record = 0;
    QString stopped;
    for (int tick = 0; tick < 400 && stopped.isEmpty(); ++tick) {
        for (int i = 0; i < 3; ++i) {
            ++record;
            files.appendTraceLine(QStringLiteral(" %1: 470000:FFFFFF:: %1: 150").arg(record));
            files.writeReading(record, 8000 + record % 100);
            files.appendTextLine(8000 + record % 100, 25 + 5 * record);
        }
        files.flush();
        stopped = files.takeRecordingStopped();
    }
    EXPECT_EQ(stopped, QStringLiteral("Recording stopped: %1 (%2)").arg(disk.reason(), disk.path()));
    files.writeReading(++record, 8000); // the session goes on without recording
    files.flush();
    EXPECT_TRUE(files.takeRecordingStopped().isEmpty()); // said once
    disk.free();
    files.writeHeaderClosing(8000, 8099, QStringLiteral("comments"));
    files.closeAll();
    EXPECT_TRUE(files.takeRecordingStopped().isEmpty());

    QFile tst(disk.filePath(QStringLiteral("tempdata.tst"))),
        txt(disk.filePath(QStringLiteral("tempdata.txt")));
    ASSERT_TRUE(tst.open(QIODevice::ReadOnly) && txt.open(QIODevice::ReadOnly));
    const QByteArray records = tst.readAll();
    const QList<QByteArray> lines = txt.readAll().split('\n');
    ASSERT_GT(records.size(), 0);
    ASSERT_EQ(records.size() % 12, 0); // whole ticks of whole records
    ASSERT_EQ(lines.size() - 1, records.size() / 4);
    EXPECT_TRUE(lines.back().isEmpty()); // no half line
    EXPECT_EQ(files.recordedReadings(), records.size() / 4);
    for (qsizetype i = 0; i < records.size() / 4; ++i) {
        const int32_t value = qFromLittleEndian<int32_t>(records.constData() + 4 * i);
        ASSERT_EQ(lines[i], QByteArray::number(value) + ',' + QByteArray::number(30 + 5 * i) + '\r') << i;
    }
    QFile trace(disk.filePath(QStringLiteral("PlotData.txt")));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_EQ(trace.readAll().count('\n'), records.size() / 4);
    QFile hdr(disk.filePath(QStringLiteral("tempdata.hdr")));
    ASSERT_TRUE(hdr.open(QIODevice::ReadOnly));
    EXPECT_TRUE(hdr.readAll().endsWith("\"comments\"\r\n"));
}

} // namespace

} // namespace aurivo
