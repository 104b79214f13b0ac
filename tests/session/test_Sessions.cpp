#include "MonitorRig.h"
#include "TestFiles.h"
#include "analysis/ResponseTable.h"
#include "core/Colors.h"
#include "core/NumberRules.h"
#include "export/LoadedSession.h"
#include "recording/CrashRecovery.h"
#include "recording/SavedSession.h"
#include "recording/SessionHeaderFile.h"
#include "recording/SessionSource.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

// Enabled (1) or not: Start, Start as, Stop, Restart, Save, Display saved, port, filter size, jitter.
const QString kIdle = "110011111", kRunning = "001100000";
QString menusOf(const Monitor& m) {
    QString enabled;
    for (MenuItem i : {MenuItem::Start, MenuItem::StartAs, MenuItem::Stop, MenuItem::Restart,
                       MenuItem::SaveSession, MenuItem::DisplaySavedSessions, MenuItem::ChoosePort,
                       MenuItem::SetFilterSize, MenuItem::SetJitterRejection})
        enabled += m.menuItem(i).enabled ? '1' : '0';
    return enabled;
}

} // namespace

TEST(Sessions, ASensitivityFromTheSettingsFileIsShownAndWrittenBackAsRead) {
    MonitorRig rig;
    QByteArray text = settingsText();
    text.replace("\"25\"", "\"30.5\"");
    writeFile(rig.path("Aurivo_USB.ini"), text);
    rig.monitor.reset();
    rig.monitor =
        std::make_unique<Monitor>(Monitor::Services{rig.comm, rig.clock, rig.boxes, rig.host, rig.dialogs,
                                                    rig.dir.path(), [](int) { return QString(); }});
    rig.m().startUp();
    EXPECT_EQ(rig.m().parameters().sensitivity().text(), "30.5");
    EXPECT_EQ(rig.m().parameters().sensitivity().span(), 30.5); // the graph spans the fraction too
    rig.m().prepareToClose();
    EXPECT_TRUE(rig.read("Aurivo_USB.ini").contains("\"Sensitivty = \"\r\n\"30.5\"\r\n"));
}

TEST(Sessions, StartStopMenusPortElapsedTimeAndFilesWrittenEveryTick) {
    MonitorRig rig;
    EXPECT_EQ(menusOf(rig.m()), kIdle);
    rig.clock.dateTime =
        QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)); // elapsed time goes on past midnight
    rig.startAndSettle(8000);
    EXPECT_EQ(menusOf(rig.m()), kRunning);
    EXPECT_EQ(rig.comm.commPort(), 3);
    EXPECT_EQ(rig.comm.inBufferSize, 4096);
    EXPECT_EQ(rig.m().sessions().startText(), " 8000");
    EXPECT_EQ(rig.read("tempdata.hdr"), QByteArray()); // written only at stop

    rig.tick(1, {8000, 8010, 8020});
    EXPECT_EQ(rig.m().sessions().clockText(), "00:00:02");
    rig.tick(); // a silent tick right after data is no gap yet
    EXPECT_NE(rig.m().readings().shown().data.text, ReadingStatus::DataCell::Text::NoData);
    // Without a stop: what is on disk now is what a killed program would leave.
    const int records = int(rig.read("tempdata.tst").size() / 4);
    EXPECT_EQ(records, rig.m().recorder().recordCount() - 1);
    EXPECT_EQ(rig.read("tempdata.txt").count('\n'), records);
    rig.m().setComments("first\r\nsecond");
    rig.m().choose(MenuItem::Stop);
    EXPECT_EQ(menusOf(rig.m()), kIdle);
    const QByteArray header = rig.read("tempdata.hdr");
    EXPECT_TRUE(header.contains("\"\r\n\"Start of Session : ")) << header.constData();
    EXPECT_TRUE(header.endsWith("\r\nfirst\r\nsecond\"\r\n")) << header.constData();

    // A new session empties the reading files; Restart too, and the trace file goes on.
    rig.startAndSettle();
    rig.tick(1, {8000, 8000, 8000});
    const int traceBefore = rig.read("PlotData.txt").count('\n');
    EXPECT_EQ(rig.read("tempdata.tst").size() / 4, rig.m().recorder().recordCount() - 1);
    rig.m().choose(MenuItem::Restart);
    EXPECT_TRUE(rig.m().sessions().running());
    EXPECT_EQ(rig.read("tempdata.tst").size(), 0);
    EXPECT_EQ(rig.read("tempdata.txt").size(), 0);
    rig.tick(1, {8000, 8000, 8000});
    EXPECT_GT(rig.read("PlotData.txt").count('\n'), traceBefore);
    EXPECT_EQ(rig.m().sessions().clockText(), "00:00:00");
    // Closing during a session stops it: the header has the comments, their quotes as single quotes.
    rig.m().setComments("a \"good\" run");
    QFile::remove(rig.path("Aurivo_USB.ini"));
    rig.m().prepareToClose();
    // Both stopped sessions were never saved: each was kept in unsaved/ under its start, the first when
    // the next one started, the second when the program closed.
    const QDir unsaved(rig.path("unsaved"));
    const QStringList kept = unsaved.entryList({"*.Hdr"}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_TRUE(readFile(unsaved.filePath(kept[0])).endsWith("\r\nfirst\r\nsecond\"\r\n"));
    EXPECT_TRUE(readFile(unsaved.filePath(kept[1])).endsWith("a 'good' run\"\r\n"));
    EXPECT_FALSE(QFile::exists(rig.path("tempdata.tst")));
    EXPECT_TRUE(QFile::exists(rig.path("Aurivo_USB.ini")));
    EXPECT_FALSE(rig.comm.portOpen());

    // A port that does not open is told at once and stops the session; no timeout follows.
    rig.comm.addHeldPort(3);
    rig.m().choose(MenuItem::Start);
    EXPECT_EQ(menusOf(rig.m()), kIdle);
    rig.tick(200);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text,
              QStringLiteral("The sensor's port COM3 cannot be opened: in use by another "
                             "program.\r\nThe session was stopped."));
}

