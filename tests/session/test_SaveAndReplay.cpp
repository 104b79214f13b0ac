#include "MonitorRig.h"
#include "files/FileManager.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A stopped session with some readings and a comment.
void RecordASession(MonitorRig& rig, const QString& comment) {
    rig.StartAndSettle();
    for (int i = 0; i < 3; ++i) rig.TickWith({8000, 8100, 8200});
    rig.S().TxtSeshnComnts.text = comment;
    rig.monitor->Sessions().mnuStop_Click();
}

void SaveAs(MonitorRig& rig, const QString& folder, const QString& name) {
    rig.dialogs.fileManager = [folder, name](FileManager& fm) {
        EXPECT_EQ(fm.caption, QStringLiteral("Save session file"));
        EXPECT_EQ(fm.cmdFileOptionCaption, QStringLiteral("Save"));
        EXPECT_FALSE(fm.cmdAdd2ListVisible);
        fm.dirFM_Change(folder);
        fm.txtFM = name;
        fm.cmdFileOption_Click();
    };
    rig.monitor->mnuSaveFile_Click();
}

void ChooseForDisplay(MonitorRig& rig, const QString& folder, const QStringList& names) {
    rig.dialogs.fileManager = [folder, names](FileManager& fm) {
        EXPECT_EQ(fm.caption, QStringLiteral("Display saved session file"));
        EXPECT_TRUE(fm.cmdAdd2ListVisible);
        fm.dirFM_Change(folder);
        for (const QString& n : names) {
            fm.txtFM = n;
            fm.cmdAdd2List_Click();
        }
        if (!fm.Hidden() && !names.isEmpty()) fm.cmdFileOption_Click();
        if (names.isEmpty()) fm.cmdCancel_Click();
    };
}

// Records and saves a session as `name`, then shows it; ticks arrive while the monitor yields.
void EnterReplay(MonitorRig& rig, const QString& folder, const QString& name) {
    RecordASession(rig, QStringLiteral("first run"));
    SaveAs(rig, folder, name);
    rig.Tick(); // the window's first arrangement
    rig.host.onEvents = [&rig] { rig.monitor->Timer1_Timer(); };
    ChooseForDisplay(rig, folder, {name});
    rig.monitor->mnuDisplayOld_Click();
    ASSERT_TRUE(rig.S().ReplayActive);
}

} // namespace

TEST(SaveSession, SavedFilesEqualTheTemporaryOnesWithTheRefreshedComments) {
    MonitorRig rig;
    rig.monitor->mnuSaveFile_Click(); // nothing to save right after start-up
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, QStringLiteral("There is no session data to save!"));
    EXPECT_EQ(rig.boxes.shown[0].title, QStringLiteral("Aurivo USB"));
    QTemporaryDir elsewhere;
    RecordASession(rig, QStringLiteral("calm"));
    rig.S().TxtSeshnComnts.text += QStringLiteral("\r\nadded after stop");
    SaveAs(rig, elsewhere.path(), QStringLiteral("abc"));
    const QDir out(elsewhere.path());
    EXPECT_EQ(ReadFile(out.filePath(QStringLiteral("abc.Tst"))), rig.Read(QStringLiteral("tempdata.tst")));
    EXPECT_EQ(ReadFile(out.filePath(QStringLiteral("abc.Txt"))), rig.Read(QStringLiteral("tempdata.txt")));
    const QByteArray header = ReadFile(out.filePath(QStringLiteral("abc.Hdr")));
    EXPECT_EQ(header, rig.Read(QStringLiteral("tempdata.hdr")));
    EXPECT_TRUE(header.contains("calm\r\nadded after stop\"\r\n"));
    EXPECT_EQ(rig.S().FileManagerFolder, elsewhere.path() + QLatin1Char('/'));
}

