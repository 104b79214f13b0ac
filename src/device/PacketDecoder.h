#pragma once
// Byte-by-byte state machine that finds device packets in the serial stream and verifies their check
// value. The state is kept between calls, so a packet may arrive split over any number of reads.
//
// Packet: A3 5B N <payload: reading hi, reading lo, status, extra...> <check hi> <check lo>, where N is
// the whole length (5..75) and the check value is the plain sum of offsets 0..N-3. Byte k >= 3 of a
// packet is stored at packetBuffer[k - 3]; the buffer is never cleared, so short packets (N < 8) report
// bytes left over from earlier packets, exactly as the device's original reader did.

#include <QByteArray>
#include <array>
#include <cstdint>

namespace aurivo {

class PacketDecoder {
  public:
    static constexpr int kStartByte1 = 163; // 0xA3
    static constexpr int kStartByte2 = 91;  // 0x5B
    static constexpr int kMinLength = 5;
    static constexpr int kMaxLength = 75;
    static constexpr int kBufferSize = 76;

    // Runs one byte through the state machine. Returns true when this byte completed a valid packet;
    // rawReading() and statusByte() then hold its results. A rejected byte is dropped (not examined
    // again as a start byte) and the search starts over with the next byte.
    bool feed(uint8_t b);

    // Results of the last valid packet, always from buffer indexes 0..2 whatever the packet's length.
    int32_t rawReading() const { return rawReading_; }
    int32_t statusByte() const { return statusByte_; }

    // Length byte N of the packet that Feed() just completed (valid only right after Feed returned true).
    int completedLength() const { return packetLength + 2; }

    // A valid packet with length 8 + extra.size() (extra must hold at most 67 bytes).
    static QByteArray makePacket(uint16_t reading, uint8_t status, const QByteArray& extra = {});
    // A valid packet of any accepted length 5..75: the payload is reading hi, reading lo, status, then
    // `fill` bytes, cut off after N - 5 bytes (so N = 5..7 carry only part of the reading).
    static QByteArray makePacketOfLength(int length, uint16_t reading, uint8_t status, uint8_t fill = 0);

    // Decoder state, named as in the device protocol notes; all start at 0 and survive across calls.
    int packetIndex = 0;   // offset within the packet of the next byte to examine
    int packetLength = 0;  // N - 2: offset of the check value's high byte
    int32_t packetSum = 0; // sum of the accepted bytes of the summed range
    std::array<uint8_t, kBufferSize> packetBuffer{};

  private:
    void reject() {
        packetSum = 0;
        packetIndex = 0;
    }

    int32_t rawReading_ = 0;
    int32_t statusByte_ = 0;
};

} // namespace aurivo
