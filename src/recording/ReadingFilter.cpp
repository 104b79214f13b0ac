#include "recording/ReadingFilter.h"

#include "core/NumberRules.h"

#include <algorithm>
#include <cmath>

namespace aurivo {

namespace {
constexpr int32_t kWindowLow = kLowestPlausibleReading;
constexpr int32_t kWindowHigh = kHighestPlausibleReading;
constexpr int32_t kStepLimit = 804;

bool fitsLong(double value) {
    return std::isfinite(value) && value >= -2147483648.0 && value <= 2147483647.0;
}
} // namespace

ReadingFilter::Outcome ReadingFilter::apply(const Reading& reading, int filterSize) {
    Outcome outcome{reading, std::nullopt};
    Reading& r = outcome.reading;
    if (!r.valid() || r.raw == 0) return outcome;

    // Shift the window; it is judged as it was before this reading.
    const int n = std::clamp(filterSize, 1, 8);
    bool bad = false;
    for (int i = 1; i <= n; ++i) {
        window_[i - 1] = window_[i];
        if (window_[i] < kWindowLow || window_[i] > kWindowHigh) bad = true;
    }
    if (bad) {
        // The raw reading enters unchecked; nothing is drawn or stored until the window is clean again.
        window_[n] = r.raw;
        return outcome;
    }

    if (filtered_ == 0) filtered_ = window_[1];

    const int64_t d = int64_t(r.raw) - filtered_;
    if (d > kStepLimit || d < -kStepLimit) {
        const int64_t limited = int64_t(filtered_) + (d > 0 ? kStepLimit : -kStepLimit);
        if (fitsLong(double(limited))) r.raw = int32_t(limited);
    }

    window_[n] = r.raw;
    int64_t sum = 0;
    for (int i = 1; i <= n; ++i)
        sum += window_[i];
    const double average = numbers::roundHalfEven(double(sum) / n);
    if (fitsLong(average)) filtered_ = int32_t(average);
    outcome.filtered = filtered_;
    return outcome;
}

} // namespace aurivo
