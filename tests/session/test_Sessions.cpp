#include "MonitorRig.h"

#include <array>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

QList<QByteArray> lines(const QByteArray& data) {
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// Enabled states of Start, Start as, Stop, Restart, Save, Display saved, port, filter size and jitter.
using Menus = std::array<bool, 9>;
const Menus kIdle{true, true, false, false, true, true, true, true, true};
const Menus kRunning{false, false, true, true, false, false, false, false, false};

Menus menusOf(const Monitor& m) {
    const MenuItem items[9] = {MenuItem::Start,      MenuItem::StartAs,  MenuItem::Stop,
                               MenuItem::Restart,    MenuItem::SaveFile, MenuItem::DisplayOld,
                               MenuItem::SetComPort, MenuItem::SetFSize, MenuItem::SetSSF};
    Menus enabled{};
    for (size_t i = 0; i < 9; ++i)
        enabled[i] = m.menuItem(items[i]).enabled;
    return enabled;
}

} // namespace

TEST(Sessions, StartStopMenusPortAndFiles) {
    MonitorRig rig;
    EXPECT_EQ(menusOf(rig.m()), kIdle);

    rig.startAndSettle(8000);
    EXPECT_EQ(menusOf(rig.m()), kRunning);
    EXPECT_EQ(rig.comm.commPort(), 3);
    EXPECT_EQ(rig.comm.inBufferSize, 4096);
    EXPECT_EQ(rig.m().parameterLabel(5).backColor, 0x80000013u);
    EXPECT_EQ(rig.m().sessions().startText(), QStringLiteral(" 8000"));
    EXPECT_EQ(rig.read(QStringLiteral("tempdata.hdr")), QByteArray()); // written only at stop

    rig.tickWith({8000, 8010, 8020});
    rig.m().comments().setText(QStringLiteral("first\r\nsecond"));
    rig.monitor->sessions().stopSession();
    EXPECT_EQ(menusOf(rig.m()), kIdle);
    EXPECT_FALSE(rig.comm.portOpen());
    EXPECT_EQ(rig.m().parameterLabel(5).toolTip, QStringLiteral("Click here to select port number"));

    const QList<QByteArray> header = lines(rig.read(QStringLiteral("tempdata.hdr")));
    ASSERT_GE(header.size(), 7);
    EXPECT_EQ(header[0], QByteArray("\"MinADC\"\r"));
    EXPECT_EQ(header[2], QByteArray("\"MaxADC\"\r"));
    EXPECT_TRUE(header[4].startsWith("\"Start of Session : ")) << header[4].constData();
    EXPECT_EQ(header[5], QByteArray("first\r"));
    EXPECT_EQ(header[6], QByteArray("second\"\r"));
    EXPECT_TRUE(rig.m().comments().text().startsWith(QStringLiteral("Start of Session : ")));

    // Every stored reading is one 4-byte record and one text line, in step.
    const QByteArray tst = rig.read(QStringLiteral("tempdata.tst"));
    const QList<QByteArray> txt = lines(rig.read(QStringLiteral("tempdata.txt")));
    ASSERT_GT(tst.size(), 0);
    EXPECT_EQ(tst.size() % 4, 0);
    EXPECT_EQ(txt.size(), tst.size() / 4);
    EXPECT_EQ(txt.first(), QByteArray("8000,30\r"));
}

TEST(Sessions, NoDataTimeoutOnThe161stSilentTickOnce) {
    MonitorRig rig;
    rig.monitor->sessions().startSession();
    // Ticks that arrive while the message is open must not show a second one or stop twice.
    rig.boxes.whileOpen = [&] { rig.tick(3); };
    rig.tick(160);
    EXPECT_EQ(rig.boxes.count(QStringLiteral("Serial port timeout")), 0);
    EXPECT_EQ(rig.m().readings().labels()[7].caption, QStringLiteral("No Data"));
    EXPECT_EQ(rig.m().readings().labels()[7].backColor, 0x008080FFu);
    rig.tick();
    ASSERT_EQ(rig.boxes.count(QStringLiteral("Serial port timeout")), 1);
    EXPECT_EQ(rig.boxes.shown.back().text,
              QStringLiteral("No data detected on serial port .\r\nSession Stopped !!"));
    EXPECT_FALSE(rig.m().sessions().running());
    EXPECT_EQ(rig.m().sessions().noDataTicks(), 0);
    rig.boxes.whileOpen = nullptr;
    rig.tick(5);
    EXPECT_EQ(rig.boxes.count(QStringLiteral("Serial port timeout")), 1);
}

