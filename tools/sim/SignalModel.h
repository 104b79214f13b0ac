#pragma once
// The simulated sensor's signal: a skin-resistance-like trace sampled at a fixed rate. A resting level
// near 470 kOhm wanders slowly (a mean-reverting random walk of about 1.5 %); now and then a response
// pulls the resistance down by a few percent within one to two seconds, after which it recovers over
// ten to twenty seconds; the converter adds a little noise. The same seed gives the same trace.
//
// Kept header-only so the tests can use it without building the simulator's sources twice.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace aurivo {

class SignalModel {
  public:
    static constexpr double kRestingOhms = 470000.0;
    static constexpr double kReferenceOhms = 470000.0;
    static constexpr double kFullScale = 16383.0;

    SignalModel(uint32_t seed, double sampleRateHz) : rng_(seed), dt_(1.0 / std::max(sampleRateHz, 0.001)) {
        nextResponseAt_ = uniform(4.0, 15.0);
    }

    // Converter reading of the divider for a resistance: 16383 x 470000 / (R + 470000), rounded.
    static uint16_t readingFromOhms(double ohms) {
        const double reading = kFullScale * kReferenceOhms / (std::max(ohms, 0.0) + kReferenceOhms);
        return static_cast<uint16_t>(std::clamp(std::lround(reading), 0L, 16383L));
    }

    // Advances one sample and returns the converter reading, noise included.
    uint16_t nextReading() {
        advance();
        const double exact = kFullScale * kReferenceOhms / (ohms_ + kReferenceOhms);
        const double noisy = exact + normal_(rng_) * kNoiseCounts;
        return static_cast<uint16_t>(std::clamp(std::lround(noisy), 0L, 16383L));
    }

    double secondsOption() const { return t_; }
    // Resistance of the last sample, without converter noise.
    double ohms() const { return ohms_; }
    // Relative fall that responses cause at the last sample (0.03 = 3 % below the drifting level).
    double responseLevel() const { return responseLevel_; }
    int responsesStarted() const { return responsesStarted_; }

  private:
    struct Response {
        double start;    // seconds
        double depth;    // relative fall at its deepest
        double fallTime; // seconds to reach the deepest point
        double recovery; // time constant of the recovery, seconds
    };

    static constexpr double kDriftSpread = 0.015; // standard deviation of the slow drift
    static constexpr double kDriftTime = 120.0;   // how fast the drift forgets, seconds
    static constexpr double kNoiseCounts = 0.8;   // converter noise, standard deviation in counts
    static constexpr double kMeanResponseGap = 25.0;

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

    void advance() {
        t_ += dt_;

        // Ornstein-Uhlenbeck drift: stationary spread kDriftSpread, correlation time kDriftTime.
        const double sigma = kDriftSpread * std::sqrt(2.0 / kDriftTime);
        drift_ += -drift_ / kDriftTime * dt_ + sigma * std::sqrt(dt_) * normal_(rng_);

        if (t_ >= nextResponseAt_) {
            responses_.push_back({t_, uniform(0.02, 0.06), uniform(1.0, 2.0), uniform(10.0, 20.0)});
            ++responsesStarted_;
            nextResponseAt_ = t_ + 8.0 + std::exponential_distribution<double>(1.0 / kMeanResponseGap)(rng_);
        }

        const double kPi = 3.14159265358979323846;
        double fall = 0.0;
        for (const Response& r : responses_) {
            const double age = t_ - r.start;
            if (age < r.fallTime)
                fall += r.depth * 0.5 * (1.0 - std::cos(kPi * age / r.fallTime));
            else
                fall += r.depth * std::exp(-(age - r.fallTime) / r.recovery);
        }
        // Forget responses that have faded out.
        std::erase_if(responses_,
                      [this](const Response& r) { return t_ - r.start > r.fallTime + 8.0 * r.recovery; });

        responseLevel_ = fall;
        ohms_ = kRestingOhms * (1.0 + drift_) * (1.0 - std::min(fall, 0.5));
    }

    std::mt19937 rng_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    double dt_;
    double t_ = 0.0;
    double drift_ = 0.0;
    double ohms_ = kRestingOhms;
    double responseLevel_ = 0.0;
    double nextResponseAt_ = 0.0;
    int responsesStarted_ = 0;
    std::vector<Response> responses_;
};

} // namespace aurivo
