#include "device/PacketDecoder.h"

#include <algorithm>

bool PacketDecoder::Feed(uint8_t b) {
    const int p = PacketIndex;
    bool summed = true;

    if (p == 0) {
        if (b != kStartByte1) {
            Reject();
            return false;
        }
    } else if (p == 1) {
        if (b != kStartByte2) {
            Reject();
            return false;
        }
    } else if (p == 2) {
        if (b > kMaxLength) {
            Reject();
            return false;
        }
        PacketLength = b - 2;
    } else if (p >= 3 && p <= PacketLength) {
        // The bounds test only matters if the public state was set from outside; a length byte of at
        // most 75 keeps p - 3 within 0..70.
        if (p - 3 >= kBufferSize) {
            Reject();
            return false;
        }
        PacketBuffer[static_cast<size_t>(p - 3)] = b;
        // The check value's high byte is stored but not part of the sum.
        summed = (p != PacketLength);
    } else if (p == PacketLength + 1 && PacketLength >= 3 && PacketLength - 3 < kBufferSize) {
        const int32_t check = PacketBuffer[static_cast<size_t>(PacketLength - 3)] * 256 + b;
        if (check != PacketSum) {
            Reject();
            return false;
        }
        m_rawReading = PacketBuffer[0] * 256 + PacketBuffer[1];
        m_statusByte = PacketBuffer[2];
        PacketSum = 0;
        PacketIndex = 0;
        return true;
    } else {
        // Only reachable after a length byte below 5: the packet cannot hold its check value.
        Reject();
        return false;
    }

    if (summed)
        PacketSum += b;
    PacketIndex = p + 1;
    return false;
}

namespace {

// Frames a payload: start bytes, length byte, payload, then the sum of everything before the check.
QByteArray Frame(const QByteArray& payload) {
    QByteArray packet;
    packet.append(static_cast<char>(PacketDecoder::kStartByte1));
    packet.append(static_cast<char>(PacketDecoder::kStartByte2));
    packet.append(static_cast<char>(payload.size() + 5));
    packet.append(payload);
    int sum = 0;
    for (char c : packet)
        sum += static_cast<uint8_t>(c);
    packet.append(static_cast<char>(sum >> 8));
    packet.append(static_cast<char>(sum & 0xFF));
    return packet;
}

QByteArray ReadingPayload(uint16_t reading, uint8_t status) {
    QByteArray payload;
    payload.append(static_cast<char>(reading >> 8));
    payload.append(static_cast<char>(reading & 0xFF));
    payload.append(static_cast<char>(status));
    return payload;
}

} // namespace

QByteArray PacketDecoder::MakePacket(uint16_t reading, uint8_t status, const QByteArray& extra) {
    return Frame(ReadingPayload(reading, status) + extra.left(kMaxLength - 8));
}

QByteArray PacketDecoder::MakePacketOfLength(int length, uint16_t reading, uint8_t status, uint8_t fill) {
    length = std::clamp(length, kMinLength, kMaxLength);
    QByteArray payload = ReadingPayload(reading, status);
    while (payload.size() < length - 5)
        payload.append(static_cast<char>(fill));
    payload.truncate(length - 5);
    return Frame(payload);
}
