#include "core/TextItemReader.h"

namespace aurivo {

namespace {

// Windows-1252 characters 0x80..0x9F; the five codes it leaves undefined keep their own value, as
// Windows itself decodes them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence starting at bytes[i] and its code point; 0 when the bytes there are
// not valid UTF-8 (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut short).
int utf8Sequence(QByteArrayView bytes, qsizetype i, char32_t* codePoint) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(at(i + k))) return 0;
        cp = (cp << 6) | (at(i + k) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *codePoint = cp;
    return length;
}

char16_t cp1252(unsigned char c) {
    return (c >= 0x80 && c <= 0x9F) ? kCp1252High[c - 0x80] : char16_t(c);
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

TextItemReader::TextItemReader(QByteArray data) : data_(std::move(data)) {
    // A byte-order mark written by some editors is not part of the first item.
    if (data_.startsWith("\xEF\xBB\xBF")) pos_ = 3;
}

QString TextItemReader::decode(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        const int length = utf8Sequence(bytes, i, &cp);
        if (length == 0) {
            text.append(QChar(cp1252(static_cast<unsigned char>(bytes[i]))));
            ++i;
        } else {
            const char32_t one[1] = {cp};
            text.append(QString::fromUcs4(one, 1));
            i += length;
        }
    }
    return text;
}

std::optional<QString> TextItemReader::next() {
    const qsizetype size = data_.size();
    while (pos_ < size && data_[pos_] == ' ')
        ++pos_;
    if (pos_ >= size) return std::nullopt;

    if (data_[pos_] == '"') {
        const qsizetype start = pos_ + 1;
        qsizetype end = data_.indexOf('"', start);
        if (end < 0) end = size; // an unclosed quote runs to the end of the data
        const QString item = decode(QByteArrayView(data_).sliced(start, end - start));
        pos_ = end < size ? end + 1 : size;
        while (pos_ < size && data_[pos_] != ',' && !isLineEnd(data_[pos_]))
            ++pos_;
        skipDelimiter();
        return item;
    }

    const qsizetype start = pos_;
    while (pos_ < size && data_[pos_] != ',' && !isLineEnd(data_[pos_]))
        ++pos_;
    qsizetype end = pos_;
    while (end > start && data_[end - 1] == ' ')
        --end;
    const QString item = decode(QByteArrayView(data_).sliced(start, end - start));
    skipDelimiter();
    return item;
}

void TextItemReader::skipDelimiter() {
    const qsizetype size = data_.size();
    if (pos_ >= size) return;
    if (data_[pos_] == ',' || data_[pos_] == '\n') {
        ++pos_;
    } else if (data_[pos_] == '\r') {
        ++pos_;
        if (pos_ < size && data_[pos_] == '\n') ++pos_;
    }
}

} // namespace aurivo
