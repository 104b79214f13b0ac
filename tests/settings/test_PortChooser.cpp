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
    // One letter per button: V chosen, E offered, H held, M missing, - hidden, ? anything else.
    QString marks() const {
        QString out;
        for (const PortOptionState& o : chooser.options())
            out += !o.visible                                  ? '-'
                   : o.enabled && o.state == PortState::Usable ? (o.chosen ? 'V' : 'E')
                   : o.enabled                                 ? '?'
                   : o.state == PortState::Held                ? 'H'
                   : o.state == PortState::Missing             ? 'M'
                                                               : '?';
        return out;
    }

    FakeSerialComm comm;
    TestClock clock;
    TestHost host{clock}; // every yield moves the clock 10 ms
    TickCountdown countdown;
    PortChooser chooser{comm, host, countdown,
                        [](int port) { return QStringLiteral("/dev/ttyUSB%1").arg(port - 1); }};
};

TEST_F(PortChooserTest, ScanMarksEachPortByWhatItsOpenReported) {
    comm.addPort(2);
    comm.addPort(5);
    comm.addHeldPort(3, QStringLiteral("permission denied: add your user to the dialout group"));
    comm.addHeldPort(9, QString());
    comm.addFailingPort(7, SerialComm::kOtherFailure, QStringLiteral("odd failure"));
    chooser.setCommPortNumber(2);
    chooser.scanPorts(); // an earlier scan leaves port 2 selected and the chooser open
    comm.openAttempts.clear();
    chooser.setCommPortNumber(5);
    host.yields = 0;
    host.onEvents = [&] { // the chooser is closed first (one yield); the scan's first second probes nothing
        EXPECT_TRUE(host.yields != 1 || (!chooser.frameShown() && chooser.cancelRequested()));
        if (host.yields != 2) return;
        EXPECT_TRUE(chooser.scanActive() && chooser.frameShown() && comm.openAttempts.empty());
        EXPECT_EQ(std::pair(chooser.frameCaption(), chooser.examining()),
                  std::pair(QStringLiteral("Examining Ports"), true));
        EXPECT_EQ(chooser.statusText(), QString());
        EXPECT_EQ(marks(), QString(16, QLatin1Char('-')));
    };
    const int64_t start = clock.steady;
    chooser.scanPorts();
    EXPECT_EQ(clock.steady - start, 10 + 1000);

    // All sixteen probed in order, none left open; failures other than "missing" and "held" are offered.
    EXPECT_EQ(comm.openAttempts, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_FALSE(comm.portOpen());
    EXPECT_EQ(marks(), QStringLiteral("MEHMVMEMHMMMMMMM"));
    EXPECT_EQ(chooser.options()[4].toolTip, QStringLiteral("/dev/ttyUSB4"));
    EXPECT_EQ(chooser.portLine(4), QStringLiteral("COM5 - /dev/ttyUSB4"));
    EXPECT_EQ(chooser.portLine(8), QStringLiteral("COM9 - /dev/ttyUSB8: in use by another program"));
    // By reason, in the order of the first port, three or more neighbours as a range.
    EXPECT_EQ(chooser.statusText(),
              QStringLiteral("COM1, COM4, COM6, COM8, COM10-COM16: no such port\n"
                             "COM3: permission denied: add your user to the dialout group\n"
                             "COM9: in use by another program"));
    EXPECT_EQ(std::tuple(chooser.frameShown(), chooser.frameCaption(), chooser.examining()),
              std::tuple(true, QStringLiteral("Available Ports"), false));
    EXPECT_FALSE(chooser.scanActive() || chooser.probing() || chooser.cancelRequested());
}

TEST_F(PortChooserTest, PauseEndsOnOkayClosingOrTheSteadyClock) {
    comm.addPort(4);
    host.onEvents = [&] {
        if (host.yields == 3) chooser.closeChooser();
    };
    chooser.scanPorts();
    EXPECT_TRUE(comm.openAttempts.empty());
    EXPECT_FALSE(chooser.frameShown() || chooser.probing());

    host.yields = 0;
    host.onEvents = [&] {
        if (host.yields == 2) chooser.requestClose();
    };
    chooser.scanPorts();
    EXPECT_EQ(host.yields, 2);
    EXPECT_TRUE(comm.openAttempts.empty());

    host.yields = 0;
    host.onEvents = [&] { clock.advance(690); }; // yields that take 700 ms
    chooser.scanPorts();
    EXPECT_EQ(host.yields, 1 + 2); // the close of the chooser left open, then the pause
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

TEST_F(PortChooserTest, ChoosingAPortRecordsItAndClosesAfterAQuarterSecond) {
    comm.addPort(16);
    chooser.setCommPortNumber(2);
    host.onEvents = [&] { chooser.choosePort(2); }; // presses are ignored while scanning
    chooser.scanPorts();
    EXPECT_EQ(chooser.commPortNumber(), 2);
    host.onEvents = nullptr;
    const int64_t start = clock.steady;
    const size_t opensBefore = comm.openAttempts.size();
    host.onEvents = [&] { EXPECT_TRUE(chooser.options()[15].chosen) << "the mark moves before the pause"; };
    chooser.choosePort(15);
    host.onEvents = nullptr;
    EXPECT_EQ(chooser.commPortNumber(), 16);
    EXPECT_FALSE(chooser.frameShown());
    EXPECT_EQ(clock.steady - start, 250);
    EXPECT_EQ(comm.openAttempts.size(), opensBefore); // the port opens only at session start
    chooser.choosePort(16);
    chooser.choosePort(-1);
    EXPECT_EQ(chooser.commPortNumber(), 16);
    chooser.choosePort(0);
    EXPECT_EQ(chooser.commPortNumber(), 1);
}

TEST_F(PortChooserTest, PortLabelWaitsForTwoTicksThenScans) {
    comm.addPort(1);
    host.onEvents = [&] { // a timer tick every 200 ms
        if (clock.steady % 200 == 0 && !countdown.expired()) countdown.tick();
    };
    chooser.scanFromPortLabel();
    EXPECT_TRUE(chooser.scanNoticeShown());
    chooser.hideScanNotice();
    EXPECT_FALSE(chooser.scanNoticeShown());
    EXPECT_EQ(clock.steady, 400 + 1000);
    EXPECT_EQ(comm.openAttempts.size(), 16u);
}

} // namespace

} // namespace aurivo
