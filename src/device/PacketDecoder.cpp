#include "device/PacketDecoder.h"

#include <algorithm>

namespace aurivo {

bool PacketDecoder::feed(uint8_t b) {
    const int p = packetIndex;
    bool summed = true;

    if (p == 0) {
        if (b != kStartByte1) {
            reject();
            return false;
        }
    } else if (p == 1) {
        if (b != kStartByte2) {
            reject();
            return false;
        }
    } else if (p == 2) {
        if (b > kMaxLength) {
            reject();
            return false;
        }
        packetLength = b - 2;
    } else if (p >= 3 && p <= packetLength) {
        // The bounds test only matters if the public state was set from outside; a length byte of at
        // most 75 keeps p - 3 within 0..70.
        if (p - 3 >= kBufferSize) {
            reject();
            return false;
        }
        packetBuffer[static_cast<size_t>(p - 3)] = b;
        // The check value's high byte is stored but not part of the sum.
        summed = (p != packetLength);
    } else if (p == packetLength + 1 && packetLength >= 3 && packetLength - 3 < kBufferSize) {
        const int32_t check = packetBuffer[static_cast<size_t>(packetLength - 3)] * 256 + b;
        if (check != packetSum) {
            reject();
            return false;
        }
        rawReading_ = packetBuffer[0] * 256 + packetBuffer[1];
        statusByte_ = packetBuffer[2];
        packetSum = 0;
        packetIndex = 0;
        return true;
    } else {
        // Only reachable after a length byte below 5: the packet cannot hold its check value.
        reject();
        return false;
    }

    if (summed) packetSum += b;
    packetIndex = p + 1;
    return false;
}

namespace {

// Frames a payload: start bytes, length byte, payload, then the sum of everything before the check.
QByteArray frame(const QByteArray& payload) {
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

QByteArray readingPayload(uint16_t reading, uint8_t status) {
    QByteArray payload;
    payload.append(static_cast<char>(reading >> 8));
    payload.append(static_cast<char>(reading & 0xFF));
    payload.append(static_cast<char>(status));
    return payload;
}

} // namespace

QByteArray PacketDecoder::makePacket(uint16_t reading, uint8_t status, const QByteArray& extra) {
    return frame(readingPayload(reading, status) + extra.left(kMaxLength - 8));
}

QByteArray PacketDecoder::makePacketOfLength(int length, uint16_t reading, uint8_t status, uint8_t fill) {
    length = std::clamp(length, kMinLength, kMaxLength);
    QByteArray payload = readingPayload(reading, status);
    while (payload.size() < length - 5)
        payload.append(static_cast<char>(fill));
    payload.truncate(length - 5);
    return frame(payload);
}

} // namespace aurivo
