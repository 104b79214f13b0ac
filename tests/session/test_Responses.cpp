// The running session's responses: scored as the readings are recorded and written to <base>.scr the
// moment each is complete, the same lines the offline table gives for the session's files.

#include "../analysis/SkinSignal.h"
#include "MonitorRig.h"
#include "analysis/ResponseRecorder.h"
#include "analysis/ResponseSettings.h"
#include "analysis/ResponseTable.h"
#include "export/SessionExporter.h"
#include "recording/SessionSource.h"

#include <algorithm>
#include <edflib.h>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

using testing::SkinSession;
using testing::TrueResponse;

SkinSession skinSession(double seconds) {
    SkinSession s;
    s.baseLevel = 5.0;
    s.drifts = {{0.05, 200, 0.3}};
    for (const auto& [start, amplitude] : std::vector<std::pair<double, double>>{
             {8, 0.3}, {18, 0.1}, {21, 0.25}, {32, 0.5}, {45, 0.08}, {56, 0.2}}) {
        TrueResponse r;
        r.startSeconds = start;
        r.amplitude = amplitude;
        r.decaySeconds = 3;
        s.responses.push_back(r);
    }
    s.render(seconds, 7);
    return s;
}

// Feeds the session's readings, four a tick (the rate the device sends at), and sets a marker before the
// ticks that begin at the given reading indexes (from 0).
void feed(MonitorRig& rig, const std::vector<int32_t>& readings, const std::vector<size_t>& markersAt) {
    for (size_t i = 0; i < readings.size(); i += 4) {
        if (std::find(markersAt.begin(), markersAt.end(), i) != markersAt.end()) rig.m().addMarker();
        for (size_t k = i; k < std::min(i + 4, readings.size()); ++k)
            rig.comm.deliver(PacketDecoder::makePacket(uint16_t(readings[k]), 4));
        rig.tick();
    }
}

QByteArray offlineTable(const QString& path) {
    QByteArray out;
    QStringList warnings;
    QString error;
    EXPECT_TRUE(ResponseTable::forSession(
        path, {}, [&out](const QByteArray& line) { out += line; }, warnings, error))
        << error.toStdString();
    return out;
}

} // namespace

