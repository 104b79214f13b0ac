// The marker file: lines appended whole, read back with CSV quoting, damaged lines skipped, failed writes
// taken back.

#include "TestFiles.h"
#include "recording/MarkerFile.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

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

    writeFile(file.path(), "time,label\r\n1.000,20,x\r\n");
    EXPECT_FALSE(MarkerFile::read(file.path(), contents, reason));
    EXPECT_TRUE(reason.contains(file.path()) && reason.contains(QLatin1String("time_s,reading,label")));
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
