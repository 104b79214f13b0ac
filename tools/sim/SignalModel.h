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

class SignalModel {
public:
    static constexpr double kRestingOhms = 470000.0;
    static constexpr double kReferenceOhms = 470000.0;
    static constexpr double kFullScale = 16383.0;

    SignalModel(uint32_t seed, double sampleRateHz)
        : m_rng(seed), m_dt(1.0 / std::max(sampleRateHz, 0.001)) {
        m_nextResponseAt = Uniform(4.0, 15.0);
    }

    // Converter reading of the divider for a resistance: 16383 x 470000 / (R + 470000), rounded.
    static uint16_t ReadingFromOhms(double ohms) {
        const double reading = kFullScale * kReferenceOhms / (std::max(ohms, 0.0) + kReferenceOhms);
        return static_cast<uint16_t>(std::clamp(std::lround(reading), 0L, 16383L));
    }

    // Advances one sample and returns the converter reading, noise included.
    uint16_t NextReading() {
        Advance();
        const double exact = kFullScale * kReferenceOhms / (m_ohms + kReferenceOhms);
        const double noisy = exact + m_normal(m_rng) * kNoiseCounts;
        return static_cast<uint16_t>(std::clamp(std::lround(noisy), 0L, 16383L));
    }

    double Seconds() const { return m_t; }
    // Resistance of the last sample, without converter noise.
    double Ohms() const { return m_ohms; }
    // Relative fall that responses cause at the last sample (0.03 = 3 % below the drifting level).
    double ResponseLevel() const { return m_responseLevel; }
    int ResponsesStarted() const { return m_responsesStarted; }

private:
    struct Response {
        double start;     // seconds
        double depth;     // relative fall at its deepest
        double fallTime;  // seconds to reach the deepest point
        double recovery;  // time constant of the recovery, seconds
    };

    static constexpr double kDriftSpread = 0.015;  // standard deviation of the slow drift
    static constexpr double kDriftTime = 120.0;    // how fast the drift forgets, seconds
    static constexpr double kNoiseCounts = 0.8;    // converter noise, standard deviation in counts
    static constexpr double kMeanResponseGap = 25.0;

    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_rng); }

    void Advance() {
        m_t += m_dt;

        // Ornstein-Uhlenbeck drift: stationary spread kDriftSpread, correlation time kDriftTime.
        const double sigma = kDriftSpread * std::sqrt(2.0 / kDriftTime);
        m_drift += -m_drift / kDriftTime * m_dt + sigma * std::sqrt(m_dt) * m_normal(m_rng);

        if (m_t >= m_nextResponseAt) {
            m_responses.push_back({m_t, Uniform(0.02, 0.06), Uniform(1.0, 2.0), Uniform(10.0, 20.0)});
            ++m_responsesStarted;
            m_nextResponseAt = m_t + 8.0 + std::exponential_distribution<double>(1.0 / kMeanResponseGap)(m_rng);
        }

        const double kPi = 3.14159265358979323846;
        double fall = 0.0;
        for (const Response& r : m_responses) {
            const double age = m_t - r.start;
            if (age < r.fallTime)
                fall += r.depth * 0.5 * (1.0 - std::cos(kPi * age / r.fallTime));
            else
                fall += r.depth * std::exp(-(age - r.fallTime) / r.recovery);
        }
        // Forget responses that have faded out.
        std::erase_if(m_responses, [this](const Response& r) {
            return m_t - r.start > r.fallTime + 8.0 * r.recovery;
        });

        m_responseLevel = fall;
        m_ohms = kRestingOhms * (1.0 + m_drift) * (1.0 - std::min(fall, 0.5));
    }

    std::mt19937 m_rng;
    std::normal_distribution<double> m_normal{0.0, 1.0};
    double m_dt;
    double m_t = 0.0;
    double m_drift = 0.0;
    double m_ohms = kRestingOhms;
    double m_responseLevel = 0.0;
    double m_nextResponseAt = 0.0;
    int m_responsesStarted = 0;
    std::vector<Response> m_responses;
};
