#include "link/OscMessage.h"

#include <QtEndian>
#include <bit>
#include <cstring>

namespace aurivo {

namespace {

void appendPadded(QByteArray& out, QByteArrayView bytes) {
    out.append(bytes.data(), bytes.size());
    // A string always ends with at least one NUL; every part ends on a multiple of 4.
    out.append(4 - (bytes.size() % 4), '\0');
}

void appendInt(QByteArray& out, uint32_t value) {
    char be[4];
    qToBigEndian(value, be);
    out.append(be, 4);
}

// Reads a packet from the front, never past its end.
class Cursor {
  public:
    explicit Cursor(QByteArrayView bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ == bytes_.size(); }

    std::optional<QByteArrayView> string() {
        const qsizetype end = bytes_.indexOf('\0', pos_);
        if (end < 0) return std::nullopt;
        const QByteArrayView text = bytes_.sliced(pos_, end - pos_);
        const qsizetype next = (end / 4 + 1) * 4;
        if (next > bytes_.size()) return std::nullopt;
        for (qsizetype i = end; i < next; ++i)
            if (bytes_[i] != '\0') return std::nullopt;
        pos_ = next;
        return text;
    }
    std::optional<uint32_t> word() {
        if (bytes_.size() - pos_ < 4) return std::nullopt;
        const uint32_t value = qFromBigEndian<uint32_t>(bytes_.data() + pos_);
        pos_ += 4;
        return value;
    }
    std::optional<QByteArrayView> blob() {
        const std::optional<uint32_t> size = word();
        if (!size || *size > uint32_t(bytes_.size() - pos_)) return std::nullopt;
        const qsizetype padded = (qsizetype(*size) + 3) / 4 * 4;
        if (padded > bytes_.size() - pos_) return std::nullopt;
        const QByteArrayView data = bytes_.sliced(pos_, qsizetype(*size));
        pos_ += padded;
        return data;
    }

  private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

} // namespace

QByteArray OscMessage::typeTags() const {
    QByteArray tags;
    for (const OscArgument& argument : arguments)
        tags.append("ifsb"[argument.index()]);
    return tags;
}

QByteArray OscMessage::encode() const {
    QByteArray out;
    appendPadded(out, address);
    appendPadded(out, ',' + typeTags());
    for (const OscArgument& argument : arguments) {
        if (const auto* i = std::get_if<int32_t>(&argument)) {
            appendInt(out, uint32_t(*i));
        } else if (const auto* f = std::get_if<float>(&argument)) {
            appendInt(out, std::bit_cast<uint32_t>(*f));
        } else if (const auto* s = std::get_if<QString>(&argument)) {
            // A NUL would end the string early on the other side: it is left out.
            QByteArray utf8 = s->toUtf8();
            utf8.replace('\0', QByteArray());
            appendPadded(out, utf8);
        } else {
            const QByteArray& bytes = std::get<OscBlob>(argument).bytes;
            appendInt(out, uint32_t(bytes.size()));
            out.append(bytes);
            out.append((4 - bytes.size() % 4) % 4, '\0');
        }
    }
    return out;
}

std::optional<OscMessage> OscMessage::decode(QByteArrayView packet) {
    if (packet.size() % 4 != 0) return std::nullopt;
    Cursor cursor(packet);
    const std::optional<QByteArrayView> address = cursor.string();
    if (!address || address->isEmpty() || address->front() != '/') return std::nullopt;
    const std::optional<QByteArrayView> tags = cursor.string();
    if (!tags || tags->isEmpty() || tags->front() != ',') return std::nullopt;
    OscMessage message;
    message.address = address->toByteArray();
    for (const char tag : tags->sliced(1)) {
        switch (tag) {
        case 'i': {
            const std::optional<uint32_t> w = cursor.word();
            if (!w) return std::nullopt;
            message.arguments.emplace_back(int32_t(*w));
            break;
        }
        case 'f': {
            const std::optional<uint32_t> w = cursor.word();
            if (!w) return std::nullopt;
            message.arguments.emplace_back(std::bit_cast<float>(*w));
            break;
        }
        case 's': {
            const std::optional<QByteArrayView> s = cursor.string();
            if (!s) return std::nullopt;
            message.arguments.emplace_back(QString::fromUtf8(*s));
            break;
        }
        case 'b': {
            const std::optional<QByteArrayView> b = cursor.blob();
            if (!b) return std::nullopt;
            message.arguments.emplace_back(OscBlob{b->toByteArray()});
            break;
        }
        default:
            return std::nullopt;
        }
    }
    if (!cursor.atEnd()) return std::nullopt;
    return message;
}

} // namespace aurivo
