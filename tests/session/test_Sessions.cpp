#include "MonitorRig.h"

#include <array>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> Lines(const QByteArray& data) {
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// Enabled states of Start, Start as, Stop, Restart, Save, Display saved, port, filter size and jitter.
using Menus = std::array<bool, 9>;
const Menus kIdle{true, true, false, false, true, true, true, true, true};
const Menus kRunning{false, false, true, true, false, false, false, false, false};

Menus MenusOf(const MonitorState& s) {
    return {s.mnuStart.enabled,   s.mnuStartAs.enabled,    s.mnuStop.enabled,
            s.mnuRestart.enabled, s.mnuSaveFile.enabled,   s.mnuDisplayOld.enabled,
            s.mnuSetComPort.enabled, s.mnuSetFSize.enabled, s.mnuSetSSF.enabled};
}

} // namespace

TEST(Sessions, StartStopMenusPortAndFiles) {
    MonitorRig rig;
    EXPECT_EQ(MenusOf(rig.S()), kIdle);

    rig.StartAndSettle(8000);
    EXPECT_EQ(MenusOf(rig.S()), kRunning);
    EXPECT_EQ(rig.comm.CommPort(), 3);
    EXPECT_EQ(rig.comm.settings, QStringLiteral("19200,N,8,1"));
    EXPECT_EQ(rig.comm.inBufferSize, 4096);
    EXPECT_EQ(rig.comm.inputMode, 1);
    EXPECT_EQ(rig.S().LblParams[5].backColor, 0x80000013u);
    EXPECT_EQ(rig.S().lblSysADCstart.caption, QStringLiteral(" 8000"));
    EXPECT_EQ(rig.Read(QStringLiteral("tempdata.hdr")), QByteArray()); // written only at stop

    rig.TickWith({8000, 8010, 8020});
    rig.S().TxtSeshnComnts.text = QStringLiteral("first\r\nsecond");
    rig.monitor->Sessions().mnuStop_Click();
    EXPECT_EQ(MenusOf(rig.S()), kIdle);
    EXPECT_FALSE(rig.comm.PortOpen());
    EXPECT_EQ(rig.S().LblParams[5].toolTip, QStringLiteral("Click here to select port number"));

    const QList<QByteArray> header = Lines(rig.Read(QStringLiteral("tempdata.hdr")));
    ASSERT_GE(header.size(), 7);
    EXPECT_EQ(header[0], QByteArray("\"MinADC\"\r"));
    EXPECT_EQ(header[2], QByteArray("\"MaxADC\"\r"));
    EXPECT_TRUE(header[4].startsWith("\"Start of Session : ")) << header[4].constData();
    EXPECT_EQ(header[5], QByteArray("first\r"));
    EXPECT_EQ(header[6], QByteArray("second\"\r"));
    EXPECT_TRUE(rig.S().TxtSeshnComnts.text.startsWith(QStringLiteral("Start of Session : ")));

    // Every stored reading is one 4-byte record and one text line, in step.
    const QByteArray tst = rig.Read(QStringLiteral("tempdata.tst"));
    const QList<QByteArray> txt = Lines(rig.Read(QStringLiteral("tempdata.txt")));
    ASSERT_GT(tst.size(), 0);
    EXPECT_EQ(tst.size() % 4, 0);
    EXPECT_EQ(txt.size(), tst.size() / 4);
    EXPECT_EQ(txt.first(), QByteArray("8000,30\r"));
}

TEST(Sessions, StartWithPortLabelNotANumberUsesPortTwo) {
    MonitorRig rig;
    rig.S().LblParams[5].caption = QStringLiteral("abc");
    rig.monitor->Sessions().mnuStart_Click();
    EXPECT_EQ(rig.S().LblParams[5].caption, QStringLiteral("2"));
    EXPECT_EQ(rig.comm.CommPort(), 2);
}

