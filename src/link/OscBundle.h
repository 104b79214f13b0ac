#pragma once
// OSC 1.0 bundles: "#bundle", a time tag (NTP: seconds since 1 January 1900 in the high 32 bits, the
// fraction of a second in the low 32) and elements, each a size and a message or a further bundle.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <cstdint>
#include <optional>
#include <vector>

namespace aurivo {

class OscBundle {
  public:
    // Bundles inside bundles deeper than this are refused, so a hostile packet cannot nest without end.
    static constexpr int kMaxDepth = 8;

    static uint64_t timeTag(const QDateTime& wallClock);
    static QDateTime wallClock(uint64_t timeTag);

    static bool isBundle(QByteArrayView packet);
    // One bundle holding one element.
    static QByteArray wrap(uint64_t timeTag, QByteArrayView element);
    // The messages of a packet, bundles opened to their messages in order; none when any part is damaged.
    // A packet that is a message is its own one element.
    static std::optional<std::vector<QByteArrayView>> messages(QByteArrayView packet);
    // The time tag of a bundle.
    static std::optional<uint64_t> timeTagOf(QByteArrayView packet);
};

} // namespace aurivo
