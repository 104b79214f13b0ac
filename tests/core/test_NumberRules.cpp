#include "core/NumberRules.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace aurivo;

using namespace numbers;

// 999999999999999.9 is rounded to 15 digits first and so takes the exponent form.
TEST(numberText, FormsOfCaptionsAndFiles) {
    QStringList texts;
    for (double value :
         {0.0, 100.0, 0.5, -0.5, -4.75, 12.3456, 1.5e-5, 1e15, -2.5e-7, 0.0001, 999999999999999.0,
          469942.626953125, 1.0 / 3.0, 16383.0, -100.0, 123456789012345678.0, 999999999999999.9, 0.1 + 0.2})
        texts << numberText(value);
    EXPECT_EQ(
        texts.join(QLatin1Char('|')),
        QStringLiteral(" 0| 100| .5|-.5|-4.75| 12.3456| 1.5E-05| 1E+15|-2.5E-07| .0001| 999999999999999"
                       "| 469942.626953125| .333333333333333| 16383|-100| 1.23456789012346E+17| 1E+15| .3"));
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
    // Whole division truncates toward zero; by zero it gives 0 rather than ending the program.
    EXPECT_EQ(intDiv(-7, 2), -3);
    EXPECT_EQ(intDiv(7, 1), 7);
    EXPECT_EQ(intDiv(7, 0), 0);
}

TEST(formatSessionTime, ClockTexts) {
    QStringList texts;
    for (double seconds : {0.0, 59.4, 59.5, 3723.0, 86399.0, 360000.0, -100.0})
        texts << formatSessionTime(seconds);
    EXPECT_EQ(texts.join(QLatin1Char(' ')),
              QStringLiteral("00:00:00 00:00:59 00:01:00 01:02:03 23:59:59 100:00:00 00:01:40"));
}

TEST(formatOhms, PrefixChosenBeforeRounding) {
    QStringList texts;
    for (double ohms : {470000.0, 1234567.0, 999.96, 0.0})
        texts << formatOhms(ohms, QLatin1Char('.'));
    texts << formatOhms(469942.6, QLatin1Char(','));
    EXPECT_EQ(texts.join(QLatin1Char('|')), QStringLiteral("470.0 k|1.2 M|1000.0 |0.0 |469,9 k"));
}
