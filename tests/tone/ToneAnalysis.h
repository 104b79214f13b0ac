#pragma once
// Test helper: reads pitch and loudness off 16-bit samples the way a listener would hear them.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace aurivo {

// The conductance in microsiemens of a reading, by the device's divider (470 kOhm, 14 bits).
inline double conductanceOf(double reading) {
    return 1000000.0 / (16383.0 * 470000.0 / reading - 470000.0);
}

// The frequency of samples [from, to): rising zero crossings placed between samples by straight-line
// interpolation, and the whole periods between the first and the last of them. None with fewer than 3.
inline std::optional<double> pitchOf(const std::vector<int16_t>& s, size_t from, size_t to, int rate) {
    to = std::min(to, s.size());
    std::optional<double> first;
    double last = 0;
    int periods = -1;
    for (size_t i = from + 1; i < to; ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            const double at = double(i - 1) + double(-s[i - 1]) / double(s[i] - s[i - 1]);
            if (!first) first = at;
            last = at;
            ++periods;
        }
    }
    if (!first || periods < 2) return std::nullopt;
    return double(periods) * rate / (last - *first);
}

inline int peakOf(const std::vector<int16_t>& s, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

// The largest step from one sample to the next within [from, to).
inline int largestStep(const std::vector<int16_t>& s, size_t from, size_t to) {
    int step = 0;
    for (size_t i = std::max<size_t>(from, 1); i < std::min(to, s.size()); ++i)
        step = std::max(step, std::abs(int(s[i]) - int(s[i - 1])));
    return step;
}

// The largest step a pure sine of this amplitude (in sample units) and pitch makes between two samples.
inline double sineStep(double amplitude, double hz, int rate) {
    return 2.0 * amplitude * std::sin(M_PI * std::min(hz, rate / 2.0) / rate);
}

} // namespace aurivo
