#include "display/Indicators.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace aurivo;

constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kRed = 0x000000FF;
constexpr float kLampWidth = float(255.0 / 49.0); // in single precision, as the indicators compare it

class IndicatorsTest : public ::testing::Test {
  protected:
    void show(float level) {
        indicators.setShown(level);
        indicators.showLevel(false);
    }
    // "20G 4 FF00/FFFF00": 20 green bars and then neutral ones; 4 lamps lit in one colour over the other.
    QString look() const {
        using Colour = Indicators::UnitColour;
        const auto& bar = indicators.barColours();
        const auto& lamp = indicators.lampColours();
        const auto bars = std::find_if(bar.begin(), bar.end(), [&](const Colour& c) { return c != bar[0]; });
        const auto lit =
            std::find_if(lamp.begin(), lamp.end(), [&](const Colour& c) { return c != lamp[0]; });
        const bool tidy = std::all_of(bars, bar.end(), [](const Colour& c) { return !c; }) &&
                          std::all_of(lit, lamp.end(), [&](const Colour& c) { return c == lamp[7]; });
        const auto unlit = [](const Colour& c) { return !c; };
        if (std::all_of(bar.begin(), bar.end(), unlit) && std::all_of(lamp.begin(), lamp.end(), unlit))
            return QStringLiteral("neutral");
        if (!lamp[0] || !lamp[7]) return QStringLiteral("untidy");
        return QString::asprintf("%d%s %d %X/%X%s", int(bars - bar.begin()),
                                 bar[0] == kGreen ? "G"
                                 : bar[0] == kRed ? "R"
                                                  : "?",
                                 int(lit - lamp.begin()), *lamp[0], *lamp[7], tidy ? "" : " untidy");
    }

    Indicators indicators;
};

TEST_F(IndicatorsTest, LevelTable) {
    const std::pair<float, const char*> rows[] = {
        {255, "1G 1 C0C0FF/FF"},
        {0, "32G 1 FF0000/FF00FF"},
        {256, "1R 2 C0C0FF/FF"},
        {100, "20G 4 FF00/FFFF00"},
        {91, "21G 2 FF00/FFFF00"}, // n = 20.5 rounds to the even 20
        {510, "32R 2 FFC0FF/FFC0C0"},
        {542, "32R 8 0/0"},
        {-3, "32G 1 FF0000/FF00FF"},
        {1e30f, "32R 8 0/0"},
        {std::nanf(""), "1R 1 FF0000/FF00FF"},
        {-std::numeric_limits<float>::infinity(), "32G 1 FF0000/FF00FF"},
        {float(2040.0 / 49.0),
         "28G 8 FF0000/FF0000"}, // exactly one band or lamp width is not above the limit
        {kLampWidth, "32G 1 FF0000/FF00FF"},
        {5.21f, "32G 2 FF0000/FF00FF"}};
    for (const auto& [level, expected] : rows) {
        show(level);
        EXPECT_EQ(look(), QString::fromLatin1(expected)) << level;
    }
}

TEST_F(IndicatorsTest, LevelInWordsFollowsTheShownColours) {
    const QString none = QStringLiteral("Level: no reading");
    EXPECT_EQ(indicators.lampsText(), none);
    indicators.setShown(100);
    indicators.showLevel(true); // frozen while awaiting the start value
    EXPECT_EQ(look(), QStringLiteral("neutral"));
    for (auto [level, lamps, bar] :
         {std::tuple{100.0f, "4 of 8 lamps, green over cyan",
                     "20 of 32 bars, green, resistance at or above start"},
          {510.0f, "2 of 8 lamps, light magenta over light blue",
           "32 of 32 bars, red, resistance below start"},
          {542.0f, "beyond the lamps, all black", "32 of 32 bars, red, resistance below start"},
          {0.0f, "1 of 8 lamps, blue over magenta", "32 of 32 bars, green, resistance at or above start"}}) {
        show(level);
        EXPECT_EQ((indicators.lampsText() + " / " + indicators.barText()).toStdString(),
                  std::string("Level: ") + lamps + " / Level: " + bar);
    }
    EXPECT_EQ(indicators.litBars(), 32);
    indicators.resetToNeutral();
    EXPECT_EQ(indicators.barText(), none);
    EXPECT_EQ(indicators.litLamps(), 0);
    EXPECT_EQ(look(), QStringLiteral("neutral"));
}

// The shown level moves by 5 towards the target, never below 0, and takes it when within 255/49; only
// with a valid reading without probe error while a session runs.
TEST_F(IndicatorsTest, StepToTheTargetOnlyWithAValidReadingInASession) {
    const std::tuple<bool, int, float, float, float> rows[] = {
        {true, 5, 255, 0, 255},      {true, 0, 255, 0, 255},    {false, 4, 255, 0, 255},
        {true, 4, 255, 0, 250},      {true, 4, 100, 120, 105},  {true, 4, 3, -50, 0},
        {true, 4, kLampWidth, 0, 0}, {true, 4, 10.5f, 0, 5.5f}, {true, 4, 100, 105.2f, 105.2f}};
    for (const auto& [running, status, shown, target, after] : rows) {
        indicators.setShown(shown);
        indicators.setTarget(target);
        indicators.stepLevel(Reading{8000, status}, running);
        EXPECT_EQ(indicators.levelShown(), after) << shown << " " << target << " " << status;
    }
}
