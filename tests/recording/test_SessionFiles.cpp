#include "FullDisk.h"
#include "TestFiles.h"
#include "recording/SessionFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
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

TEST_F(SessionFilesTest, ReadingTextAndHeaderFileLayouts) {
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    for (int i = 0; i < 3; ++i) {
        files.writeReading(i + 1, 8000 + 10 * i);
        files.appendTextLine(8000 + 10 * i, 30 + 5 * i);
    }
    files.closeAll();
    EXPECT_EQ(read("tempdata.tst"), QByteArray::fromHex("401F00004A1F0000541F0000"));
    EXPECT_EQ(read("tempdata.txt"), QByteArray("8000,30\r\n8010,35\r\n8020,40\r\n"));
    // The header and trace files exist from the start; the header stays empty without a stop.
    EXPECT_EQ(read("tempdata.hdr"), QByteArray());

    // A named session uses its base name and empties its reading file; records land at their offsets in
    // any order, and there is no record 0.
    writeFile(path("test.tst"), QByteArray(40, 'x'));
    EXPECT_TRUE(files.open(QStringLiteral("test")).isEmpty());
    EXPECT_TRUE(files.readings().empty());
    files.writeReading(2, -2);
    files.writeReading(1, 0x01020304);
    files.writeReading(2, 7);
    files.writeReading(0, 99);
    files.closeAll();
    EXPECT_EQ(read("test.tst"), QByteArray::fromHex("0403020107000000"));
    EXPECT_EQ(files.readings(), (std::vector<int32_t>{0x01020304, 7}));

    // Large sessions are written whole, across the internal blocks.
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    const int n = 100000;
    for (int i = 1; i <= n; ++i)
        files.writeReading(i, i);
    files.closeAll();
    const QByteArray bytes = read("tempdata.tst");
    ASSERT_EQ(bytes.size(), 4 * n);
    EXPECT_EQ(qFromLittleEndian<int32_t>(bytes.constData() + 4 * (n - 1)), n);

    // The header's five items: a quote in the comments becomes ', every line break CR LF.
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.writeHeaderClosing(16383, 0, QStringLiteral("Start\r\nsay \"b\u00e9\"\nx\ry"));
    files.closeAll();
    EXPECT_EQ(
        read("tempdata.hdr"),
        "\"MinADC\"\r\n\" 16383\"\r\n\"MaxADC\"\r\n\" 0\"\r\n\"Start\r\nsay 'b\xc3\xa9'\r\nx\r\ny\"\r\n");
}

TEST_F(SessionFilesTest, RestartKeepsTheTraceFileAppending) {
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.appendTraceLine(QStringLiteral(" 1: 5"));
    files.appendTraceEmptyLine();
    files.writeReading(1, 8000);
    files.appendTextLine(8000, 30);
    files.closeForRestart();
    EXPECT_TRUE(files.traceOpen());
    writeFile(path("tempdata.scr"), "responses"); // the response file goes with the session's files
    files.deleteSessionFiles(QStringLiteral("tempdata"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("PlotData.txt")});

    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.appendTraceLine(QStringLiteral(" 1: 6"));
    files.closeAll();
    EXPECT_FALSE(files.traceOpen());
    EXPECT_EQ(read("PlotData.txt"), QByteArray("\" 1: 5\"\r\n\r\n\" 1: 6\"\r\n"));
    EXPECT_EQ(read("tempdata.txt"), QByteArray());
    // After a stop, the next session starts a new trace file.
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.closeAll();
    EXPECT_EQ(read("PlotData.txt"), QByteArray());
}

TEST_F(SessionFilesTest, LinksAndFoldersInTheFilesPlacesAreSkippedAndTheOthersRecorded) {
    QTemporaryDir outside;
    const QString victim = QDir(outside.path()).filePath(QStringLiteral("victim.txt"));
    writeFile(victim, "keep");
    ASSERT_TRUE(QFile::link(victim, path("tempdata.txt")));
    ASSERT_TRUE(QFile::link(victim, path("PlotData.txt")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("tempdata.hdr")));
    const QString in = QStringLiteral(" in ") + dir.path();
    EXPECT_EQ(
        files.open(QStringLiteral("tempdata")),
        (QStringList{
            QStringLiteral("tempdata.hdr") + in + QStringLiteral(": Is a directory"),
            QStringLiteral("tempdata.txt") + in + QStringLiteral(": a symbolic link is in its place"),
            QStringLiteral("PlotData.txt") + in + QStringLiteral(": a symbolic link is in its place")}));
    files.writeReading(1, 8000);
    files.appendTextLine(8000, 30);
    files.appendTraceEmptyLine();
    files.closeAll();
    EXPECT_EQ(readFile(victim), QByteArray("keep"));
    EXPECT_EQ(read("tempdata.tst"), QByteArray("\x40\x1f\x00\x00", 4)); // the file that could be made
    EXPECT_TRUE(QFileInfo(path("tempdata.hdr")).isDir());
    EXPECT_EQ(files.readings(), std::vector<int32_t>{8000});
}

