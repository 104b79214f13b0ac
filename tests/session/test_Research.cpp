// Markers through a whole session (file, lines on the picture, comments, Restart, Save, replay) and the
// export from the window.

#include "MonitorRig.h"
#include "core/Colors.h"
#include "display/MarkerOverlay.h"
#include "files/FileManager.h"
#include "recording/SessionColours.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

// The picture as the window shows it, and the columns where its bottom row has the colour: the marker
// lines reach down there, the trace (around mid-height) and the grid (magenta) never have that colour.
std::vector<int> markerColumns(Monitor& m, uint32_t colour) {
    QImage image = m.graph().picture().image().copy();
    QPainter painter(&image);
    MarkerOverlay::paint(painter, m.research().markerLines(), image.height());
    painter.end();
    std::vector<int> xs;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, image.height() - 1) == colors::toRgb(colour)) xs.push_back(x);
    return xs;
}

int32_t stored(Monitor& m) {
    return m.graph().state().recordCount - 1;
}

void feed(MonitorRig& rig, int ticks) {
    for (int i = 0; i < ticks; ++i)
        rig.tickWith({8000, 8040, 8080, 8040});
}

// A session of `ticks` more ticks with a marker after the first of them, stopped.
void recordWithMarker(MonitorRig& rig, int ticks) {
    rig.startAndSettle();
    feed(rig, 1);
    rig.m().research().addMarker();
    feed(rig, ticks - 1);
    rig.m().sessions().stopSession();
}

void save(MonitorRig& rig, const QString& folder, const QString& name) {
    rig.dialogs.fileManager = [folder, name](FileManager& fm) {
        fm.changeFolder(folder);
        fm.setName(name);
        fm.runFileOption();
    };
    rig.m().saveSessionOrResume();
}

} // namespace

TEST(Markers, KeepTheirColumnsThroughRebuildAndCompressionAndGoToFileAndComments) {
    MonitorRig rig;
    rig.tick(); // the first arrangement
    rig.m().graph().resizePicture(40, 100);
    EXPECT_FALSE(rig.m().research().addMarker()); // no session runs
    rig.startAndSettle();
    const int32_t first = stored(rig.m());
    rig.tick(); // 0.2 s later than the settling, without a reading
    rig.m().research().addMarker();
    feed(rig, 3);
    rig.m().graph().requestRedraw(); // a new arrangement rebuilds the graph
    feed(rig, 1);
    const int32_t second = stored(rig.m());
    rig.m().research().addMarker();
    rig.m().research().renameMarker(1, QStringLiteral("tone, loud"));
    EXPECT_EQ(markerColumns(rig.m(), MarkerOverlay::kLiveColour), (std::vector<int>{first, second}));

    feed(rig, 6); // beyond the 40 columns: two readings per point from now on
    rig.tickWith({8000, 8040, 8080});
    ASSERT_EQ(rig.m().graph().state().yCompress, 2);
    const int32_t third = stored(rig.m());
    ASSERT_EQ(third % 2, 1); // half a point: its column is that of the point it completes
    rig.m().research().addMarker();
    EXPECT_EQ(markerColumns(rig.m(), MarkerOverlay::kLiveColour),
              (std::vector<int>{(first + 1) / 2, (second + 1) / 2, (third + 1) / 2}));

    const QByteArray file = QByteArray("time_s,reading,label\r\n2.200,") + QByteArray::number(first) +
                            ",Marker 1\r\n3.000," + QByteArray::number(second) + ",\"tone, loud\"\r\n4.400," +
                            QByteArray::number(third) + ",Marker 3\r\n";
    EXPECT_EQ(rig.read(QStringLiteral("tempdata.mrk")), file);

    rig.m().comments().setText(QStringLiteral("calm"));
    rig.m().sessions().stopSession();
    const QString lines = QStringLiteral("calm\r\n1. 00:00:02.20 (reading %1) Marker 1\r\n"
                                         "2. 00:00:03.00 (reading %2) tone, loud\r\n"
                                         "3. 00:00:04.40 (reading %3) Marker 3")
                              .arg(first)
                              .arg(second)
                              .arg(third);
    EXPECT_TRUE(rig.m().comments().text().endsWith(lines));
    EXPECT_TRUE(rig.read(QStringLiteral("tempdata.hdr")).contains(lines.toUtf8() + "\"\r\n"));
}

