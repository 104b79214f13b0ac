#include "core/ReadingSums.h"

#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace aurivo {

TEST(ReadingSums, ExactForAnyReadingsAcrossBlockBoundaries) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> any(std::numeric_limits<int32_t>::min(),
                                               std::numeric_limits<int32_t>::max());
    std::uniform_int_distribution<int32_t> counts(-5, 16383);
    for (int64_t n : {0, 1, 65535, 65536, 65537, 200001}) {
        for (bool wild : {false, true}) {
            std::vector<int32_t> r(static_cast<size_t>(n), 0);
            for (auto& v : r)
                v = wild ? any(random) : counts(random);
            int64_t expected = 0;
            for (int32_t v : r)
                expected += v >= 1 ? v : 0;
            EXPECT_EQ(sumOfValidReadings(r.data(), n), expected) << n << (wild ? " wild" : "");
        }
    }
}

} // namespace aurivo
