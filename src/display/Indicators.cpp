#include "display/Indicators.h"

#include "core/Colors.h"
#include "core/NumberRules.h"

#include <algorithm>
#include <cmath>

namespace aurivo {

namespace {
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kRed = 0x000000FF;

// Lit colours of bands 0..12; each band's background is the lit colour of the band below, and band 0's
// background is magenta.
constexpr uint32_t kBandLit[13] = {
    0x00FF0000, // blue
    0x00FFFF00, // cyan
    0x0000FF00, // green
    0x0000FFFF, // yellow
    0x000080FF, // orange
    0x000000FF, // red
    0x00C0C0FF, // light red
    0x00C0E0FF, // light orange
    0x00C0FFFF, // light yellow
    0x00C0FFC0, // light green
    0x00FFFFC0, // light cyan
    0x00FFC0C0, // light blue
    0x00FFC0FF, // light magenta
};
constexpr int kBlackBand = 13;
constexpr double kBandWidth = 2040.0 / 49.0;
constexpr double kLampWidth = 255.0 / 49.0;
} // namespace

uint32_t Indicators::bandLitColour(int band) {
    return band >= 0 && band < kBlackBand ? kBandLit[band] : colors::kBlack;
}

uint32_t Indicators::bandBackColour(int band) {
    if (band == 0) return colors::kMagenta;
    return band > 0 && band < kBlackBand ? kBandLit[band - 1] : colors::kBlack;
}

Indicators::LampSteps Indicators::countLampSteps(float level) {
    // The limits are compared as singles; each subtraction is made in double and stored back as a single.
    const float bandLimit = static_cast<float>(kBandWidth);
    const float lampLimit = static_cast<float>(kLampWidth);
    LampSteps steps;
    float r = level;
    while (bandLimit < r && steps.band < kBlackBand) {
        r = static_cast<float>(double(r) - kBandWidth);
        ++steps.band;
    }
    while (lampLimit < r && steps.lit < 8) {
        r = static_cast<float>(double(r) - kLampWidth);
        ++steps.lit;
    }
    return steps;
}

Indicators::BarFill Indicators::barFillFor(float level) {
    BarFill fill;
    double n;
    if (level < 256.0f) {
        n = std::floor(255.0f - level) / 8.0;
    } else {
        n = std::floor(level - 256.0f) / 8.0;
        fill.red = true;
    }
    if (n > 31) n = 31;
    fill.last = std::clamp(int(numbers::toLong(n)), 0, 31); // a NaN level colours segment 0 only
    return fill;
}

Indicators::Indicators() {
    lamps_.fill(colors::kButtonFace);
    bar_.fill(colors::kButtonFace);
}

void Indicators::resetToNeutral() {
    if (std::all_of(lamps_.begin(), lamps_.end(), [](uint32_t c) { return c == colors::kButtonFace; }) &&
        std::all_of(bar_.begin(), bar_.end(), [](uint32_t c) { return c == colors::kButtonFace; }))
        return;
    lamps_.fill(colors::kButtonFace);
    bar_.fill(colors::kButtonFace);
    changed.notify();
}

void Indicators::showLevel(bool awaitingStartValue) {
    if (awaitingStartValue) return;
    const float level = shown_;

    const BarFill fill = barFillFor(level);
    const uint32_t barColour = fill.red ? kRed : kGreen;
    std::array<uint32_t, 32> bar;
    for (int i = 0; i < 32; ++i)
        bar[i] = i <= fill.last ? barColour : colors::kButtonFace;

    const LampSteps steps = countLampSteps(level);
    const uint32_t lit = bandLitColour(steps.band);
    const uint32_t back = bandBackColour(steps.band);
    std::array<uint32_t, 8> lamps;
    for (int i = 0; i < 8; ++i)
        lamps[i] = i <= steps.lit ? lit : back;

    if (bar == bar_ && lamps == lamps_) return;
    bar_ = bar;
    lamps_ = lamps;
    changed.notify();
}

void Indicators::stepLevel(const Reading& last, bool sessionRunning) {
    if (last.probeError() || !last.valid() || !sessionRunning) return;
    const float d = std::fabs(target_ - shown_);
    if (d <= static_cast<float>(kLampWidth)) {
        shown_ = target_;
    } else if (target_ > shown_) {
        shown_ = shown_ + 5.0f;
    } else {
        shown_ = shown_ - 5.0f;
        if (shown_ < 0) shown_ = 0;
    }
}

} // namespace aurivo