TEST(Responses, TheLiveFileEqualsTheOfflineTableOfTheSession) {
    MonitorRig rig;
    const SkinSession s = skinSession(70);
    rig.startAndSettle(s.readings.front());
    // Markers 2 s before the first and the fourth response, and one with no response in its window.
    feed(rig, s.readings, {6 * 20, 30 * 20, 26 * 20});
    rig.m().choose(MenuItem::Stop);

    const QByteArray live = rig.read("tempdata.scr");
    const QByteArray offline = offlineTable(rig.path("tempdata.tst"));
    EXPECT_EQ(live, offline);
    const QList<QByteArray> lines = live.split('\n');
    ASSERT_GE(lines.size(), 6); // the header and the responses, each ended by CR LF
    EXPECT_EQ(lines.front(), QByteArray(ResponseTable::kHeaderLine) + "\r");
    EXPECT_TRUE(live.endsWith("\r\n"));
    EXPECT_TRUE(live.contains(",Marker 1\r\n"));
    EXPECT_TRUE(live.contains(",Marker 3\r\n"));
    EXPECT_FALSE(live.contains("Marker 2"));
    EXPECT_TRUE(rig.boxes.notices.empty());

    // Each response is a tick at its peak's column, and each marker has its answer.
    std::vector<ResponseTick> ticks;
    const int32_t compress = rig.m().graph().state().yCompress;
    for (const QByteArray& row : live.split('\n').mid(1, live.count('\n') - 1)) {
        const int x = MarkerOverlay::column(row.split(',').at(1).toLongLong(), compress);
        if (ticks.empty() || ticks.back().x != x) ticks.push_back({x, ResponseTicks::kLiveColour});
    }
    EXPECT_EQ(rig.m().research().responseTicks(), ticks);
    const auto& answers = rig.m().responses().markerAnswers();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_TRUE(answers[0].decided && answers[0].response && answers[0].response->marker == "Marker 1");
    EXPECT_TRUE(answers[1].decided && !answers[1].response);
    EXPECT_TRUE(answers[2].decided && answers[2].response && answers[2].response->marker == "Marker 3");

    // Saved, the response file goes with the session, found beside its reading file.
    QTemporaryDir out;
    rig.chooseFiles(out.path(), {"saved"}, true);
    rig.m().choose(MenuItem::SaveSession);
    const SessionSource saved = SessionSource::fromPath(QDir(out.path()).filePath("saved.Tst"));
    EXPECT_EQ(saved.responsePath, QDir(out.path()).filePath("saved.Scr"));
    EXPECT_EQ(readFile(saved.responsePath), live);
    EXPECT_EQ(offlineTable(saved.readingPath), live);

    // The export: the table beside the CSV, and each response an EDF+ annotation at its onset.
    const QString csv = out.filePath("s.csv"), edf = out.filePath("s.edf");
    for (const QString& file : {csv, edf}) {
        const ExportResult result = SessionExporter::run(saved.readingPath, file);
        ASSERT_EQ(result.status, ExportStatus::Done) << result.error.toStdString();
    }
    EXPECT_EQ(SessionExporter::responsesPathFor(csv), out.filePath("s.scr.csv"));
    EXPECT_EQ(readFile(out.filePath("s.scr.csv")), live);
    EXPECT_FALSE(QFileInfo::exists(out.filePath("s.edf.scr.csv")));
    std::vector<std::pair<QByteArray, std::pair<long long, long long>>> scrs; // text, onset, duration
    edf_hdr_struct hdr;
    ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(edf).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS),
              0);
    for (int i = 0; i < hdr.annotations_in_file; ++i) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(hdr.handle, i, &a), 0);
        if (QByteArray(a.annotation).startsWith("SCR "))
            scrs.push_back({a.annotation, {a.onset, a.duration_l}});
    }
    edfclose_file(hdr.handle);
    std::vector<std::pair<QByteArray, std::pair<long long, long long>>> expected;
    const QList<QByteArray> rows = live.split('\n');
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QList<QByteArray> f = rows[i].split(',');
        if (f.size() < 8) continue;
        // The onset is on the session's clock (its timing file): only the order is checked here.
        expected.push_back(
            {"SCR " + f[4] + " uS", {0, std::llround(f[5].toDouble() * EDFLIB_TIME_DIMENSION)}});
    }
    ASSERT_EQ(scrs.size(), expected.size());
    ASSERT_GE(scrs.size(), 4u);
    for (size_t i = 0; i < scrs.size(); ++i) {
        // The table has the amplitude to 0.0001, the annotation to 0.001.
        ASSERT_TRUE(scrs[i].first.startsWith("SCR ") && scrs[i].first.endsWith(" uS")) << i;
        EXPECT_NEAR(scrs[i].first.mid(4).chopped(3).toDouble(),
                    expected[i].first.mid(4).chopped(3).toDouble(), 0.0006)
            << i;
        EXPECT_EQ(scrs[i].second.second, expected[i].second.second) << i;
        if (i > 0) {
            EXPECT_GT(scrs[i].second.first, scrs[i - 1].second.first) << i;
        }
    }
}

TEST(Responses, EachLineIsInTheFileOnceTheResponseIsComplete) {
    MonitorRig rig;
    const SkinSession s = skinSession(70);
    rig.startAndSettle(s.readings.front());
    const std::vector<int32_t> first(s.readings.begin(), s.readings.begin() + 40 * 20);
    feed(rig, first, {});
    // What the detector has completed so far is in the file already, before the session ends.
    ASSERT_NE(rig.m().responses().detector(), nullptr);
    const int64_t count = rig.m().responses().detector()->responseCount();
    ASSERT_GE(count, 3);
    const QByteArray during = rig.read("tempdata.scr");
    const int completed = int(during.count("\r\n")) - 1;
    EXPECT_TRUE(during.startsWith(ResponseTable::header()));
    EXPECT_GE(completed, int(count) - 1); // the last one may still wait for its half recovery
    EXPECT_LE(completed, int(count));
    rig.m().choose(MenuItem::Stop);
    EXPECT_EQ(int(rig.read("tempdata.scr").count("\r\n")) - 1, int(count));
    EXPECT_TRUE(rig.read("tempdata.scr").startsWith(during));
}

