#include "app/NumberRules.h"

#include <gtest/gtest.h>

using namespace NumberRules;

TEST(NumberText, FormsOfCaptionsAndFiles) {
    const std::pair<double, const char*> rows[] = {
        {0, " 0"},           {100, " 100"},         {0.5, " .5"},           {-0.5, "-.5"},
        {-4.75, "-4.75"},    {12.3456, " 12.3456"}, {1.5e-5, " 1.5E-05"},   {1e15, " 1E+15"},
        {-2.5e-7, "-2.5E-07"}, {0.0001, " .0001"},  {999999999999999.0, " 999999999999999"},
        {469942.626953125, " 469942.626953125"},    {1.0 / 3.0, " .333333333333333"},
        {16383, " 16383"},   {-100, "-100"},        {123456789012345678.0, " 1.23456789012346E+17"},
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(NumberText(value), QString::fromLatin1(text)) << value;
}

TEST(NumberText, RoundingTo15DigitsDecidesTheForm) {
    // 999999999999999.9 rounds to 1E15 at 15 digits, so it takes the exponent form.
    EXPECT_EQ(NumberText(999999999999999.9), QStringLiteral(" 1E+15"));
    EXPECT_EQ(NumberText(0.1 + 0.2), QStringLiteral(" .3"));
}

TEST(ValueOf, LeadingNumberOfAText) {
    const std::pair<const char*, double> rows[] = {
        {"", 0},        {"abc", 0}, {" 31", 31},           {"25abc", 25}, {"  -4.5x", -4.5},
        {".5", 0.5},    {"1.5E-05", 1.5e-5}, {"12E", 12}, {"-", 0},      {"7.5 kOhms", 7.5}};
    for (const auto& [text, value] : rows) EXPECT_EQ(ValueOf(QString::fromLatin1(text)), value) << text;
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, int32_t> rows[] = {{2.5, 2},        {3.5, 4},          {-2.5, -2},
                                               {-3.5, -4},      {2.4999, 2},       {1e12, 2147483647}};
    for (const auto& [value, rounded] : rows) EXPECT_EQ(ToLong(value), rounded) << value;
    EXPECT_EQ(ToInteger(40000), 32767);
    EXPECT_EQ(ToInteger(48.9), 49);
}

TEST(FormatSessionTime, ClockTexts) {
    const std::pair<double, const char*> rows[] = {
        {0, "00:00:00"},      {59.4, "00:00:59"},    {59.5, "00:01:00"}, {3723, "01:02:03"},
        {86399, "23:59:59"}, {360000, "100:00:00"}, {-100, "00:01:40"},
    };
    for (const auto& [seconds, text] : rows) EXPECT_EQ(FormatSessionTime(seconds), QString::fromLatin1(text));
}

TEST(FormatOhms, PrefixChosenBeforeRounding) {
    EXPECT_EQ(FormatOhms(470000, QLatin1Char('.')), QStringLiteral("470.0 k"));
    EXPECT_EQ(FormatOhms(1234567, QLatin1Char('.')), QStringLiteral("1.2 M"));
    EXPECT_EQ(FormatOhms(999.96, QLatin1Char('.')), QStringLiteral("1000.0 "));
    EXPECT_EQ(FormatOhms(0, QLatin1Char('.')), QStringLiteral("0.0 "));
    EXPECT_EQ(FormatOhms(469942.6, QLatin1Char(',')), QStringLiteral("469,9 k"));
}

TEST(Resistance, DividerFormula) {
    EXPECT_NEAR(OhmsFromReading(8192), 469942.626953125, 1e-6);
    EXPECT_DOUBLE_EQ(OhmsFromReading(16383), 0.0);
}
