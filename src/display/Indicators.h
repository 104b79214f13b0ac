#pragma once
// The lamp row lblLED(0..7) and the segment bar lblBarGraf(0..31), both driven by the shown indicator
// level, and the rate limiter that moves the shown level toward its target once per tick. 255 means no
// change since the start reading; the level falls toward 0 as the resistance rises and climbs toward 510
// as it falls. The indicators own both levels and the colours of every lamp and segment.

#include "core/ChangeSignal.h"
#include "core/Reading.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace aurivo {

class Indicators {
  public:
    float levelTarget() const { return target_; }
    float levelShown() const { return shown_; }
    // The colour (0x00BBGGRR) of a lamp or segment; none while it is neutral (no level shown, or a
    // segment above the bar's fill), which the panel shows in its own face colour.
    using UnitColour = std::optional<uint32_t>;
    // Lamps 0..7 and segments 0..31.
    const std::array<UnitColour, 8>& lampColours() const { return lamps_; }
    const std::array<UnitColour, 32>& barColours() const { return bar_; }

    // The two indicators in words, for a screen reader: "Level: 5 of 8 lamps, green over cyan" and
    // "Level: 20 of 32 bars, green, resistance at or above start"; "Level: no reading" while neutral.
    QString lampsText() const;
    QString barText() const;
    // Lamps and segments in the colour of the level (0 while neutral).
    int litLamps() const { return neutral() ? 0 : shownSteps_.lit + 1; }
    int litBars() const { return neutral() ? 0 : shownFill_.last + 1; }

    // Every lamp and segment back to neutral.
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
    // Name of a lamp colour ("blue", "light red", ... "black").
    static QString colourName(uint32_t colour);

  private:
    // No level is shown: every lamp and segment is uncoloured (a shown level colours every lamp).
    bool neutral() const { return !lamps_[0]; }

    float target_ = 0;
    float shown_ = 0;
    std::array<UnitColour, 8> lamps_{};
    std::array<UnitColour, 32> bar_{};
    LampSteps shownSteps_;
    BarFill shownFill_;
};

} // namespace aurivo