TEST(Sessions, NoDataTimeoutOnThe161stSilentTickOnce) {
    MonitorRig rig;
    rig.m().choose(MenuItem::Start);
    // Ticks that arrive while the message is open must not show a second one or stop twice.
    rig.boxes.whileOpen = [&] { rig.tick(3); };
    rig.tick(1, {8000}); // silence counts from the last data; more than half a second of it turns red
    for (int silent = 1; silent <= 4; ++silent) { // the data tick's readings are seen on the next tick
        rig.tick();
        EXPECT_EQ(rig.m().readings().shown().data.light,
                  silent < 4 ? ReadingStatus::DataLight::Good : ReadingStatus::DataLight::Bad);
    }
    rig.tick(156);
    EXPECT_EQ(rig.boxes.count("Serial port timeout"), 0);
    EXPECT_EQ(rig.m().readings().shown().data.text, ReadingStatus::DataCell::Text::NoData);
    EXPECT_EQ(rig.m().readings().shown().data.light, ReadingStatus::DataLight::Bad);
    rig.tick();
    ASSERT_EQ(rig.boxes.count("Serial port timeout"), 1);
    EXPECT_EQ(rig.boxes.shown.back().text, "No data detected on serial port .\r\nSession Stopped !!");
    EXPECT_FALSE(rig.m().sessions().running());
    EXPECT_EQ(rig.m().sessions().noDataTicks(), 0);
}

TEST(Sessions, StartValueSettlesOnTheSeventhAgreeingRound) {
    MonitorRig rig; // filter size 3, jitter 100
    const SessionControl& sessions = rig.m().sessions();
    rig.m().choose(MenuItem::Start);
    rig.tick(1, {8000}); // replaces the candidate
    rig.tick(6, {8050});
    EXPECT_TRUE(sessions.awaitingStartValue());
    rig.tick(1, {7600}); // a jump replaces the candidate but keeps the count
    rig.tick(1, {7620});
    EXPECT_FALSE(sessions.awaitingStartValue());
    EXPECT_EQ(sessions.startText(), " 7600");
}

