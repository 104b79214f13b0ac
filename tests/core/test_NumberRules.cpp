#include "core/NumberRules.h"

#include <gtest/gtest.h>

namespace aurivo {

using namespace numbers;

TEST(numberText, FormsOfCaptionsAndFiles) {
    const std::pair<double, const char*> rows[] = {
        {0, " 0"},
        {100, " 100"},
        {0.5, " .5"},
        {-0.5, "-.5"},
        {-4.75, "-4.75"},
        {12.3456, " 12.3456"},
        {1.5e-5, " 1.5E-05"},
        {1e15, " 1E+15"},
        {-2.5e-7, "-2.5E-07"},
        {0.0001, " .0001"},
        {999999999999999.0, " 999999999999999"},
        {469942.626953125, " 469942.626953125"},
        {1.0 / 3.0, " .333333333333333"},
        {16383, " 16383"},
        {-100, "-100"},
        {123456789012345678.0, " 1.23456789012346E+17"},
    };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(numberText(value), QString::fromLatin1(text)) << value;
}

TEST(numberText, RoundingTo15DigitsDecidesTheForm) {
    // 999999999999999.9 rounds to 1E15 at 15 digits, so it takes the exponent form.
    EXPECT_EQ(numberText(999999999999999.9), QStringLiteral(" 1E+15"));
    EXPECT_EQ(numberText(0.1 + 0.2), QStringLiteral(" .3"));
}

TEST(valueOf, LeadingNumberOfAText) {
    const std::pair<const char*, double> rows[] = {
        {"", 0},     {"abc", 0},          {" 31", 31}, {"25abc", 25}, {"  -4.5x", -4.5},
        {".5", 0.5}, {"1.5E-05", 1.5e-5}, {"12E", 12}, {"-", 0},      {"7.5 kOhms", 7.5}};
    for (const auto& [text, value] : rows)
        EXPECT_EQ(valueOf(QString::fromLatin1(text)), value) << text;
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, int32_t> rows[] = {{2.5, 2},   {3.5, 4},    {-2.5, -2},
                                               {-3.5, -4}, {2.4999, 2}, {1e12, 2147483647}};
    for (const auto& [value, rounded] : rows)
        EXPECT_EQ(toLong(value), rounded) << value;
    EXPECT_EQ(toInteger(40000), 32767);
    EXPECT_EQ(toInteger(48.9), 49);
}

TEST(formatSessionTime, ClockTexts) {
    const std::pair<double, const char*> rows[] = {
        {0, "00:00:00"},     {59.4, "00:00:59"},    {59.5, "00:01:00"}, {3723, "01:02:03"},
        {86399, "23:59:59"}, {360000, "100:00:00"}, {-100, "00:01:40"},
    };
    for (const auto& [seconds, text] : rows)
        EXPECT_EQ(formatSessionTime(seconds), QString::fromLatin1(text));
}

TEST(formatOhms, PrefixChosenBeforeRounding) {
    EXPECT_EQ(formatOhms(470000, QLatin1Char('.')), QStringLiteral("470.0 k"));
    EXPECT_EQ(formatOhms(1234567, QLatin1Char('.')), QStringLiteral("1.2 M"));
    EXPECT_EQ(formatOhms(999.96, QLatin1Char('.')), QStringLiteral("1000.0 "));
    EXPECT_EQ(formatOhms(0, QLatin1Char('.')), QStringLiteral("0.0 "));
    EXPECT_EQ(formatOhms(469942.6, QLatin1Char(',')), QStringLiteral("469,9 k"));
}

TEST(Resistance, DividerFormula) {
    EXPECT_NEAR(ohmsFromReading(8192), 469942.626953125, 1e-6);
    EXPECT_DOUBLE_EQ(ohmsFromReading(16383), 0.0);
}

} // namespace aurivo
