#include "core/TextItemReader.h"
#include "core/TextItemWriter.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

std::vector<QString> allItems(const QByteArray& data) {
    TextItemReader reader(data);
    std::vector<QString> items;
    while (auto item = reader.next())
        items.push_back(*item);
    return items;
}

std::vector<QString> items(std::initializer_list<const char*> texts) {
    std::vector<QString> out;
    for (const char* t : texts)
        out.push_back(QString::fromUtf8(t));
    return out;
}

} // namespace

TEST(TextItemWriter, QuotedTextsBareNumbersAndCrLf) {
    TextItemWriter w;
    w.writeNumber(-1250);
    w.writeText(QString());
    w.addNumber(8123);
    w.addNumber(30);
    w.endLine();
    w.addText(QStringLiteral("a"));
    w.addNumber(0);
    w.endLine();
    EXPECT_EQ(w.data(), QByteArray("-1250\r\n\"\"\r\n8123,30\r\n\"a\",0\r\n"));
}

TEST(TextItemReader, ItemsEndAtCommasAndLineEnds) {
    EXPECT_EQ(allItems("\"Port # \"\r\n3\r\n"), items({"Port # ", "3"}));
    EXPECT_EQ(allItems("a,b\nc\r\nd"), items({"a", "b", "c", "d"}));
    EXPECT_EQ(allItems("8123,30\r\n8130,35\r\n"), items({"8123", "30", "8130", "35"}));
    // Leading blanks skipped, trailing blanks of a bare item trimmed, inner blanks kept.
    EXPECT_EQ(allItems("   12 34  ,  x\r\n"), items({"12 34", "x"}));
    // An empty line is an empty item; an empty data set has no item at all.
    EXPECT_EQ(allItems("a\r\n\r\nb"), items({"a", "", "b"}));
    EXPECT_TRUE(allItems("").empty());
    EXPECT_TRUE(allItems("   ").empty());
    // A lone CR ends a line as well.
    EXPECT_EQ(allItems("a\rb"), items({"a", "b"}));
}

TEST(TextItemReader, QuotedItemsKeepCommasAndLineBreaks) {
    const QByteArray header = "\"MinADC\"\r\n\" 7312\"\r\n\"MaxADC\"\r\n\" 8000\"\r\n"
                              "\"Start of Session : 1/2/2024\r\nfirst, one\r\nsecond\"\r\n";
    EXPECT_EQ(allItems(header), items({"MinADC", " 7312", "MaxADC", " 8000",
                                       "Start of Session : 1/2/2024\r\nfirst, one\r\nsecond"}));
    // After the closing quote the rest up to the comma or line end is dropped: an inner quote ends the
    // comments there.
    EXPECT_EQ(allItems("\"say \"hi\" now\"\r\nnext"), items({"say ", "next"}));
    EXPECT_EQ(allItems("\"a\"  ,\"b\",c"), items({"a", "b", "c"}));
    // An unclosed quote runs to the end of the data.
    EXPECT_EQ(allItems("\"open, text\r\nmore"), items({"open, text\r\nmore"}));
    // A byte-order mark does not stick to the first item.
    EXPECT_EQ(allItems("\xEF\xBB\xBF\"Port # \"\r\n2"), items({"Port # ", "2"}));
}

TEST(TextItemReader, Utf8WithWindows1252Fallback) {
    EXPECT_EQ(TextItemReader::decode("Gr\xC3\xBC\xC3\x9F"
                                     "e"),
              QStringLiteral("Gr\u00FC\u00DFe"));
    // Lone high bytes are Windows-1252: 0x80 is the euro sign, 0x93/0x94 curly quotes, 0xFC u-umlaut.
    EXPECT_EQ(TextItemReader::decode("\x80 \x93x\x94 \xFC"), QStringLiteral("\u20AC \u201Cx\u201D \u00FC"));
    // Invalid UTF-8 forms (overlong, surrogate, cut short) fall back byte by byte.
    EXPECT_EQ(TextItemReader::decode("\xC0\xAF"), QStringLiteral("\u00C0\u00AF"));
    EXPECT_EQ(TextItemReader::decode("\xED\xA0\x80"), QStringLiteral("\u00ED\u00A0\u20AC"));
    EXPECT_EQ(TextItemReader::decode("a\xE2\x82"), QStringLiteral("a\u00E2\u201A"));
    // A four-byte sequence becomes a surrogate pair.
    EXPECT_EQ(TextItemReader::decode("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    // Undefined Windows-1252 codes keep their value.
    EXPECT_EQ(TextItemReader::decode("\x81").at(0).unicode(), 0x81);
}

} // namespace aurivo
