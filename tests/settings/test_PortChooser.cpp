#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "core/Colors.h"
#include "core/MonitorState.h"
#include "settings/PortChooser.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

class PortChooserTest : public ::testing::Test {
  protected:
    MonitorState state;
    FakeSerialComm comm;
    TestClock clock;
    TestHost host{clock}; // every yield moves the clock 10 ms
    PortChooser chooser{state, comm, clock, host,
                        [](int port) { return QStringLiteral("/dev/ttyUSB%1").arg(port - 1); }};

    OptionButtonModel& opt(int port) { return state.optPortNum[port - 1]; }
};

TEST_F(PortChooserTest, ScanMarksEachPortByWhatItsOpenReported) {
    comm.addPort(2);
    comm.addPort(5);
    comm.addHeldPort(3, QStringLiteral("permission denied: add your user to the dialout group"));
    comm.addHeldPort(9, QString());
    comm.addFailingPort(7, SerialComm::kOtherFailure, QStringLiteral("odd failure"));
    state.commPortNumber = 5;
    state.optPortNum[1].value = true; // left over from an earlier scan
    chooser.scanPorts();

    // All sixteen probed in order, with the device's line settings, and none left open.
    std::vector<int> expected;
    for (int p = 1; p <= 16; ++p)
        expected.push_back(p);
    EXPECT_EQ(comm.openAttempts, expected);
    EXPECT_EQ(comm.settings, QStringLiteral("19200,N,8,1"));
    EXPECT_FALSE(comm.portOpen());

    // Usable ports, and failures other than "missing" and "held", are offered.
    for (int p : {2, 5, 7}) {
        EXPECT_EQ(opt(p).backColor, colors::kWindowBackground) << p;
        EXPECT_TRUE(opt(p).enabled) << p;
        EXPECT_EQ(opt(p).value, p == 5) << p;
    }
    EXPECT_EQ(opt(5).toolTip, QStringLiteral("/dev/ttyUSB4"));
    EXPECT_EQ(opt(3).backColor, 0x00C0FFFFu);
    EXPECT_FALSE(opt(3).enabled);
    EXPECT_EQ(opt(3).toolTip, QStringLiteral("permission denied: add your user to the dialout group"));
    EXPECT_EQ(opt(9).backColor, 0x00C0FFFFu);
    EXPECT_EQ(opt(9).toolTip, QStringLiteral("in use by another program")); // no reason given
    for (int p : {1, 4, 6, 8, 16}) {
        EXPECT_EQ(opt(p).backColor, 0x00C0C0FFu) << p;
        EXPECT_FALSE(opt(p).enabled) << p;
        EXPECT_EQ(opt(p).toolTip, QStringLiteral("no such port")) << p;
    }
    for (const auto& opt : state.optPortNum)
        EXPECT_TRUE(opt.visible);
    EXPECT_TRUE(state.fraSelctPort.visible);
    EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Available Ports"));
    EXPECT_EQ(state.fraSelctPort.captionColor, colors::kBlack);
    EXPECT_EQ(state.fraSelctPort.rect.top, 0);
    EXPECT_EQ(state.fraSelctPort.rect.left, 480);
    EXPECT_FALSE(state.portScanActive);
    EXPECT_TRUE(state.mnuSetComPort.enabled);
}

