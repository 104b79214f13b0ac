// The simulated sensor's signal: resting level, responses and their recovery, and repeatability.

#include "../../tools/sim/SignalModel.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace {

TEST(SignalModel, DividerReading) {
    EXPECT_EQ(SignalModel::ReadingFromOhms(470000), 8192); // 8191.5 rounds up
    EXPECT_EQ(SignalModel::ReadingFromOhms(0), 16383);
    EXPECT_EQ(SignalModel::ReadingFromOhms(1e12), 0);
    EXPECT_GT(SignalModel::ReadingFromOhms(450000), SignalModel::ReadingFromOhms(470000));
}

TEST(SignalModel, RestsNear470kWithinAPlausibleBand) {
    SignalModel model(11, 20);
    double sum = 0;
    int low = 16383;
    int high = 0;
    const int n = 20 * 600;
    for (int i = 0; i < n; ++i) {
        const int r = model.NextReading();
        sum += r;
        low = std::min(low, r);
        high = std::max(high, r);
    }
    EXPECT_NEAR(sum / n, 8192, 250);
    EXPECT_GT(low, 7000);
    EXPECT_LT(high, 9500);
    EXPECT_GT(high - low, 20); // it does move
}

TEST(SignalModel, ResponsesFallQuicklyAndRecoverSlowly) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        SignalModel model(seed, 20);
        // The first response comes within the first minute.
        while (model.ResponsesStarted() == 0 && model.Seconds() < 60)
            model.NextReading();
        ASSERT_EQ(model.ResponsesStarted(), 1) << seed;
        const double before = model.Ohms() / (1.0 - model.ResponseLevel());
        double deepest = 0;
        double deepestAt = 0;
        const double start = model.Seconds();
        while (model.Seconds() < start + 2.0 && model.ResponsesStarted() == 1) {
            model.NextReading();
            if (model.ResponseLevel() > deepest) {
                deepest = model.ResponseLevel();
                deepestAt = model.Seconds() - start;
            }
        }
        EXPECT_GE(deepest, 0.02) << seed;
        EXPECT_LE(deepest, 0.06) << seed;
        EXPECT_LE(deepestAt, 2.0) << seed;
        EXPECT_LT(model.Ohms(), before * (1 - 0.015)) << seed;
        // Ten seconds after the deepest point at least a third of the fall remains.
        while (model.Seconds() < start + deepestAt + 10)
            model.NextReading();
        EXPECT_GT(model.ResponseLevel(), deepest / 3) << seed;
    }
}

TEST(SignalModel, SameSeedSameTrace) {
    SignalModel a(42, 20);
    SignalModel b(42, 20);
    SignalModel c(43, 20);
    bool differs = false;
    for (int i = 0; i < 2000; ++i) {
        const uint16_t ra = a.NextReading();
        ASSERT_EQ(ra, b.NextReading());
        differs = differs || ra != c.NextReading();
    }
    EXPECT_TRUE(differs);
}

} // namespace
