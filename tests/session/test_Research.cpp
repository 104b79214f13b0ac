// Markers through a session, saving a session, the replay view and leaving it, and the export.

#include "MonitorRig.h"
#include "analysis/ResponseSettings.h"
#include "analysis/ResponseTable.h"
#include "core/Colors.h"
#include "core/NumberRules.h"
#include "display/MarkerOverlay.h"
#include "recording/SessionColours.h"
#include "settings/SettingsFile.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

// The columns where the bottom row of the picture as shown has the colour: only marker lines reach there.
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
    return m.recorder().recordCount() - 1;
}

void feed(MonitorRig& rig, int ticks) {
    rig.tick(ticks, {8000, 8040, 8080, 8040});
}

} // namespace

TEST(Markers, KeepTheirColumnsThroughRebuildAndCompressionAndGoToFileAndComments) {
    MonitorRig rig;
    rig.tick();                        // the first arrangement
    EXPECT_FALSE(rig.m().addMarker()); // no session runs
    rig.startAndSettle();
    const int32_t first = stored(rig.m());
    rig.tick(); // 0.2 s later than the settling, without a reading
    rig.m().addMarker();
    feed(rig, 3);
    // Hiding and showing the graph rebuilds it from the stored readings.
    rig.m().choose(MenuItem::ShowPictureGraph);
    rig.m().choose(MenuItem::ShowPictureGraph);
    feed(rig, 1);
    const int32_t second = stored(rig.m());
    // The readout reaches the latest reading's column and no further.
    EXPECT_EQ(rig.m().research().lastColumn(), second);
    EXPECT_FALSE(rig.m().research().readoutAt(second, std::nullopt).isEmpty());
    EXPECT_TRUE(rig.m().research().readoutAt(second + 1, std::nullopt).isEmpty());
    const double secondSeconds = rig.m().sessions().elapsedSeconds();
    rig.m().addMarker();
    rig.m().renameMarker(1, "tone, loud");
    EXPECT_EQ(markerColumns(rig.m(), MarkerOverlay::kLiveColour), (std::vector<int>{first, second}));

    // Beyond the picture's width: two readings per point from then on.
    while (rig.m().graph().state().yCompress == 1)
        feed(rig, 1);
    if (stored(rig.m()) % 2 == 0) rig.tick(1, {8080});
    const int32_t third = stored(rig.m());
    ASSERT_EQ(third % 2, 1); // half a point: its column is that of the point it completes
    const double thirdSeconds = rig.m().sessions().elapsedSeconds();
    rig.m().addMarker();
    EXPECT_EQ(markerColumns(rig.m(), MarkerOverlay::kLiveColour),
              (std::vector<int>{(first + 1) / 2, (second + 1) / 2, (third + 1) / 2}));

    const QByteArray file = "time_s,reading,label\r\n2.200," + QByteArray::number(first) + ",Marker 1\r\n" +
                            QByteArray::number(secondSeconds, 'f', 3) + "," + QByteArray::number(second) +
                            ",\"tone, loud\"\r\n" + QByteArray::number(thirdSeconds, 'f', 3) + "," +
                            QByteArray::number(third) + ",Marker 3\r\n";
    EXPECT_EQ(rig.read("tempdata.mrk").toStdString(), file.toStdString());
    rig.m().setComments("calm");
    rig.m().choose(MenuItem::Stop);
    const QString lines =
        QStringLiteral("calm\r\n1. 00:00:02.20 (reading %1) Marker 1\r\n2. 00:00:%4 (reading %2) "
                       "tone, loud\r\n3. 00:00:%5 (reading %3) Marker 3")
            .arg(first)
            .arg(second)
            .arg(third)
            .arg(secondSeconds, 5, 'f', 2, QLatin1Char('0'))
            .arg(thirdSeconds, 5, 'f', 2, QLatin1Char('0'));
    EXPECT_TRUE(rig.read("tempdata.hdr").endsWith(lines.toUtf8() + "\"\r\n"));

    // Restart deletes the file; a session without markers has none.
    rig.startAndSettle();
    rig.m().addMarker();
    rig.m().choose(MenuItem::Restart);
    EXPECT_TRUE(rig.m().research().markerLines().empty());
    rig.m().choose(MenuItem::Stop);
    EXPECT_FALSE(QFile::exists(rig.path("tempdata.mrk")));
    EXPECT_FALSE(rig.m().comments().text().contains("Marker"));
}

