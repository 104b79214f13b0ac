#include "MonitorRig.h"
#include "TestFiles.h"
#include "files/FileManager.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

// A stopped session with some readings and a comment.
void recordASession(MonitorRig& rig, const QString& comment) {
    rig.startAndSettle();
    for (int i = 0; i < 3; ++i)
        rig.tickWith({8000, 8100, 8200});
    rig.m().comments().setText(comment);
    rig.monitor->sessions().stopSession();
}

void saveAs(MonitorRig& rig, const QString& folder, const QString& name) {
    rig.dialogs.fileManager = [folder, name](FileManager& fm) {
        EXPECT_EQ(fm.caption(), QStringLiteral("Save session file"));
        EXPECT_EQ(fm.optionCaption(), QStringLiteral("Save"));
        EXPECT_FALSE(fm.addButtonShown());
        fm.changeFolder(folder);
        fm.setName(name);
        fm.runFileOption();
    };
    rig.monitor->saveSessionOrResume();
}

void chooseForDisplay(MonitorRig& rig, const QString& folder, const QStringList& names) {
    rig.dialogs.fileManager = [folder, names](FileManager& fm) {
        EXPECT_EQ(fm.caption(), QStringLiteral("Display saved session file"));
        EXPECT_TRUE(fm.addButtonShown());
        fm.changeFolder(folder);
        for (const QString& n : names) {
            fm.setName(n);
            fm.addToDisplayList();
        }
        if (!fm.hidden() && !names.isEmpty()) fm.runFileOption();
        if (names.isEmpty()) fm.cancel();
    };
}

// Records and saves a session as `name`, then shows it; ticks arrive while the monitor yields.
void enterReplay(MonitorRig& rig, const QString& folder, const QString& name) {
    recordASession(rig, QStringLiteral("first run"));
    saveAs(rig, folder, name);
    rig.tick(); // the window's first arrangement
    rig.host.onEvents = [&rig] { rig.monitor->onTick(); };
    chooseForDisplay(rig, folder, {name});
    rig.monitor->displaySavedSessions();
    ASSERT_TRUE(rig.m().replayShown());
}

} // namespace

TEST(saveSession, SavedFilesEqualTheTemporaryOnesWithTheRefreshedComments) {
    MonitorRig rig;
    rig.monitor->saveSessionOrResume(); // nothing to save right after start-up
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, QStringLiteral("There is no session data to save!"));
    EXPECT_EQ(rig.boxes.shown[0].title, QStringLiteral("Aurivo USB"));
    QTemporaryDir elsewhere;
    recordASession(rig, QStringLiteral("calm"));
    rig.m().comments().setText(rig.m().comments().text() + QStringLiteral("\r\nadded after stop"));
    saveAs(rig, elsewhere.path(), QStringLiteral("abc"));
    EXPECT_TRUE(rig.m().ports().cancelRequested()); // opening the file manager ends a chooser's pause
    const QDir out(elsewhere.path());
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("abc.Tst"))), rig.read(QStringLiteral("tempdata.tst")));
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("abc.Txt"))), rig.read(QStringLiteral("tempdata.txt")));
    const QByteArray header = readFile(out.filePath(QStringLiteral("abc.Hdr")));
    EXPECT_EQ(header, rig.read(QStringLiteral("tempdata.hdr")));
    EXPECT_TRUE(header.contains("calm\r\nadded after stop\"\r\n"));
    EXPECT_EQ(rig.m().fileManager().rememberedFolder(), elsewhere.path() + QLatin1Char('/'));
}

