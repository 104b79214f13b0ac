#include "settings/Sensitivity.h"

#include <gtest/gtest.h>
#include <tuple>

namespace aurivo {

namespace {

std::tuple<int, double, QString> parts(const Sensitivity& s) {
    return {s.percent(), s.span(), s.text()};
}

TEST(Sensitivity, ChosenAndWidenedValuesShowTheFormTheyCameIn) {
    EXPECT_EQ(parts(Sensitivity::chosen(25)), std::tuple(25, 25.0, QStringLiteral("25")));
    EXPECT_EQ(parts(Sensitivity::chosen(1000)), std::tuple(1000, 1000.0, QStringLiteral("1000")));
    // The auto-range's value in the number-to-text form, with its leading blank.
    EXPECT_EQ(parts(Sensitivity::widened(31)), std::tuple(31, 31.0, QStringLiteral(" 31")));
}

TEST(Sensitivity, ATextReadFromTheFileIsKeptAsReadAndSpansItsLeadingNumber) {
    EXPECT_EQ(parts(Sensitivity::asRead(QStringLiteral("25abc"))),
              std::tuple(25, 25.0, QStringLiteral("25abc")));
    // The fraction reaches the graph; the whole percent rounds halves to even.
    EXPECT_EQ(parts(Sensitivity::asRead(QStringLiteral("30.5"))),
              std::tuple(30, 30.5, QStringLiteral("30.5")));
    EXPECT_EQ(parts(Sensitivity::asRead(QStringLiteral(" 31"))), std::tuple(31, 31.0, QStringLiteral(" 31")));
    EXPECT_EQ(parts(Sensitivity::asRead(QStringLiteral("abc"))), std::tuple(0, 0.0, QStringLiteral("abc")));
    EXPECT_EQ(parts(Sensitivity::asRead(QString())), std::tuple(0, 0.0, QString()));
}

} // namespace

} // namespace aurivo
