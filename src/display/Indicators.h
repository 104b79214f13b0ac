#pragma once
// The lamp row lblLED(0..7) and the segment bar lblBarGraf(0..31), both driven by the shown indicator
// level, and the rate limiter that moves the shown level toward its target once per tick. 255 means no
// change since the start reading; the level falls toward 0 as the resistance rises and climbs toward 510
// as it falls. The indicators own both levels and the colours of every lamp and segment.

#include "core/ChangeSignal.h"
#include "core/Reading.h"

#include <array>
#include <cstdint>

namespace aurivo {

class Indicators {
  public:
    Indicators();

    float levelTarget() const { return target_; }
    float levelShown() const { return shown_; }
    // Background colours (0x00BBGGRR or system colours) of lamps 0..7 and segments 0..31.
    const std::array<uint32_t, 8>& lampColours() const { return lamps_; }
    const std::array<uint32_t, 32>& barColours() const { return bar_; }

    // Every lamp and segment back to the neutral button face.
    void resetToNeutral();
    // Redraws both indicators from the shown level; does nothing while the start reading is awaited.
    void showLevel(bool awaitingStartValue);
    // Moves the shown level at most 5 units toward the target, snapping onto it within 255/49. Idle on a
    // probe error, a reading not marked valid (of the last packet), or when no session runs.
    void stepLevel(const Reading& last, bool sessionRunning);
    void setTarget(float level) { target_ = level; }
    void setShown(float level) { shown_ = level; }

    // Lamps or segments changed colour.
    ChangeSignal changed;

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
    float target_ = 0;
    float shown_ = 0;
    std::array<uint32_t, 8> lamps_{};
    std::array<uint32_t, 32> bar_{};
};

} // namespace aurivo
