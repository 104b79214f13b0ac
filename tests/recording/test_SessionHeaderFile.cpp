#include "recording/SessionHeaderFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aurivo {

TEST(SessionHeaderFile, ItemsEndAtCommasOutsideQuotesAndAtLineEnds) {
    const QString text = QStringLiteral("\"MinADC\"\r\n\" 7312\"\n\"a, b\r\nc\",plain , x\r\n\r\nlast");
    EXPECT_EQ(SessionHeaderFile::parseItems(text, 10),
              (QStringList{QStringLiteral("MinADC"), QStringLiteral(" 7312"), QStringLiteral("a, b\r\nc"),
                           QStringLiteral("plain"), QStringLiteral("x"), QString(), QStringLiteral("last")}));
    EXPECT_EQ(SessionHeaderFile::parseItems(text, 2).size(), 2);
    // A quote inside the comments ends the item.
    EXPECT_EQ(
        SessionHeaderFile::parseItems(QStringLiteral("\"1\"\r\n\"He said \"hi\" there\"\r\n\"next\"\r\n"), 5),
        (QStringList{QStringLiteral("1"), QStringLiteral("He said "), QStringLiteral("next")}));
}

TEST(SessionHeaderFile, WrittenItemsReadBackAndOtherBytesAreWindows1252) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.hdr"));
    QString reason;
    const QStringList items{QStringLiteral("MinADC"), QStringLiteral(" 8000"), QStringLiteral("MaxADC"),
                            QStringLiteral(" 8020"), QStringLiteral("line \"one\"\nline, two\u00e9")};
    ASSERT_TRUE(SessionHeaderFile::writeItems(path, items, reason));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8020\"\r\n"
                                      "\"line 'one'\r\nline, two\xc3\xa9\"\r\n"));
    f.close();
    QStringList back;
    ASSERT_TRUE(SessionHeaderFile::readItems(path, 5, back, reason));
    EXPECT_EQ(back[4], QStringLiteral("line 'one'\r\nline, two\u00e9"));
    EXPECT_FALSE(SessionHeaderFile::readItems(dir.filePath(QStringLiteral("none")), 5, back, reason));
    EXPECT_FALSE(reason.isEmpty());

    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\"caf\xe9 \x80\"\r\n");
    f.close();
    ASSERT_TRUE(SessionHeaderFile::readItems(path, 5, back, reason));
    EXPECT_EQ(back, QStringList{QStringLiteral("caf\u00e9 \u20ac")});
}

} // namespace aurivo
