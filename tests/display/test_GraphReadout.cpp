#include "core/NumberRules.h"
#include "display/GraphReadout.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace aurivo;

ReadoutPoint at(int64_t reading, double seconds, int32_t averageReading, const QString& session = {}) {
    return ReadoutPoint{reading, seconds, numbers::ohmsFromReading(averageReading), session};
}

TEST(GraphReadout, ALiveColumnShowsTheLastReadingOfItsPointAndThePointsAverage) {
    // Column, yCompress, readings stored. Record 3 was never written: it is left out of the sum, which is
    // still divided by yCompress, as a rebuild draws the point.
    const std::vector<int32_t> readings{8000, 8010, 0, 8030, 8040, 8050, 8060};
    const std::tuple<int, int32_t, int64_t, std::optional<ReadoutPoint>> rows[] = {
        {1, 1, 7, at(1, 0.0, 8000)},  {7, 1, 7, at(7, 0.30, 8060)}, {8, 1, 7, std::nullopt},
        {0, 1, 7, std::nullopt},      {1, 3, 7, at(3, 0.10, 5337)}, {2, 3, 7, at(6, 0.25, 8040)},
        {3, 3, 7, std::nullopt},      {2, 3, 5, std::nullopt}, // the point of records 4..6 is not drawn yet
        {2, 0, 7, at(2, 0.05, 8010)},                          // a compression below 1 counts as 1
    };
    for (const auto& [column, compress, stored, expected] : rows)
        EXPECT_EQ(GraphReadout::live(column, readings, stored, compress), expected)
            << column << " " << compress;
}

TEST(GraphReadout, AReplayNamesTheNearestSessionOrEverySessionInTheColumn) {
    const std::vector<ReplayTrace> traces{{QStringLiteral("calm"), 0x00FFFF00, {400000, 410000}, {100, 90}},
                                          {QStringLiteral("loud"), 0x0000FFFF, {500000}, {40}}};
    const ReadoutPoint calm1{4, 0.15, 400000, QStringLiteral("calm")},
        loud1{4, 0.15, 500000, QStringLiteral("loud")};
    const std::tuple<int, std::optional<int>, std::vector<ReadoutPoint>> rows[] = {
        {1, 71, {calm1}},
        {1, 69, {loud1}},
        {1, std::nullopt, {calm1, loud1}}, // the keyboard: every session
        {2, 40, {{8, 0.35, 410000, QStringLiteral("calm")}}},
        {3, 40, {}}};
    for (const auto& [column, y, expected] : rows)
        EXPECT_EQ(GraphReadout::replay(column, y, traces, 4), expected) << column << " " << y.value_or(-1);
}

TEST(GraphReadout, TextGivesTimeSampleResistanceAndConductance) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(GraphReadout::text({at(7, 0.30, 8060)}),
              QStringLiteral("00:00:00.30, sample 7: 485.3 kOhms, 2.06 uS"));
    EXPECT_EQ(GraphReadout::text({at(1668, 83.35, 16383, QStringLiteral("calm")), at(1, 0, 8000)}),
              QStringLiteral("calm: 00:01:23.35, sample 1668: 0.0 Ohms\n"
                             "00:00:00.00, sample 1: 492.5 kOhms, 2.03 uS"));
    EXPECT_TRUE(GraphReadout::text({}).isEmpty());
    QLocale::setDefault(QLocale::system());
}
