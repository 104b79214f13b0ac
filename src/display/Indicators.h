#pragma once
// The lamp row lblLED(0..7) and the segment bar lblBarGraf(0..31), both driven by the shown indicator
// level levelShown, and the rate limiter that moves levelShown toward levelTarget once per tick.
// 255 means no change since the start reading; the level falls toward 0 as the resistance rises and
// climbs toward 510 as it falls.

#include <cstdint>

namespace aurivo {

struct MonitorState;

class Indicators {
  public:
    explicit Indicators(MonitorState& state) : state_(state) {}

    // Every lamp and segment back to the neutral button face.
    void resetToNeutral();
    // Redraws both indicators from levelShown; does nothing while the start reading is awaited.
    void showLevel();
    // Moves levelShown at most 5 units toward levelTarget, snapping onto it within 255/49. Idle on a
    // probe error, a reading not marked valid, or when no session runs.
    void stepLevel();

    // The lamp arithmetic, for the display and its tests: band b (each 2040/49 level units) and the
    // number c of further lit lamps (each 255/49 units) of a level, counted in single precision.
    // Counting stops at band 13 (black, whatever else) and at 8 lit lamps, so any level terminates.
    struct LampSteps {
        int band = 0;
        int lit = 0;
    };
    static LampSteps countLampSteps(float level);
    // Highest bar segment that gets the colour (0..31), and whether the colour is red (level >= 256).
    struct BarFill {
        int last = 0;
        bool red = false;
    };
    static BarFill barFillFor(float level);
    // Lit and background colour of a band (black from band 13 on).
    static uint32_t bandLitColour(int band);
    static uint32_t bandBackColour(int band);

  private:
    MonitorState& state_;
};

} // namespace aurivo
