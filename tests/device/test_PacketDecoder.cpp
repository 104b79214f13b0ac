// The packet decoder: the documented edge cases, then a randomised comparison against a reference
// decoder written here independently, and a fuzz run over arbitrary bytes.

#include "device/PacketDecoder.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <array>
#include <random>
#include <utility>
#include <vector>

namespace {

using Result = std::pair<int, int>; // reading, status

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// Feeds bytes and collects the result of every valid packet.
std::vector<Result> FeedAll(PacketDecoder& d, const QByteArray& bytes) {
    std::vector<Result> results;
    for (char c : bytes)
        if (d.Feed(static_cast<uint8_t>(c)))
            results.emplace_back(d.RawReading(), d.StatusByte());
    return results;
}

const QByteArray kExample = Bytes({0xA3, 0x5B, 0x08, 0x1F, 0xBB, 0x04, 0x01, 0xE4});

TEST(PacketDecoder, ExamplePacketYieldsReadingAndStatusOnItsLastByte) {
    PacketDecoder d;
    for (int i = 0; i < kExample.size() - 1; ++i)
        EXPECT_FALSE(d.Feed(static_cast<uint8_t>(kExample[i]))) << "byte " << i;
    EXPECT_TRUE(d.Feed(static_cast<uint8_t>(kExample.back())));
    EXPECT_EQ(d.RawReading(), 8123);
    EXPECT_EQ(d.StatusByte(), 4);
    EXPECT_EQ(d.PacketIndex, 0);
    EXPECT_EQ(d.PacketSum, 0);
    EXPECT_EQ(PacketDecoder::MakePacket(8123, 4), kExample);
}

TEST(PacketDecoder, WrongCheckValueIsRejectedAndLeavesResultsAlone) {
    PacketDecoder d;
    ASSERT_EQ(FeedAll(d, PacketDecoder::MakePacket(1000, 5)).size(), 1u);
    QByteArray bad = kExample;
    bad[7] = static_cast<char>(0xE5);
    EXPECT_TRUE(FeedAll(d, bad).empty());
    EXPECT_EQ(d.RawReading(), 1000);
    EXPECT_EQ(d.StatusByte(), 5);
    EXPECT_EQ(d.PacketIndex, 0);
    EXPECT_EQ(d.PacketSum, 0);
    // A wrong high byte of the check value is caught as well.
    bad = kExample;
    bad[6] = 0x02;
    EXPECT_TRUE(FeedAll(d, bad).empty());
    // And the decoder is ready for the next packet at once.
    EXPECT_EQ(FeedAll(d, kExample), (std::vector<Result>{{8123, 4}}));
}

TEST(PacketDecoder, LengthAbove75IsRejectedAtTheLengthByte) {
    PacketDecoder d;
    FeedAll(d, Bytes({0xA3, 0x5B}));
    EXPECT_EQ(d.PacketIndex, 2);
    d.Feed(76);
    EXPECT_EQ(d.PacketIndex, 0);
    EXPECT_EQ(d.PacketSum, 0);
    // The bytes after it are examined from the start again, so a packet right behind is found.
    EXPECT_EQ(FeedAll(d, kExample), (std::vector<Result>{{8123, 4}}));
    // 75 is the longest accepted length, and its largest possible sum still fits the check value.
    const QByteArray longest = PacketDecoder::MakePacketOfLength(75, 0xFFFF, 0xFF, 0xFF);
    ASSERT_EQ(longest.size(), 75);
    EXPECT_EQ(static_cast<uint8_t>(longest[73]) * 256 + static_cast<uint8_t>(longest[74]), 18179);
    EXPECT_EQ(FeedAll(d, longest), (std::vector<Result>{{65535, 255}}));
}

TEST(PacketDecoder, ExtraPayloadBytesAreSummedButDoNotChangeResults) {
    PacketDecoder d;
    const QByteArray ten = PacketDecoder::MakePacket(8123, 4, Bytes({0x11, 0x22}));
    ASSERT_EQ(ten.size(), 10);
    ASSERT_EQ(static_cast<uint8_t>(ten[2]), 10);
    EXPECT_EQ(FeedAll(d, ten), (std::vector<Result>{{8123, 4}}));
    // The extra bytes are stored after the status byte.
    EXPECT_EQ(d.PacketBuffer[3], 0x11);
    EXPECT_EQ(d.PacketBuffer[4], 0x22);
    // A check value computed without the extra bytes does not pass.
    QByteArray unsummed = ten;
    unsummed[8] = 0x01;
    unsummed[9] = static_cast<char>(0xE4 + 10 - 8);
    EXPECT_TRUE(FeedAll(d, unsummed).empty());
}

TEST(PacketDecoder, GarbageBeforeAPacketIsSkipped) {
    PacketDecoder d;
    EXPECT_EQ(FeedAll(d, Bytes({0x00, 0xFF, 0x12}) + kExample), (std::vector<Result>{{8123, 4}}));
    // A start byte followed by a wrong second byte is dropped together with that byte.
    EXPECT_EQ(FeedAll(d, Bytes({0xA3, 0x00}) + kExample), (std::vector<Result>{{8123, 4}}));
}

TEST(PacketDecoder, StatePersistsWhenAPacketArrivesInPieces) {
    PacketDecoder d;
    EXPECT_TRUE(FeedAll(d, kExample.left(5)).empty());
    EXPECT_EQ(d.PacketIndex, 5);
    EXPECT_EQ(d.PacketSum, 0xA3 + 0x5B + 0x08 + 0x1F + 0xBB);
    // The state is exactly the four named fields: a fresh decoder given them finishes the packet.
    PacketDecoder other;
    other.PacketIndex = d.PacketIndex;
    other.PacketLength = d.PacketLength;
    other.PacketSum = d.PacketSum;
    other.PacketBuffer = d.PacketBuffer;
    EXPECT_EQ(FeedAll(other, kExample.mid(5)), (std::vector<Result>{{8123, 4}}));
}

TEST(PacketDecoder, ShortPacketsReportStaleBufferBytes) {
    PacketDecoder d;
    ASSERT_EQ(FeedAll(d, kExample).size(), 1u); // buffer now 1F BB 04 01 E4
    // Length 5: index 0 takes the check high byte (01), indexes 1 and 2 are left from before.
    EXPECT_EQ(FeedAll(d, Bytes({0xA3, 0x5B, 0x05, 0x01, 0x03})), (std::vector<Result>{{0x01BB, 4}}));

    ASSERT_EQ(FeedAll(d, PacketDecoder::MakePacket(0x1234, 0x56)).size(), 1u);
    const QByteArray six = PacketDecoder::MakePacketOfLength(6, 0x7F00, 0);
    ASSERT_EQ(six.size(), 6);
    // Length 6: index 0 is the packet's own byte, index 1 its check high byte, index 2 stale.
    EXPECT_EQ(FeedAll(d, six), (std::vector<Result>{{0x7F * 256 + static_cast<uint8_t>(six[4]), 0x56}}));

    const QByteArray seven = PacketDecoder::MakePacketOfLength(7, 0x0102, 0);
    // Length 7: the status is the check value's high byte.
    EXPECT_EQ(FeedAll(d, seven), (std::vector<Result>{{0x0102, static_cast<uint8_t>(seven[5])}}));
}

TEST(PacketDecoder, LengthsBelowFiveAreRejectedAtOffsetThree) {
    for (int n = 0; n <= 4; ++n) {
        PacketDecoder d;
        FeedAll(d, Bytes({0xA3, 0x5B, n}));
        EXPECT_EQ(d.PacketIndex, 3) << "length " << n;
        d.Feed(0x00);
        EXPECT_EQ(d.PacketIndex, 0) << "length " << n;
        EXPECT_EQ(d.PacketSum, 0) << "length " << n;
        EXPECT_EQ(FeedAll(d, kExample), (std::vector<Result>{{8123, 4}})) << "length " << n;
    }
}

TEST(PacketDecoder, AStartByteThatCausesARejectionIsLost) {
    PacketDecoder d;
    // The second A3 is the offending byte at offset 1; the packet it starts is not recognised.
    EXPECT_TRUE(FeedAll(d, Bytes({0xA3}) + kExample).empty());
    // The same when the second start byte is followed by A3 in place of the length.
    EXPECT_TRUE(FeedAll(d, Bytes({0xA3, 0x5B, 0xA3}) + kExample.mid(1)).empty());
    EXPECT_EQ(FeedAll(d, kExample), (std::vector<Result>{{8123, 4}}));
}

// An independent reading of the protocol: collect the packet's bytes, check the sum over the whole
// collected prefix, and remember payload bytes in a buffer that is never cleared.
class ReferenceDecoder {
public:
    std::vector<Result> Run(const std::vector<uint8_t>& stream) {
        std::vector<Result> out;
        for (uint8_t b : stream) {
            m_packet.push_back(b);
            const size_t k = m_packet.size() - 1;
            bool keep = true;
            if (k == 0) {
                keep = b == 0xA3;
            } else if (k == 1) {
                keep = b == 0x5B;
            } else if (k == 2) {
                keep = b <= 75;
            } else {
                const size_t n = m_packet[2];
                if (n < 5) {
                    keep = false;
                } else if (k < n - 1) {
                    m_buffer[k - 3] = b;
                } else {
                    int sum = 0;
                    for (size_t i = 0; i + 2 < n; ++i)
                        sum += m_packet[i];
                    if (sum == m_packet[n - 2] * 256 + b)
                        out.emplace_back(m_buffer[0] * 256 + m_buffer[1], m_buffer[2]);
                    keep = false; // done either way
                }
            }
            if (!keep)
                m_packet.clear();
        }
        return out;
    }

private:
    std::vector<uint8_t> m_packet;
    std::array<uint8_t, 76> m_buffer{};
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
            QByteArray packet = PacketDecoder::MakePacketOfLength(length, static_cast<uint16_t>(byte(rng) * 256 + byte(rng)),
                                                                  static_cast<uint8_t>(byte(rng)), static_cast<uint8_t>(byte(rng)));
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

