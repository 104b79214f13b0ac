// Every reader of outside data under random and mutated valid input with fixed seeds: none may crash or
// step out of its buffers (the sanitizers watch), and each keeps the invariants the program relies on.

#include "ReferenceDecoder.h"
#include "SettingsFixture.h"
#include "TestFiles.h"
#include "core/NumberRules.h"
#include "device/PacketDecoder.h"
#include "recording/MarkerFile.h"
#include "recording/SavedSession.h"
#include "recording/SessionHeaderFile.h"
#include "recording/TimingFile.h"
#include "settings/SettingsFile.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aurivo;

QByteArray randomBytes(QRandomGenerator& rng, int maxLength) {
    QByteArray data(int(rng.bounded(maxLength + 1)), '\0');
    for (auto& c : data)
        c = char(rng.bounded(256));
    return data;
}

// A valid input with a few bytes changed, cut short, or with random bytes put in.
QByteArray mutated(QRandomGenerator& rng, QByteArray data) {
    for (int n = 1 + int(rng.bounded(4)); n > 0 && !data.isEmpty(); --n) {
        const int at = int(rng.bounded(int(data.size())));
        const int kind = int(rng.bounded(4));
        if (kind == 0)
            data[at] = char(rng.bounded(256));
        else if (kind == 1)
            data.truncate(at);
        else if (kind == 2)
            data.insert(at, randomBytes(rng, 8));
        else
            data.remove(at, int(rng.bounded(8)));
    }
    return data;
}

TEST(Fuzz, PacketDecoderAgreesWithTheReferenceAndKeepsItsStateInRange) {
    QRandomGenerator rng(11);
    for (int round = 0; round < 2000; ++round) {
        QByteArray stream;
        for (int p = int(rng.bounded(6)); p > 0; --p) {
            const QByteArray packet = PacketDecoder::makePacketOfLength(
                5 + int(rng.bounded(71)), uint16_t(rng.bounded(65536)), uint8_t(rng.bounded(256)));
            stream += rng.bounded(2) ? mutated(rng, packet) : packet;
        }
        PacketDecoder d;
        ReferenceDecoder::Results actual;
        for (char c : stream) {
            if (d.feed(uint8_t(c))) actual.emplace_back(d.rawReading(), d.statusByte());
            ASSERT_TRUE(d.packetIndex >= 0 && d.packetIndex < PacketDecoder::kMaxLength) << d.packetIndex;
            ASSERT_TRUE(d.packetSum >= 0 && d.packetSum <= 18179) << d.packetSum;
        }
        ASSERT_EQ(actual, ReferenceDecoder().run(stream)) << "round " << round;
    }
    // Even a state set from outside cannot make the decoder step out of its buffer.
    PacketDecoder d;
    d.packetIndex = 200;
    d.packetLength = 300;
    for (int i = 0; i < 400; ++i)
        d.feed(uint8_t(rng.bounded(256)));
}

TEST(Fuzz, SettingsReaderAlwaysEndsWithinItsChecks) {
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    QRandomGenerator rng(2024);
    for (int round = 0; round < 1500; ++round) {
        const QByteArray data =
            round % 2 ? mutated(rng, settingsText(int(rng.bounded(20)))) : randomBytes(rng, 400);
        writeFile(file.path(), data);
        Settings r;
        ASSERT_EQ(file.read(r).status, SettingsFile::ReadResult::Status::Ok);
        const double sensitivity = numbers::valueOf(r.sensitivityText);
        ASSERT_TRUE(r.commPortNumber >= 1 && r.commPortNumber <= 16 && sensitivity >= 20 &&
                    sensitivity <= 1000 && r.filterSize >= 1 && r.filterSize <= 8 &&
                    r.jitterRejection >= 50 && r.jitterRejection <= 255 && r.panelWeightSum >= 0 &&
                    r.panelWeightSum <= 28)
            << round << ": " << data.toHex().constData();
    }
}

TEST(Fuzz, HeaderItemsReadBackAndArbitraryBytesGiveAtMostTheItemsAsked) {
    QRandomGenerator rng(7);
    const QString alphabet = QStringLiteral("abc 019,.-'\u00e9\u20ac\r\n\"");
    for (int round = 0; round < 1500; ++round) {
        QStringList items, expected; // read back with quotes as single quotes, every line break as CR LF
        for (int i = int(rng.bounded(7)); i > 0; --i) {
            QString item;
            for (int k = int(rng.bounded(12)); k > 0; --k)
                item += alphabet[int(rng.bounded(int(alphabet.size())))];
            items << item;
            expected << item.replace(QLatin1Char('"'), QLatin1Char('\''))
                            .replace(QRegularExpression(QStringLiteral("\r\n|\r|\n")),
                                     QStringLiteral("\r\n"));
        }
        const QByteArray bytes = SessionHeaderFile::bytes(items);
        ASSERT_EQ(SessionHeaderFile::parseBytes(bytes, 10), expected) << bytes.constData();
        const int maxItems = int(rng.bounded(7));
        const QByteArray noise = rng.bounded(2) ? mutated(rng, bytes) : randomBytes(rng, 200);
        ASSERT_LE(SessionHeaderFile::parseBytes(noise, maxItems).size(), maxItems);
    }
}

