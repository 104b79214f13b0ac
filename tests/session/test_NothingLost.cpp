// What a user does between sessions (save, replay, resume, cancel, close, start again) never loses a
// session, its comments, its name or its settings.

#include "FullDisk.h"
#include "MonitorRig.h"
#include "analysis/ResponseTable.h"
#include "core/NumberRules.h"
#include "recording/SavedSession.h"
#include "recording/UnsavedSessions.h"
#include "settings/SettingsFile.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

// A monitor on a folder of the test's choosing, configured before its start-up.
struct FolderRig {
    TestClock clock;
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    FakeSerialComm comm;
    Monitor monitor;
    explicit FolderRig(const QString& folder)
        : monitor(
              Monitor::Services{comm, clock, boxes, host, dialogs, folder, [](int) { return QString(); }}) {
        comm.addPort(2);
        comm.addPort(3);
    }
    void tick(int n, std::initializer_list<int> readings = {}) {
        for (int i = 0; i < n; ++i) {
            for (int r : readings)
                comm.deliver(PacketDecoder::makePacket(uint16_t(r), 4));
            clock.advance(200);
            monitor.onTick();
        }
    }
};

} // namespace

TEST(NothingLost, TheFileManagerOpensWithAnEmptyNameAndTheLastNamedSessionSurvivesACancel) {
    MonitorRig rig;
    Monitor& m = rig.m();
    QTemporaryDir out;
    rig.startAndSettle();
    m.choose(MenuItem::Stop);
    rig.chooseFiles(out.path(), {"abc"}, true);
    m.choose(MenuItem::SaveSession);
    ASSERT_TRUE(QFile::exists(QDir(out.path()).filePath("abc.Tst")));
    // Every opening starts with an empty name box: "abd" typed now saves as abd, not abcabd.
    QStringList namesAtOpening;
    rig.dialogs.fileManager = [&](FileManager& fm) {
        namesAtOpening << fm.name();
        fm.setName(fm.name() + "abd");
        fm.runFileOption();
    };
    m.choose(MenuItem::SaveSession);
    m.choose(MenuItem::DisplaySavedSessions);
    EXPECT_EQ(namesAtOpening, QStringList({"", ""}));
    EXPECT_TRUE(QFile::exists(QDir(out.path()).filePath("abd.Tst")));

    // A named session, then "Start and save as" cancelled: the last session keeps its name.
    rig.dialogs.saveAsNames = {"named", ""};
    m.choose(MenuItem::StartAs);
    rig.tick(10, {8000, 8000});
    m.choose(MenuItem::Stop);
    m.choose(MenuItem::StartAs);
    EXPECT_FALSE(m.sessions().running());
    EXPECT_TRUE(m.sessions().savedAs());
    EXPECT_EQ(m.sessions().sessionBaseName(), "named");
}

TEST(NothingLost, AnUnusableFolderIsToldOnceAndSessionsRunUnrecorded) {
    QTemporaryDir dir;
    writeFile(dir.filePath("file"), "");
    const QString folder = dir.filePath("file/aurivo-usb"); // a file is where its parent should be
    FolderRig rig(folder);
    rig.monitor.setFolderProblem("Not a directory");
    rig.monitor.startUp();
    ASSERT_EQ(rig.boxes.notices.size(), 1u);
    EXPECT_EQ(
        rig.boxes.notices[0].text,
        QStringLiteral("The program's folder %1 cannot hold files: Not a directory\r\nSessions are shown "
                       "but not recorded, and the settings are not kept.")
            .arg(folder));
    rig.boxes.shown.clear(); // the port question of a start without settings
    rig.monitor.choose(MenuItem::Start);
    EXPECT_TRUE(rig.monitor.sessions().running());
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_TRUE(rig.boxes.shown[0].text.startsWith(
        "The session is shown but not recorded:\r\ntempdata.hdr in " + folder + ": "));
    rig.tick(10, {8000, 8000});
    EXPECT_GT(rig.monitor.recorder().recordCount(), 1); // shown live all the same
}

