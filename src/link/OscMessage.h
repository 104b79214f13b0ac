#pragma once
// One OSC 1.0 message: an address and its arguments, as bytes on the wire and back. Only the argument
// types the lab link speaks or must step over are known: int32 (i), float32 (f), string (s) and blob (b);
// a packet with any other type is refused whole, as is one whose sizes or padding do not add up.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace aurivo {

// The bytes of a blob argument, kept apart from a string so that a type tag 's' and 'b' never mix.
struct OscBlob {
    QByteArray bytes;
    bool operator==(const OscBlob&) const = default;
};

using OscArgument = std::variant<int32_t, float, QString, OscBlob>;

struct OscMessage {
    QByteArray address; // starts with '/'
    std::vector<OscArgument> arguments;

    // The type tag string without its leading comma ("ififfi").
    QByteArray typeTags() const;
    // Big-endian, each part padded with NULs to a multiple of 4 bytes.
    QByteArray encode() const;
    // None for anything that is not exactly one well-formed message.
    static std::optional<OscMessage> decode(QByteArrayView packet);

    bool operator==(const OscMessage&) const = default;
};

} // namespace aurivo
