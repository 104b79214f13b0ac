#include "MonitorRig.h"
#include "files/FileManager.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A stopped session with some readings and a comment.
void recordASession(MonitorRig& rig, const QString& comment) {
    rig.startAndSettle();
    for (int i = 0; i < 3; ++i)
        rig.tickWith({8000, 8100, 8200});
    rig.state().txtSeshnComnts.text = comment;
    rig.monitor->sessions().stopSession();
}

void saveAs(MonitorRig& rig, const QString& folder, const QString& name) {
    rig.dialogs.fileManager = [folder, name](FileManager& fm) {
        EXPECT_EQ(fm.caption, QStringLiteral("Save session file"));
        EXPECT_EQ(fm.cmdFileOptionCaption, QStringLiteral("Save"));
        EXPECT_FALSE(fm.cmdAdd2ListVisible);
        fm.changeFolder(folder);
        fm.txtFM = name;
        fm.runFileOption();
    };
    rig.monitor->saveSessionOrResume();
}

void chooseForDisplay(MonitorRig& rig, const QString& folder, const QStringList& names) {
    rig.dialogs.fileManager = [folder, names](FileManager& fm) {
        EXPECT_EQ(fm.caption, QStringLiteral("Display saved session file"));
        EXPECT_TRUE(fm.cmdAdd2ListVisible);
        fm.changeFolder(folder);
        for (const QString& n : names) {
            fm.txtFM = n;
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
    ASSERT_TRUE(rig.state().replayActive);
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
    rig.state().txtSeshnComnts.text += QStringLiteral("\r\nadded after stop");
    saveAs(rig, elsewhere.path(), QStringLiteral("abc"));
    const QDir out(elsewhere.path());
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("abc.Tst"))), rig.read(QStringLiteral("tempdata.tst")));
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("abc.Txt"))), rig.read(QStringLiteral("tempdata.txt")));
    const QByteArray header = readFile(out.filePath(QStringLiteral("abc.Hdr")));
    EXPECT_EQ(header, rig.read(QStringLiteral("tempdata.hdr")));
    EXPECT_TRUE(header.contains("calm\r\nadded after stop\"\r\n"));
    EXPECT_EQ(rig.state().fileManagerFolder, elsewhere.path() + QLatin1Char('/'));
}

TEST(Replay, EntersTheReplayViewDrawsAndResumes) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    rig.tick(); // the window's first arrangement
    const TwipsRect before = rig.host.geometry;
    const int weightsBefore = rig.state().panelWeightSum;
    enterReplay(rig, elsewhere.path(), QStringLiteral("one"));

    const MonitorState& s = rig.state();
    EXPECT_TRUE(s.replayActive);
    EXPECT_EQ(s.mnuDisplayOld.caption, QStringLiteral("Display another session"));
    EXPECT_EQ(s.mnuSaveFile.caption, QStringLiteral("Resume normal display"));
    EXPECT_FALSE(s.mnuSession.visible);
    EXPECT_FALSE(s.mnuDisplay.visible);
    EXPECT_FALSE(s.mnuSerlPort.visible);
    EXPECT_TRUE(s.mnuPixGraf.checked);
    EXPECT_TRUE(s.mnuComments.checked);
    EXPECT_FALSE(s.mnuBarGrf.checked || s.mnuSmlGraf.checked || s.mnuInternStatus.checked ||
                 s.mnuTimnStuf.checked);
    // The parameters strip leaves with the weight 3 of its toggle, though it came in with 2.
    EXPECT_EQ(s.panelWeightSum, 28 - 2 - 2 - 3 - 3);
    EXPECT_TRUE(s.txtSeshnComnts.locked);
    EXPECT_TRUE(s.txtSeshnComnts.text.startsWith(QStringLiteral("one  Comments ...\r\nStart of Session : ")));
    EXPECT_TRUE(s.txtSeshnComnts.text.contains(QStringLiteral("first run")));
    EXPECT_EQ(s.tickCountdown, 0);
    EXPECT_FALSE(s.lbl4Graf[0].caption.isEmpty());
    // The trace is drawn in the first list colour, cyan.
    const GraphCanvas& picture = rig.monitor->graph().picture();
    bool cyan = false;
    for (int x = 0; x < picture.scaleWidth() && !cyan; ++x)
        for (int y = 0; y < picture.scaleHeight() && !cyan; ++y)
            cyan = picture.pixelColour(x, y) == 0x00FFFF00u;
    EXPECT_TRUE(cyan);

    // Leaving restores the size, the six views and the three menus, and clears the comment box.
    rig.monitor->saveSessionOrResume();
    EXPECT_FALSE(s.replayActive);
    EXPECT_EQ(s.mnuSaveFile.caption, QStringLiteral("Save session"));
    EXPECT_EQ(s.mnuDisplayOld.caption, QStringLiteral("Display saved session"));
    EXPECT_TRUE(s.mnuSession.visible && s.mnuDisplay.visible && s.mnuSerlPort.visible);
    EXPECT_TRUE(s.mnuBarGrf.checked && s.mnuSmlGraf.checked && s.mnuInternStatus.checked &&
                s.mnuTimnStuf.checked);
    EXPECT_EQ(s.panelWeightSum, weightsBefore);
    EXPECT_EQ(rig.host.geometry.width, before.width);
    EXPECT_EQ(rig.host.geometry.height, before.height);
    EXPECT_TRUE(s.txtSeshnComnts.text.isEmpty());
    EXPECT_FALSE(s.txtSeshnComnts.locked);
    for (const auto& label : s.lbl4Graf)
        EXPECT_TRUE(label.caption.isEmpty());
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
    for (const QString* v :
         {&written.pictureGraphVisible, &written.colorGraphVisible, &written.barGraphVisible,
          &written.internalStatusVisible, &written.sessionCommentsVisible, &written.timeEtcVisible})
        EXPECT_EQ(*v, QStringLiteral("True"));
    EXPECT_EQ(written.windowWidth, numbers::toLong(before.width));
    EXPECT_EQ(written.windowHeight, numbers::toLong(before.height));
}

TEST(Replay, GraphClickChoosesAgainOnlyDuringAReplayAndAnEmptyChoiceLeavesIt) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    int openings = 0;
    rig.dialogs.fileManager = [&openings](FileManager&) { ++openings; };
    rig.state().fraSetStuff.visible = true;
    rig.monitor->clickGraph();
    EXPECT_EQ(openings, 0);
    EXPECT_FALSE(rig.state().fraSetStuff.visible);
    enterReplay(rig, elsewhere.path(), QStringLiteral("three"));
    chooseForDisplay(rig, elsewhere.path(), {}); // the user cancels the new choice
    rig.monitor->clickGraph();
    EXPECT_FALSE(rig.state().replayActive);
    EXPECT_EQ(rig.state().mnuSaveFile.caption, QStringLiteral("Save session"));
}

} // namespace aurivo
