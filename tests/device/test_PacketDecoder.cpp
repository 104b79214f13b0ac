// The packet decoder: edge cases, a randomised comparison against an independent reference decoder,
// (arbitrary bytes: the fuzz tests).

#include "ReferenceDecoder.h"
#include "device/PacketDecoder.h"

#include <QByteArray>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

using Result = std::pair<int, int>; // reading, status
using Results = std::vector<Result>;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

Results feedAll(PacketDecoder& d, const QByteArray& bytes) {
    Results results;
    for (char c : bytes)
        if (d.feed(static_cast<uint8_t>(c))) results.emplace_back(d.rawReading(), d.statusByte());
    return results;
}

// Carries the decoder's state over in its named fields only, as a later read would find it.
PacketDecoder carryOver(const PacketDecoder& d) {
    PacketDecoder next;
    next.packetIndex = d.packetIndex;
    next.packetLength = d.packetLength;
    next.packetSum = d.packetSum;
    next.packetBuffer = d.packetBuffer;
    return next;
}

const QByteArray kExample = bytes({0xA3, 0x5B, 0x08, 0x1F, 0xBB, 0x04, 0x01, 0xE4});
const Results kExampleResult{{8123, 4}};

QByteArray withByte(QByteArray bytes, int at, int value) {
    bytes[at] = static_cast<char>(value);
    return bytes;
}

TEST(PacketDecoder, EdgeCases) {
    EXPECT_EQ(PacketDecoder::makePacket(8123, 4), kExample);
    const QByteArray ten = PacketDecoder::makePacket(8123, 4, bytes({0x11, 0x22}));
    ASSERT_EQ(ten.size(), 10);
    const QByteArray longest = PacketDecoder::makePacketOfLength(75, 0xFFFF, 0xFF, 0xFF);
    ASSERT_EQ(longest.size(), 75);
    EXPECT_EQ(static_cast<uint8_t>(longest[73]) * 256 + static_cast<uint8_t>(longest[74]), 18179);
    struct Row {
        const char* what;
        QByteArray stream;
        Results expected;
    };
    const Row rows[] = {
        {"example, result on the last byte only", kExample, kExampleResult},
        {"garbage before", bytes({0x00, 0xFF, 0x12}) + kExample, kExampleResult},
        {"wrong second byte dropped with the start", bytes({0xA3, 0x00}) + kExample, kExampleResult},
        {"wrong check low byte", withByte(kExample, 7, 0xE5) + kExample, kExampleResult},
        {"wrong check high byte", withByte(kExample, 6, 0x02) + kExample, kExampleResult},
        {"length 76 rejected at the length byte", bytes({0xA3, 0x5B, 76}) + kExample, kExampleResult},
        {"longest length 75", longest, {{65535, 255}}},
        {"extra payload summed", ten, kExampleResult},
        {"check without the extra bytes", withByte(withByte(ten, 8, 0x01), 9, 0xE4 + 10 - 8), {}},
        {"start byte at offset 1 is lost", bytes({0xA3}) + kExample, {}},
        {"start byte as length is lost", bytes({0xA3, 0x5B, 0xA3}) + kExample.mid(1), {}},
    };
    for (const Row& r : rows) {
        PacketDecoder d;
        EXPECT_EQ(feedAll(d, r.stream), r.expected) << r.what;
        EXPECT_EQ(feedAll(d, kExample), kExampleResult) << r.what << ": ready for the next packet";
    }
    // Lengths below five are rejected at offset three: a start byte there is lost with them.
    for (int n = 0; n <= 4; ++n) {
        PacketDecoder d;
        EXPECT_TRUE(feedAll(d, bytes({0xA3, 0x5B, n}) + kExample).empty()) << n;
        EXPECT_EQ(feedAll(d, kExample), kExampleResult) << n;
    }
    PacketDecoder d;
    feedAll(d, ten);
    EXPECT_EQ(d.packetBuffer[3], 0x11);
    EXPECT_EQ(d.packetBuffer[4], 0x22);
    EXPECT_EQ(d.packetIndex, 0);
    EXPECT_EQ(d.packetSum, 0);
}

TEST(PacketDecoder, MatchesAReferenceDecoderOnRandomStreams) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        QByteArray stream;
        int cleanPackets = 0;
        for (int i = 0; i < 500; ++i) {
            const int kind = byte(rng) % 10;
            if (kind == 0) { // garbage, which may contain start bytes
                for (int g = byte(rng) % 8; g > 0; --g)
                    stream.append(static_cast<char>(byte(rng) % 3 == 0 ? 0xA3 : byte(rng)));
                continue;
            }
            const int length = 5 + byte(rng) % 71;
            QByteArray packet = PacketDecoder::makePacketOfLength(
                length, static_cast<uint16_t>(byte(rng) * 256 + byte(rng)), static_cast<uint8_t>(byte(rng)),
                static_cast<uint8_t>(byte(rng)));
            for (int p = 6; p < length - 2; ++p) // vary the extra payload too, keeping the check right
                packet[p] = static_cast<char>(byte(rng));
            int sum = 0;
            for (int p = 0; p < length - 2; ++p)
                sum += static_cast<uint8_t>(packet[p]);
            packet[length - 2] = static_cast<char>(sum >> 8);
            packet[length - 1] = static_cast<char>(sum & 0xFF);
            if (kind == 1) // a corrupted byte somewhere
                packet[byte(rng) % length] = static_cast<char>(byte(rng));
            else
                ++cleanPackets;
            stream += packet;
        }

        const Results expected = ReferenceDecoder().run(stream);
        // Split the stream at random points, carrying the state over between pieces.
        Results actual;
        PacketDecoder d;
        for (qsizetype pos = 0; pos < stream.size();) {
            const qsizetype piece = std::min<qsizetype>(stream.size() - pos, 1 + byte(rng) % 40);
            for (qsizetype i = 0; i < piece; ++i)
                if (d.feed(static_cast<uint8_t>(stream[pos + i])))
                    actual.emplace_back(d.rawReading(), d.statusByte());
            pos += piece;
            d = carryOver(d);
        }
        ASSERT_EQ(actual, expected) << "round " << round;
        EXPECT_GT(static_cast<int>(actual.size()), cleanPackets / 2) << "round " << round;
    }
}

} // namespace

} // namespace aurivo