TEST(Fuzz, SavedSessionLoadsWithinItsRangeOrSaysWhy) {
    QTemporaryDir dir;
    const QString tst = dir.filePath(QStringLiteral("s.Tst")), hdr = dir.filePath(QStringLiteral("s.Hdr"));
    QRandomGenerator rng(5);
    const QByteArray header = SessionHeaderFile::bytes(
        {QStringLiteral("MinADC"), QStringLiteral("7000"), QStringLiteral("MaxADC"), QStringLiteral("9000"),
         QStringLiteral("Start of Session : 1/2/2024 10:00:00 AM\r\nnotes")});
    for (int round = 0; round < 1000; ++round) {
        writeFile(hdr, round % 4 == 0 ? randomBytes(rng, 120) : mutated(rng, header));
        writeFile(tst, randomBytes(rng, 64));
        for (bool withReadings : {true, false}) {
            const SavedSession s = SavedSession::load(tst, hdr, withReadings);
            if (!s.ok()) continue;
            ASSERT_EQ(qint64(s.readings.size()), withReadings ? s.lengthBytes / 4 : 0) << round;
            if (!s.hasRange) continue;
            ASSERT_TRUE(s.minADC >= 1 && s.minADC <= s.maxADC && s.maxADC <= 16383) << round;
            ASSERT_EQ(s.lengthBytes % 4, 0);
        }
    }
}

TEST(Fuzz, MarkerFileReadsDamagedFilesWithinTheirLines) {
    QTemporaryDir dir;
    const MarkerFile file(dir.filePath(QStringLiteral("s.mrk")));
    QString reason;
    for (const char* label : {"tone", "a, \"quoted\" one", "caf\xc3\xa9"})
        ASSERT_TRUE(file.append(Marker{12.5, 250, QString::fromUtf8(label)}, reason)) << qPrintable(reason);
    const QByteArray valid = readFile(file.path());
    QRandomGenerator rng(3);
    for (int round = 0; round < 300; ++round) {
        const QByteArray bytes = round % 3 ? mutated(rng, valid) : randomBytes(rng, 100);
        writeFile(file.path(), bytes);
        // Half the rounds know the session's length, as the replay and the export do.
        const std::optional<int64_t> readingCount = round % 2 ? std::optional<int64_t>(250) : std::nullopt;
        MarkerFile::Contents contents;
        ASSERT_TRUE(MarkerFile::read(file.path(), contents, reason, readingCount)) << qPrintable(reason);
        ASSERT_LE(qsizetype(contents.markers.size()) + contents.skippedLines, bytes.count('\n') + 1);
        for (const Marker& m : contents.markers)
            ASSERT_TRUE(m.reading >= 0 && m.reading <= readingCount.value_or(INT64_MAX)) << round;
    }
}

TEST(Fuzz, TimingFileGivesEveryReadingATimeThatNeverGoesBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.tim"));
    QByteArray valid = TimingFile::kHeaderLine + QByteArrayLiteral("\r\n");
    for (const auto& [reading, ms] : {std::pair{1, 1400}, {3, 1600}, {4, 1610}, {12, 1800}, {13, 21800}})
        valid += TimingFile::line(reading, ms);
    QRandomGenerator rng(4);
    for (int round = 0; round < 300; ++round) {
        writeFile(path, round % 3 ? mutated(rng, valid) : randomBytes(rng, 100));
        const int64_t count = rng.bounded(40);
        TimingFile::Contents contents;
        bool exists = false;
        QString reason;
        ASSERT_TRUE(TimingFile::read(path, count, contents, exists, reason)) << qPrintable(reason);
        int64_t lastTick = 0;
        for (size_t i = 0; i < contents.anchors.size(); ++i) {
            const TimingAnchor& a = contents.anchors[i];
            ASSERT_TRUE(a.reading >= 1 && a.reading <= count && a.milliseconds >= 0) << round;
            const TimingAnchor before = i > 0 ? contents.anchors[i - 1] : TimingAnchor{};
            ASSERT_TRUE(a.reading > before.reading && a.milliseconds >= before.milliseconds) << round;
            lastTick = a.milliseconds;
        }
        const TimingFile::Times times = TimingFile::readingTimes(contents.anchors, count);
        ASSERT_EQ(int64_t(times.milliseconds.size()), count);
        for (int64_t i = 0; i < count; ++i) {
            const int64_t t = times.milliseconds[size_t(i)];
            ASSERT_TRUE(t >= 0 && t <= lastTick + TimingFile::kReadingStepMs * count) << round << " " << i;
            ASSERT_GE(t, i > 0 ? times.milliseconds[size_t(i - 1)] : 0) << round << " " << i;
        }
    }
}
