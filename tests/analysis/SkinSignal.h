#pragma once
// Synthetic skin-conductance sessions for the response tests, built from the scoring definitions and not
// from the detector: a slow tonic level with drift, responses shaped as a difference of exponentials
// (rise time constant 0.75 s, decay 2 to 4 s) at known onsets and amplitudes, and white noise, turned
// into recorded readings by the divider formula, reading = round(16383 x 470000 / (ohms + 470000)).
//
// The truth of each response is scored on the noise-free conductance by the definitions themselves: its
// onset is the local minimum where its rise begins (at its start, or just after it when an earlier
// response still falls faster), its peak the next local maximum, its amplitude the difference.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace aurivo::testing {

constexpr double kRate = 20.0; // readings per second; reading n is at n / 20 s

struct TrueResponse {
    double startSeconds = 0; // where the response's own curve begins
    double amplitude = 0;    // height of its own curve, microsiemens
    double decaySeconds = 3; // decay time constant
    // Scored on the noise-free signal:
    int64_t onsetReading = 0;
    int64_t peakReading = 0;
    double scoredAmplitude = 0;
    double level = 0; // conductance at the onset
};

struct Drift {
    double amplitude = 0; // microsiemens
    double periodSeconds = 300;
    double phase = 0;
};

struct SkinSession {
    double baseLevel = 5.0; // microsiemens
    std::vector<Drift> drifts;
    double noise = 0.002; // standard deviation, microsiemens
    std::vector<TrueResponse> responses;
    std::vector<double> clean;     // noise-free conductance of readings 1..n (clean[n - 1])
    std::vector<int32_t> readings; // recorded readings 1..n

    static constexpr double kRiseTau = 0.75;

    double tonic(double t) const {
        double g = baseLevel;
        for (const Drift& d : drifts)
            g += d.amplitude * std::sin(2 * std::numbers::pi * t / d.periodSeconds + d.phase);
        return g;
    }
    // One response's own curve, scaled so that its maximum is its amplitude.
    static double shape(const TrueResponse& r, double t) {
        const double s = t - r.startSeconds;
        if (s <= 0) return 0;
        const double td = r.decaySeconds, tr = kRiseTau;
        const double tMax = std::log(td / tr) * td * tr / (td - tr);
        const double top = std::exp(-tMax / td) - std::exp(-tMax / tr);
        return r.amplitude * (std::exp(-s / td) - std::exp(-s / tr)) / top;
    }
    double conductance(double t) const {
        double g = tonic(t);
        for (const TrueResponse& r : responses)
            g += shape(r, t);
        return g;
    }
    static int32_t readingFor(double microsiemens) {
        const double ohms = 1e6 / microsiemens;
        return int32_t(std::lround(16383.0 * 470000.0 / (ohms + 470000.0)));
    }
    // Conductance change of one reading step at this level.
    static double stepAt(double microsiemens) {
        const int32_t r = readingFor(microsiemens);
        const auto g = [](int32_t a) { return 1e6 / (16383.0 * 470000.0 / a - 470000.0); };
        return g(r + 1) - g(r);
    }

    // Samples `seconds` of the session with noise from `seed`, and scores the truth.
    void render(double seconds, uint64_t seed) {
        const int64_t count = int64_t(seconds * kRate);
        std::mt19937_64 random(seed);
        const auto uniform = [&random]() { return (double(random() >> 11) + 0.5) / 9007199254740992.0; };
        clean.resize(size_t(count));
        readings.resize(size_t(count));
        for (int64_t n = 1; n <= count; ++n) {
            const double g = conductance(double(n) / kRate);
            // Box-Muller: the same numbers on every standard library.
            const double gauss =
                std::sqrt(-2 * std::log(uniform())) * std::cos(2 * std::numbers::pi * uniform());
            clean[size_t(n - 1)] = g;
            readings[size_t(n - 1)] = readingFor(g + noise * gauss);
        }
        for (size_t k = 0; k < responses.size(); ++k) {
            TrueResponse& r = responses[k];
            // The last reading at or before the start; walk on while the signal still falls.
            const int64_t start = std::max<int64_t>(1, int64_t(std::floor(r.startSeconds * kRate)));
            int64_t n = start;
            while (n < count && at(n + 1) <= at(n))
                ++n;
            r.onsetReading = n;
            r.level = at(n);
            // A response whose own rise does not turn the fall around within 0.5 s has no trough of its
            // own: it only slows the fall, and scores as nothing.
            if (n - start > kRate / 2) {
                r.peakReading = n;
                continue;
            }
            while (n < count && at(n + 1) > at(n))
                ++n;
            r.peakReading = n;
            // A rise that goes on for longer than a response may (a level rising faster than the
            // response falls) is no response either.
            if (r.peakReading - r.onsetReading > 5 * kRate) continue;
            // Nor one that is still rising when the next begins: the two make one rise.
            if (k + 1 < responses.size() && double(r.peakReading) / kRate > responses[k + 1].startSeconds)
                continue;
            r.scoredAmplitude = at(r.peakReading) - at(r.onsetReading);
        }
    }
    double at(int64_t n) const { return clean[size_t(n - 1)]; }
};

// Responses from `first` to `last` seconds: spacing 2.5 to 20 s (about one in four within 4 s of the
// previous one, on its decay), amplitudes spread evenly on a log scale over 0.005..1 uS, decay 2..4 s.
inline std::vector<TrueResponse> randomResponses(double first, double last, uint64_t seed) {
    std::mt19937_64 random(seed);
    const auto uniform = [&random](double lo, double hi) {
        return lo + (hi - lo) * (double(random() >> 11) / 9007199254740992.0);
    };
    std::vector<TrueResponse> out;
    for (double t = first; t < last;) {
        TrueResponse r;
        r.startSeconds = t;
        r.amplitude = 0.005 * std::pow(200.0, uniform(0, 1));
        r.decaySeconds = uniform(2, 4);
        out.push_back(r);
        t += uniform(0, 1) < 0.25 ? uniform(2.5, 4) : uniform(5, 20);
    }
    return out;
}

} // namespace aurivo::testing