TEST(Replay, SaveShowResumeAndCloseDuringAReplay) {
    MonitorRig rig;
    Monitor& m = rig.m();
    m.choose(MenuItem::SaveSession); // nothing to save right after start-up
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "There is no session data to save!");
    rig.tick(); // the window's first arrangement
    const TwipsRect before = rig.host.geometry;
    const int weightsBefore = m.views().panelWeightSum();
    rig.startAndSettle();
    feed(rig, 1);
    m.addMarker();
    feed(rig, 2);
    m.setComments("first run");
    m.choose(MenuItem::Stop);
    const int32_t marked = rig.read("tempdata.mrk").split(',').at(3).toInt();

    // Saving copies the temporary files with the comments as they are now, the markers too.
    QTemporaryDir elsewhere;
    const QDir out(elsewhere.path());
    m.setComments(m.comments().text() + "\r\nadded after stop");
    rig.chooseFiles(elsewhere.path(), {"one"}, true);
    m.choose(MenuItem::SaveSession);
    EXPECT_TRUE(m.ports().cancelRequested()); // opening the file manager ends a chooser's pause
    for (QString ext : {"Tst", "Txt", "Hdr", "Mrk"})
        EXPECT_EQ(readFile(out.filePath("one." + ext)), rig.read("tempdata." + ext.toLower()))
            << ext.toStdString();
    EXPECT_TRUE(rig.read("tempdata.hdr").endsWith("Marker 1\r\nadded after stop\"\r\n"));

    // Outside a replay a click on the graph only closes the entry box.
    int openings = 0;
    rig.dialogs.fileManager = [&openings](FileManager&) { ++openings; };
    m.choose(MenuItem::SetJitterRejection);
    m.clickGraph();
    EXPECT_EQ(openings, 0);
    EXPECT_FALSE(m.parameters().entryBoxShown());

    // Visible: the Session, Display and Serial port menus; checked: the four views a replay hides.
    const auto menus = [&m] {
        std::vector<bool> v;
        for (MenuItem i : {MenuItem::Session, MenuItem::Display, MenuItem::SerialPort})
            v.push_back(m.menuItem(i).visible);
        for (MenuItem i :
             {MenuItem::ShowLamps, MenuItem::ShowBar, MenuItem::ShowReadings, MenuItem::ShowParameterStrip})
            v.push_back(m.menuItem(i).checked);
        return v;
    };
    ASSERT_EQ(menus(), std::vector<bool>(7, true));
    const QString commentsBefore = m.comments().text();
    // Markers past the session's last reading and damaged lines are left out, and the replay says so.
    QFile markerFile(out.filePath("one.Mrk"));
    ASSERT_TRUE(markerFile.open(QIODevice::Append));
    markerFile.write("9.000,9223372036854775807,Huge\r\n9.000," +
                     QByteArray::number(QFileInfo(out.filePath("one.Tst")).size() / 4 + 1) +
                     ",Past\r\nbroken\r\n");
    markerFile.close();
    // Responses, drawn as ticks in the session's colour: one good line, one damaged, one past the end.
    QFile responseFile(out.filePath("one.Scr"));
    ASSERT_TRUE(responseFile.open(QIODevice::WriteOnly));
    responseFile.write(ResponseTable::header() + "1,3,0.050,0.150,0.1000,0.100,,\r\nbroken\r\n2," +
                       QByteArray::number(QFileInfo(out.filePath("one.Tst")).size() / 4 + 1) +
                       ",1,2,0.1,1,,\r\n");
    responseFile.close();
    rig.host.onEvents = [&rig] { rig.m().onTick(); }; // ticks arrive while the monitor yields
    for (bool closing : {false, true}) {
        rig.chooseFiles(elsewhere.path(), {"one"});
        m.choose(MenuItem::DisplaySavedSessions);
        ASSERT_TRUE(m.replayShown());
        EXPECT_EQ(rig.boxes.shown.back().text,
                  "The markers or responses of these sessions cannot be shown in full:\r\n"
                  "one.Mrk: 3 damaged or unfinished lines skipped\r\n" +
                      QDir::toNativeSeparators(out.filePath("one.Scr")) +
                      ": 2 damaged lines, or responses past the last reading, left out");
        EXPECT_EQ(m.research().responseTicks(), (std::vector<ResponseTick>{{3, kSessionColours[0]}}));
        m.choose(MenuItem::ResponseTicks); // hidden, and kept hidden for the next start
        EXPECT_TRUE(m.research().responseTicks().empty());
        EXPECT_FALSE(m.menuItem(MenuItem::ResponseTicks).checked);
        EXPECT_FALSE(ResponseSettings::ticksShown(rig.dir.path()));
        m.choose(MenuItem::ResponseTicks);
        EXPECT_GT(rig.host.geometry.width, before.width); // 90 % of the screen, then snapped
        EXPECT_EQ(m.menuItem(MenuItem::DisplaySavedSessions).caption, "Display another session");
        EXPECT_EQ(m.menuItem(MenuItem::SaveSession).caption, "Resume normal display");
        EXPECT_EQ(menus(), std::vector<bool>(7, false));
        // The parameters strip leaves with the weight 3 of its toggle, though it came in with 2.
        EXPECT_EQ(m.views().panelWeightSum(), 28 - 2 - 2 - 3 - 3);
        EXPECT_TRUE(m.comments().locked());
        EXPECT_TRUE(m.comments().text().startsWith("one  Comments ...\r\nStart of Session : "));
        EXPECT_FALSE(m.graph().axisLabels()[0].isEmpty());
        ASSERT_EQ(m.graph().state().yCompress, 1);
        EXPECT_EQ(markerColumns(m, kSessionColours[0]), std::vector<int>{marked});
        EXPECT_TRUE(markerColumns(m, MarkerOverlay::kLiveColour).empty());
        EXPECT_EQ(m.research().readoutAt(1, std::nullopt),
                  "one: 00:00:00.00, sample 1: 492.5 kOhms, 2.03 uS");
        if (closing) break;
        rig.dialogs.exportRequest = [&](const ExportChoices& choices) -> std::optional<ExportRequest> {
            EXPECT_EQ(choices.sessions.size() == 1 ? choices.sessions[0].readingPath : "",
                      out.filePath("one.Tst"));
            return std::nullopt;
        };
        m.choose(MenuItem::Export);
        // A click on the graph chooses again; Cancel leaves the replay and restores the window.
        rig.chooseFiles(elsewhere.path(), {});
        m.clickGraph();
        EXPECT_FALSE(m.replayShown());
        EXPECT_EQ(m.menuItem(MenuItem::SaveSession).caption, "Save session");
        EXPECT_EQ(menus(), std::vector<bool>(7, true));
        EXPECT_EQ(m.views().panelWeightSum(), weightsBefore);
        EXPECT_EQ(rig.host.geometry.width, before.width);
        EXPECT_EQ(rig.host.geometry.height, before.height);
        EXPECT_EQ(m.comments().text(), commentsBefore); // the stopped session's comments come back
        EXPECT_FALSE(m.comments().locked());
        EXPECT_EQ(m.graph().axisLabels(), (std::array<QString, 10>{}));
        EXPECT_TRUE(m.research().markerLines().empty()); // the picture was cleared
    }
    // Closing during a replay writes the views and the size from before it.
    m.prepareToClose();
    Settings written;
    ASSERT_EQ(SettingsFile(rig.dir.path()).read(written).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_EQ(written.views, PanelViews::all());
    EXPECT_EQ(written.windowWidth, numbers::toLong(before.width));
    EXPECT_EQ(written.windowHeight, numbers::toLong(before.height));
    // Saving a session without markers over one with markers removes their file.
    m.choose(MenuItem::SaveSession);
    rig.startAndSettle();
    m.choose(MenuItem::Stop);
    rig.boxes.answers = {MessageBoxes::Answer::Yes}; // replace one
    rig.chooseFiles(elsewhere.path(), {"one"}, true);
    m.choose(MenuItem::SaveSession);
    EXPECT_FALSE(QFile::exists(out.filePath("one.Mrk")));
}