TEST_F(SessionFilesTest, TheTimingFileHasALineForEachTickThatStoredReadings) {
    EXPECT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    files.writeReading(1, 8000); // before any tick: no line
    files.beginTick(0.2);        // nothing stored
    files.beginTick(0.4004);
    files.writeReading(2, 8000);
    files.writeReading(3, 8000);
    files.beginTick(61.25);
    files.writeReading(4, 8000);
    files.beginTick(61.0); // the clock set back: no time passes
    files.writeReading(5, 8000);
    files.closeAll();
    EXPECT_EQ(read("tempdata.tim"), QByteArray("reading,time_s\r\n2,0.400\r\n4,61.250\r\n5,61.250\r\n"));

    // Restart takes it away with the others; a folder in its place is told, and the readings are recorded.
    writeFile(path("tempdata.scr"), "responses");
    files.deleteSessionFiles(QStringLiteral("tempdata"));
    EXPECT_FALSE(QFileInfo::exists(path("tempdata.tim")));
    EXPECT_FALSE(QFileInfo::exists(path("tempdata.scr")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("tempdata.tim")));
    EXPECT_EQ(files.open(QStringLiteral("tempdata")),
              QStringList{QStringLiteral("tempdata.tim in %1: Is a directory").arg(dir.path())});
    files.beginTick(1);
    files.writeReading(1, 8000);
    files.closeAll();
    EXPECT_EQ(read("tempdata.tst"), QByteArray("\x40\x1f\x00\x00", 4));
    EXPECT_TRUE(files.takeRecordingStopped().isEmpty());
}

TEST(SessionFilesFullDisk, ATimingFileThatCannotGrowStopsAloneOnAWholeLine) {
    // One reading a tick: the timing file grows three times as fast as the reading file and meets the
    // full disk long before it.
    FullDisk disk(64 * 1024);
    SessionFiles files(disk.path());
    ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    int32_t record = 0;
    const auto tick = [&] {
        files.beginTick(0.2 * ++record);
        files.writeReading(record, 8000);
        files.flush();
    };
    tick();
    disk.fill(4096);
    QString told;
    while (record < 1000 && told.isEmpty()) {
        tick();
        told = files.takeRecordingStopped();
    }
    EXPECT_EQ(told, QStringLiteral("Reading times no longer recorded: tempdata.tim in %1: %2")
                        .arg(disk.path(), disk.reason()));
    for (int i = 0; i < 10; ++i)
        tick();
    EXPECT_TRUE(files.takeRecordingStopped().isEmpty()); // told once, and the readings go on
    files.closeAll();
    disk.free();
    EXPECT_EQ(readFile(disk.filePath(QStringLiteral("tempdata.tst"))).size(), 4 * record);
    const QList<QByteArray> lines = readFile(disk.filePath(QStringLiteral("tempdata.tim"))).split('\n');
    ASSERT_GT(lines.size(), 100);
    EXPECT_EQ(lines.back(), QByteArray()); // whole lines only
    // Each tick's line up to the last one the disk took: reading n at 0.2 x n seconds.
    const qsizetype n = lines.size() - 2; // less the header line and what follows the last line end
    EXPECT_EQ(lines[n], QByteArray::number(n) + ',' + QByteArray::number(0.2 * double(n), 'f', 3) + '\r');
}

TEST(SessionFilesFullDisk, RecordingStopsOnWholeReadingsAndTheHeaderIsWrittenWhenThereIsRoom) {
    // Room for some ticks of 3 readings; then the disk is full until it is freed before the stop.
    FullDisk disk(16384);
    SessionFiles files(disk.path());
    ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    int32_t record = 0;
    QString stopped;
    for (int tick = 0; tick < 400 && stopped.isEmpty(); ++tick) {
        files.beginTick(tick);
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

    // Whole ticks of whole records, the same readings in the text and trace files, no half line.
    const QByteArray records = readFile(disk.filePath(QStringLiteral("tempdata.tst")));
    ASSERT_GT(records.size(), 0);
    ASSERT_EQ(records.size() % 12, 0);
    EXPECT_EQ(files.recordedReadings(), records.size() / 4);
    QByteArray text;
    for (qsizetype i = 0; i < records.size() / 4; ++i)
        text += QByteArray::number(qFromLittleEndian<int32_t>(records.constData() + 4 * i)) + ',' +
                QByteArray::number(30 + 5 * i) + "\r\n";
    EXPECT_EQ(readFile(disk.filePath(QStringLiteral("tempdata.txt"))), text);
    EXPECT_EQ(readFile(disk.filePath(QStringLiteral("PlotData.txt"))).count('\n'), records.size() / 4);
    // The timing file is cut back with them: one line for each tick the reading file holds.
    EXPECT_EQ(readFile(disk.filePath(QStringLiteral("tempdata.tim"))).count('\n'), 1 + records.size() / 12);
    EXPECT_TRUE(readFile(disk.filePath(QStringLiteral("tempdata.hdr"))).endsWith("\"comments\"\r\n"));

    // A header that does not fit is left empty, as that of a session that was not stopped.
    ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
    disk.fill();
    files.writeHeaderClosing(8000, 8099, QStringLiteral("comments"));
    files.closeAll();
    EXPECT_EQ(QFileInfo(disk.filePath(QStringLiteral("tempdata.hdr"))).size(), 0);
}

} // namespace

} // namespace aurivo
