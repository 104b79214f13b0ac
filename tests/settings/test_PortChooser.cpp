#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "core/Colors.h"
#include "core/TickCountdown.h"
#include "settings/PortChooser.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

class PortChooserTest : public ::testing::Test {
  protected:
    FakeSerialComm comm;
    TestClock clock;
    TestHost host{clock}; // every yield moves the clock 10 ms
    TickCountdown countdown;
    PortChooser chooser{comm, host, countdown,
                        [](int port) { return QStringLiteral("/dev/ttyUSB%1").arg(port - 1); }};

    const OptionButtonModel& opt(int port) const { return chooser.options()[size_t(port - 1)]; }
};

TEST_F(PortChooserTest, ScanMarksEachPortByWhatItsOpenReported) {
    comm.addPort(2);
    comm.addPort(5);
    comm.addHeldPort(3, QStringLiteral("permission denied: add your user to the dialout group"));
    comm.addHeldPort(9, QString());
    comm.addFailingPort(7, SerialComm::kOtherFailure, QStringLiteral("odd failure"));
    chooser.setCommPortNumber(2);
    chooser.scanPorts(); // an earlier scan leaves port 2 selected
    chooser.closeChooser();
    comm.openAttempts.clear();
    chooser.setCommPortNumber(5);
    chooser.scanPorts();

    // All sixteen probed in order, with the device's line settings, and none left open.
    std::vector<int> expected;
    for (int p = 1; p <= 16; ++p)
        expected.push_back(p);
    EXPECT_EQ(comm.openAttempts, expected);
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
    for (const auto& option : chooser.options())
        EXPECT_TRUE(option.visible);
    // The same in words: by reason, in the order of the first port, neighbours as a range.
    EXPECT_EQ(chooser.unusableReason(3), QStringLiteral("no such port")); // COM4
    EXPECT_EQ(chooser.unusableReason(6), QString());                      // COM7 can be chosen
    EXPECT_EQ(chooser.statusText(),
              QStringLiteral("COM1, COM4, COM6, COM8, COM10-COM16: no such port\n"
                             "COM3: permission denied: add your user to the dialout group\n"
                             "COM9: in use by another program"));
    EXPECT_TRUE(chooser.frameShown());
    EXPECT_EQ(chooser.frameCaption(), QStringLiteral("Available Ports"));
    EXPECT_EQ(chooser.frameCaptionColour(), colors::kBlack);
    EXPECT_FALSE(chooser.scanActive());
    EXPECT_FALSE(chooser.probing());
}

TEST_F(PortChooserTest, FirstSecondShowsExaminingWithButtonsHiddenAndProbesNothingYet) {
    comm.addPort(1);
    chooser.scanPorts(); // earlier scan: buttons visible and enabled
    chooser.closeChooser();
    comm.openAttempts.clear();
    host.onEvents = [&] {
        if (host.yields != 1) return;
        EXPECT_TRUE(chooser.scanActive());
        EXPECT_EQ(chooser.frameCaption(), QStringLiteral("Examining Ports"));
        EXPECT_EQ(chooser.frameCaptionColour(), colors::kRed);
        EXPECT_TRUE(chooser.frameShown());
        EXPECT_TRUE(comm.openAttempts.empty());
        for (const auto& option : chooser.options())
            EXPECT_FALSE(option.visible || option.enabled);
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
    EXPECT_FALSE(chooser.frameShown());
    EXPECT_TRUE(chooser.cancelRequested());
    EXPECT_FALSE(chooser.probing());
    EXPECT_LT(clock.steady, 1000);

    chooser.requestClose(); // stale: each pause clears it first
    host.yields = 0;
    host.onEvents = [&] {
        if (host.yields == 2) chooser.requestClose();
    };
    chooser.scanPorts();
    EXPECT_EQ(host.yields, 2);
    EXPECT_TRUE(comm.openAttempts.empty());

    chooser.closeChooser();
    host.yields = 0;
    host.onEvents = [&] { clock.advance(690); }; // yields that take 700 ms
    chooser.scanPorts();
    EXPECT_EQ(host.yields, 2);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, RescanWhileOpenClosesFirstThenScansAfresh) {
    comm.addPort(4);
    chooser.scanPorts();
    ASSERT_TRUE(chooser.frameShown());
    const int closesBefore = comm.closeCalls;
    bool sawClosedFrame = false;
    host.yields = 0;
    host.onEvents = [&] { // closeChooser yields once with the frame hidden and cancelRequested set
        if (host.yields == 1) sawClosedFrame = !chooser.frameShown() && chooser.cancelRequested();
    };
    chooser.scanPorts();
    EXPECT_TRUE(sawClosedFrame);
    EXPECT_FALSE(chooser.cancelRequested());
    EXPECT_TRUE(chooser.frameShown());
    EXPECT_EQ(comm.openAttempts.size(), 32u);
    EXPECT_GT(comm.closeCalls, closesBefore + 1); // Okay's close plus the usable port's close
}

TEST_F(PortChooserTest, ChoosingAPortRecordsItAndClosesAfterAQuarterSecond) {
    comm.addPort(3);
    comm.addPort(16);
    chooser.setCommPortNumber(2);
    host.onEvents = [&] { chooser.choosePort(2); }; // presses are ignored while scanning
    chooser.scanPorts();
    EXPECT_EQ(chooser.commPortNumber(), 2);
    EXPECT_TRUE(chooser.frameShown());
    host.onEvents = nullptr;
    const int64_t start = clock.steady;
    const size_t opensBefore = comm.openAttempts.size();
    chooser.choosePort(15);
    EXPECT_EQ(chooser.commPortNumber(), 16);
    EXPECT_EQ(chooser.portText(), QStringLiteral("16"));
    EXPECT_FALSE(chooser.frameShown());
    EXPECT_GE(clock.steady - start, 250);
    EXPECT_LT(clock.steady - start, 1000);
    EXPECT_EQ(comm.openAttempts.size(), opensBefore); // the port opens only at session start

    host.yields = 0;
    host.onEvents = [&] { chooser.requestCancel(); }; // Cancel cuts the pause short
    chooser.choosePort(0);
    EXPECT_EQ(host.yields, 1);
    EXPECT_EQ(chooser.commPortNumber(), 1);

    host.onEvents = nullptr;
    chooser.scanPorts(); // Okay closes without changing the port
    chooser.closeChooser();
    EXPECT_FALSE(chooser.frameShown());
    EXPECT_EQ(chooser.commPortNumber(), 1);
    EXPECT_FALSE(comm.portOpen());
}

TEST_F(PortChooserTest, PortLabelWaitsForTwoTicksThenScans) {
    comm.addPort(1);
    int ticks = 0;
    host.onEvents = [&] {
        if (clock.steady % 200 == 0 && !countdown.expired()) {
            countdown.tick();
            ++ticks;
        }
    };
    chooser.scanFromPortLabel();
    EXPECT_TRUE(chooser.scanNoticeShown());
    EXPECT_EQ(ticks, 2);
    EXPECT_GE(clock.steady, 400 + 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
    EXPECT_TRUE(opt(1).enabled);
    // With the timer stopped the wait gives up.
    host.onEvents = nullptr;
    chooser.scanFromPortLabel();
    EXPECT_FALSE(countdown.expired());
    EXPECT_EQ(comm.openAttempts.size(), 32u);
}

} // namespace

} // namespace aurivo