TEST(Replay, SessionFilesFromOutsideReplayLikeTheFileManagerAndOthersSayWhyNot) {
    MonitorRig rig;
    Monitor& m = rig.m();
    rig.startAndSettle();
    feed(rig, 2);
    m.choose(MenuItem::Stop);
    QTemporaryDir elsewhere;
    const QDir out(elsewhere.path());
    rig.chooseFiles(elsewhere.path(), {"one"}, true);
    m.choose(MenuItem::SaveSession);
    writeFile(out.filePath("notes.txt"), "");
    rig.boxes.shown.clear();
    // The header named in another case stands for its session; a missing file and one that is no
    // session are left out with the reason.
    m.displaySessionFiles({out.filePath("ONE.hdr"), out.filePath("gone.Tst"), out.filePath("notes.txt")});
    ASSERT_TRUE(m.replayShown());
    const DisplayList& list = m.fileManager().displayList();
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.tstPaths[0], out.filePath("one.Tst"));
    EXPECT_EQ(list.hdrPaths[0], out.filePath("one.Hdr"));
    EXPECT_TRUE(m.comments().text().startsWith("one  Comments ...\r\n"));
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].title, FileManager::kAddErrorTitle);
    EXPECT_EQ(rig.boxes.shown[0].text, out.filePath("gone.Tst") + ": No such file or directory\r\n" +
                                           out.filePath("notes.txt") +
                                           ": not a saved session (a .Tst or .Hdr file)");
    // During a session nothing is replayed.
    m.choose(MenuItem::SaveSession);
    rig.startAndSettle();
    m.displaySessionFiles({out.filePath("one.Tst")});
    EXPECT_FALSE(m.replayShown());
}