TEST(Sessions, NoDataTimeoutOnThe161stSilentTickOnce) {
    MonitorRig rig;
    rig.monitor->Sessions().mnuStart_Click();
    // Ticks that arrive while the message is open must not show a second one or stop twice.
    rig.boxes.whileOpen = [&] { rig.Tick(3); };
    rig.Tick(160);
    EXPECT_EQ(rig.boxes.Count(QStringLiteral("Serial port timeout")), 0);
    EXPECT_EQ(rig.S().LblShnStf[7].caption, QStringLiteral("No Data"));
    EXPECT_EQ(rig.S().LblShnStf[7].backColor, 0x008080FFu);
    rig.Tick();
    ASSERT_EQ(rig.boxes.Count(QStringLiteral("Serial port timeout")), 1);
    EXPECT_EQ(rig.boxes.shown.back().text,
              QStringLiteral("No data detected on serial port .\r\nSession Stopped !!"));
    EXPECT_FALSE(rig.S().SessionRunning());
    EXPECT_EQ(rig.S().NoDataTicks, 0);
    rig.boxes.whileOpen = nullptr;
    rig.Tick(5);
    EXPECT_EQ(rig.boxes.Count(QStringLiteral("Serial port timeout")), 1);
}

TEST(Sessions, DeviceHangingUpStopsWithoutMessageAndCompletesFiles) {
    MonitorRig rig;
    rig.StartAndSettle();
    rig.TickWith({8000, 8000});
    rig.comm.failed = true;
    rig.Tick();
    EXPECT_FALSE(rig.S().SessionRunning());
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_TRUE(rig.Read(QStringLiteral("tempdata.hdr")).startsWith("\"MinADC\"\r\n"));
}

TEST(Sessions, StartAndSaveAsNamesTheFilesAndCancelStartsNothing) {
    MonitorRig rig;
    rig.dialogs.saveAsNames = {QString()};
    rig.monitor->Sessions().mnuStartAs_Click();
    EXPECT_FALSE(rig.S().SessionRunning());
    EXPECT_EQ(MenusOf(rig.S()), kIdle);

    rig.dialogs.saveAsNames = {QStringLiteral("test")};
    rig.monitor->Sessions().mnuStartAs_Click();
    EXPECT_TRUE(rig.S().SessionRunning());
    for (const char* name : {"test.hdr", "test.tst", "test.txt", "PlotData.txt"})
        EXPECT_TRUE(QFile::exists(rig.Path(QString::fromLatin1(name)))) << name;
    rig.monitor->Sessions().mnuStop_Click();
    EXPECT_FALSE(rig.S().mnuSaveFile.enabled); // a named session is already saved
}

TEST(Sessions, RestartDiscardsTheSessionButKeepsTheTraceFileOpen) {
    MonitorRig rig;
    rig.StartAndSettle();
    rig.TickWith({8000, 8000, 8000});
    const int traceBefore = rig.Read(QStringLiteral("PlotData.txt")).count('\n');
    ASSERT_GT(traceBefore, 0);
    rig.monitor->Sessions().mnuRestart_Click();
    EXPECT_TRUE(rig.S().SessionRunning());
    EXPECT_EQ(rig.Read(QStringLiteral("tempdata.tst")).size(), 0);
    EXPECT_EQ(rig.Read(QStringLiteral("tempdata.txt")).size(), 0);
    rig.TickWith({8000, 8000, 8000});
    rig.monitor->Sessions().mnuStop_Click();
    EXPECT_GE(rig.Read(QStringLiteral("PlotData.txt")).count('\n'), traceBefore);
    EXPECT_EQ(rig.S().LblParams[1].caption.left(5), QStringLiteral("00:00"));
}

TEST(Sessions, ANewSessionEmptiesItsReadingFile) {
    MonitorRig rig;
    rig.StartAndSettle();
    for (int i = 0; i < 5; ++i) rig.TickWith({8000, 8000, 8000, 8000});
    rig.monitor->Sessions().mnuStop_Click();
    const int longer = rig.Read(QStringLiteral("tempdata.tst")).size();
    rig.monitor->Sessions().mnuStart_Click();
    rig.TickWith({8000});
    rig.monitor->Sessions().mnuStop_Click();
    const QByteArray tst = rig.Read(QStringLiteral("tempdata.tst"));
    EXPECT_LT(tst.size(), longer);
    EXPECT_EQ(tst.size() / 4, Lines(rig.Read(QStringLiteral("tempdata.txt"))).size());
}

TEST(Sessions, ClosingDuringASessionWritesTheHeaderWithTheCommentsQuotesAsSingleQuotes) {
    MonitorRig rig;
    rig.StartAndSettle();
    rig.S().TxtSeshnComnts.text = QStringLiteral("a \"good\" run, typed before closing");
    rig.monitor->Form_QueryUnload();
    const QByteArray header = rig.Read(QStringLiteral("tempdata.hdr"));
    EXPECT_TRUE(header.startsWith("\"MinADC\"\r\n"));
    EXPECT_TRUE(header.contains("a 'good' run, typed before closing\"\r\n")) << header.constData();
    EXPECT_TRUE(QFile::exists(rig.Path(QStringLiteral("Aurivo_USB.ini"))));
}

