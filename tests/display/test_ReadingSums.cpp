#include "core/ReadingSums.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace aurivo;

TEST(ReadingSums, ExactForAnyReadingsAcrossBlockBoundaries) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    for (int64_t n : {0, 1, 65535, 65536, 65537, 200001}) {
        std::vector<int32_t> r(static_cast<size_t>(n));
        int64_t expected = 0;
        for (auto& v : r) {
            v = any(random) >> (random() % 2 * 18); // large and small readings, 0 and negative ones too
            expected += v >= 1 ? v : 0;
        }
        EXPECT_EQ(sumOfValidReadings(r.data(), n), expected) << n;
    }
}