TEST(Markers, RestartAndANewSessionDeleteTheFileASessionWithoutMarkersHasNone) {
    MonitorRig rig;
    rig.startAndSettle();
    rig.m().research().addMarker();
    ASSERT_TRUE(QFile::exists(rig.path(QStringLiteral("tempdata.mrk"))));
    rig.m().sessions().restartSession();
    EXPECT_FALSE(QFile::exists(rig.path(QStringLiteral("tempdata.mrk"))));
    EXPECT_TRUE(rig.m().research().markerLines().empty());

    rig.m().research().addMarker();
    rig.m().sessions().stopSession();
    rig.startAndSettle();
    rig.m().sessions().stopSession();
    EXPECT_FALSE(QFile::exists(rig.path(QStringLiteral("tempdata.mrk"))));
    EXPECT_FALSE(rig.m().comments().text().contains(QStringLiteral("Marker")));
}

TEST(Markers, SaveCopiesTheFileTheReplayDrawsItAndASaveWithoutMarkersRemovesIt) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    rig.tick();
    recordWithMarker(rig, 3);
    const int32_t reading =
        QString::fromUtf8(rig.read(QStringLiteral("tempdata.mrk")).split(',').at(3)).toInt();
    save(rig, elsewhere.path(), QStringLiteral("abc"));
    const QString saved = QDir(elsewhere.path()).filePath(QStringLiteral("abc.Mrk"));
    QFile copy(saved);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), rig.read(QStringLiteral("tempdata.mrk")));

    rig.host.onEvents = [&rig] { rig.monitor->onTick(); };
    rig.dialogs.fileManager = [&elsewhere](FileManager& fm) {
        fm.changeFolder(elsewhere.path());
        fm.setName(QStringLiteral("abc"));
        fm.addToDisplayList();
        fm.runFileOption();
    };
    rig.m().displaySavedSessions();
    ASSERT_TRUE(rig.m().replayShown());
    ASSERT_EQ(rig.m().graph().state().yCompress, 1);
    EXPECT_EQ(markerColumns(rig.m(), kSessionColours[0]), std::vector<int>{reading});
    EXPECT_TRUE(markerColumns(rig.m(), MarkerOverlay::kLiveColour).empty());
    rig.m().saveSessionOrResume();
    EXPECT_TRUE(rig.m().research().markerLines().empty()); // the picture was cleared

    rig.startAndSettle();
    rig.m().sessions().stopSession();
    rig.boxes.answers = {MessageBoxes::Answer::Yes}; // replace abc
    save(rig, elsewhere.path(), QStringLiteral("abc"));
    EXPECT_FALSE(QFile::exists(saved));
}

TEST(Export, FromTheWindowWritesCancelsWithoutAFileAndNamesTheFailure) {
    MonitorRig rig;
    QTemporaryDir out;
    EXPECT_FALSE(rig.m().menuItem(MenuItem::Export).enabled); // nothing recorded yet
    rig.startAndSettle();
    EXPECT_FALSE(rig.m().menuItem(MenuItem::Export).enabled); // running
    rig.m().research().addMarker();
    feed(rig, 2);
    rig.m().sessions().stopSession();
    EXPECT_TRUE(rig.m().menuItem(MenuItem::Export).enabled);

    std::vector<ExportChoices::Session> offered;
    ExportRequest request{rig.path(QStringLiteral("tempdata.tst")), out.filePath(QStringLiteral("a.csv")),
                          ExportFormat::Csv};
    rig.dialogs.exportRequest = [&](const ExportChoices& choices) {
        offered = choices.sessions;
        return request;
    };
    rig.m().research().exportSession();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].readingPath, request.sessionPath);
    QFile csv(request.outPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    EXPECT_TRUE(text.startsWith("time_s,reading,resistance_ohm,conductance_us,marker\r\n"));
    EXPECT_TRUE(text.contains(",Marker 1\r\n"));
    EXPECT_TRUE(rig.boxes.shown.empty());

    rig.dialogs.cancelExport = true;
    request.outPath = out.filePath(QStringLiteral("b.edf"));
    request.format = ExportFormat::Edf;
    rig.m().research().exportSession();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.csv")});
    EXPECT_TRUE(rig.boxes.shown.empty());

    rig.dialogs.cancelExport = false;
    QFile::remove(rig.path(QStringLiteral("tempdata.hdr")));
    rig.m().research().exportSession();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.csv")});
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_TRUE(rig.boxes.shown[0].text.startsWith(
        QStringLiteral("The session could not be exported.\r\ntempdata.hdr: No such file")));
}

} // namespace aurivo
