#include "display/MarkerOverlay.h"

#include <climits>
#include <gtest/gtest.h>

using namespace aurivo;

TEST(MarkerOverlay, DrawsOneLinePerColumnAskedForAndNeverReachesHugeReadings) {
    // In the order set: two at one reading, one set out of order, two past any picture.
    std::vector<Marker> markers;
    for (int64_t reading :
         {int64_t(0), int64_t(3), int64_t(4), int64_t(8), int64_t(8), INT64_MAX, int64_t(5), INT64_MAX - 1})
        markers.push_back(Marker{0, reading, QString()});
    const MarkerOverlay overlay(markers, 0x00123456);
    using Lines = std::vector<std::pair<int, int>>; // column, number
    const std::tuple<int32_t, int, int, Lines> rows[] = {
        {1, 0, INT_MAX, {{0, 1}, {3, 2}, {4, 3}, {5, 7}, {8, 5}}},
        {2, 0, 99, {{0, 1}, {2, 3}, {3, 7}, {4, 5}}}, // readings 3 and 4 share column 2
        {1, 4, 5, {{4, 3}, {5, 7}}},                  // the columns' own readings only
        {2, 3, 3, {{3, 7}}},
        {1, -48, 2, {{0, 1}}},
        {1, 9, INT_MAX, {}},
        {1, 5, 4, {}},
        {INT32_MAX, 0, INT_MAX, {{0, 1}, {1, 5}}}, // the widest column ends far below INT64_MAX
        {0, 3, 3, {{3, 2}}},                       // a compression below 1 counts as 1
    };
    for (const auto& [compress, first, last, expected] : rows) {
        Lines got;
        for (const MarkerLine& line : overlay.lines(compress, first, last)) {
            EXPECT_EQ(line.colour, 0x00123456u);
            got.emplace_back(line.x, line.number);
        }
        EXPECT_EQ(got, expected) << compress << " " << first << ".." << last;
    }
    // Columns are rounded up, and the largest readings give the last column rather than overflowing.
    EXPECT_EQ(MarkerOverlay::column(14, 7), 2);
    EXPECT_EQ(MarkerOverlay::column(15, 7), 3);
    EXPECT_EQ(MarkerOverlay::column(INT64_MAX, 7), INT32_MAX);
    EXPECT_EQ(MarkerOverlay::column(INT64_MAX, INT32_MAX), INT32_MAX);
    EXPECT_TRUE(MarkerOverlay().lines(1, 0, INT_MAX).empty());
}
