#include "core/Colors.h"
#include "display/Indicators.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace aurivo {

namespace {

constexpr uint32_t kFace = 0x8000000F;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kRed = 0x000000FF;

class IndicatorsTest : public ::testing::Test {
  protected:
    void show(float level) {
        indicators.setShown(level);
        indicators.showLevel(false);
    }
    // Number of leading segments in the colour, or -1 if any after them is not neutral.
    int segments(uint32_t colour) const {
        int n = 0;
        while (n < 32 && indicators.barColours()[size_t(n)] == colour)
            ++n;
        for (int i = n; i < 32; ++i)
            if (indicators.barColours()[size_t(i)] != kFace) return -1;
        return n;
    }
    // Number of leading lamps in `lit` when all the others are `back`, else -1.
    int lamps(uint32_t lit, uint32_t back) const {
        int n = 0;
        while (n < 8 && indicators.lampColours()[size_t(n)] == lit)
            ++n;
        for (int i = n; i < 8; ++i)
            if (indicators.lampColours()[size_t(i)] != back) return -1;
        return n;
    }
    bool allNeutral() const {
        for (uint32_t c : indicators.lampColours())
            if (c != kFace) return false;
        for (uint32_t c : indicators.barColours())
            if (c != kFace) return false;
        return true;
    }

    Indicators indicators;
    Reading last{8000, 4};
    bool running = true;
    void step() { indicators.stepLevel(last, running); }
};

TEST_F(IndicatorsTest, LevelTable) {
    struct Row {
        float level;
        uint32_t barColour;
        int segments;
        uint32_t lit, back;
        int lamps;
    };
    const Row rows[] = {
        {255, kGreen, 1, 0x00C0C0FF, 0x000000FF, 1},
        {0, kGreen, 32, 0x00FF0000, 0x00FF00FF, 1},
        {256, kRed, 1, 0, 0, -1},
        {100, kGreen, 20, 0x0000FF00, 0x00FFFF00, 4},
        {91, kGreen, 21, 0x0000FF00, 0x00FFFF00, -1}, // n = 20.5 rounds to the even 20
        {510, kRed, 32, 0x00FFC0FF, 0x00FFC0C0, 2},
        {542, kRed, 32, 0, 0, 8},
        {-3, kGreen, 32, 0x00FF0000, 0x00FF00FF, 1},
    };
    for (const Row& r : rows) {
        show(r.level);
        EXPECT_EQ(segments(r.barColour), r.segments) << r.level;
        if (r.lamps >= 0) {
            EXPECT_EQ(lamps(r.lit, r.back), r.lamps) << r.level;
        }
    }
    // Lamp counts in single precision: exactly one band or lamp width is not above the limit.
    struct Count {
        float level;
        int band, lit;
    };
    for (const Count& c : {Count{255, 6, 0}, Count{100, 2, 3}, Count{510, 12, 1},
                           Count{float(2040.0 / 49.0), 0, 7}, Count{float(255.0 / 49.0), 0, 0}}) {
        EXPECT_EQ(Indicators::countLampSteps(c.level).band, c.band) << c.level;
        EXPECT_EQ(Indicators::countLampSteps(c.level).lit, c.lit) << c.level;
    }
}

TEST_F(IndicatorsTest, AnyLevelEndsAndShowsSomething) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float level : {1e30f, 3.0e38f, inf, -inf, -1e30f, std::nanf("")}) {
        show(level);
        EXPECT_GE(segments(indicators.barColours()[size_t(0)]), 1) << level;
    }
    show(1e30f);
    EXPECT_EQ(lamps(0, 0), 8);
    show(std::nanf(""));
    EXPECT_EQ(lamps(0x00FF0000, 0x00FF00FF), 1);
}

TEST_F(IndicatorsTest, FrozenWhileAwaitingTheStartValue) {
    indicators.resetToNeutral();
    indicators.setShown(0);
    indicators.showLevel(true);
    EXPECT_TRUE(allNeutral());
    show(0);
    indicators.resetToNeutral();
    EXPECT_TRUE(allNeutral());
}

TEST_F(IndicatorsTest, StepToTheTargetOnlyWithAValidReadingInASession) {
    indicators.setShown(255);
    indicators.setTarget(0);
    for (auto [inSession, status] :
         std::initializer_list<std::pair<bool, int>>{{true, 5}, {true, 0}, {false, 4}}) {
        running = inSession;
        last.status = status;
        step();
        EXPECT_EQ(indicators.levelShown(), 255.0f) << inSession << status;
    }
    running = true;
    last.status = 4;
    std::vector<float> seen;
    for (int tick = 0; tick < 60 && indicators.levelShown() != 0; ++tick) {
        step();
        seen.push_back(indicators.levelShown());
    }
    ASSERT_EQ(seen.size(), 51u); // 250, 245, ..., 5, then the snap to 0
    EXPECT_EQ(seen.front(), 250.0f);
    EXPECT_EQ(seen[49], 5.0f);
    EXPECT_EQ(seen.back(), 0.0f);

    indicators.setShown(100);
    indicators.setTarget(105.2f); // within 255/49: snaps
    step();
    EXPECT_EQ(indicators.levelShown(), 105.2f);
    indicators.setTarget(120);
    step();
    EXPECT_EQ(indicators.levelShown(), 110.2f);
    indicators.setShown(3); // stepping down never goes below 0
    indicators.setTarget(-50);
    step();
    EXPECT_EQ(indicators.levelShown(), 0.0f);
}

} // namespace

} // namespace aurivo