TEST(Sessions, StartAndSaveAsTakesFileNamesOnlyAndAsksBeforeOverwriting) {
    MonitorRig rig;
    const SessionControl& sessions = rig.m().sessions();
    // Cancel, then a name the name rule refuses: nothing starts and nothing is written.
    rig.dialogs.saveAsNames = {QString(), "../x"};
    rig.m().choose(MenuItem::StartAs);
    rig.m().choose(MenuItem::StartAs);
    EXPECT_FALSE(sessions.running());
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(QDir(rig.dir.path()).entryList(QDir::Files), QStringList{"Aurivo_USB.ini"});

    rig.boxes.shown.clear();
    rig.dialogs.saveAsNames = {"test"};
    rig.m().choose(MenuItem::StartAs);
    EXPECT_TRUE(sessions.running());
    rig.tick(1, {8000});
    rig.m().choose(MenuItem::Stop);
    EXPECT_FALSE(rig.m().menuItem(MenuItem::SaveSession).enabled); // a named session is already saved

    // The same name again (in another case) asks the file manager's question; No starts nothing.
    const QByteArray header = rig.read("test.hdr");
    rig.boxes.answers = {MessageBoxes::Answer::No, MessageBoxes::Answer::Yes};
    rig.dialogs.saveAsNames = {"TEST", "test"};
    rig.m().choose(MenuItem::StartAs);
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(
        rig.boxes.shown[0].text,
        QStringLiteral("File already exists !\rThe session \"test\" in %1\rDo you wish to overwrite it?")
            .arg(rig.dir.path()));
    EXPECT_EQ(rig.boxes.shown[0].buttons, MessageBoxes::Buttons::YesNoDefaultNo);
    EXPECT_FALSE(sessions.running());
    EXPECT_EQ(rig.read("test.hdr"), header);
    rig.m().choose(MenuItem::StartAs);
    EXPECT_TRUE(sessions.running());
    rig.m().choose(MenuItem::Stop);

    // Session files that cannot be created (a folder in the way) are told once; the session runs.
    QDir(rig.dir.path()).mkdir("tempdata.hdr");
    rig.boxes.shown.clear();
    rig.startAndSettle();
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_TRUE(rig.boxes.shown[0].text.contains("tempdata.hdr"));
    EXPECT_TRUE(sessions.running());
    EXPECT_TRUE(rig.m().readings().shown().ohms);
    rig.m().choose(MenuItem::Stop);
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
}

TEST(Sessions, StartUpKeepsASessionCutOffByACrashEvenWhenItsRecoveryWasKilledAndDiscardsAStoppedOne) {
    const QByteArray r7990("\x36\x1f\x00\x00", 4), r8010("\x4a\x1f\x00\x00", 4), zero(4, '\0');
    const QByteArray tst = r8010 + zero + r7990, txt = "8010,30\r\n0,35\r\n7990,40\r\n";
    const QDateTime lastReading(QDate(2026, 12, 6), QTime(9, 59, 58));
    const struct {
        QByteArray tst, txt, hdr;
        bool taken;   // a session of the recovered name exists already
        QString name; // the recovered session's name; empty: discarded
        int killedAt; // the first start-up's recovery ends after this step as if killed (0: not)
    } rows[] = {
        {tst + r8010 + "\x01\x02", txt + "80", QByteArray(), true, "recovered-20261206-095958-2", 0},
        {tst, txt, "\"MinADC\"\r\n\" 7990\"\r\n\"MaxADC\"\r\n\" 8010\"\r\n\"c\"\r\n", false, QString(), 0},
        {tst + r8010 + "\x01\x02", txt + "80", QByteArray(), false, "recovered-20261206-095958", 1},
        {tst, txt, QByteArray(), false, "recovered-20261206-095958", 2},
        {tst, txt, QByteArray(), false, "recovered-20261206-095958", 3},
        {tst, txt, QByteArray(), false, "recovered-20261206-095958", 4},
        {tst, txt, QByteArray(), false, "recovered-20261206-095958", 5},
        {tst, txt, QByteArray(), true, "recovered-20261206-095958-2", 6},
        {tst, txt, QByteArray(), false, "recovered-20261206-095958", 7},
        {tst, txt, QByteArray(), false, "recovered-20261206-095958", 8},
    };
    const QByteArray markers = "time_s,reading,label\r\n0.200,1,Marker 1\r\n";
    const QByteArray times = "reading,time_s\r\n1,1.400\r\n3,1.600\r\n";
    const QByteArray responses = QByteArray(ResponseTable::kHeaderLine) + "\r\n";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name.toStdString() + " killed after step " + std::to_string(row.killedAt));
        MonitorRig rig;
        const auto put = [&](const char* name, const QByteArray& bytes) { writeFile(rig.path(name), bytes); };
        for (auto [name, bytes] : {std::pair{"tempdata.tst", row.tst},
                                   {"tempdata.txt", row.txt},
                                   {"PlotData.txt", QByteArray("\r\n")},
                                   {"tempdata.mrk", markers},
                                   {"tempdata.tim", times},
                                   {"tempdata.scr", responses}})
            put(name, bytes);
        if (!row.hdr.isNull()) put("tempdata.hdr", row.hdr);
        if (row.taken) put("Recovered-20261206-095958.Tst", "other");
        QFile file(rig.path("tempdata.tst"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(lastReading, QFileDevice::FileModificationTime);
        file.close();
        if (row.killedAt > 0) static_cast<void>(CrashRecovery::recover(rig.dir.path(), row.killedAt));

        ScriptedBoxes boxes;
        Monitor next({rig.comm, rig.clock, boxes, rig.host, rig.dialogs, rig.dir.path(),
                      [](int) { return QString(); }});
        next.startUp();
        EXPECT_TRUE(boxes.shown.empty()); // nothing blocks start-up
        for (const char* name : {"tempdata.tst", "tempdata.txt", "tempdata.hdr", "tempdata.mrk",
                                 "tempdata.tim", "tempdata.scr", "PlotData.txt", CrashRecovery::kJournalName})
            EXPECT_EQ(QFileInfo::exists(rig.path(QString::fromLatin1(name))),
                      row.name.isEmpty() && QByteArray(name) == "tempdata.mrk")
                << name;
        ASSERT_EQ(boxes.notices.size(), row.name.isEmpty() ? 0u : 1u);
        if (row.name.isEmpty()) continue;
        EXPECT_TRUE(boxes.notices[0].text.contains(QLatin1Char('"') + row.name + QLatin1Char('"')));
        EXPECT_TRUE(boxes.notices[0].text.contains(" 3 readings"));
        EXPECT_EQ(rig.read(row.name + ".tst"), tst);
        EXPECT_EQ(rig.read(row.name + ".txt"), txt);
        EXPECT_EQ(rig.read(row.name + ".mrk"), markers); // the markers and times go with the session
        EXPECT_EQ(rig.read(row.name + ".tim"), times);
        EXPECT_EQ(rig.read(row.name + ".scr"), responses);
        // The start as a stop writes it: the last reading less 3 readings at 20 a second (the file's
        // birth, now, is after its last change and cannot be its start).
        EXPECT_EQ(rig.read(row.name + ".hdr"),
                  "\"MinADC\"\r\n\" 7990\"\r\n\"MaxADC\"\r\n\" 8010\"\r\n\"Start of Session : " +
                      SessionControl::generalDateText(lastReading.addMSecs(-150)).toUtf8() +
                      "\r\nRecovered after the program ended unexpectedly\"\r\n");
        EXPECT_EQ(
            QDir(rig.dir.path()).entryList({"recovered-*.tst"}, QDir::Files | QDir::CaseSensitive).size(), 1);
    }
}

