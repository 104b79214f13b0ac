#include "core/NumberRules.h"
#include "display/GraphReadout.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

ReadoutPoint at(int64_t reading, double seconds, int32_t averageReading, const QString& session = {}) {
    return ReadoutPoint{reading, seconds, numbers::ohmsFromReading(averageReading), session};
}

} // namespace

TEST(GraphReadout, ALiveColumnShowsTheLastReadingOfItsPointAndThePointsAverage) {
    // Record 3 was never written: it is left out of the sum, which is still divided by yCompress, as a
    // rebuild draws the point.
    const std::vector<int32_t> readings{8000, 8010, 0, 8030, 8040, 8050, 8060};
    struct Row {
        int column;
        int32_t compress;
        int64_t stored;
        std::optional<ReadoutPoint> expected;
    };
    const Row rows[] = {
        {1, 1, 7, at(1, 0.0, 8000)},  {7, 1, 7, at(7, 0.30, 8060)}, {8, 1, 7, std::nullopt},
        {0, 1, 7, std::nullopt},      {1, 3, 7, at(3, 0.10, 5337)}, {2, 3, 7, at(6, 0.25, 8040)},
        {3, 3, 7, std::nullopt},      {2, 3, 5, std::nullopt}, // the point of records 4..6 is not drawn yet
        {2, 0, 7, at(2, 0.05, 8010)},                          // a compression below 1 counts as 1
    };
    for (const Row& row : rows)
        EXPECT_EQ(GraphReadout::live(row.column, readings, row.stored, row.compress), row.expected)
            << "column " << row.column << " compress " << row.compress;
}

TEST(GraphReadout, AReplayNamesTheNearestSessionOrEverySessionInTheColumn) {
    const std::vector<ReplayTrace> traces{{QStringLiteral("calm"), 0x00FFFF00, {400000, 410000}, {100, 90}},
                                          {QStringLiteral("loud"), 0x0000FFFF, {500000}, {40}}};
    const auto point = [&](int64_t reading, double seconds, const ReplayTrace& t, size_t i) {
        return ReadoutPoint{reading, seconds, t.ohms[i], t.name};
    };
    EXPECT_EQ(GraphReadout::replay(1, 71, traces, 4),
              std::vector<ReadoutPoint>{point(4, 0.15, traces[0], 0)});
    EXPECT_EQ(GraphReadout::replay(1, 69, traces, 4),
              std::vector<ReadoutPoint>{point(4, 0.15, traces[1], 0)});
    EXPECT_EQ(GraphReadout::replay(1, std::nullopt, traces, 4),
              (std::vector<ReadoutPoint>{point(4, 0.15, traces[0], 0), point(4, 0.15, traces[1], 0)}));
    EXPECT_EQ(GraphReadout::replay(2, 40, traces, 4),
              std::vector<ReadoutPoint>{point(8, 0.35, traces[0], 1)});
    EXPECT_TRUE(GraphReadout::replay(3, 40, traces, 4).empty());
}

TEST(GraphReadout, TextGivesTimeReadingResistanceAndConductance) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(GraphReadout::text({at(7, 0.30, 8060)}),
              QStringLiteral("00:00:00.30, reading 7: 485.3 kOhms, 2.06 uS"));
    EXPECT_EQ(GraphReadout::text({at(1668, 83.35, 16383, QStringLiteral("calm")), at(1, 0, 8000)}),
              QStringLiteral("calm: 00:01:23.35, reading 1668: 0.0 Ohms\n"
                             "00:00:00.00, reading 1: 492.5 kOhms, 2.03 uS"));
    EXPECT_TRUE(GraphReadout::text({}).isEmpty());
    QLocale::setDefault(QLocale::system());
}

} // namespace aurivo
