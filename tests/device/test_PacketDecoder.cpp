// The packet decoder: edge cases, a randomised comparison against an independent reference decoder,
// and a fuzz run over arbitrary bytes.

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

TEST(PacketDecoder, ShortPacketsReportStaleBufferBytes) {
    PacketDecoder d;
    ASSERT_EQ(feedAll(d, kExample).size(), 1u); // buffer now 1F BB 04 01 E4
    // Length 5: index 0 takes the check high byte (01), indexes 1 and 2 are left from before.
    EXPECT_EQ(feedAll(d, bytes({0xA3, 0x5B, 0x05, 0x01, 0x03})), (Results{{0x01BB, 4}}));
    ASSERT_EQ(feedAll(d, PacketDecoder::makePacket(0x1234, 0x56)).size(), 1u);
    // Length 6: index 0 is the packet's own byte, index 1 its check high byte, index 2 stale.
    const QByteArray six = PacketDecoder::makePacketOfLength(6, 0x7F00, 0);
    EXPECT_EQ(feedAll(d, six), (Results{{0x7F * 256 + static_cast<uint8_t>(six[4]), 0x56}}));
    // Length 7: the status is the check value's high byte.
    const QByteArray seven = PacketDecoder::makePacketOfLength(7, 0x0102, 0);
    EXPECT_EQ(feedAll(d, seven), (Results{{0x0102, static_cast<uint8_t>(seven[5])}}));
}

// An independent reading of the protocol: collect the packet's bytes, check the sum over the whole
// collected prefix, and remember payload bytes in a buffer that is never cleared.
class ReferenceDecoder {
  public:
    Results run(const std::vector<uint8_t>& stream) {
        Results out;
        for (uint8_t b : stream) {
            packet_.push_back(b);
            const size_t k = packet_.size() - 1;
            bool keep = true;
            if (k == 0) {
                keep = b == 0xA3;
            } else if (k == 1) {
                keep = b == 0x5B;
            } else if (k == 2) {
                keep = b <= 75;
            } else {
                const size_t n = packet_[2];
                if (n < 5) {
                    keep = false;
                } else if (k < n - 1) {
                    buffer_[k - 3] = b;
                } else {
                    int sum = 0;
                    for (size_t i = 0; i + 2 < n; ++i)
                        sum += packet_[i];
                    if (sum == packet_[n - 2] * 256 + b)
                        out.emplace_back(buffer_[0] * 256 + buffer_[1], buffer_[2]);
                    keep = false; // done either way
                }
            }
            if (!keep) packet_.clear();
        }
        return out;
    }

  private:
    std::vector<uint8_t> packet_;
    std::array<uint8_t, 76> buffer_{};
};

TEST(PacketDecoder, MatchesAReferenceDecoderOnRandomStreams) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        std::vector<uint8_t> stream;
        int cleanPackets = 0;
        for (int i = 0; i < 500; ++i) {
            const int kind = byte(rng) % 10;
            if (kind == 0) { // garbage, which may contain start bytes
                for (int g = byte(rng) % 8; g > 0; --g)
                    stream.push_back(static_cast<uint8_t>(byte(rng) % 3 == 0 ? 0xA3 : byte(rng)));
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
            for (char c : packet)
                stream.push_back(static_cast<uint8_t>(c));
        }

        const Results expected = ReferenceDecoder().run(stream);
        // Split the stream at random points, carrying the state over between pieces.
        Results actual;
        PacketDecoder d;
        for (size_t pos = 0; pos < stream.size();) {
            const size_t piece = std::min<size_t>(stream.size() - pos, 1 + byte(rng) % 40);
            for (size_t i = 0; i < piece; ++i)
                if (d.feed(stream[pos + i])) actual.emplace_back(d.rawReading(), d.statusByte());
            pos += piece;
            d = carryOver(d);
        }
        ASSERT_EQ(actual, expected) << "round " << round;
        EXPECT_GT(static_cast<int>(actual.size()), cleanPackets / 2) << "round " << round;
    }
}

TEST(PacketDecoder, ArbitraryBytesKeepTheStateInRange) {
    // Long runs of start bytes and lengths near the limits; the sanitizers catch any out-of-buffer access.
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    PacketDecoder d;
    const uint8_t favourites[] = {0xA3, 0x5B, 0, 4, 5, 74, 75, 76, 0xFF};
    for (int i = 0; i < 500000; ++i) {
        d.feed(byte(rng) % 2 ? favourites[byte(rng) % 9] : static_cast<uint8_t>(byte(rng)));
        ASSERT_TRUE(d.packetIndex >= 0 && d.packetIndex < PacketDecoder::kMaxLength) << d.packetIndex;
        ASSERT_TRUE(d.packetSum >= 0 && d.packetSum <= 18179) << d.packetSum;
    }
    // Even a state set from outside cannot make the decoder step out of its buffer.
    d.packetIndex = 200;
    d.packetLength = 300;
    for (int i = 0; i < 400; ++i)
        d.feed(static_cast<uint8_t>(byte(rng)));
    d.packetIndex = 80;
    d.packetLength = 79;
    d.feed(0);
    EXPECT_EQ(d.packetIndex, 0);
}

} // namespace

} // namespace aurivo
