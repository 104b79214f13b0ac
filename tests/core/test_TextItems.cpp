#include "core/TextItemReader.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace aurivo;

TEST(TextItemReader, ItemsEndAtCommasAndLineEndsOutsideQuotes) {
    const std::pair<const char*, const char*> rows[] = {
        {"\"Port # \"\r\n3\r\n", "Port # |3"},
        {"a,b\nc\r\nd", "a|b|c|d"},
        {"a\rb", "a|b"},                   // a lone CR ends a line as well
        {"   12 34  ,  x\r\n", "12 34|x"}, // leading blanks skipped, trailing ones of a bare item trimmed
        {"a\r\n\r\nb", "a||b"},            // an empty line is an empty item
        {"", ""},
        {"   ", ""},
        {"\"MinADC\"\r\n\" 7312\"\r\n\"Start : 1/2\r\nfirst, one\"\r\n",
         "MinADC| 7312|Start : 1/2\r\nfirst, one"},
        {"\"say \"hi\" now\"\r\nnext", "say |next"}, // the rest after a closing quote is dropped
        {"\"a\"  ,\"b\",c", "a|b|c"},
        {"\"open, text\r\nmore", "open, text\r\nmore"}, // an unclosed quote runs to the end
        {"\xEF\xBB\xBF\"Port # \"\r\n2", "Port # |2"},  // a byte-order mark is not part of the item
    };
    for (const auto& [data, expected] : rows) {
        TextItemReader reader{QByteArray(data)};
        QStringList items;
        while (auto item = reader.next())
            items << *item;
        EXPECT_EQ(items.join(QLatin1Char('|')), QString::fromLatin1(expected)) << data;
        EXPECT_TRUE(reader.atEnd());
    }
}

// UTF-8 where the bytes form a valid sequence, Windows-1252 byte by byte elsewhere.
TEST(TextItemReader, Utf8WithWindows1252Fallback) {
    const std::pair<const char*, const char16_t*> rows[] = {
        {"Gr\xC3\xBC\xC3\x9F!", u"Gr\u00FC\u00DF!"},
        {"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
         "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F\xA0\xFC",
         u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ\u00A0ü"},       // undefined codes kept
        {"\xC0\xAF", u"\u00C0\u00AF"},                                               // overlong
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},                                     // first surrogate
        {"\xED\xBF\xBF", u"\u00ED\u00BF\u00BF"},                                     // last surrogate
        {"\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000"},                               // around the surrogates
        {"\xF4\x8F\xBF\xBF\xF4\x90\x80\x80", u"\U0010FFFF\u00F4\u0090\u20AC\u20AC"}, // beyond U+10FFFF
        {"a\xE2\x82", u"a\u00E2\u201A"},                                             // cut short
        {"\xF0\x9F\x98\x80", u"\U0001F600"},                                         // a surrogate pair
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(TextItemReader::decode(bytes), QString::fromUtf16(text)) << bytes;
}
