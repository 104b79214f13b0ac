// The lab link on a whole monitor: liblo's oscdump receives the session as the reading file holds it,
// and liblo's oscsend sets markers in the running session.

#include "../session/MonitorRig.h"
#include "OscDump.h"
#include "core/NumberRules.h"
#include "link/OscBundle.h"
#include "link/OscMessage.h"

#include <QProcess>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace aurivo {
namespace {

constexpr int kWaitMs = 10000;

std::vector<int32_t> fileReadings(const QByteArray& bytes) {
    std::vector<int32_t> values(size_t(bytes.size() / 4));
    std::memcpy(values.data(), bytes.constData(), values.size() * 4);
    return values;
}

} // namespace

TEST(LabLinkSession, OscdumpReceivesEveryRecordedReadingAsTheFileHoldsIt) {
    MonitorRig rig;
    OscDump dump;
    LabLinkSettings settings;
    settings.sendEnabled = true;
    settings.sendPort = dump.port;
    QString notKept;
    EXPECT_TRUE(rig.m().applyLabLink(settings, notKept)) << notKept.toStdString();

    rig.startAndSettle(8000);
    for (int i = 0; i < 30; ++i)
        rig.tick(1, {8000 + 37 * i, 8010 + 37 * i, 8020 + 37 * i});
    rig.m().choose(MenuItem::Stop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dump.read().contains("\"stop\""); }, kWaitMs));

    const std::vector<int32_t> file = fileReadings(rig.read(QStringLiteral("tempdata.tst")));
    const QList<QByteArray> readings = dump.lines("/aurivo/reading");
    ASSERT_GT(file.size(), 50u);
    ASSERT_EQ(size_t(readings.size()), file.size());
    const uint64_t tagSeconds = OscBundle::timeTag(rig.clock.dateTime) >> 32;
    for (size_t i = 0; i < file.size(); ++i) {
        const QList<QByteArray> f = readings[qsizetype(i)].split(' ');
        ASSERT_EQ(f.size(), 9) << readings[qsizetype(i)].constData();
        EXPECT_EQ(f[2], "ififfi");
        EXPECT_EQ(f[3].toInt(), int(i) + 1);
        EXPECT_NEAR(f[4].toDouble(), double(i + 1) / 20.0, 1e-6);
        const double ohms = numbers::ohmsFromReading(file[i]);
        EXPECT_NEAR(f[6].toDouble(), double(float(ohms)), 1e-3) << i;
        EXPECT_NEAR(f[7].toDouble(), double(float(1e6 / ohms)), 1e-5) << i;
        EXPECT_EQ(f[8].toInt(), 4);
        // Each carries the wall clock of its tick: within the seconds the test ran.
        const uint64_t seconds = f[0].split('.').value(0).toULongLong(nullptr, 16);
        EXPECT_LE(seconds, tagSeconds);
        EXPECT_GE(seconds + 60, tagSeconds);
    }
    const QList<QByteArray> sessions = dump.lines("/aurivo/session");
    ASSERT_EQ(sessions.size(), 2);
    EXPECT_TRUE(sessions[0].endsWith("ss \"start\" \"tempdata\"")) << sessions[0].constData();
    EXPECT_TRUE(sessions[1].endsWith("ss \"stop\" \"tempdata\"")) << sessions[1].constData();
    EXPECT_EQ(rig.m().labLink().counts().sent, int64_t(file.size()) + 2);
}

TEST(LabLinkSession, OscsendAndTextLinesSetMarkersWithinATick) {
    MonitorRig rig;
    LabLinkSettings settings;
    settings.receiveEnabled = true;
    settings.receivePort = freeUdpPort();
    QString notKept;
    EXPECT_TRUE(rig.m().applyLabLink(settings, notKept)) << notKept.toStdString();
    ASSERT_EQ(rig.m().labLink().listeningPort(), settings.receivePort);
    const auto oscsend = [&](const QStringList& args) {
        QStringList all{QStringLiteral("127.0.0.1"), QString::number(settings.receivePort),
                        QStringLiteral("/aurivo/marker")};
        EXPECT_EQ(QProcess::execute(QStringLiteral(OSCSEND_PATH), all + args), 0);
    };
    const auto markerCount = [&] { return rig.m().markers().markers().size(); };

    // Outside a session it is counted and ignored.
    oscsend({QStringLiteral("s"), QStringLiteral("early")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.m().labLink().counts().outsideSession == 1; }, kWaitMs));
    EXPECT_EQ(markerCount(), 0u);

    rig.startAndSettle(8000);
    rig.tick(3, {8100, 8100});
    oscsend({QStringLiteral("s"), QStringLiteral("Stimulus A")});
    // The event loop takes it before the next tick.
    ASSERT_TRUE(QTest::qWaitFor([&] { return markerCount() == 1; }, kWaitMs));
    rig.tick(1, {8200});
    oscsend({QStringLiteral("s"), QString()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return markerCount() == 2; }, kWaitMs));
    QUdpSocket plain;
    plain.writeDatagram("marker Tone\x07 off\n", QHostAddress::LocalHost, settings.receivePort);
    plain.writeDatagram("hello\n", QHostAddress::LocalHost, settings.receivePort);
    oscsend({QStringLiteral("i"), QStringLiteral("3")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return markerCount() == 3 && rig.m().labLink().counts().refused == 2; },
                                kWaitMs));

    const std::vector<Marker>& markers = rig.m().markers().markers();
    EXPECT_EQ(markers[0].label, QStringLiteral("Stimulus A"));
    EXPECT_EQ(markers[1].label, QStringLiteral("Marker 2"));
    EXPECT_EQ(markers[2].label, QStringLiteral("Tone off"));
    const QByteArray file = rig.read(QStringLiteral("tempdata.mrk"));
    EXPECT_TRUE(file.contains(",Stimulus A")) << file.constData();
    EXPECT_TRUE(file.contains(",Marker 2")) << file.constData();
    EXPECT_TRUE(file.contains(",Tone off")) << file.constData();
    // Each at the latest stored reading when it came.
    EXPECT_EQ(markers[2].reading, int64_t(rig.m().recorder().recordCount()) - 1);
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(LabLinkSession, APortInUseIsToldOnceAndTheSessionRecords) {
    MonitorRig rig;
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0));
    LabLinkSettings settings;
    settings.receiveEnabled = true;
    settings.receivePort = holder.localPort();
    QString notKept;
    EXPECT_TRUE(rig.m().applyLabLink(settings, notKept)) << notKept.toStdString();
    EXPECT_EQ(rig.m().labLink().listeningPort(), 0);
    EXPECT_TRUE(rig.m().labLink().lastError().contains(QString::number(settings.receivePort)));
    ASSERT_EQ(rig.boxes.notices.size(), 1u);
    EXPECT_TRUE(rig.boxes.notices[0].text.contains(QStringLiteral("cannot receive")));
    rig.startAndSettle(8000);
    rig.tick(5, {8100});
    rig.m().choose(MenuItem::Stop);
    EXPECT_GT(rig.m().recorder().recordCount(), 5);
}

} // namespace aurivo
