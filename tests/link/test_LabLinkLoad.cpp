// The lab link under load: each reading leaves as it is read from the port (the time it takes is
// printed), and 10,000 hostile datagrams during a session leave its recording exactly as without them.

#include "../session/MonitorRig.h"
#include "link/OscMessage.h"

#include <QElapsedTimer>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <random>

namespace aurivo {
namespace {

// The session's reading file after a fixed run, with `hostile` datagrams sent to the receiver meanwhile.
QByteArray recordWithFlood(int hostile, int64_t& markers, int64_t& dropped) {
    MonitorRig rig;
    LabLinkSettings settings;
    settings.receiveEnabled = true;
    settings.receivePort = 0; // any free port
    QString notKept;
    EXPECT_TRUE(rig.m().applyLabLink(settings, notKept)) << notKept.toStdString();
    const uint16_t port = rig.m().labLink().listeningPort();
    EXPECT_NE(port, 0);
    QUdpSocket sender;
    std::mt19937 rng(777);
    const QByteArray marker =
        OscMessage{QByteArrayLiteral("/aurivo/marker"), {QStringLiteral("flood")}}.encode();
    rig.startAndSettle(8000);
    int sent = 0;
    for (int t = 0; t < 50; ++t) {
        for (int i = 0; i < hostile / 50; ++i, ++sent) {
            QByteArray d;
            switch (sent % 4) {
            case 0:
                d = marker;
                break;
            case 1:
                d = QByteArray(int(rng() % 1500), char(rng()));
                break;
            case 2:
                d = "marker \x01\x02" + QByteArray(300, 'x');
                break;
            default:
                d = marker;
                d[int(rng() % uint32_t(d.size()))] = char(rng());
                break;
            }
            sender.writeDatagram(d, QHostAddress::LocalHost, port);
        }
        QCoreApplication::processEvents();
        rig.tick(1, {8000 + t * 11, 8005 + t * 11});
    }
    // The kernel may drop part of a burst before the receiver sees it; how much depends on the machine.
    QCoreApplication::processEvents();
    std::printf("[ measured ] %d hostile datagrams sent, %lld read\n", sent,
                (long long)rig.m().labLink().counts().received);
    rig.m().choose(MenuItem::Stop);
    markers = int64_t(rig.m().markers().markers().size());
    dropped = rig.m().labLink().counts().dropped;
    return rig.read(QStringLiteral("tempdata.tst"));
}

TEST(LabLinkLoad, TenThousandHostileDatagramsLeaveTheRecordingExact) {
    int64_t markers = 0, dropped = 0;
    const QByteArray quiet = recordWithFlood(0, markers, dropped);
    EXPECT_EQ(markers, 0);
    const QByteArray flooded = recordWithFlood(10000, markers, dropped);
    EXPECT_EQ(flooded, quiet);
    EXPECT_GT(quiet.size(), 100);
    // The test's clock stands still between ticks: the rate limit lets 100 through per second of it.
    EXPECT_LE(markers, 100 * 11);
    EXPECT_GT(dropped, 0);
    std::printf("[ measured ] hostile datagrams: %lld markers set, %lld dropped\n", (long long)markers,
                (long long)dropped);
}

// Every reading leaves as it is read; how long that takes is printed, not judged (a loaded machine is
// not a slow program).
TEST(LabLinkLoad, EveryReadingLeavesAsItIsRead) {
    MonitorRig rig;
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    LabLinkSettings settings;
    settings.sendEnabled = true;
    settings.sendPort = listener.localPort();
    QString notKept;
    EXPECT_TRUE(rig.m().applyLabLink(settings, notKept)) << notKept.toStdString();
    rig.startAndSettle(8000);
    while (listener.hasPendingDatagrams())
        listener.readDatagram(nullptr, 0);
    qint64 worstUs = 0;
    for (int i = 0; i < 200; ++i) {
        rig.comm.deliver(PacketDecoder::makePacket(uint16_t(8000 + i), 4));
        rig.clock.advance(200);
        QElapsedTimer since;
        since.start(); // the tick reads the port at once
        rig.m().onTick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return listener.hasPendingDatagrams(); }, 1000)) << i;
        worstUs = std::max(worstUs, since.nsecsElapsed() / 1000);
        while (listener.hasPendingDatagrams())
            listener.readDatagram(nullptr, 0);
    }
    std::printf("[ measured ] port read to UDP arrival, worst of 200: %lld us\n", (long long)worstUs);
}

} // namespace
} // namespace aurivo
