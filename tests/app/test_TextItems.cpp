#include "app/TextItemReader.h"
#include "app/TextItemWriter.h"

#include <gtest/gtest.h>

namespace {

std::vector<QString> AllItems(const QByteArray& data) {
    TextItemReader reader(data);
    std::vector<QString> items;
    while (auto item = reader.Next())
        items.push_back(*item);
    return items;
}

std::vector<QString> Items(std::initializer_list<const char*> texts) {
    std::vector<QString> out;
    for (const char* t : texts)
        out.push_back(QString::fromUtf8(t));
    return out;
}

} // namespace

TEST(TextItemWriter, QuotedTextsBareNumbersAndCrLf) {
    TextItemWriter w;
    w.WriteNumber(-1250);
    w.WriteText(QString());
    w.AddNumber(8123);
    w.AddNumber(30);
    w.EndLine();
    w.AddText(QStringLiteral("a"));
    w.AddNumber(0);
    w.EndLine();
    EXPECT_EQ(w.Data(), QByteArray("-1250\r\n\"\"\r\n8123,30\r\n\"a\",0\r\n"));
}

TEST(TextItemReader, ItemsEndAtCommasAndLineEnds) {
    EXPECT_EQ(AllItems("\"Port # \"\r\n3\r\n"), Items({"Port # ", "3"}));
    EXPECT_EQ(AllItems("a,b\nc\r\nd"), Items({"a", "b", "c", "d"}));
    EXPECT_EQ(AllItems("8123,30\r\n8130,35\r\n"), Items({"8123", "30", "8130", "35"}));
    // Leading blanks skipped, trailing blanks of a bare item trimmed, inner blanks kept.
    EXPECT_EQ(AllItems("   12 34  ,  x\r\n"), Items({"12 34", "x"}));
    // An empty line is an empty item; an empty data set has no item at all.
    EXPECT_EQ(AllItems("a\r\n\r\nb"), Items({"a", "", "b"}));
    EXPECT_TRUE(AllItems("").empty());
    EXPECT_TRUE(AllItems("   ").empty());
    // A lone CR ends a line as well.
    EXPECT_EQ(AllItems("a\rb"), Items({"a", "b"}));
}

TEST(TextItemReader, QuotedItemsKeepCommasAndLineBreaks) {
    const QByteArray header = "\"MinADC\"\r\n\" 7312\"\r\n\"MaxADC\"\r\n\" 8000\"\r\n"
                              "\"Start of Session : 1/2/2024\r\nfirst, one\r\nsecond\"\r\n";
    EXPECT_EQ(AllItems(header), Items({"MinADC", " 7312", "MaxADC", " 8000",
                                       "Start of Session : 1/2/2024\r\nfirst, one\r\nsecond"}));
    // After the closing quote the rest up to the comma or line end is dropped: an inner quote ends the
    // comments there.
    EXPECT_EQ(AllItems("\"say \"hi\" now\"\r\nnext"), Items({"say ", "next"}));
    EXPECT_EQ(AllItems("\"a\"  ,\"b\",c"), Items({"a", "b", "c"}));
    // An unclosed quote runs to the end of the data.
    EXPECT_EQ(AllItems("\"open, text\r\nmore"), Items({"open, text\r\nmore"}));
    // A byte-order mark does not stick to the first item.
    EXPECT_EQ(AllItems("\xEF\xBB\xBF\"Port # \"\r\n2"), Items({"Port # ", "2"}));
}

TEST(TextItemReader, Utf8WithWindows1252Fallback) {
    EXPECT_EQ(TextItemReader::Decode("Gr\xC3\xBC\xC3\x9F"
                                     "e"),
              QStringLiteral("Gr\u00FC\u00DFe"));
    // Lone high bytes are Windows-1252: 0x80 is the euro sign, 0x93/0x94 curly quotes, 0xFC u-umlaut.
    EXPECT_EQ(TextItemReader::Decode("\x80 \x93x\x94 \xFC"), QStringLiteral("\u20AC \u201Cx\u201D \u00FC"));
    // Invalid UTF-8 forms (overlong, surrogate, cut short) fall back byte by byte.
    EXPECT_EQ(TextItemReader::Decode("\xC0\xAF"), QStringLiteral("\u00C0\u00AF"));
    EXPECT_EQ(TextItemReader::Decode("\xED\xA0\x80"), QStringLiteral("\u00ED\u00A0\u20AC"));
    EXPECT_EQ(TextItemReader::Decode("a\xE2\x82"), QStringLiteral("a\u00E2\u201A"));
    // A four-byte sequence becomes a surrogate pair.
    EXPECT_EQ(TextItemReader::Decode("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    // Undefined Windows-1252 codes keep their value.
    EXPECT_EQ(TextItemReader::Decode("\x81").at(0).unicode(), 0x81);
}
