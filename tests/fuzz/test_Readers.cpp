// Every reader of outside data under deterministic random and mutated-valid input (fixed seeds): the
// packet decoder against the shared reference decoder, the settings reader, the session header reader,
// the saved-session loader and the marker-file reader. None may crash or step out of its buffers (the
// sanitizers watch), and each keeps the invariants the rest of the program relies on.

#include "ReferenceDecoder.h"
#include "SettingsFixture.h"
#include "TestFiles.h"
#include "core/NumberRules.h"
#include "device/PacketDecoder.h"
#include "recording/MarkerFile.h"
#include "recording/SavedSession.h"
#include "recording/SessionHeaderFile.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

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
        switch (rng.bounded(4)) {
        case 0:
            data[at] = char(rng.bounded(256));
            break;
        case 1:
            data.truncate(at);
            break;
        case 2:
            data.insert(at, randomBytes(rng, 8));
            break;
        default:
            data.remove(at, int(rng.bounded(8)));
            break;
        }
    }
    return data;
}

} // namespace

TEST(Fuzz, PacketDecoderAgreesWithTheReferenceAndKeepsItsStateInRange) {
    QRandomGenerator rng(11);
    const uint8_t favourites[] = {0xA3, 0x5B, 0, 4, 5, 74, 75, 76, 0xFF};
    for (int round = 0; round < 2000; ++round) {
        QByteArray stream;
        for (int p = int(rng.bounded(6)); p > 0; --p) {
            const QByteArray packet = PacketDecoder::makePacketOfLength(
                5 + int(rng.bounded(71)), uint16_t(rng.bounded(65536)), uint8_t(rng.bounded(256)));
            stream += rng.bounded(2) ? mutated(rng, packet) : packet;
            if (rng.bounded(3) == 0)
                for (int g = int(rng.bounded(6)); g > 0; --g)
                    stream += char(rng.bounded(2) ? favourites[rng.bounded(9)] : rng.bounded(256));
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
    d.packetIndex = 80;
    d.packetLength = 79;
    d.feed(0);
    EXPECT_EQ(d.packetIndex, 0);
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
        QStringList items;
        for (int i = int(rng.bounded(7)); i > 0; --i) {
            QString item;
            for (int k = int(rng.bounded(12)); k > 0; --k)
                item += alphabet[int(rng.bounded(int(alphabet.size())))];
            items << item;
        }
        // What the reader gives back: quotes as single quotes, every line break as CR LF.
        QStringList expected;
        for (QString item : items)
            expected << item.replace(QLatin1Char('"'), QLatin1Char('\''))
                            .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                            .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                            .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
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
            ASSERT_TRUE(s.minADC >= 1 && s.minADC <= s.maxADC && s.maxADC <= 16383) << round;
            ASSERT_EQ(s.lengthBytes % 4, 0);
            ASSERT_EQ(qint64(s.readings.size()), withReadings ? s.lengthBytes / 4 : 0) << round;
        }
    }
}

TEST(Fuzz, MarkerFileReadsBackWhatWasWrittenAndSkipsWhatIsDamaged) {
    QTemporaryDir dir;
    const MarkerFile file(dir.filePath(QStringLiteral("s.mrk")));
    QRandomGenerator rng(3);
    const QString alphabet = QStringLiteral("ab ,\"\u00e9\t\r\n1.");
    for (int round = 0; round < 300; ++round) {
        QString reason;
        ASSERT_TRUE(file.remove(reason));
        std::vector<Marker> written;
        for (int i = int(rng.bounded(5)); i > 0; --i) {
            Marker m{double(rng.bounded(10000000)) / 1000, int64_t(rng.bounded(100000)), QString()};
            for (int k = int(rng.bounded(10)); k > 0; --k)
                m.label += alphabet[int(rng.bounded(int(alphabet.size())))];
            ASSERT_TRUE(file.append(m, reason)) << qPrintable(reason);
            for (QChar& c : m.label)
                if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
            written.push_back(m);
        }
        MarkerFile::Contents contents;
        ASSERT_TRUE(MarkerFile::read(file.path(), contents, reason)) << qPrintable(reason);
        ASSERT_EQ(contents.markers, written) << round;
        ASSERT_EQ(contents.skippedLines, 0);
        if (written.empty()) continue; // no marker, no file

        QFile f(file.path());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        writeFile(file.path(), round % 3 ? mutated(rng, bytes) : randomBytes(rng, 100));
        if (MarkerFile::read(file.path(), contents, reason)) {
            ASSERT_GE(contents.skippedLines, 0);
            ASSERT_LE(contents.markers.size(), written.size() + 4);
        }
    }
}

} // namespace aurivo
