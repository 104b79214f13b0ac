#include "display/Indicators.h"

#include "core/Colors.h"
#include "core/NumberRules.h"

#include <algorithm>
#include <cmath>

namespace aurivo {

namespace {
using namespace colors;

// Lit colours of bands 0..12; each band's background is the lit colour of the band below, and band 0's
// background is magenta.
constexpr uint32_t kBandLit[13] = {kBlue,     kCyan,     kGreen,      kYellow,     kOrange,
                                   kRed,      kPaleRed,  kPaleOrange, kPaleYellow, kPaleGreen,
                                   kPaleCyan, kPaleBlue, kPaleMagenta};
// Their names, in the same order, for the spoken level.
const char* const kBandNames[13] = {"blue",       "cyan",       "green",        "yellow",       "orange",
                                    "red",        "light red",  "light orange", "light yellow", "light green",
                                    "light cyan", "light blue", "light magenta"};
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

QString Indicators::colourName(uint32_t colour) {
    for (int band = 0; band < kBlackBand; ++band)
        if (kBandLit[band] == colour) return QString::fromLatin1(kBandNames[band]);
    return QString::fromLatin1(colour == colors::kMagenta ? "magenta" : "black");
}

QString Indicators::lampsText() const {
    if (neutral()) return QStringLiteral("Level: no reading");
    if (shownSteps_.band >= kBlackBand) return QStringLiteral("Level: beyond the lamps, all black");
    return QStringLiteral("Level: %1 of 8 lamps, %2 over %3")
        .arg(shownSteps_.lit + 1)
        .arg(colourName(bandLitColour(shownSteps_.band)), colourName(bandBackColour(shownSteps_.band)));
}

QString Indicators::barText() const {
    if (neutral()) return QStringLiteral("Level: no reading");
    return QStringLiteral("Level: %1 of 32 bars, %2")
        .arg(shownFill_.last + 1)
        .arg(QString::fromLatin1(shownFill_.red ? "red, resistance below start"
                                                : "green, resistance at or above start"));
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

void Indicators::resetToNeutral() {
    if (neutral()) return;
    lamps_.fill(std::nullopt);
    bar_.fill(std::nullopt);
    changed.notify();
}

void Indicators::showLevel(bool awaitingStartValue) {
    if (awaitingStartValue) return;
    const float level = shown_;

    const BarFill fill = barFillFor(level);
    const uint32_t barColour = fill.red ? kRed : kGreen;
    std::array<UnitColour, 32> bar;
    for (int i = 0; i < 32; ++i)
        bar[i] = i <= fill.last ? UnitColour(barColour) : std::nullopt;

    const LampSteps steps = countLampSteps(level);
    const uint32_t lit = bandLitColour(steps.band);
    const uint32_t back = bandBackColour(steps.band);
    std::array<UnitColour, 8> lamps;
    for (int i = 0; i < 8; ++i)
        lamps[i] = i <= steps.lit ? lit : back;

    if (bar == bar_ && lamps == lamps_) return;
    bar_ = bar;
    lamps_ = lamps;
    shownSteps_ = steps;
    shownFill_ = fill;
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
