// The table of responses: its lines, the table of a saved session computed from its files line for line
// as the running session wrote it, files that cannot be read, and aurivo-export --responses.

#include "SkinSignal.h"
#include "TestFiles.h"
#include "analysis/ResponseTable.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>

using namespace aurivo;
using namespace aurivo::testing;

TEST(ResponseTable, LinesHoldFixedDecimalsAndACleanMarkerField) {
    EXPECT_EQ(
        ResponseTable::header(),
        QByteArray(
            "onset_reading,peak_reading,onset_s,peak_s,amplitude_us,rise_s,half_recovery_s,marker\r\n"));
    SkinResponse r{245,      268,  12.25, 13.4,
                   0.123456, 1.15, 2.35,  QStringLiteral("Tone, \"loud\"\r\nnext\x01\u0085!")};
    EXPECT_EQ(ResponseTable::line(r),
              QByteArray("245,268,12.250,13.400,0.1235,1.150,2.350,\"Tone, \"\"loud\"\"  next !\"\r\n"));
    r = {1, 30, 0.05, 1.5, 0.02, 1.45, std::nullopt, QString()};
    EXPECT_EQ(ResponseTable::line(r), QByteArray("1,30,0.050,1.500,0.0200,1.450,,\r\n"));
    r.marker = QStringLiteral("Caf\u00e9; bell");
    EXPECT_EQ(ResponseTable::line(r), QByteArray("1,30,0.050,1.500,0.0200,1.450,,Caf\xc3\xa9; bell\r\n"));
}

namespace {

// A recorded session: readings with responses, a few invalid ones, and markers before some responses.
struct RecordedSession {
    std::vector<int32_t> readings;
    std::vector<Marker> markers;

    RecordedSession() {
        SkinSession s;
        s.baseLevel = 7;
        s.drifts = {{0.1, 240, 1.0}};
        s.responses = randomResponses(5, 295, 99);
        s.render(300, 5);
        readings = s.readings;
        readings[3000] = 0;     // a probe fault
        readings[4500] = 16383; // no conductance
        markers.push_back({0, 0, QStringLiteral("start")});
        int64_t n = 0;
        for (const TrueResponse& t : s.responses)
            if (t.scoredAmplitude > 0.05 && ++n % 2 == 0) {
                const int64_t at = int64_t(t.startSeconds * 20) - 40;
                markers.push_back({double(at) / 20, at, QStringLiteral("tone, %1").arg(n)});
            }
        markers.push_back({150, 3000, QStringLiteral("quiet \"one\"")});
        std::stable_sort(markers.begin(), markers.end(),
                         [](const Marker& a, const Marker& b) { return a.reading < b.reading; });
    }

    // The lines a running session writes: each completed response, markers added after their reading.
    QByteArray liveTable() const {
        QByteArray table = ResponseTable::header();
        ResponseDetector detector(
            ResponseDetector::Settings{},
            {{}, [&table](const SkinResponse& r) { table += ResponseTable::line(r); }, {}});
        size_t next = 0;
        for (; next < markers.size() && markers[next].reading == 0; ++next)
            detector.addMarker(0, markers[next].label);
        for (size_t i = 0; i < readings.size(); ++i) {
            const int64_t n = int64_t(i) + 1;
            detector.addReading(n, readings[i]);
            for (; next < markers.size() && markers[next].reading == n; ++next)
                detector.addMarker(n, markers[next].label);
        }
        detector.finish();
        return table;
    }

    // The session's reading file and marker file in dir, as s.Tst and s.mrk.
    void save(const QDir& dir) const {
        QByteArray tst;
        for (const int32_t r : readings) {
            const int32_t le = qToLittleEndian(r);
            tst.append(reinterpret_cast<const char*>(&le), 4);
        }
        writeFile(dir.filePath(QStringLiteral("s.Tst")), tst);
        const MarkerFile file(dir.filePath(QStringLiteral("s.mrk")));
        QString reason;
        for (const Marker& m : markers)
            ASSERT_TRUE(file.append(m, reason)) << qPrintable(reason);
    }
};

QByteArray offlineTable(const QString& path, QStringList& warnings, QString& error,
                        const ResponseDetector::Settings& settings = {}) {
    QByteArray table;
    if (!ResponseTable::forSession(
            path, settings, [&table](const QByteArray& line) { table += line; }, warnings, error))
        return {};
    return table;
}

} // namespace

