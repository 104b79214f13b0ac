#pragma once
// The lamp row lblLED(0..7) and the segment bar lblBarGraf(0..31), both driven by the shown indicator
// level LevelShown, and the rate limiter that moves LevelShown toward LevelTarget once per tick.
// 255 means no change since the start reading; the level falls toward 0 as the resistance rises and
// climbs toward 510 as it falls.

#include <cstdint>

struct MonitorState;

class Indicators {
public:
    explicit Indicators(MonitorState& state) : state_(state) {}

    // Every lamp and segment back to the neutral button face.
    void DisplayInit();
    // Redraws both indicators from LevelShown; does nothing while the start reading is awaited.
    void ShowLevelIndicators();
    // Moves LevelShown at most 5 units toward LevelTarget, snapping onto it within 255/49. Idle on a
    // probe error, a reading not marked valid, or when no session runs.
    void StepIndicatorLevel();

    // The lamp arithmetic, for the display and its tests: band b (each 2040/49 level units) and the
    // number c of further lit lamps (each 255/49 units) of a level, counted in single precision.
    // Counting stops at band 13 (black, whatever else) and at 8 lit lamps, so any level terminates.
    struct LampSteps {
        int band = 0;
        int lit = 0;
    };
    static LampSteps CountLampSteps(float level);
    // Highest bar segment that gets the colour (0..31), and whether the colour is red (level >= 256).
    struct BarFill {
        int last = 0;
        bool red = false;
    };
    static BarFill BarFillFor(float level);
    // Lit and background colour of a band (black from band 13 on).
    static uint32_t BandLitColour(int band);
    static uint32_t BandBackColour(int band);

private:
    MonitorState& state_;
};
