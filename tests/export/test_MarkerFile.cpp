// The marker file: lines appended whole, read back with CSV quoting, damaged lines skipped, failed writes
// taken back, hostile files read within limits or refused.

#include "TestFiles.h"
#include "recording/MarkerFile.h"

#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace aurivo;

TEST(MarkerFile, CreatedAtTheFirstMarkerAndReadBackWithQuotedLabels) {
    QTemporaryDir dir;
    const MarkerFile file(MarkerFile::pathForBase(dir.filePath(QStringLiteral("s"))));
    EXPECT_EQ(file.path(), dir.filePath(QStringLiteral("s.mrk")));
    MarkerFile::Contents contents;
    QString reason;
    ASSERT_TRUE(MarkerFile::read(file.path(), contents, reason)); // no file: no markers
    EXPECT_TRUE(contents.markers.empty());

    std::vector<Marker> markers{{1.25, 25, QStringLiteral("Marker 1")},
                                {2.5, 50, QStringLiteral("Tone, \"loud\"")},
                                {3.125, 62, QStringLiteral(" Caf\u00e9\r\nbreath ")}};
    for (const Marker& m : markers)
        ASSERT_TRUE(file.append(m, reason)) << qPrintable(reason);
    EXPECT_EQ(readFile(file.path()), QByteArray("time_s,reading,label\r\n1.250,25,Marker 1\r\n"
                                                "2.500,50,\"Tone, \"\"loud\"\"\"\r\n"
                                                "3.125,62,\" Caf\xc3\xa9  breath \"\r\n"));
    ASSERT_TRUE(MarkerFile::read(file.path(), contents, reason));
    markers[2].label = QStringLiteral(" Caf\u00e9  breath ");
    EXPECT_EQ(contents.markers, markers);
    ASSERT_TRUE(file.remove(reason));
    EXPECT_TRUE(file.remove(reason) && !QFile::exists(file.path())); // already gone
}

TEST(MarkerFile, DamagedAndUnfinishedLinesAreSkippedAndTheNextMarkerStartsAFreshLine) {
    QTemporaryDir dir;
    const MarkerFile file(dir.filePath(QStringLiteral("s.mrk")));
    writeFile(
        file.path(),
        "\xef\xbb\xbftime_s,reading,label\r\n1.000,20,Good\n\r\nx,3,Bad time\r\n2.000,-1,Bad reading\r\n"
        "2.000,40,\"Open quote\r\n2.000,40\r\n3.000,60,Cut sh");
    MarkerFile::Contents contents;
    QString reason;
    ASSERT_TRUE(MarkerFile::read(file.path(), contents, reason));
    EXPECT_EQ(contents.markers, (std::vector<Marker>{{1.0, 20, QStringLiteral("Good")}}));
    EXPECT_EQ(contents.skippedLines, 5);

    ASSERT_TRUE(file.append({4.0, 80, QStringLiteral("Next")}, reason));
    ASSERT_TRUE(MarkerFile::read(file.path(), contents, reason));
    EXPECT_EQ(contents.markers, (std::vector<Marker>{{1.0, 20, QStringLiteral("Good")},
                                                     {3.0, 60, QStringLiteral("Cut sh")}, // whole again
                                                     {4.0, 80, QStringLiteral("Next")}}));
}

