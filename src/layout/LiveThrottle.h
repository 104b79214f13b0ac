#pragma once
// Paces what a screen reader is told about values that change many times a second (the readings, the
// lamps and bar, the session clock, the graph's range): a change is told at once when the last telling
// is at least the interval ago, otherwise it is held back and told when the interval has passed, so the
// listener hears the latest values about once a second and never a stale one.

#include <cstdint>
#include <optional>

namespace aurivo {

class LiveThrottle {
  public:
    static constexpr int64_t kIntervalMs = 1000;

    explicit LiveThrottle(int64_t intervalMs = kIntervalMs) : interval_(intervalMs) {}

    // A value changed at nowMs (a steady clock): true when it is to be told now.
    bool changed(int64_t nowMs);
    // Asked regularly (every tick): true when a held-back change is due now.
    bool due(int64_t nowMs);

  private:
    bool mayTell(int64_t nowMs) const { return !lastTold_ || nowMs - *lastTold_ >= interval_; }

    int64_t interval_;
    std::optional<int64_t> lastTold_;
    bool pending_ = false;
};

} // namespace aurivo
