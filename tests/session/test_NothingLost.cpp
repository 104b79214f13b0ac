// What a user does between sessions (save, replay, resume, cancel, close, start again) never loses a
// session, its comments, its name or its settings.

#include "FullDisk.h"
#include "MonitorRig.h"
#include "recording/UnsavedSessions.h"
#include "settings/SettingsFile.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace aurivo {

TEST(NothingLost, AReplayLeavesNoScaleBehindForTheNextSession) {
    MonitorRig rig;
    Monitor& m = rig.m();
    rig.tick(); // the first arrangement
    rig.startAndSettle(8000);
    rig.tick(20, {8000, 8000});
    m.sessions().stopSession();
    QTemporaryDir out;
    rig.chooseFiles(out.path(), {"one"}, true);
    m.saveSessionOrResume();
    // A replay of a session far from the next one's level, then back to the normal display.
    writeFile(QDir(out.path()).filePath("far.Tst"), QByteArray("\x10\x27\x00\x00\x10\x27\x00\x00", 8));
    writeFile(QDir(out.path()).filePath("far.Hdr"),
              "\"MinADC\"\r\n\" 10000\"\r\n\"MaxADC\"\r\n\" 10000\"\r\n\"x\"\r\n");
    rig.host.onEvents = [&rig] { rig.m().onTick(); };
    rig.chooseFiles(out.path(), {"far"});
    m.displaySavedSessions();
    ASSERT_TRUE(m.replayShown());
    m.saveSessionOrResume();
    rig.host.onEvents = nullptr;
    rig.tick(3);

    // The next session at the level of the first keeps the sensitivity it starts with.
    rig.startAndSettle(8000);
    rig.tick(40, {8000, 8000});
    EXPECT_EQ(m.parameters().sensitivityText(), "25");
    EXPECT_FALSE(m.graph().notice().visible);
}

} // namespace aurivo