TEST(Sessions, ANamedSessionCutOffIsCompletedInPlaceAndReplaysAndExportsWithItsStart) {
    MonitorRig rig;
    const QString record = rig.path(QString::fromLatin1(CrashRecovery::kRunningName));
    // A named session stopped as usual leaves no record of running behind.
    rig.dialogs.saveAsNames = {"done"};
    rig.m().choose(MenuItem::StartAs);
    EXPECT_TRUE(QFileInfo::exists(record));
    rig.tick(3, {8000});
    rig.m().choose(MenuItem::Stop);
    EXPECT_FALSE(QFileInfo::exists(record));

    rig.dialogs.saveAsNames = {"test"};
    rig.m().choose(MenuItem::StartAs);
    rig.tick(20, {8000, 8150});
    const QByteArray recorded = rig.read("test.tst");
    const qsizetype readings = recorded.size() / 4;
    ASSERT_GT(readings, 0);
    int32_t lowest = 16383, highest = 0;
    for (qsizetype i = 0; i < readings; ++i) {
        lowest = std::min(lowest, qFromLittleEndian<int32_t>(recorded.constData() + 4 * i));
        highest = std::max(highest, qFromLittleEndian<int32_t>(recorded.constData() + 4 * i));
    }
    const auto restart = [&rig] {
        rig.monitor.reset(); // the program ends without a stop
        rig.monitor =
            std::make_unique<Monitor>(Monitor::Services{rig.comm, rig.clock, rig.boxes, rig.host, rig.dialogs,
                                                        rig.dir.path(), [](int) { return QString(); }});
        rig.monitor->startUp();
    };
    // A folder in the header's place: the header cannot be completed, and the name waits in the record,
    // also through a later named session, until it can.
    QFile::remove(rig.path("test.hdr"));
    QDir(rig.dir.path()).mkdir("test.hdr");
    rig.boxes.notices.clear();
    restart();
    ASSERT_EQ(rig.boxes.notices.size(), 1u);
    EXPECT_TRUE(rig.boxes.notices[0].text.contains(QStringLiteral("\"test\"")) &&
                rig.boxes.notices[0].text.contains(QStringLiteral("could not be completed")));
    rig.dialogs.saveAsNames = {"other"};
    rig.m().choose(MenuItem::StartAs);
    rig.tick(3, {8000});
    rig.m().choose(MenuItem::Stop);
    EXPECT_EQ(rig.read(CrashRecovery::kRunningName), "test\r\n");
    QDir(rig.dir.path()).rmdir("test.hdr");
    rig.boxes.notices.clear();
    restart();
    ASSERT_EQ(rig.boxes.notices.size(), 1u);
    EXPECT_TRUE(rig.boxes.notices[0].text.contains(QStringLiteral("session \"test\"")));
    const QStringList items = SessionHeaderFile::parseBytes(rig.read("test.hdr"), 6);
    ASSERT_EQ(items.size(), 5);
    // The range of the readings recorded, as the replay and the export take it.
    EXPECT_EQ(items[1], numbers::numberText(lowest));
    EXPECT_EQ(items[3], numbers::numberText(highest));
    EXPECT_TRUE(items[4].endsWith(QStringLiteral("\r\nRecovered after the program ended unexpectedly")));
    EXPECT_EQ(rig.read("test.tst"), recorded);
    EXPECT_FALSE(QFileInfo::exists(record));
    // The replay and the export take it, the export with the day it was recorded (not 1985).
    EXPECT_TRUE(SavedSession::load(rig.path("test.tst"), rig.path("test.hdr")).ok());
    LoadedSession exported;
    QString error;
    ASSERT_TRUE(LoadedSession::load(SessionSource::fromPath(rig.path("test.tst")), exported, error))
        << error.toStdString();
    EXPECT_LE(std::abs(exported.start.secsTo(QDateTime::currentDateTime())), 120);
    // Told once: the next start finds the session whole.
    restart();
    EXPECT_EQ(rig.boxes.notices.size(), 1u);
}