TEST(Sessions, StartAndSaveAsTakesFileNamesOnlyAndAsksBeforeOverwriting) {
    MonitorRig rig;
    rig.dialogs.saveAsNames = {QString()};
    rig.monitor->sessions().startSessionAs();
    EXPECT_FALSE(rig.m().sessions().running());
    EXPECT_EQ(menusOf(rig.m()), kIdle);

    // A name the name rule refuses starts nothing and writes nothing.
    rig.dialogs.saveAsNames = {QStringLiteral("../x")};
    rig.monitor->sessions().startSessionAs();
    EXPECT_FALSE(rig.m().sessions().running());
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(QDir(rig.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Aurivo_USB.ini")});

    rig.boxes.shown.clear();
    rig.dialogs.saveAsNames = {QStringLiteral("test")};
    rig.monitor->sessions().startSessionAs();
    EXPECT_TRUE(rig.m().sessions().running());
    EXPECT_TRUE(rig.boxes.shown.empty());
    for (const char* name : {"test.hdr", "test.tst", "test.txt", "PlotData.txt"})
        EXPECT_TRUE(QFile::exists(rig.path(QString::fromLatin1(name)))) << name;
    rig.tickWith({8000});
    rig.monitor->sessions().stopSession();
    EXPECT_FALSE(rig.m().menuItem(MenuItem::SaveFile).enabled); // a named session is already saved

    // The same name again (in another case) asks the file manager's question; No starts nothing.
    const QByteArray header = rig.read(QStringLiteral("test.hdr"));
    rig.boxes.answers = {MessageBoxes::Answer::No};
    rig.dialogs.saveAsNames = {QStringLiteral("TEST")};
    rig.monitor->sessions().startSessionAs();
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, QStringLiteral("File already exists !\rDo you wish to overwrite it?"));
    EXPECT_EQ(rig.boxes.shown[0].buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_FALSE(rig.m().sessions().running());
    EXPECT_EQ(rig.read(QStringLiteral("test.hdr")), header);
    rig.boxes.answers = {MessageBoxes::Answer::Yes};
    rig.dialogs.saveAsNames = {QStringLiteral("test")};
    rig.monitor->sessions().startSessionAs();
    EXPECT_TRUE(rig.m().sessions().running());
}

TEST(Sessions, StartUpKeepsASessionCutOffByACrashAndDiscardsAStoppedOne) {
    struct Row {
        const char* what;
        QByteArray tst, txt, hdr;
        bool taken;   // a session of the recovered name exists already
        QString name; // the recovered session's name; empty: discarded
        QByteArray recoveredTst, recoveredTxt;
    };
    const QByteArray r7990("\x36\x1f\x00\x00", 4), r8010("\x4a\x1f\x00\x00", 4), zero(4, '\0');
    const QByteArray threeTst = r8010 + zero + r7990, threeTxt = "8010,30\r\n0,35\r\n7990,40\r\n";
    const Row rows[] = {
        {"killed", threeTst, threeTxt, "", false, QStringLiteral("recovered-20261206-095958"), threeTst,
         threeTxt},
        {"killed inside a record and a line", threeTst + r8010 + "\x01\x02", threeTxt + "80", QByteArray(),
         true, QStringLiteral("recovered-20261206-095958-2"), threeTst, threeTxt},
        {"stopped",
         threeTst,
         threeTxt,
         "\"MinADC\"\r\n\" 7990\"\r\n\"MaxADC\"\r\n\" 8010\"\r\n\"c\"\r\n",
         false,
         QString(),
         {},
         {}},
        {"no readings", QByteArray(), QByteArray(), QByteArray(), false, QString(), {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MonitorRig rig;
        const auto put = [&](const char* name, const QByteArray& bytes) {
            QFile f(rig.path(QString::fromLatin1(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        put("tempdata.tst", row.tst);
        put("tempdata.txt", row.txt);
        if (!row.hdr.isNull()) put("tempdata.hdr", row.hdr);
        put("PlotData.txt", "\r\n");
        const QByteArray markers = "time_s,reading,label\r\n0.200,1,Marker 1\r\n";
        put("tempdata.mrk", markers);
        if (row.taken) put("Recovered-20261206-095958.Tst", "other");
        QFile tst(rig.path(QStringLiteral("tempdata.tst")));
        ASSERT_TRUE(tst.open(QIODevice::ReadWrite));
        tst.setFileTime(QDateTime(QDate(2026, 12, 6), QTime(9, 59, 58)), QFileDevice::FileModificationTime);
        tst.close();

        ScriptedBoxes boxes;
        Monitor next({rig.comm, rig.clock, boxes, rig.host, rig.dialogs, rig.dir.path(),
                      [](int) { return QString(); }});
        next.startUp();
        EXPECT_TRUE(boxes.shown.empty()); // nothing blocks start-up
        for (const char* name : {"tempdata.tst", "tempdata.txt", "tempdata.hdr", "PlotData.txt"})
            EXPECT_FALSE(QFile::exists(rig.path(QString::fromLatin1(name)))) << name;
        if (row.name.isEmpty()) {
            EXPECT_TRUE(boxes.notices.empty());
            continue;
        }
        ASSERT_EQ(boxes.notices.size(), 1u);
        EXPECT_TRUE(boxes.notices[0].text.contains(QLatin1Char('"') + row.name + QLatin1Char('"')))
            << boxes.notices[0].text.toStdString();
        EXPECT_EQ(rig.read(row.name + QStringLiteral(".tst")), row.recoveredTst);
        EXPECT_EQ(rig.read(row.name + QStringLiteral(".txt")), row.recoveredTxt);
        EXPECT_EQ(rig.read(row.name + QStringLiteral(".mrk")), markers); // the markers go with the session
        EXPECT_EQ(rig.read(row.name + QStringLiteral(".hdr")),
                  QByteArray("\"MinADC\"\r\n\" 7990\"\r\n\"MaxADC\"\r\n\" 8010\"\r\n"
                             "\"Recovered after the program ended unexpectedly\"\r\n"));
    }
}

TEST(Sessions, RestartDiscardsTheSessionButKeepsTheTraceFileOpen) {
    MonitorRig rig;
    rig.startAndSettle();
    rig.tickWith({8000, 8000, 8000});
    const int traceBefore = rig.read(QStringLiteral("PlotData.txt")).count('\n');
    ASSERT_GT(traceBefore, 0);
    rig.monitor->sessions().restartSession();
    EXPECT_TRUE(rig.m().sessions().running());
    EXPECT_EQ(rig.read(QStringLiteral("tempdata.tst")).size(), 0);
    EXPECT_EQ(rig.read(QStringLiteral("tempdata.txt")).size(), 0);
    rig.tickWith({8000, 8000, 8000});
    rig.monitor->sessions().stopSession();
    EXPECT_GE(rig.read(QStringLiteral("PlotData.txt")).count('\n'), traceBefore);
    EXPECT_EQ(rig.m().parameterLabel(1).caption.left(5), QStringLiteral("00:00"));
}

TEST(Sessions, ANewSessionEmptiesItsReadingFile) {
    MonitorRig rig;
    rig.startAndSettle();
    for (int i = 0; i < 5; ++i)
        rig.tickWith({8000, 8000, 8000, 8000});
    rig.monitor->sessions().stopSession();
    const int longer = rig.read(QStringLiteral("tempdata.tst")).size();
    rig.monitor->sessions().startSession();
    rig.tickWith({8000});
    rig.monitor->sessions().stopSession();
    const QByteArray tst = rig.read(QStringLiteral("tempdata.tst"));
    EXPECT_LT(tst.size(), longer);
    EXPECT_EQ(tst.size() / 4, lines(rig.read(QStringLiteral("tempdata.txt"))).size());
}

TEST(Sessions, ClosingDuringASessionWritesTheHeaderWithTheCommentsQuotesAsSingleQuotes) {
    MonitorRig rig;
    rig.startAndSettle();
    rig.m().comments().setText(QStringLiteral("a \"good\" run, typed before closing"));
    rig.monitor->prepareToClose();
    const QByteArray header = rig.read(QStringLiteral("tempdata.hdr"));
    EXPECT_TRUE(header.startsWith("\"MinADC\"\r\n"));
    EXPECT_TRUE(header.contains("a 'good' run, typed before closing\"\r\n")) << header.constData();
    EXPECT_TRUE(QFile::exists(rig.path(QStringLiteral("Aurivo_USB.ini"))));
}

TEST(Sessions, SessionFilesThatCannotBeCreatedAreReportedOnceAndTheSessionRuns) {
    MonitorRig rig;
    // A folder where the header should be makes that file impossible to create, even for root.
    QDir(rig.dir.path()).mkdir(QStringLiteral("tempdata.hdr"));
    rig.monitor->sessions().startSession();
    ASSERT_EQ(rig.boxes.count(QStringLiteral("Aurivo USB")), 1);
    EXPECT_TRUE(rig.boxes.shown.back().text.contains(QStringLiteral("tempdata.hdr")));
    EXPECT_TRUE(rig.m().sessions().running());
    for (int i = 0; i < 10; ++i)
        rig.tickWith({8000, 8000});
    EXPECT_FALSE(rig.m().readings().labels()[3].caption.isEmpty());
    rig.monitor->sessions().stopSession();
    EXPECT_EQ(rig.boxes.count(QStringLiteral("Aurivo USB")), 1);
}

TEST(Sessions, ElapsedTimeKeepsCountingPastMidnight) {
    MonitorRig rig;
    rig.clock.dateTime = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 50));
    rig.monitor->sessions().startSession();
    for (int i = 0; i < 100; ++i)
        rig.tickWith({8000}); // 20 s
    EXPECT_EQ(rig.m().parameterLabel(1).caption, QStringLiteral("00:00:20"));
    EXPECT_NE(rig.m().readings().labels()[7].caption, QStringLiteral("No Data"));
}

TEST(Sessions, RecordedReadingsReachTheFilesEveryTick) {
    MonitorRig rig;
    rig.startAndSettle();
    rig.tickWith({8000, 8000, 8000});
    // Without a stop: what is on disk now is what a killed program would leave.
    const int records = rig.read(QStringLiteral("tempdata.tst")).size() / 4;
    EXPECT_GT(records, 0);
    EXPECT_EQ(records, rig.m().graph().state().recordCount - 1);
    EXPECT_EQ(lines(rig.read(QStringLiteral("tempdata.txt"))).size(), records);
}

TEST(Sessions, StartValueSettlesOnTheSeventhAgreeingRound) {
    MonitorRig rig;
    rig.monitor->sessions().startSession();
    rig.tickWith({8000}); // replaces the candidate (0 in the first session)
    for (int i = 0; i < 6; ++i)
        rig.tickWith({8050});
    EXPECT_TRUE(rig.m().sessions().awaitingStartValue());
    rig.tickWith({7600}); // a jump replaces the candidate but keeps the count
    EXPECT_EQ(rig.m().sessions().startCandidate(), 7600);
    rig.tickWith({7620});
    EXPECT_FALSE(rig.m().sessions().awaitingStartValue());
    EXPECT_EQ(rig.m().sessions().startText(), QStringLiteral(" 7600"));
}

TEST(Tick, SizeWatchChoosesHowTheNextArrangementSizesTheWindow) {
    MonitorRig rig;
    rig.tick(); // first arrangement
    ASSERT_EQ(rig.m().arranger().layoutState(), 2);
    const TwipsRect arranged = rig.host.geometry;

    rig.host.geometry.width = arranged.width + 900; // the right edge dragged
    rig.host.geometry.height = arranged.height + 100;
    rig.monitor->onTick();
    EXPECT_NEAR(rig.host.geometry.width, rig.host.geometry.height * 4 / 3, 1); // width-driven snap
    EXPECT_EQ(rig.m().arranger().layoutState(), 3);

    rig.host.geometry.height += 500; // the bottom edge dragged
    rig.monitor->onTick();
    EXPECT_EQ(rig.m().arranger().layoutState(), 2);

    rig.host.state = WindowState::Minimized;
    rig.host.geometry.width += 1000;
    rig.monitor->onTick();
    EXPECT_FALSE(rig.m().arranger().pending());
    EXPECT_EQ(rig.m().arranger().layoutState(), 2);
}

TEST(Sessions, ParameterLabelsHideTheEntryBoxThreeOpensSensitivityPortIsIdleInASession) {
    MonitorRig rig;
    rig.m().sessions().startSession(); // a session runs; the sensitivity stays adjustable
    ParameterBoxes& params = rig.m().parameters();
    const int yields = rig.host.yields;
    const size_t opens = rig.comm.openAttempts.size();
    for (int i : {0, 1, 2, 4, 5, 6, 3}) {
        params.openJitterBox();
        rig.monitor->clickParameterLabel(i);
        EXPECT_FALSE(params.entryBoxShown()) << i;
        EXPECT_EQ(params.sensitivityBoxShown(), i == 3) << i;
    }
    EXPECT_FALSE(rig.m().ports().scanNoticeShown());
    EXPECT_EQ(rig.host.yields, yields);
    EXPECT_EQ(rig.comm.openAttempts.size(), opens);
    EXPECT_FALSE(rig.m().ports().frameShown());
}

} // namespace aurivo