TEST(ResponseTable, TheTableOfASavedSessionIsTheOneItsRunningSessionWrote) {
    const RecordedSession session;
    const QByteArray live = session.liveTable();
    EXPECT_GE(live.count("\r\n"), 15);
    EXPECT_GE(live.count(",\"tone, "), 5); // responses answering markers
    EXPECT_TRUE(live.contains(",,\r\n"));  // and one without a half recovery
    EXPECT_TRUE(live.contains(",\r\n"));   // and a non-specific one
    EXPECT_FALSE(live.contains("start"));  // that marker's window saw no response
    EXPECT_FALSE(live.contains("quiet"));

    QTemporaryDir dir;
    session.save(QDir(dir.path()));
    QStringList warnings;
    QString error;
    EXPECT_EQ(offlineTable(dir.filePath(QStringLiteral("s.Tst")), warnings, error), live)
        << qPrintable(error);
    EXPECT_TRUE(warnings.isEmpty());

    // The same from memory, with the markers in any order.
    std::vector<Marker> shuffled = session.markers;
    std::reverse(shuffled.begin(), shuffled.end());
    QByteArray scored = ResponseTable::header();
    ResponseTable::score(session.readings, shuffled, {},
                         [&scored](const SkinResponse& r) { scored += ResponseTable::line(r); });
    EXPECT_EQ(scored, live);
}

TEST(ResponseTable, FilesThatCannotBeReadAreNamedAndWhatWasLeftOutIsSaid) {
    QTemporaryDir dir;
    QStringList warnings;
    QString error;
    // No reading file, and a folder in its place.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("f.Tst")));
    for (const QString& name : {QStringLiteral("none.Tst"), QStringLiteral("f.Tst")}) {
        error.clear();
        EXPECT_TRUE(offlineTable(dir.filePath(name), warnings, error).isEmpty());
        EXPECT_TRUE(error.startsWith(name + QStringLiteral(": "))) << qPrintable(error);
    }

    // A reading file cut inside its last record, a marker file with a damaged line: the rest is scored.
    const RecordedSession session;
    session.save(QDir(dir.path()));
    QFile tst(dir.filePath(QStringLiteral("s.Tst")));
    ASSERT_TRUE(tst.open(QIODevice::Append));
    tst.write("\x01\x02", 2);
    tst.close();
    QFile mrk(dir.filePath(QStringLiteral("s.mrk")));
    ASSERT_TRUE(mrk.open(QIODevice::Append));
    mrk.write("x,12,bad\r\n");
    mrk.close();
    error.clear();
    EXPECT_EQ(offlineTable(dir.filePath(QStringLiteral("s.Tst")), warnings, error), session.liveTable());
    EXPECT_EQ(
        warnings,
        QStringList({QStringLiteral("the last 2 bytes of s.Tst are not a whole reading and were left out"),
                     QStringLiteral("s.mrk: 1 damaged or unfinished lines skipped")}));

    // A marker file that is not read (a link) fails the table.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("s.mrk"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("s.Tst")), dir.filePath(QStringLiteral("s.mrk"))));
    error.clear();
    EXPECT_TRUE(offlineTable(dir.filePath(QStringLiteral("s.Tst")), warnings, error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("s.mrk: "))) << qPrintable(error);
}

namespace {

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

ToolRun exportTool(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(AURIVO_EXPORT_PATH), arguments);
    ToolRun run;
    if (!p.waitForFinished(60000)) return run;
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

} // namespace

TEST(ResponseTable, AurivoExportPrintsTheTable) {
    const RecordedSession session;
    QTemporaryDir dir;
    session.save(QDir(dir.path()));
    const QString tst = dir.filePath(QStringLiteral("s.Tst"));
    ToolRun run = exportTool({QStringLiteral("--responses"), tst});
    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(run.out, session.liveTable());
    EXPECT_TRUE(run.err.isEmpty());

    // Other settings give that detector's table.
    QStringList warnings;
    QString error;
    run = exportTool({QStringLiteral("--responses"), QStringLiteral("--min-amplitude"),
                      QStringLiteral("0.05"), QStringLiteral("--window"), QStringLiteral("0.5,3"), tst});
    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(run.out, offlineTable(tst, warnings, error, {0.05, 0.5, 3}));
    EXPECT_LT(run.out.size(), session.liveTable().size());

    run = exportTool({QStringLiteral("--responses"), dir.filePath(QStringLiteral("none.Tst"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("aurivo-export: none.Tst: ")) << run.err.constData();

    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--responses"), tst, tst},
          QStringList{QStringLiteral("--responses"), QStringLiteral("--min-amplitude"), QStringLiteral("0.5"),
                      tst},
          QStringList{QStringLiteral("--responses"), QStringLiteral("--window"), QStringLiteral("3"), tst}}) {
        run = exportTool(wrong);
        EXPECT_EQ(run.status, 2) << qPrintable(wrong.join(QLatin1Char(' ')));
        EXPECT_TRUE(run.out.isEmpty());
    }
}