TEST(Sessions, ARecoveredSessionStartsAtItsReadingFilesBirthWhenItsReadingsFitAfterIt) {
    // The readings written 30 s after the file was made fit; 2 hours after, the file held an earlier
    // session, and the start is its last change less 4 readings at 20 a second.
    for (const auto& [later, fromBirth] : {std::pair{30, true}, {7200, false}}) {
        QTemporaryDir dir;
        const QString tst = QDir(dir.path()).filePath("tempdata.tst");
        writeFile(tst, QByteArray("\x40\x1f\x00\x00", 4).repeated(4));
        const QDateTime born = QFileInfo(tst).birthTime();
        if (!born.isValid()) GTEST_SKIP() << "the file system keeps no birth times";
        QFile file(tst);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(born.addSecs(later), QFileDevice::FileModificationTime);
        file.close();
        const CrashRecovery::Outcome outcome = CrashRecovery::recover(dir.path());
        ASSERT_FALSE(outcome.name.isEmpty());
        const QStringList items =
            SessionHeaderFile::parseBytes(readFile(QDir(dir.path()).filePath(outcome.name + ".hdr")), 5);
        ASSERT_EQ(items.size(), 5);
        EXPECT_EQ(SessionHeaderFile::startLine(items[4]),
                  "Start of Session : " +
                      SessionControl::generalDateText(fromBirth ? born : born.addSecs(later).addMSecs(-200)))
            << later;
        // Without a text file every reading is kept, and an empty text file goes with them.
        EXPECT_EQ(readFile(QDir(dir.path()).filePath(outcome.name + ".tst")).size(), 16);
        EXPECT_TRUE(QFileInfo(QDir(dir.path()).filePath(outcome.name + ".txt")).isFile());
    }
}

TEST(Tick, SizeWatchAndPictureToggleChooseHowTheNextArrangementSizesTheWindow) {
    MonitorRig rig;
    rig.tick(); // first arrangement
    TwipsRect& g = rig.host.geometry;
    g.width += 900; // the right edge dragged: width-driven
    rig.tick();
    EXPECT_EQ(rig.m().arranger().layoutState(), LayoutState::FollowWidth);
    EXPECT_NEAR(g.width, g.height * 4 / 3, 1);
    // Hiding the picture shrinks the window a step; showing it keeps the height or takes the larger minimum.
    const double step = rig.host.screenHeight / 32, minimum = rig.host.screenHeight / 2;
    for (double height : {g.height + 500, 10.0}) {
        g.height = height; // the bottom edge dragged: height-driven
        rig.tick();
        EXPECT_EQ(rig.m().arranger().layoutState(), LayoutState::FollowHeight);
        const double before = g.height;
        rig.m().choose(MenuItem::ShowPictureGraph);
        rig.tick();
        const double hidden = g.height;
        EXPECT_NEAR(hidden, before - step, 1) << height;
        rig.m().choose(MenuItem::ShowPictureGraph);
        rig.tick();
        EXPECT_NEAR(g.height, std::max(hidden, minimum), 1) << height;
    }
}

} // namespace aurivo