TEST_F(PortChooserTest, FirstSecondShowsExaminingWithButtonsHiddenAndProbesNothingYet) {
    comm.addPort(1);
    chooser.scanPorts(); // earlier scan: buttons visible and enabled
    comm.openAttempts.clear();
    state.fraSelctPort.visible = false;
    host.onEvents = [&] {
        if (host.yields != 1) return;
        EXPECT_TRUE(state.portScanActive);
        EXPECT_EQ(state.fraSelctPort.caption, QStringLiteral("Examining Ports"));
        EXPECT_EQ(state.fraSelctPort.captionColor, colors::kRed);
        EXPECT_TRUE(state.fraSelctPort.visible);
        EXPECT_TRUE(comm.openAttempts.empty());
        for (const auto& opt : state.optPortNum)
            EXPECT_FALSE(opt.visible || opt.enabled);
    };
    host.yields = 0;
    const int64_t start = clock.steady;
    chooser.scanPorts();
    EXPECT_GE(clock.steady - start, 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, PauseEndsOnOkayClosingOrTheSteadyClock) {
    comm.addPort(2);
    host.onEvents = [&] {
        if (host.yields == 3) chooser.closeChooser();
    };
    chooser.scanPorts();
    EXPECT_TRUE(comm.openAttempts.empty());
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_TRUE(state.cancelRequested);
    EXPECT_TRUE(state.mnuSetComPort.enabled);
    EXPECT_LT(clock.steady, 1000);

    state.closingRequested = true; // stale: each pause clears it first
    host.yields = 0;
    host.onEvents = [&] {
        if (host.yields == 2) state.closingRequested = true;
    };
    chooser.scanPorts();
    EXPECT_EQ(host.yields, 2);
    EXPECT_TRUE(comm.openAttempts.empty());

    chooser.closeChooser();
    host.yields = 0;
    host.onEvents = [&] { clock.advance(690); }; // yields that take 700 ms
    state.closingRequested = false;
    chooser.scanPorts();
    EXPECT_EQ(host.yields, 2);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, RescanWhileOpenClosesFirstThenScansAfresh) {
    comm.addPort(4);
    chooser.scanPorts();
    ASSERT_TRUE(state.fraSelctPort.visible);
    const int closesBefore = comm.closeCalls;
    bool sawClosedFrame = false;
    host.yields = 0;
    host.onEvents = [&] { // closeChooser yields once with the frame hidden and cancelRequested set
        if (host.yields == 1) sawClosedFrame = !state.fraSelctPort.visible && state.cancelRequested;
    };
    chooser.scanPorts();
    EXPECT_TRUE(sawClosedFrame);
    EXPECT_FALSE(state.cancelRequested);
    EXPECT_TRUE(state.fraSelctPort.visible);
    EXPECT_EQ(comm.openAttempts.size(), 32u);
    EXPECT_GT(comm.closeCalls, closesBefore + 1); // Okay's close plus the usable port's close
}

TEST_F(PortChooserTest, ChoosingAPortRecordsItAndClosesAfterAQuarterSecond) {
    comm.addPort(3);
    comm.addPort(16);
    state.commPortNumber = 2;
    host.onEvents = [&] { chooser.choosePort(2); }; // presses are ignored while scanning
    chooser.scanPorts();
    EXPECT_EQ(state.commPortNumber, 2);
    EXPECT_TRUE(state.fraSelctPort.visible);
    host.onEvents = nullptr;
    const int64_t start = clock.steady;
    const size_t opensBefore = comm.openAttempts.size();
    chooser.choosePort(15);
    EXPECT_EQ(state.commPortNumber, 16);
    EXPECT_EQ(state.lblParams[5].caption, QStringLiteral("16"));
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_GE(clock.steady - start, 250);
    EXPECT_LT(clock.steady - start, 1000);
    EXPECT_EQ(comm.openAttempts.size(), opensBefore); // the port opens only at session start

    host.yields = 0;
    host.onEvents = [&] { state.cancelRequested = true; }; // Cancel cuts the pause short
    chooser.choosePort(0);
    EXPECT_EQ(host.yields, 1);
    EXPECT_EQ(state.commPortNumber, 1);

    host.onEvents = nullptr;
    chooser.scanPorts(); // Okay closes without changing the port
    chooser.closeChooser();
    EXPECT_FALSE(state.fraSelctPort.visible);
    EXPECT_EQ(state.commPortNumber, 1);
    EXPECT_FALSE(comm.portOpen());
}

TEST_F(PortChooserTest, PortLabelWaitsForTwoTicksThenScans) {
    comm.addPort(1);
    int ticks = 0;
    host.onEvents = [&] {
        if (clock.steady % 200 == 0 && state.tickCountdown > 0) {
            --state.tickCountdown;
            ++ticks;
        }
    };
    chooser.scanFromPortLabel();
    EXPECT_TRUE(state.lblParams[6].visible);
    EXPECT_EQ(ticks, 2);
    EXPECT_GE(clock.steady, 400 + 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
    EXPECT_TRUE(opt(1).enabled);
    // With the timer stopped the wait gives up.
    host.onEvents = nullptr;
    chooser.scanFromPortLabel();
    EXPECT_GT(state.tickCountdown, 0);
    EXPECT_EQ(comm.openAttempts.size(), 32u);
}

} // namespace

} // namespace aurivo
