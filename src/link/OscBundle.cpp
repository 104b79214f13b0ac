#include "link/OscBundle.h"

#include <QtEndian>

namespace aurivo {

namespace {

constexpr char kHead[] = "#bundle"; // with its NUL, 8 bytes
constexpr qsizetype kHeadSize = 8;
// Seconds from 1 January 1900 (NTP's era 0) to 1 January 1970.
constexpr int64_t kNtpToUnixSeconds = 2208988800LL;

bool collect(QByteArrayView packet, int depth, std::vector<QByteArrayView>& out) {
    if (!OscBundle::isBundle(packet)) {
        out.push_back(packet);
        return true;
    }
    if (depth >= OscBundle::kMaxDepth || packet.size() < kHeadSize + 8) return false;
    qsizetype pos = kHeadSize + 8;
    while (pos < packet.size()) {
        if (packet.size() - pos < 4) return false;
        const uint32_t size = qFromBigEndian<uint32_t>(packet.data() + pos);
        pos += 4;
        if (size == 0 || size % 4 != 0 || size > uint32_t(packet.size() - pos)) return false;
        if (!collect(packet.sliced(pos, qsizetype(size)), depth + 1, out)) return false;
        pos += qsizetype(size);
    }
    return true;
}

} // namespace

uint64_t OscBundle::timeTag(const QDateTime& wallClock) {
    const int64_t ms = wallClock.toMSecsSinceEpoch();
    const int64_t seconds = ms / 1000 + kNtpToUnixSeconds - (ms % 1000 < 0 ? 1 : 0);
    const int64_t fractionMs = ((ms % 1000) + 1000) % 1000;
    const uint64_t fraction = (uint64_t(fractionMs) << 32) / 1000;
    return (uint64_t(uint32_t(seconds)) << 32) | fraction;
}

QDateTime OscBundle::wallClock(uint64_t timeTag) {
    const int64_t seconds = int64_t(timeTag >> 32) - kNtpToUnixSeconds;
    // Rounded to the nearest millisecond, so a tag made from a time gives that time back.
    const int64_t ms = int64_t(((timeTag & 0xFFFFFFFFULL) * 1000 + (1ULL << 31)) >> 32);
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000 + ms, Qt::UTC);
}

bool OscBundle::isBundle(QByteArrayView packet) {
    return packet.size() >= kHeadSize && packet.first(kHeadSize) == QByteArrayView(kHead, kHeadSize);
}

QByteArray OscBundle::wrap(uint64_t timeTag, QByteArrayView element) {
    QByteArray out(kHead, kHeadSize);
    char word[8];
    qToBigEndian(timeTag, word);
    out.append(word, 8);
    qToBigEndian(uint32_t(element.size()), word);
    out.append(word, 4);
    out.append(element.data(), element.size());
    return out;
}

std::optional<std::vector<QByteArrayView>> OscBundle::messages(QByteArrayView packet) {
    std::vector<QByteArrayView> out;
    if (!collect(packet, 0, out)) return std::nullopt;
    return out;
}

std::optional<uint64_t> OscBundle::timeTagOf(QByteArrayView packet) {
    if (!isBundle(packet) || packet.size() < kHeadSize + 8) return std::nullopt;
    return qFromBigEndian<uint64_t>(packet.data() + kHeadSize);
}

} // namespace aurivo