TEST(Sessions, SessionFilesThatCannotBeCreatedAreReportedOnceAndTheSessionRuns) {
    MonitorRig rig;
    // A folder where the header should be makes that file impossible to create, even for root.
    QDir(rig.dir.path()).mkdir(QStringLiteral("tempdata.hdr"));
    rig.monitor->Sessions().mnuStart_Click();
    ASSERT_EQ(rig.boxes.Count(QStringLiteral("Aurivo USB")), 1);
    EXPECT_TRUE(rig.boxes.shown.back().text.contains(QStringLiteral("tempdata.hdr")));
    EXPECT_TRUE(rig.S().SessionRunning());
    for (int i = 0; i < 10; ++i) rig.TickWith({8000, 8000});
    EXPECT_FALSE(rig.S().LblShnStf[3].caption.isEmpty());
    rig.monitor->Sessions().mnuStop_Click();
    EXPECT_EQ(rig.boxes.Count(QStringLiteral("Aurivo USB")), 1);
}

TEST(Sessions, ElapsedTimeKeepsCountingPastMidnight) {
    MonitorRig rig;
    rig.clock.now = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 50));
    rig.monitor->Sessions().mnuStart_Click();
    for (int i = 0; i < 100; ++i) rig.TickWith({8000}); // 20 s
    EXPECT_EQ(rig.S().LblParams[1].caption, QStringLiteral("00:00:20"));
    EXPECT_NE(rig.S().LblShnStf[7].caption, QStringLiteral("No Data"));
}

TEST(Sessions, RecordedReadingsReachTheFilesEveryTick) {
    MonitorRig rig;
    rig.StartAndSettle();
    rig.TickWith({8000, 8000, 8000});
    // Without a stop: what is on disk now is what a killed program would leave.
    const int records = rig.Read(QStringLiteral("tempdata.tst")).size() / 4;
    EXPECT_GT(records, 0);
    EXPECT_EQ(records, rig.S().RecordCount - 1);
    EXPECT_EQ(Lines(rig.Read(QStringLiteral("tempdata.txt"))).size(), records);
}

TEST(Sessions, StartValueSettlesOnTheSeventhAgreeingRound) {
    MonitorRig rig;
    rig.monitor->Sessions().mnuStart_Click();
    rig.TickWith({8000}); // replaces the candidate (0 in the first session)
    for (int i = 0; i < 6; ++i) rig.TickWith({8050});
    EXPECT_TRUE(rig.S().AwaitingStartValue);
    rig.TickWith({7600}); // a jump replaces the candidate but keeps the count
    EXPECT_EQ(rig.S().StartCandidate, 7600);
    rig.TickWith({7620});
    EXPECT_FALSE(rig.S().AwaitingStartValue);
    EXPECT_EQ(rig.S().lblSysADCstart.caption, QStringLiteral(" 7600"));
}

TEST(Tick, SizeWatchChoosesHowTheNextArrangementSizesTheWindow) {
    MonitorRig rig;
    rig.Tick(); // first arrangement
    ASSERT_EQ(rig.S().LayoutState, 2);
    const TwipsRect arranged = rig.host.geometry;

    rig.host.geometry.width = arranged.width + 900; // the right edge dragged
    rig.host.geometry.height = arranged.height + 100;
    rig.monitor->Timer1_Timer();
    EXPECT_NEAR(rig.host.geometry.width, rig.host.geometry.height * 4 / 3, 1); // width-driven snap
    EXPECT_EQ(rig.S().LayoutState, 3);

    rig.host.geometry.height += 500; // the bottom edge dragged
    rig.monitor->Timer1_Timer();
    EXPECT_EQ(rig.S().LayoutState, 2);

    rig.host.state = WindowHost::WindowState::Minimized;
    rig.host.geometry.width += 1000;
    rig.S().LayoutState = 2;
    rig.monitor->Timer1_Timer();
    EXPECT_FALSE(rig.S().LayoutPending);
    EXPECT_EQ(rig.S().LayoutState, 2);
}
