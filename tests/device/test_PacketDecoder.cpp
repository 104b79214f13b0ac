// The packet decoder's edge cases (arbitrary streams against the reference decoder: the fuzz tests).

#include "device/PacketDecoder.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

using Results = std::vector<std::pair<int, int>>; // reading, status

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray withByte(QByteArray bytes, int at, int value) {
    bytes[at] = static_cast<char>(value);
    return bytes;
}

const QByteArray kExample = bytes({0xA3, 0x5B, 0x08, 0x1F, 0xBB, 0x04, 0x01, 0xE4});
const Results kExampleResult{{8123, 4}};

TEST(PacketDecoder, EdgeCases) {
    EXPECT_EQ(PacketDecoder::makePacket(8123, 4), kExample);
    const QByteArray ten = PacketDecoder::makePacket(8123, 4, bytes({0x11, 0x22}));
    const auto ofLength = PacketDecoder::makePacketOfLength;
    const QByteArray longest = ofLength(75, 0xFFFF, 0xFF, 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(longest[73]) * 256 + static_cast<uint8_t>(longest[74]), 18179);
    struct Row {
        const char* what;
        QByteArray stream;
        Results expected;
    };
    const Row rows[] = {
        {"example", kExample, kExampleResult},
        {"garbage before", bytes({0x00, 0xFF, 0x12}) + kExample, kExampleResult},
        {"wrong second byte dropped with the start", bytes({0xA3, 0x00}) + kExample, kExampleResult},
        {"wrong check low byte", withByte(kExample, 7, 0xE5) + kExample, kExampleResult},
        {"wrong check high byte", withByte(kExample, 6, 0x02) + kExample, kExampleResult},
        {"length 76 rejected at the length byte", bytes({0xA3, 0x5B, 76}) + kExample, kExampleResult},
        {"longest length 75", longest, {{65535, 255}}},
        {"extra payload summed", ten, kExampleResult},
        {"check without the extra bytes", withByte(withByte(ten, 8, 0x01), 9, 0xE4 + 10 - 8), {}},
        // Short packets store what they have, their check's high byte too, over what earlier ones left.
        {"length 5", kExample + ofLength(5, 7, 7, 0), {{8123, 4}, {0x01BB, 4}}},
        {"length 6", longest + ofLength(6, 0x0102, 7, 0), {{65535, 255}, {0x0101, 255}}},
        {"start byte at offset 1 is lost", bytes({0xA3}) + kExample, {}},
        {"start byte as length is lost", bytes({0xA3, 0x5B, 0xA3}) + kExample.mid(1), {}},
        {"length 4 is lost with a start byte after it", bytes({0xA3, 0x5B, 4}) + kExample, {}},
    };
    for (const Row& r : rows) {
        // Fed whole, and byte by byte to a fresh decoder carrying over only the named state, as a later
        // read of the port would find it.
        PacketDecoder whole, piece;
        Results results, pieces;
        for (char c : r.stream + kExample) {
            if (whole.feed(static_cast<uint8_t>(c)))
                results.emplace_back(whole.rawReading(), whole.statusByte());
            PacketDecoder next;
            next.packetIndex = piece.packetIndex;
            next.packetLength = piece.packetLength;
            next.packetSum = piece.packetSum;
            next.packetBuffer = piece.packetBuffer;
            piece = next;
            if (piece.feed(static_cast<uint8_t>(c)))
                pieces.emplace_back(piece.rawReading(), piece.statusByte());
        }
        Results expected = r.expected;
        expected.emplace_back(8123, 4); // ready for the next packet
        EXPECT_EQ(results, expected) << r.what;
        EXPECT_EQ(pieces, expected) << r.what;
    }
    PacketDecoder d;
    for (char c : ten)
        d.feed(static_cast<uint8_t>(c));
    EXPECT_EQ(std::tuple(d.packetBuffer[3], d.packetBuffer[4], d.packetIndex, d.packetSum),
              std::tuple(0x11, 0x22, 0, 0));
}

} // namespace

} // namespace aurivo