        const std::vector<Result> expected = ReferenceDecoder().Run(stream);
        // Split the stream at random points; between pieces, carry the state over in its named
        // fields only, as a later read would find it.
        std::vector<Result> actual;
        PacketDecoder d;
        size_t pos = 0;
        while (pos < stream.size()) {
            const size_t piece = std::min<size_t>(stream.size() - pos, 1 + byte(rng) % 40);
            for (size_t i = 0; i < piece; ++i)
                if (d.Feed(stream[pos + i]))
                    actual.emplace_back(d.RawReading(), d.StatusByte());
            pos += piece;
            PacketDecoder next;
            next.PacketIndex = d.PacketIndex;
            next.PacketLength = d.PacketLength;
            next.PacketSum = d.PacketSum;
            next.PacketBuffer = d.PacketBuffer;
            d = next;
        }
        ASSERT_EQ(actual, expected) << "round " << round;
        // Garbage and corrupted packets cost some packets, but most get through.
        EXPECT_GT(static_cast<int>(actual.size()), cleanPackets / 2) << "round " << round;
    }
}

TEST(PacketDecoder, BackToBackPacketsAllArrive) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray stream;
    std::vector<Result> sent;
    for (int i = 0; i < 2000; ++i) {
        const uint16_t reading = static_cast<uint16_t>(byte(rng) * 64 + byte(rng) % 64);
        const uint8_t status = static_cast<uint8_t>(byte(rng));
        QByteArray extra;
        for (int e = byte(rng) % 4; e > 0; --e)
            extra.append(static_cast<char>(byte(rng)));
        stream += PacketDecoder::MakePacket(reading, status, extra);
        sent.emplace_back(reading, status);
    }
    PacketDecoder d;
    EXPECT_EQ(FeedAll(d, stream), sent);
}

TEST(PacketDecoder, ArbitraryBytesKeepTheStateInRange) {
    // Any byte sequence, including long runs of start bytes and length bytes near the limits; the
    // sanitizers catch any access outside the buffer.
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    PacketDecoder d;
    const uint8_t favourites[] = {0xA3, 0x5B, 0, 4, 5, 74, 75, 76, 0xFF};
    for (int i = 0; i < 500000; ++i) {
        const uint8_t b = byte(rng) % 2 ? favourites[byte(rng) % 9] : static_cast<uint8_t>(byte(rng));
        d.Feed(b);
        ASSERT_GE(d.PacketIndex, 0);
        ASSERT_LE(d.PacketIndex, PacketDecoder::kMaxLength - 1);
        ASSERT_GE(d.PacketSum, 0);
        ASSERT_LE(d.PacketSum, 18179);
    }
    // Even a state set from outside cannot make the decoder step out of its buffer.
    d.PacketIndex = 200;
    d.PacketLength = 300;
    for (int i = 0; i < 400; ++i)
        d.Feed(static_cast<uint8_t>(byte(rng)));
    d.PacketIndex = 80;
    d.PacketLength = 79;
    d.Feed(0);
    EXPECT_EQ(d.PacketIndex, 0);
}

} // namespace