TEST(MarkerFile, HostileFilesAreReadAtOnceWithinTheLimitsOrRefusedWithTheFileAndTheReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.mrk"));
    const QString good = dir.filePath(QStringLiteral("good.mrk"));
    writeFile(good, "time_s,reading,label\r\n1.000,20,x\r\n");
    // A file of `size` bytes that starts with the header line and holds no disk space beyond it.
    const auto sparse = [&path](qint64 size) {
        writeFile(path, "time_s,reading,label\r\n");
        ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t(size)), 0);
    };
    QByteArray many = "time_s,reading,label\r\n";
    std::vector<int64_t> firstMany;
    for (int i = 0; i < MarkerFile::kMaxMarkers + 3; ++i) {
        many += "1.000," + QByteArray::number(i) + ",m\r\n";
        if (i < MarkerFile::kMaxMarkers) firstMany.push_back(i);
    }
    const QByteArray extremes =
        "time_s,reading,label\r\n0.000,0,Before\r\n1.000,9223372036854775807,Huge\r\n"
        "1.000,9223372036854775808,Past int64\r\n1.000,-1,Negative\r\n2.000,50,Last\r\n"
        "2.000,51,Past the last\r\n";
    struct Case {
        const char* what;
        std::function<void()> make;
        std::optional<int64_t> readingCount;
        std::vector<int64_t> readings; // of the markers kept
        int skipped;
        QString reason; // empty when the file is read; else what follows "path: "
    };
    const QString link = QStringLiteral("a symbolic link is in its place");
    const Case cases[] = {
        {"link to a marker file", [&] { ASSERT_TRUE(QFile::link(good, path)); }, {}, {}, 0, link},
        {"link to a device",
         [&] { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path)); },
         {},
         {},
         0,
         link},
        {"pipe",
         [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); },
         {},
         {},
         0,
         QStringLiteral("something other than a file is in its place")},
        {"over the size limit",
         [&] { sparse(MarkerFile::kMaxBytes + 1); },
         {},
         {},
         0,
         QStringLiteral("the file holds 16777217 bytes, more than the 16 MB a marker file may hold")},
        {"at the size limit: its unfinished line", [&] { sparse(MarkerFile::kMaxBytes); }, {}, {}, 1, {}},
        {"more markers than kept", [&] { writeFile(path, many); }, {}, firstMany, 3, {}},
        {"extreme readings", [&] { writeFile(path, extremes); }, {}, {0, INT64_MAX, 50, 51}, 2, {}},
        {"readings beyond the session", [&] { writeFile(path, extremes); }, 50, {0, 50}, 4, {}},
        {"a foreign first line", [&] { writeFile(path, "time,label\r\n1.000,20,x\r\n"); }, {}, {20}, 1, {}},
        {"no header line", [&] { writeFile(path, "1.000,20,x\r\nnot a marker\r\n"); }, {}, {20}, 1, {}},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        c.make();
        MarkerFile::Contents contents;
        contents.skippedLines = -1;
        QString reason;
        const bool read = MarkerFile::read(path, contents, reason, c.readingCount);
        std::vector<int64_t> readings;
        for (const Marker& m : contents.markers)
            readings.push_back(m.reading);
        EXPECT_EQ(read, c.reason.isEmpty()) << c.what;
        EXPECT_EQ(reason, c.reason.isEmpty() ? QString() : path + QStringLiteral(": ") + c.reason) << c.what;
        EXPECT_EQ(readings, c.readings) << c.what;
        EXPECT_EQ(contents.skippedLines, c.skipped) << c.what;
    }
}

TEST(MarkerFile, AFailedWriteNamesTheFileAndLeavesNoPartOfTheLine) {
    QTemporaryDir dir;
    QString reason;
    // A link in the file's place is not followed.
    const MarkerFile link(dir.filePath(QStringLiteral("l.mrk")));
    writeFile(dir.filePath(QStringLiteral("victim")), "keep");
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("victim")), link.path()));
    EXPECT_FALSE(link.append({1, 1, QStringLiteral("m")}, reason));
    EXPECT_TRUE(reason.startsWith(link.path() + QStringLiteral(": "))) << qPrintable(reason);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("victim"))), "keep");

    const MarkerFile file(dir.filePath(QStringLiteral("s.mrk")));
    ASSERT_TRUE(file.append({1, 20, QStringLiteral("Marker 1")}, reason));
    const QByteArray before = readFile(file.path());
    // A file size limit just past the current end makes the next write stop inside the line.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(before.size() + 5);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool appended = file.append({2, 40, QStringLiteral("Marker 2")}, reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(appended);
    EXPECT_EQ(reason, file.path() + QStringLiteral(": File too large"));
    EXPECT_EQ(readFile(file.path()), before);
}