TEST(Replay, EntersTheReplayViewDrawsAndResumes) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    rig.tick(); // the window's first arrangement
    const TwipsRect before = rig.host.geometry;
    const int weightsBefore = rig.m().views().panelWeightSum();
    enterReplay(rig, elsewhere.path(), QStringLiteral("one"));

    Monitor& m = rig.m();
    EXPECT_TRUE(m.replayShown());
    EXPECT_EQ(m.menuItem(MenuItem::DisplayOld).caption, QStringLiteral("Display another session"));
    EXPECT_EQ(m.menuItem(MenuItem::SaveFile).caption, QStringLiteral("Resume normal display"));
    EXPECT_FALSE(m.menuItem(MenuItem::Session).visible);
    EXPECT_FALSE(m.menuItem(MenuItem::Display).visible);
    EXPECT_FALSE(m.menuItem(MenuItem::SerialPort).visible);
    EXPECT_TRUE(m.menuItem(MenuItem::PixGraf).checked);
    EXPECT_TRUE(m.menuItem(MenuItem::Comments).checked);
    EXPECT_FALSE(m.menuItem(MenuItem::BarGrf).checked || m.menuItem(MenuItem::SmlGraf).checked ||
                 m.menuItem(MenuItem::InternStatus).checked || m.menuItem(MenuItem::TimnStuf).checked);
    // The parameters strip leaves with the weight 3 of its toggle, though it came in with 2.
    EXPECT_EQ(m.views().panelWeightSum(), 28 - 2 - 2 - 3 - 3);
    EXPECT_TRUE(m.comments().locked());
    EXPECT_TRUE(m.comments().text().startsWith(QStringLiteral("one  Comments ...\r\nStart of Session : ")));
    EXPECT_TRUE(m.comments().text().contains(QStringLiteral("first run")));
    EXPECT_EQ(m.tickCountdown().remaining(), 0);
    EXPECT_FALSE(m.graph().axisLabels()[0].isEmpty());
    // The trace is drawn in the first list colour, cyan.
    const GraphCanvas& picture = rig.monitor->graph().picture();
    bool cyan = false;
    for (int x = 0; x < picture.scaleWidth() && !cyan; ++x)
        for (int y = 0; y < picture.scaleHeight() && !cyan; ++y)
            cyan = picture.pixelColour(x, y) == 0x00FFFF00u;
    EXPECT_TRUE(cyan);

    // Leaving restores the size, the six views and the three menus, and clears the comment box.
    rig.monitor->saveSessionOrResume();
    EXPECT_FALSE(m.replayShown());
    EXPECT_EQ(m.menuItem(MenuItem::SaveFile).caption, QStringLiteral("Save session"));
    EXPECT_EQ(m.menuItem(MenuItem::DisplayOld).caption, QStringLiteral("Display saved session"));
    EXPECT_TRUE(m.menuItem(MenuItem::Session).visible && m.menuItem(MenuItem::Display).visible &&
                m.menuItem(MenuItem::SerialPort).visible);
    EXPECT_TRUE(m.menuItem(MenuItem::BarGrf).checked && m.menuItem(MenuItem::SmlGraf).checked &&
                m.menuItem(MenuItem::InternStatus).checked && m.menuItem(MenuItem::TimnStuf).checked);
    EXPECT_EQ(m.views().panelWeightSum(), weightsBefore);
    EXPECT_EQ(rig.host.geometry.width, before.width);
    EXPECT_EQ(rig.host.geometry.height, before.height);
    EXPECT_TRUE(m.comments().text().isEmpty());
    EXPECT_FALSE(m.comments().locked());
    for (const QString& label : m.graph().axisLabels())
        EXPECT_TRUE(label.isEmpty());
}

TEST(Replay, ClosingDuringAReplayWritesThePreReplayViewsAndSize) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    rig.tick();
    const TwipsRect before = rig.host.geometry;
    enterReplay(rig, elsewhere.path(), QStringLiteral("two"));
    // 90 % of the screen, then snapped by the arrangement that ran during the wait.
    EXPECT_GT(rig.host.geometry.width, before.width);

    rig.monitor->prepareToClose();
    Settings written;
    ASSERT_EQ(SettingsFile(rig.dir.path()).read(written).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_EQ(written.views, PanelViews::all());
    EXPECT_EQ(written.windowWidth, numbers::toLong(before.width));
    EXPECT_EQ(written.windowHeight, numbers::toLong(before.height));
}

TEST(Replay, GraphClickChoosesAgainOnlyDuringAReplayAndAnEmptyChoiceLeavesIt) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    int openings = 0;
    rig.dialogs.fileManager = [&openings](FileManager&) { ++openings; };
    rig.m().parameters().openJitterBox();
    rig.monitor->clickGraph();
    EXPECT_EQ(openings, 0);
    EXPECT_FALSE(rig.m().parameters().entryBoxShown());
    enterReplay(rig, elsewhere.path(), QStringLiteral("three"));
    chooseForDisplay(rig, elsewhere.path(), {}); // the user cancels the new choice
    rig.monitor->clickGraph();
    EXPECT_FALSE(rig.m().replayShown());
    EXPECT_EQ(rig.m().menuItem(MenuItem::SaveFile).caption, QStringLiteral("Save session"));
}

} // namespace aurivo
