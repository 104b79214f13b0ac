// A session's readings keep their time: lost packets and a silent device leave their time in the timing
// file, and the export places the readings on the session's clock.

#include "MonitorRig.h"
#include "export/SessionExporter.h"

#include <QTemporaryDir>
#include <edflib.h>
#include <gtest/gtest.h>

namespace aurivo {

TEST(Timing, ASessionWithLostPacketsAndASilenceExportsOnItsOwnClock) {
    MonitorRig rig;
    Monitor& m = rig.m();
    QByteArray expectedTimes = "reading,time_s\r\n";
    int64_t ms = 0; // session time
    // One tick: the packets that arrived during it, then the tick, every 200 ms of session time; a tick
    // that stores readings is noted with the reading it stored first and the session time it ran at.
    const auto tick = [&](std::initializer_list<std::pair<int, uint8_t>> packets) {
        for (const auto& [reading, status] : packets)
            rig.comm.deliver(PacketDecoder::makePacket(uint16_t(reading), status));
        const int32_t before = m.recorder().recordCount();
        rig.clock.advance(200 - m.sessions().sessionStartDate().msecsTo(rig.clock.now()) % 200);
        ms = m.sessions().sessionStartDate().msecsTo(rig.clock.now());
        m.onTick();
        if (m.recorder().recordCount() > before)
            expectedTimes +=
                QByteArray::number(before) + ',' + QByteArray::number(double(ms) / 1000, 'f', 3) + "\r\n";
    };
    m.choose(MenuItem::Start);
    while (ms < 30000) // half the packets not valid: 10 readings a second
        tick({{8000, 0}, {8000, 4}, {8000, 0}, {8000, 4}});
    const int32_t lastBeforeSilence = m.recorder().recordCount() - 1;
    while (ms < 50000)
        tick({});
    while (ms < 80800) {
        tick({{8400, 4}, {8400, 4}, {8400, 4}, {8400, 4}});
        if (ms == 70200) m.addMarker();
    }
    m.choose(MenuItem::Stop);
    const int32_t count = m.recorder().recordCount() - 1;
    EXPECT_EQ(rig.read("tempdata.tim"), expectedTimes);
    EXPECT_TRUE(expectedTimes.contains('\n' + QByteArray::number(lastBeforeSilence - 1) + ",30.000\r\n" +
                                       QByteArray::number(lastBeforeSilence + 1) + ",50.200\r\n"))
        << expectedTimes.toStdString();

    QTemporaryDir out;
    const QString csv = out.filePath("s.csv"), edf = out.filePath("s.edf");
    for (const QString& file : {csv, edf}) {
        const ExportResult result = SessionExporter::run(rig.path("tempdata.tst"), file);
        ASSERT_EQ(result.status, ExportStatus::Done) << result.error.toStdString();
        EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join('\n').toStdString();
    }
    // The readings of a tick lie 50 ms apart up to the tick's time; the silence stays in the time.
    const QList<QByteArray> lines = readFile(csv).split('\n');
    ASSERT_EQ(lines.size(), count + 2);
    const auto timeOf = [&](int32_t reading) { return lines[reading].split(',')[0]; };
    EXPECT_EQ(timeOf(lastBeforeSilence - 1), "29.950");
    EXPECT_EQ(timeOf(lastBeforeSilence), "30.000");
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(timeOf(lastBeforeSilence + k), QByteArray::number(50.0 + 0.05 * k, 'f', 3)) << k;
    EXPECT_EQ(timeOf(count), "80.800");
    const auto marked = std::find_if(lines.begin(), lines.end(),
                                     [](const QByteArray& line) { return line.endsWith(",Marker 1\r"); });
    ASSERT_NE(marked, lines.end());
    EXPECT_TRUE(marked->startsWith("70.200,")) << marked->toStdString();

    edf_hdr_struct hdr;
    ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(edf).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS),
              0);
    EXPECT_EQ(hdr.file_duration, 81LL * EDFLIB_TIME_DIMENSION);        // whole data records of one second
    std::map<QByteArray, std::pair<long long, long long>> annotations; // text: onset, duration (100 ns)
    for (int i = 0; i < hdr.annotations_in_file; ++i) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(hdr.handle, i, &a), 0);
        annotations[a.annotation] = {a.onset, a.duration_l};
    }
    const long long s = EDFLIB_TIME_DIMENSION;
    EXPECT_EQ(annotations["Marker 1"].first, 702 * s / 10);
    EXPECT_EQ(annotations["gap 20.0 s"], std::pair(3005 * s / 100, 20 * s));
    EXPECT_EQ(annotations["Recording ends"].first, 8085 * s / 100);
    // Samples at their time: 8000 before and through the silence, 8400 after it.
    std::vector<double> kiloOhms(size_t(hdr.signalparam[1].smp_in_file));
    ASSERT_EQ(edfread_physical_samples(hdr.handle, 1, int(kiloOhms.size()), kiloOhms.data()),
              int(kiloOhms.size()));
    edfclose_file(hdr.handle);
    for (const auto& [seconds, reading] :
         {std::pair{29.9, 8000}, {40.0, 8000}, {50.0, 8000}, {60.0, 8400}, {80.8, 8400}})
        EXPECT_NEAR(kiloOhms[size_t(seconds * 20)], (16383.0 * 470000 / reading - 470000) / 1000, 0.05)
            << seconds;

    // Without its timing file (a session recorded before there was one) the readings count 20 a second.
    ASSERT_TRUE(QFile::remove(rig.path("tempdata.tim")));
    ASSERT_EQ(SessionExporter::run(rig.path("tempdata.tst"), csv).status, ExportStatus::Done);
    const QList<QByteArray> nominal = readFile(csv).split('\n');
    ASSERT_EQ(nominal.size(), count + 2);
    EXPECT_TRUE(nominal[count].startsWith(QByteArray::number((count - 1) * 0.05, 'f', 3) + ','));
}

} // namespace aurivo
