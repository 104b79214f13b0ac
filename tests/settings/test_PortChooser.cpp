#include "FakeSerialComm.h"
#include "SettingsFakes.h"

#include "app/Colors.h"
#include "app/MonitorState.h"
#include "settings/PortChooser.h"

#include <gtest/gtest.h>

namespace {

class PortChooserTest : public ::testing::Test {
protected:
    MonitorState state;
    FakeSerialComm comm;
    FakeClock clock;
    FakeWindowHost host{clock};
    PortChooser chooser{state, comm, clock, host,
                        [](int port) { return QStringLiteral("/dev/ttyUSB%1").arg(port - 1); }};

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

    // All sixteen probed in order, with the device's line settings.
    std::vector<int> expected;
    for (int p = 1; p <= 16; ++p) expected.push_back(p);
    EXPECT_EQ(comm.openAttempts, expected);
    EXPECT_EQ(comm.settings, QStringLiteral("19200,N,8,1"));
    EXPECT_FALSE(comm.PortOpen());

    EXPECT_EQ(Opt(2).backColor, Colors::kWindowBackground);
    EXPECT_TRUE(Opt(2).enabled);
    EXPECT_FALSE(Opt(2).value);
    EXPECT_EQ(Opt(2).toolTip, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_TRUE(Opt(5).enabled);
    EXPECT_TRUE(Opt(5).value);
    EXPECT_EQ(Opt(5).toolTip, QStringLiteral("/dev/ttyUSB4"));

    EXPECT_EQ(Opt(3).backColor, PortChooser::kPortHeldColour);
    EXPECT_FALSE(Opt(3).enabled);
    EXPECT_EQ(Opt(3).toolTip, QStringLiteral("permission denied: add your user to the dialout group"));
    EXPECT_EQ(Opt(9).backColor, 0x00C0FFFFu);
    EXPECT_EQ(Opt(9).toolTip, QStringLiteral("in use by another program")); // no reason given

    // Failures other than "missing" and "held" still offer the port.
    EXPECT_EQ(Opt(7).backColor, Colors::kWindowBackground);
    EXPECT_TRUE(Opt(7).enabled);

    for (int p : {1, 4, 6, 8, 16}) {
        EXPECT_EQ(Opt(p).backColor, PortChooser::kPortMissingColour) << p;
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

TEST_F(PortChooserTest, NoPortsAtAllLeavesEveryButtonPaleRed) {
    chooser.mnuSetComPort_Click();
    for (const auto& opt : state.optPortNum) {
        EXPECT_EQ(opt.backColor, 0x00C0C0FFu);
        EXPECT_FALSE(opt.enabled);
        EXPECT_TRUE(opt.visible);
    }
    EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Available Ports"));
}

TEST_F(PortChooserTest, FirstSecondShowsExaminingWithButtonsHiddenAndProbesNothingYet) {
    comm.AddPort(1);
    chooser.mnuSetComPort_Click(); // earlier scan: buttons visible and enabled
    comm.openAttempts.clear();
    state.fraSelctPort.visible = false;

    int checked = 0;
    host.onEvents = [&](int) {
        if (checked++) return;
        EXPECT_TRUE(state.PortScanActive);
        EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Examining Ports"));
        EXPECT_EQ(state.fraSelctPort.captionColor, Colors::kRed);
        EXPECT_TRUE(state.fraSelctPort.visible);
        EXPECT_TRUE(state.mnuSetComPort.enabled);
        EXPECT_TRUE(comm.openAttempts.empty());
        for (const auto& opt : state.optPortNum) {
            EXPECT_FALSE(opt.visible);
            EXPECT_FALSE(opt.enabled);
        }
    };
    const int64_t start = clock.steadyMs;
    chooser.mnuSetComPort_Click();
    EXPECT_GT(checked, 0);
    EXPECT_GE(clock.steadyMs - start, 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, OkayDuringFirstSecondClosesAndProbesNothing) {
    comm.AddPort(2);
    host.onEvents = [&](int n) {
        if (n == 3) chooser.Command2_Click();
    };
    chooser.mnuSetComPort_Click();
    EXPECT_TRUE(comm.openAttempts.empty());
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_TRUE(state.CancelRequested);
    EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Examining Ports"));
    EXPECT_TRUE(state.mnuSetComPort.enabled);
    EXPECT_LT(clock.steadyMs, 1000);
}

TEST_F(PortChooserTest, ClosingTheWindowEndsThePause) {
    state.ClosingRequested = true; // stale: each pause clears it first
    host.onEvents = [&](int n) {
        if (n == 2) state.ClosingRequested = true;
    };
    chooser.mnuSetComPort_Click();
    EXPECT_EQ(host.yields, 2);
    EXPECT_TRUE(comm.openAttempts.empty());
}

TEST_F(PortChooserTest, PauseEndsOnTheSteadyClockEvenWhenYieldsTakeLong) {
    FakeWindowHost slowHost{clock, 700};
    PortChooser slow{state, comm, clock, slowHost};
    slow.mnuSetComPort_Click();
    EXPECT_EQ(slowHost.yields, 2);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, RescanWhileOpenClosesFirstThenScansAfresh) {
    comm.AddPort(4);
    chooser.mnuSetComPort_Click();
    ASSERT_TRUE(state.fraSelctPort.visible);
    const int closesBefore = comm.closeCalls;

    bool sawClosedFrame = false;
    bool first = true;
    host.onEvents = [&](int) {
        // Command2_Click yields once with the frame hidden and CancelRequested set.
        if (first) sawClosedFrame = !state.fraSelctPort.visible && state.CancelRequested;
        first = false;
    };
    chooser.mnuSetComPort_Click();
    EXPECT_TRUE(sawClosedFrame);
    EXPECT_FALSE(state.CancelRequested);
    EXPECT_TRUE(state.fraSelctPort.visible);
    EXPECT_EQ(comm.openAttempts.size(), 32u);
    EXPECT_GT(comm.closeCalls, closesBefore + 1); // Okay's close plus the usable port's close
}

TEST_F(PortChooserTest, ChoosingCom16RecordsItAndClosesAfterAQuarterSecond) {
    comm.AddPort(16);
    chooser.mnuSetComPort_Click();
    const int64_t start = clock.steadyMs;
    const int opensBefore = int(comm.openAttempts.size());

    chooser.optPortNum_MouseDown(15);
    EXPECT_EQ(state.CommPortNumber, 16);
    EXPECT_EQ(state.LblParams[5].caption, QStringLiteral("16"));
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_GE(clock.steadyMs - start, 250);
    EXPECT_LT(clock.steadyMs - start, 1000);
    EXPECT_EQ(int(comm.openAttempts.size()), opensBefore); // the port opens only at session start
}

TEST_F(PortChooserTest, ChoicePauseIsCutShortByCancel) {
    host.onEvents = [&](int) { state.CancelRequested = true; };
    chooser.optPortNum_MouseDown(0);
    EXPECT_EQ(host.yields, 1);
    EXPECT_EQ(state.CommPortNumber, 1);
    EXPECT_FALSE(state.fraSelctPort.visible);
}

TEST_F(PortChooserTest, PressesAreIgnoredWhileScanning) {
    comm.AddPort(3);
    state.CommPortNumber = 2;
    host.onEvents = [&](int) { chooser.optPortNum_MouseDown(2); };
    chooser.mnuSetComPort_Click();
    EXPECT_EQ(state.CommPortNumber, 2);
    EXPECT_EQ(state.LblParams[5].caption, QStringLiteral("2"));
    EXPECT_TRUE(state.fraSelctPort.visible);
}

TEST_F(PortChooserTest, OkayClosesWithoutChangingThePort) {
    comm.AddPort(3);
    chooser.mnuSetComPort_Click();
    chooser.Command2_Click();
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_EQ(state.CommPortNumber, 2);
    EXPECT_FALSE(comm.PortOpen());
}

TEST_F(PortChooserTest, PortLabelWaitsForTwoTicksThenScans) {
    comm.AddPort(1);
    state.fraSetStuff.visible = true;
    int ticks = 0;
    host.onEvents = [&](int) {
        if (clock.steadyMs % 200 == 0 && state.TickCountdown > 0) {
            --state.TickCountdown;
            ++ticks;
        }
    };
    chooser.LblParams5_Click();
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_TRUE(state.LblParams[6].visible);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(state.TickCountdown, 0);
    EXPECT_GE(clock.steadyMs, 400 + 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
    EXPECT_TRUE(Opt(1).enabled);
}

TEST_F(PortChooserTest, PortLabelWaitGivesUpWhenTheTimerIsStopped) {
    chooser.LblParams_Click(5);
    EXPECT_GT(state.TickCountdown, 0);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, PortLabelDoesNothingMoreDuringASession) {
    state.mnuStart.enabled = false;
    state.fraSetStuff.visible = true;
    state.LblParams[6].visible = false;
    chooser.LblParams_Click(5);
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_FALSE(state.LblParams[6].visible);
    EXPECT_EQ(host.yields, 0);
    EXPECT_TRUE(comm.openAttempts.empty());
    EXPECT_FALSE(state.fraSelctPort.visible);
}

TEST_F(PortChooserTest, OtherLabelsOnlyHideTheEntryBoxAndThreeOpensSensitivity) {
    int opened = 0;
    chooser.SetSensitivityBoxOpener([&] { ++opened; });
    state.mnuStart.enabled = false; // the sensitivity stays adjustable during a session
    for (int i : {0, 1, 2, 4, 6}) {
        state.fraSetStuff.visible = true;
        chooser.LblParams_Click(i);
        EXPECT_FALSE(state.fraSetStuff.visible) << i;
    }
    EXPECT_EQ(opened, 0);
    state.fraSetStuff.visible = true;
    chooser.LblParams_Click(3);
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(comm.openAttempts.empty());
}

} // namespace