TEST(NothingLost, SettingsBesideAnExecutableThatCannotKeepFilesAreReadAndWrittenToTheDataFolder) {
    QTemporaryDir data, executable;
    ASSERT_TRUE(writeSettingsFile(executable.path(), 7));
    FolderRig rig(data.path());
    rig.monitor.setSettingsFallbackFolder(executable.path());
    rig.monitor.startUp();
    EXPECT_EQ(rig.monitor.ports().commPortNumber(), 7);
    EXPECT_TRUE(rig.boxes.shown.empty()); // no "No initialzation file found"
    rig.monitor.prepareToClose();
    Settings written;
    ASSERT_EQ(SettingsFile(data.path()).read(written).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_EQ(written.commPortNumber, 7);
}

TEST(NothingLost, AFullDiskIsToldWithoutStoppingTheTick) {
    FullDisk disk(64 * 1024);
    ASSERT_TRUE(writeSettingsFile(disk.path()));
    FolderRig rig(disk.path());
    rig.monitor.startUp();
    rig.monitor.choose(MenuItem::Start);
    disk.fill();
    rig.tick(40, {8000, 8000, 8000, 8000});
    // The notice does not wait: the session clock went on and nothing was asked.
    ASSERT_EQ(rig.boxes.notices.size(), 1u);
    EXPECT_TRUE(rig.boxes.notices[0].text.startsWith("Recording stopped: "));
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(rig.monitor.sessions().clockText(), "00:00:08");
    disk.free();
}

TEST(NothingLost, ClosingDuringAReplayKeepsTheSizeAndViewsFromBeforeIt) {
    MonitorRig rig;
    Monitor& m = rig.m();
    rig.tick();
    m.choose(MenuItem::ShowPictureGraph); // hidden before the replay
    rig.tick(2);
    const TwipsRect before = rig.host.geometry;
    rig.startAndSettle();
    m.choose(MenuItem::Stop);
    QTemporaryDir out;
    rig.chooseFiles(out.path(), {"one"}, true);
    m.choose(MenuItem::SaveSession);
    rig.host.onEvents = [&rig] { rig.m().onTick(); };
    rig.chooseFiles(out.path(), {"one"});
    m.choose(MenuItem::DisplaySavedSessions);
    ASSERT_TRUE(m.replayShown());
    m.prepareToClose();
    Settings written;
    ASSERT_EQ(SettingsFile(rig.dir.path()).read(written).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_FALSE(written.views.pictureGraph);
    EXPECT_EQ(std::pair(written.windowWidth, written.windowHeight),
              std::pair(numbers::toLong(before.width), numbers::toLong(before.height)));
}

TEST(NothingLost, UnsavedSessionsAreKeptWholeAsSessionsToReplayTheLastTwenty) {
    MonitorRig rig;
    Monitor& m = rig.m();
    const QDir unsaved(rig.path("unsaved"));
    // A session that was saved is not kept again; one stopped and not saved is, with the comments typed
    // after the stop and its markers, when the next one starts.
    rig.startAndSettle();
    m.choose(MenuItem::Stop);
    QTemporaryDir out;
    rig.chooseFiles(out.path(), {"saved"}, true);
    m.choose(MenuItem::SaveSession);
    rig.startAndSettle();
    m.addMarker();
    rig.tick(2, {8000});
    m.choose(MenuItem::Stop);
    m.setComments(m.comments().text() + "\r\nafter the stop");
    const QByteArray readings = rig.read("tempdata.tst"), times = rig.read("tempdata.tim");
    ASSERT_TRUE(times.startsWith("reading,time_s\r\n1,"));
    // A session with responses has its response file (these readings have none: one is put in place).
    const QByteArray responses = QByteArray(ResponseTable::kHeaderLine) + "\r\n";
    writeFile(rig.path("tempdata.scr"), responses);
    const QString name = m.sessions().sessionStartDate().toString("yyyyMMdd-HHmmss");
    rig.startAndSettle();
    EXPECT_EQ(unsaved.entryList(QDir::Files), QStringList({name + ".Hdr", name + ".Mrk", name + ".Scr",
                                                           name + ".Tim", name + ".Tst", name + ".Txt"}));
    EXPECT_EQ(readFile(unsaved.filePath(name + ".Tst")), readings);
    EXPECT_EQ(readFile(unsaved.filePath(name + ".Tim")), times);
    EXPECT_EQ(readFile(unsaved.filePath(name + ".Scr")), responses);
    const SavedSession kept =
        SavedSession::load(unsaved.filePath(name + ".Tst"), unsaved.filePath(name + ".Hdr"));
    ASSERT_TRUE(kept.ok()) << kept.error.toStdString();
    EXPECT_TRUE(kept.comments.startsWith("Start of Session : "));
    EXPECT_TRUE(kept.comments.endsWith("\r\nafter the stop"));

    // Only the last twenty are kept.
    for (int i = 0; i < UnsavedSessions::kKept + 2; ++i) {
        rig.clock.advance(60000);
        rig.startAndSettle();
        m.choose(MenuItem::Stop);
    }
    m.prepareToClose();
    const QStringList left = unsaved.entryList({"*.Tst"}, QDir::Files, QDir::Name);
    ASSERT_EQ(left.size(), UnsavedSessions::kKept);
    EXPECT_FALSE(left.contains(name + ".Tst"));
    EXPECT_EQ(unsaved.entryList(QDir::Files).size(), 4 * UnsavedSessions::kKept); // no markers in those
}

TEST(NothingLost, AnUnsavedSessionThatCannotBeKeptIsNotOverwritten) {
    MonitorRig rig;
    Monitor& m = rig.m();
    writeFile(rig.path("unsaved"), "a file in the way");
    rig.startAndSettle();
    m.choose(MenuItem::Stop);
    const QByteArray readings = rig.read("tempdata.tst");
    m.choose(MenuItem::Start);
    EXPECT_FALSE(m.sessions().running());
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(
        rig.boxes.shown[0].text,
        QStringLiteral("The last session was not saved and could not be kept, so no new session was "
                       "started:\r\nunsaved in %1: not a folder\r\nSave it with File > Save session first.")
            .arg(rig.dir.path()));
    EXPECT_EQ(rig.read("tempdata.tst"), readings);
}

TEST(NothingLost, KeepingAnUnsavedSessionCutOffAtAnyStepIsFinishedAtTheNextStart) {
    for (int step = 0; step <= 5; ++step) {
        SCOPED_TRACE(step);
        MonitorRig rig;
        rig.startAndSettle();
        rig.m().addMarker();
        rig.tick(2, {8000});
        rig.m().choose(MenuItem::Stop);
        QMap<QString, QByteArray> files;
        for (const char* ext : {"tst", "txt", "hdr", "mrk", "tim"})
            files[ext] = rig.read(QStringLiteral("tempdata.") + ext);
        const QString name =
            UnsavedSessions::keep(rig.dir.path(), rig.m().sessions().sessionStartDate(), step).name;
        ASSERT_FALSE(name.isEmpty());
        rig.monitor.reset(); // the program ends there
        rig.monitor =
            std::make_unique<Monitor>(Monitor::Services{rig.comm, rig.clock, rig.boxes, rig.host, rig.dialogs,
                                                        rig.dir.path(), [](int) { return QString(); }});
        rig.monitor->startUp();
        const QDir unsaved(rig.path("unsaved"));
        EXPECT_EQ(unsaved.entryList(QDir::Files | QDir::Hidden).size(), 5);
        for (const char* ext : {"Tst", "Txt", "Hdr", "Mrk", "Tim"})
            EXPECT_EQ(readFile(unsaved.filePath(name + "." + ext)), files[QString(ext).toLower()]) << ext;
        EXPECT_FALSE(QFile::exists(rig.path("tempdata.hdr")));
        EXPECT_TRUE(rig.boxes.notices.empty());
    }
}

} // namespace aurivo