TEST(Responses, RestartBeginsTheFileAgain) {
    MonitorRig rig;
    const SkinSession s = skinSession(70);
    rig.startAndSettle(s.readings.front());
    feed(rig, s.readings, {});
    ASSERT_GT(rig.read("tempdata.scr").count("\r\n"), 3);
    rig.m().choose(MenuItem::Restart);
    const std::vector<int32_t> quiet(200, s.readings.front());
    feed(rig, quiet, {});
    rig.m().choose(MenuItem::Stop);
    // No response since the restart: no response file, as the offline table has nothing but its header.
    EXPECT_FALSE(QFileInfo::exists(rig.path("tempdata.scr")));
    EXPECT_EQ(offlineTable(rig.path("tempdata.tst")), ResponseTable::header());
}

TEST(Responses, TheNextSessionAnswersOnlyItsOwnMarkers) {
    MonitorRig rig;
    const SkinSession s = skinSession(70);
    rig.startAndSettle(s.readings.front());
    feed(rig, s.readings, {6 * 20});
    rig.m().choose(MenuItem::Stop);
    ASSERT_TRUE(rig.read("tempdata.scr").contains(",Marker 1\r\n"));
    // The same skin again, no marker set: the last session's marker has no window in this one.
    rig.startAndSettle(s.readings.front());
    feed(rig, s.readings, {});
    rig.m().choose(MenuItem::Stop);
    const QByteArray live = rig.read("tempdata.scr");
    EXPECT_FALSE(live.contains("Marker")) << live.constData();
    EXPECT_EQ(live, offlineTable(rig.path("tempdata.tst")));
    EXPECT_TRUE(rig.m().responses().markerAnswers().empty());
}

TEST(Responses, AFileThatCannotBeWrittenIsToldOnce) {
    MonitorRig rig;
    // A folder in the file's place can be neither deleted as a file nor written.
    ASSERT_TRUE(QDir(rig.dir.path()).mkdir("tempdata.scr"));
    const SkinSession s = skinSession(70);
    rig.startAndSettle(s.readings.front());
    feed(rig, s.readings, {});
    rig.m().choose(MenuItem::Stop);
    ASSERT_GE(rig.m().responses().detector()->responseCount(), 3);
    int told = 0;
    for (const auto& notice : rig.boxes.notices)
        told += notice.text.contains("The responses could not be written.") ? 1 : 0;
    EXPECT_EQ(told, 1);
}

TEST(Responses, SessionsAreScoredWithTheSettingsOfTheConfigurationFile) {
    MonitorRig rig;
    EXPECT_EQ(rig.m().responses().settings(), ResponseDetector::Settings{});
    writeFile(rig.path("aurivo-usb.conf"),
              "[responses]\r\nminAmplitude=0.1\r\nwindowStart=1\r\nwindowEnd=3\r\n");
    const QByteArray ini = rig.read("Aurivo_USB.ini");
    ScriptedBoxes boxes;
    Monitor next(
        {rig.comm, rig.clock, boxes, rig.host, rig.dialogs, rig.dir.path(), [](int) { return QString(); }});
    next.startUp();
    const ResponseDetector::Settings chosen = next.responses().settings();
    EXPECT_EQ(chosen.minAmplitudeUs, 0.1);
    EXPECT_EQ(chosen.windowEndSeconds, 3.0);
    next.choose(MenuItem::Start);
    ASSERT_NE(next.responses().detector(), nullptr);
    EXPECT_EQ(next.responses().detector()->settings(), chosen);
    next.choose(MenuItem::Stop);
    EXPECT_EQ(rig.read("Aurivo_USB.ini"), ini);
}

} // namespace aurivo