TEST(Replay, EntersTheReplayViewDrawsAndResumes) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    rig.Tick(); // the window's first arrangement
    const TwipsRect before = rig.host.geometry;
    const int weightsBefore = rig.S().PanelWeightSum;
    EnterReplay(rig, elsewhere.path(), QStringLiteral("one"));

    const MonitorState& s = rig.S();
    EXPECT_TRUE(s.ReplayActive);
    EXPECT_EQ(s.mnuDisplayOld.caption, QStringLiteral("Display another session"));
    EXPECT_EQ(s.mnuSaveFile.caption, QStringLiteral("Resume normal display"));
    EXPECT_FALSE(s.mnuSession.visible);
    EXPECT_FALSE(s.mnuDisplay.visible);
    EXPECT_FALSE(s.mnuSerlPort.visible);
    EXPECT_TRUE(s.mnuPixGraf.checked);
    EXPECT_TRUE(s.mnuComments.checked);
    EXPECT_FALSE(s.mnuBarGrf.checked || s.mnuSmlGraf.checked || s.mnuInternStatus.checked || s.mnuTimnStuf.checked);
    // The parameters strip leaves with the weight 3 of its toggle, though it came in with 2.
    EXPECT_EQ(s.PanelWeightSum, 28 - 2 - 2 - 3 - 3);
    EXPECT_TRUE(s.TxtSeshnComnts.locked);
    EXPECT_TRUE(s.TxtSeshnComnts.text.startsWith(QStringLiteral("one  Comments ...\r\nStart of Session : ")));
    EXPECT_TRUE(s.TxtSeshnComnts.text.contains(QStringLiteral("first run")));
    EXPECT_EQ(s.TickCountdown, 0);
    EXPECT_FALSE(s.lbl4Graf[0].caption.isEmpty());
    // The trace is drawn in the first list colour, cyan.
    bool cyan = false;
    for (int x = 0; x < s.pixXYgraf.ScaleWidth() && !cyan; ++x)
        for (int y = 0; y < s.pixXYgraf.ScaleHeight() && !cyan; ++y) cyan = s.pixXYgraf.PixelColour(x, y) == 0x00FFFF00u;
    EXPECT_TRUE(cyan);

    // Leaving restores the size, the six views and the three menus, and clears the comment box.
    rig.monitor->mnuSaveFile_Click();
    EXPECT_FALSE(s.ReplayActive);
    EXPECT_EQ(s.mnuSaveFile.caption, QStringLiteral("Save session"));
    EXPECT_EQ(s.mnuDisplayOld.caption, QStringLiteral("Display saved session"));
    EXPECT_TRUE(s.mnuSession.visible && s.mnuDisplay.visible && s.mnuSerlPort.visible);
    EXPECT_TRUE(s.mnuBarGrf.checked && s.mnuSmlGraf.checked && s.mnuInternStatus.checked && s.mnuTimnStuf.checked);
    EXPECT_EQ(s.PanelWeightSum, weightsBefore);
    EXPECT_EQ(rig.host.geometry.width, before.width);
    EXPECT_EQ(rig.host.geometry.height, before.height);
    EXPECT_TRUE(s.TxtSeshnComnts.text.isEmpty());
    EXPECT_FALSE(s.TxtSeshnComnts.locked);
    for (const auto& label : s.lbl4Graf) EXPECT_TRUE(label.caption.isEmpty());
}

TEST(Replay, ClosingDuringAReplayWritesThePreReplayViewsAndSize) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    rig.Tick();
    const TwipsRect before = rig.host.geometry;
    EnterReplay(rig, elsewhere.path(), QStringLiteral("two"));
    // 90 % of the screen, then snapped by the arrangement that ran during the wait.
    EXPECT_GT(rig.host.geometry.width, before.width);

    rig.monitor->Form_QueryUnload();
    Settings written;
    ASSERT_EQ(SettingsFile(rig.dir.path()).Read(written).status, SettingsFile::ReadResult::Status::Ok);
    for (const QString* v : {&written.PictureGraphVisible, &written.ColorGraphVisible, &written.BarGraphVisible,
                             &written.InternalStatusVisible, &written.SessionCommentsVisible, &written.TimeEtcVisible})
        EXPECT_EQ(*v, QStringLiteral("True"));
    EXPECT_EQ(written.WindowWidth, NumberRules::ToLong(before.width));
    EXPECT_EQ(written.WindowHeight, NumberRules::ToLong(before.height));
}

TEST(Replay, GraphClickChoosesAgainOnlyDuringAReplayAndAnEmptyChoiceLeavesIt) {
    MonitorRig rig;
    QTemporaryDir elsewhere;
    int openings = 0;
    rig.dialogs.fileManager = [&openings](FileManager&) { ++openings; };
    rig.S().fraSetStuff.visible = true;
    rig.monitor->pixXYgraf_Click();
    EXPECT_EQ(openings, 0);
    EXPECT_FALSE(rig.S().fraSetStuff.visible);
    EnterReplay(rig, elsewhere.path(), QStringLiteral("three"));
    ChooseForDisplay(rig, elsewhere.path(), {}); // the user cancels the new choice
    rig.monitor->pixXYgraf_Click();
    EXPECT_FALSE(rig.S().ReplayActive);
    EXPECT_EQ(rig.S().mnuSaveFile.caption, QStringLiteral("Save session"));
}