TEST(Export, FromTheWindowWritesAndNamesTheFailure) {
    MonitorRig rig;
    QTemporaryDir out;
    rig.startAndSettle();
    EXPECT_FALSE(rig.m().menuItem(MenuItem::Export).enabled); // running
    rig.m().addMarker();
    feed(rig, 2);
    rig.m().choose(MenuItem::Stop);
    EXPECT_TRUE(rig.m().menuItem(MenuItem::Export).enabled);
    // The session offered is the one just recorded; the file has its readings and markers.
    ExportRequest request{QString(), out.filePath("a.csv"), ExportFormat::Csv};
    rig.dialogs.exportRequest = [&](const ExportChoices& choices) {
        request.sessionPath = choices.sessions.at(0).readingPath;
        return request;
    };
    rig.m().choose(MenuItem::Export);
    EXPECT_EQ(request.sessionPath, rig.path("tempdata.tst"));
    const QByteArray text = readFile(request.outPath);
    EXPECT_TRUE(text.startsWith("time_s,reading,resistance_ohm,conductance_us,marker\r\n"));
    EXPECT_TRUE(text.contains(",Marker 1\r\n"));
    // A damaged session is told and leaves no file.
    request.outPath = out.filePath("b.edf");
    QFile::remove(rig.path("tempdata.hdr"));
    rig.m().choose(MenuItem::Export);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files),
              (QStringList{"a.csv", "a.scr.csv"})); // readings, responses
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_TRUE(rig.boxes.shown[0].text.startsWith(
        "The session could not be exported.\r\ntempdata.hdr: No such file"));
}

} // namespace aurivo
