#include "app/Colors.h"
#include "app/MonitorState.h"
#include "display/Indicators.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr uint32_t kFace = 0x8000000F;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kRed = 0x000000FF;

class IndicatorsTest : public ::testing::Test {
protected:
    void Show(float level) {
        state.AwaitingStartValue = false;
        state.LevelShown = level;
        indicators.ShowLevelIndicators();
    }
    // Number of leading segments in the colour, and whether all after them are neutral.
    int Segments(uint32_t colour) const {
        int n = 0;
        while (n < 32 && state.lblBarGraf[n].backColor == colour) ++n;
        for (int i = n; i < 32; ++i)
            if (state.lblBarGraf[i].backColor != kFace) return -1;
        return n;
    }
    void ExpectLamps(int litCount, uint32_t lit, uint32_t back) const {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(state.lblLED[i].backColor, i < litCount ? lit : back) << "lamp " << i;
    }

    MonitorState state;
    Indicators indicators{state};
};

TEST_F(IndicatorsTest, LevelTable) {
    Show(255);
    EXPECT_EQ(Segments(kGreen), 1);
    ExpectLamps(1, 0x00C0C0FF, 0x000000FF);

    Show(0);
    EXPECT_EQ(Segments(kGreen), 32);
    ExpectLamps(1, 0x00FF0000, 0x00FF00FF);

    Show(256);
    EXPECT_EQ(Segments(kRed), 1);

    Show(100);
    EXPECT_EQ(Segments(kGreen), 20);
    ExpectLamps(4, 0x0000FF00, 0x00FFFF00);

    Show(91); // n = 20.5 rounds to the even 20
    EXPECT_EQ(Segments(kGreen), 21);

    Show(510);
    EXPECT_EQ(Segments(kRed), 32);
    ExpectLamps(2, 0x00FFC0FF, 0x00FFC0C0);

    Show(542);
    EXPECT_EQ(Segments(kRed), 32);
    ExpectLamps(8, 0, 0);

    Show(-3);
    EXPECT_EQ(Segments(kGreen), 32);
    ExpectLamps(1, 0x00FF0000, 0x00FF00FF);
}

TEST_F(IndicatorsTest, LampCountsInSinglePrecision) {
    EXPECT_EQ(Indicators::CountLampSteps(255).band, 6);
    EXPECT_EQ(Indicators::CountLampSteps(255).lit, 0);
    EXPECT_EQ(Indicators::CountLampSteps(100).band, 2);
    EXPECT_EQ(Indicators::CountLampSteps(100).lit, 3);
    EXPECT_EQ(Indicators::CountLampSteps(510).band, 12);
    EXPECT_EQ(Indicators::CountLampSteps(510).lit, 1);
    // Exactly one band or lamp width (as a single) is not above the limit.
    EXPECT_EQ(Indicators::CountLampSteps(float(2040.0 / 49.0)).band, 0);
    EXPECT_EQ(Indicators::CountLampSteps(float(2040.0 / 49.0)).lit, 7);
    EXPECT_EQ(Indicators::CountLampSteps(float(255.0 / 49.0)).lit, 0);
}

TEST_F(IndicatorsTest, AnyLevelEndsAndShowsSomething) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float level : {1e30f, 3.0e38f, inf, -inf, -1e30f, std::nanf("")}) {
        Show(level);
        EXPECT_GE(Segments(state.lblBarGraf[0].backColor), 1) << level;
    }
    Show(1e30f);
    ExpectLamps(8, 0, 0);
    Show(std::nanf(""));
    ExpectLamps(1, 0x00FF0000, 0x00FF00FF);
}

TEST_F(IndicatorsTest, FrozenWhileAwaitingTheStartValue) {
    indicators.DisplayInit();
    state.AwaitingStartValue = true;
    state.LevelShown = 0;
    indicators.ShowLevelIndicators();
    for (const auto& l : state.lblLED) EXPECT_EQ(l.backColor, kFace);
    for (const auto& l : state.lblBarGraf) EXPECT_EQ(l.backColor, kFace);

    Show(0);
    indicators.DisplayInit();
    for (const auto& l : state.lblLED) EXPECT_EQ(l.backColor, kFace);
    for (const auto& l : state.lblBarGraf) EXPECT_EQ(l.backColor, kFace);
}

TEST_F(IndicatorsTest, StepToTheTarget) {
    state.mnuStart.enabled = false;
    state.StatusByte = 4;
    state.LevelShown = 255;
    state.LevelTarget = 0;
    std::vector<float> seen;
    for (int tick = 0; tick < 60 && state.LevelShown != 0; ++tick) {
        indicators.StepIndicatorLevel();
        seen.push_back(state.LevelShown);
    }
    ASSERT_EQ(seen.size(), 51u); // 250, 245, ..., 5, then the snap to 0
    EXPECT_EQ(seen.front(), 250.0f);
    EXPECT_EQ(seen[49], 5.0f);
    EXPECT_EQ(seen.back(), 0.0f);

    state.LevelShown = 100;
    state.LevelTarget = 105.2f; // within 255/49: snaps
    indicators.StepIndicatorLevel();
    EXPECT_EQ(state.LevelShown, 105.2f);
    state.LevelTarget = 120;
    indicators.StepIndicatorLevel();
    EXPECT_EQ(state.LevelShown, 110.2f);

    // Stepping down never goes below 0.
    state.LevelShown = 3;
    state.LevelTarget = -50;
    indicators.StepIndicatorLevel();
    EXPECT_EQ(state.LevelShown, 0.0f);
}

TEST_F(IndicatorsTest, StepIsIdleWithoutAValidReadingOrSession) {
    state.LevelShown = 255;
    state.LevelTarget = 0;
    state.mnuStart.enabled = false;
    state.StatusByte = 5; // probe error
    indicators.StepIndicatorLevel();
    state.StatusByte = 0; // not valid
    indicators.StepIndicatorLevel();
    state.StatusByte = 4;
    state.mnuStart.enabled = true; // no session
    indicators.StepIndicatorLevel();
    EXPECT_EQ(state.LevelShown, 255.0f);
}

} // namespace
