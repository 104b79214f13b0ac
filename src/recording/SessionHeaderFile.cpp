#include "recording/SessionHeaderFile.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// Text of a file: UTF-8, or Windows-1252 for bytes that are not valid UTF-8 (files written elsewhere).
QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    // 0x80..0x9F are the only bytes where Windows-1252 differs from Latin-1.
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return text;
}

} // namespace

QStringList SessionHeaderFile::ParseItems(const QString& text, int maxItems) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    const auto isLineEnd = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    while (items.size() < maxItems) {
        while (pos < n && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')))
            ++pos;
        if (pos >= n) break;
        QString item;
        if (text[pos] == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), pos + 1);
            const qsizetype end = close < 0 ? n : close;
            item = text.mid(pos + 1, end - pos - 1);
            pos = close < 0 ? n : close + 1;
            // Anything between the closing quote and the delimiter is dropped.
            while (pos < n && text[pos] != QLatin1Char(',') && !isLineEnd(text[pos]))
                ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < n && text[pos] != QLatin1Char(',') && !isLineEnd(text[pos]))
                ++pos;
            item = text.mid(start, pos - start);
            while (item.endsWith(QLatin1Char(' ')) || item.endsWith(QLatin1Char('\t')))
                item.chop(1);
        }
        if (pos < n) {
            if (text[pos] == QLatin1Char('\r')) {
                ++pos;
                if (pos < n && text[pos] == QLatin1Char('\n')) ++pos;
            } else {
                ++pos; // comma or LF
            }
        }
        items.append(item);
    }
    return items;
}

bool SessionHeaderFile::ReadItems(const QString& path, int maxItems, QStringList& items, QString& reason) {
    items.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    items = ParseItems(DecodeText(file.readAll()), maxItems);
    return true;
}

bool SessionHeaderFile::WriteItems(const QString& path, const QStringList& items, QString& reason) {
    QByteArray out;
    for (QString item : items) {
        item.replace(QLatin1Char('"'), QLatin1Char('\''));
        item.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        item.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        item.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        out += '"';
        out += item.toUtf8();
        out += "\"\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size()) {
        reason = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}
