#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "app/Colors.h"
#include "app/MonitorState.h"
#include "settings/PortChooser.h"

#include <gtest/gtest.h>

namespace {

class PortChooserTest : public ::testing::Test {
protected:
    MonitorState state;
    FakeSerialComm comm;
    TestClock clock;
    TestHost host{clock}; // every yield moves the clock 10 ms
    PortChooser chooser{state, comm, clock, host, [](int port) { return QStringLiteral("/dev/ttyUSB%1").arg(port - 1); }};

    OptionButtonModel& Opt(int port) { return state.optPortNum[port - 1]; }
};

TEST_F(PortChooserTest, ScanMarksEachPortByWhatItsOpenReported) {
    comm.AddPort(2);
    comm.AddPort(5);
    comm.AddHeldPort(3, QStringLiteral("permission denied: add your user to the dialout group"));
    comm.AddHeldPort(9, QString());
    comm.AddFailingPort(7, SerialComm::kOtherFailure, QStringLiteral("odd failure"));
    state.CommPortNumber = 5;
    state.optPortNum[1].value = true; // left over from an earlier scan
    chooser.mnuSetComPort_Click();

    // All sixteen probed in order, with the device's line settings, and none left open.
    std::vector<int> expected;
    for (int p = 1; p <= 16; ++p) expected.push_back(p);
    EXPECT_EQ(comm.openAttempts, expected);
    EXPECT_EQ(comm.settings, QStringLiteral("19200,N,8,1"));
    EXPECT_FALSE(comm.PortOpen());

    // Usable ports, and failures other than "missing" and "held", are offered.
    for (int p : {2, 5, 7}) {
        EXPECT_EQ(Opt(p).backColor, Colors::kWindowBackground) << p;
        EXPECT_TRUE(Opt(p).enabled) << p;
        EXPECT_EQ(Opt(p).value, p == 5) << p;
    }
    EXPECT_EQ(Opt(5).toolTip, QStringLiteral("/dev/ttyUSB4"));
    EXPECT_EQ(Opt(3).backColor, 0x00C0FFFFu);
    EXPECT_FALSE(Opt(3).enabled);
    EXPECT_EQ(Opt(3).toolTip, QStringLiteral("permission denied: add your user to the dialout group"));
    EXPECT_EQ(Opt(9).backColor, 0x00C0FFFFu);
    EXPECT_EQ(Opt(9).toolTip, QStringLiteral("in use by another program")); // no reason given
    for (int p : {1, 4, 6, 8, 16}) {
        EXPECT_EQ(Opt(p).backColor, 0x00C0C0FFu) << p;
        EXPECT_FALSE(Opt(p).enabled) << p;
        EXPECT_EQ(Opt(p).toolTip, QStringLiteral("no such port")) << p;
    }
    for (const auto& opt : state.optPortNum) EXPECT_TRUE(opt.visible);
    EXPECT_TRUE(state.fraSelctPort.visible);
    EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Available Ports"));
    EXPECT_EQ(state.fraSelctPort.captionColor, Colors::kBlack);
    EXPECT_EQ(state.fraSelctPort.rect.top, 0);
    EXPECT_EQ(state.fraSelctPort.rect.left, 480);
    EXPECT_FALSE(state.PortScanActive);
    EXPECT_TRUE(state.mnuSetComPort.enabled);
}

TEST_F(PortChooserTest, FirstSecondShowsExaminingWithButtonsHiddenAndProbesNothingYet) {
    comm.AddPort(1);
    chooser.mnuSetComPort_Click(); // earlier scan: buttons visible and enabled
    comm.openAttempts.clear();
    state.fraSelctPort.visible = false;
    host.onEvents = [&] {
        if (host.yields != 1) return;
        EXPECT_TRUE(state.PortScanActive);
        EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Examining Ports"));
        EXPECT_EQ(state.fraSelctPort.captionColor, Colors::kRed);
        EXPECT_TRUE(state.fraSelctPort.visible);
        EXPECT_TRUE(comm.openAttempts.empty());
        for (const auto& opt : state.optPortNum) EXPECT_FALSE(opt.visible || opt.enabled);
    };
    host.yields = 0;
    const int64_t start = clock.steady;
    chooser.mnuSetComPort_Click();
    EXPECT_GE(clock.steady - start, 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, PauseEndsOnOkayClosingOrTheSteadyClock) {
    comm.AddPort(2);
    host.onEvents = [&] {
        if (host.yields == 3) chooser.Command2_Click();
    };
    chooser.mnuSetComPort_Click();
    EXPECT_TRUE(comm.openAttempts.empty());
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_TRUE(state.CancelRequested);
    EXPECT_TRUE(state.mnuSetComPort.enabled);
    EXPECT_LT(clock.steady, 1000);

    state.ClosingRequested = true; // stale: each pause clears it first
    host.yields = 0;
    host.onEvents = [&] {
        if (host.yields == 2) state.ClosingRequested = true;
    };
    chooser.mnuSetComPort_Click();
    EXPECT_EQ(host.yields, 2);
    EXPECT_TRUE(comm.openAttempts.empty());

    chooser.Command2_Click();
    host.yields = 0;
    host.onEvents = [&] { clock.Advance(690); }; // yields that take 700 ms
    state.ClosingRequested = false;
    chooser.mnuSetComPort_Click();
    EXPECT_EQ(host.yields, 2);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, RescanWhileOpenClosesFirstThenScansAfresh) {
    comm.AddPort(4);
    chooser.mnuSetComPort_Click();
    ASSERT_TRUE(state.fraSelctPort.visible);
    const int closesBefore = comm.closeCalls;
    bool sawClosedFrame = false;
    host.yields = 0;
    host.onEvents = [&] { // Command2_Click yields once with the frame hidden and CancelRequested set
        if (host.yields == 1) sawClosedFrame = !state.fraSelctPort.visible && state.CancelRequested;
    };
    chooser.mnuSetComPort_Click();
    EXPECT_TRUE(sawClosedFrame);
    EXPECT_FALSE(state.CancelRequested);
    EXPECT_TRUE(state.fraSelctPort.visible);
    EXPECT_EQ(comm.openAttempts.size(), 32u);
    EXPECT_GT(comm.closeCalls, closesBefore + 1); // Okay's close plus the usable port's close
}

TEST_F(PortChooserTest, ChoosingAPortRecordsItAndClosesAfterAQuarterSecond) {
    comm.AddPort(3);
    comm.AddPort(16);
    state.CommPortNumber = 2;
    host.onEvents = [&] { chooser.optPortNum_MouseDown(2); }; // presses are ignored while scanning
    chooser.mnuSetComPort_Click();
    EXPECT_EQ(state.CommPortNumber, 2);
    EXPECT_TRUE(state.fraSelctPort.visible);
    host.onEvents = nullptr;
    const int64_t start = clock.steady;
    const size_t opensBefore = comm.openAttempts.size();
    chooser.optPortNum_MouseDown(15);
    EXPECT_EQ(state.CommPortNumber, 16);
    EXPECT_EQ(state.LblParams[5].caption, QStringLiteral("16"));
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_GE(clock.steady - start, 250);
    EXPECT_LT(clock.steady - start, 1000);
    EXPECT_EQ(comm.openAttempts.size(), opensBefore); // the port opens only at session start

    host.yields = 0;
    host.onEvents = [&] { state.CancelRequested = true; }; // Cancel cuts the pause short
    chooser.optPortNum_MouseDown(0);
    EXPECT_EQ(host.yields, 1);
    EXPECT_EQ(state.CommPortNumber, 1);

    host.onEvents = nullptr;
    chooser.mnuSetComPort_Click(); // Okay closes without changing the port
    chooser.Command2_Click();
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_EQ(state.CommPortNumber, 1);
    EXPECT_FALSE(comm.PortOpen());
}

TEST_F(PortChooserTest, PortLabelWaitsForTwoTicksThenScans) {
    comm.AddPort(1);
    state.fraSetStuff.visible = true;
    int ticks = 0;
    host.onEvents = [&] {
        if (clock.steady % 200 == 0 && state.TickCountdown > 0) {
            --state.TickCountdown;
            ++ticks;
        }
    };
    chooser.LblParams5_Click();
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_TRUE(state.LblParams[6].visible);
    EXPECT_EQ(ticks, 2);
    EXPECT_GE(clock.steady, 400 + 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
    EXPECT_TRUE(Opt(1).enabled);
    // With the timer stopped the wait gives up.
    host.onEvents = nullptr;
    chooser.LblParams_Click(5);
    EXPECT_GT(state.TickCountdown, 0);
    EXPECT_EQ(comm.openAttempts.size(), 32u);
}

TEST_F(PortChooserTest, OtherLabelsOnlyHideTheEntryBoxThreeOpensSensitivityPortIsIdleInASession) {
    int opened = 0;
    chooser.SetSensitivityBoxOpener([&] { ++opened; });
    state.mnuStart.enabled = false; // a session runs; the sensitivity stays adjustable
    state.LblParams[6].visible = false;
    for (int i : {0, 1, 2, 4, 5, 6, 3}) {
        state.fraSetStuff.visible = true;
        chooser.LblParams_Click(i);
        EXPECT_FALSE(state.fraSetStuff.visible) << i;
        EXPECT_EQ(opened, int(i == 3)) << i;
    }
    EXPECT_FALSE(state.LblParams[6].visible);
    EXPECT_EQ(host.yields, 0);
    EXPECT_TRUE(comm.openAttempts.empty());
    EXPECT_FALSE(state.fraSelctPort.visible);
}

} // namespace
