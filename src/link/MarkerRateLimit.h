#pragma once
// Lets at most kPerSecond markers through in any second (a sliding window on the steady clock); the rest
// are dropped and counted, so a runaway sender cannot fill the session with markers.

#include <cstdint>
#include <deque>

namespace aurivo {

class MarkerRateLimit {
  public:
    static constexpr int kPerSecond = 100;

    // True when a marker at steady time `nowMs` may pass; it then counts for the next second.
    bool admit(int64_t nowMs);
    int64_t dropped() const { return dropped_; }

  private:
    std::deque<int64_t> passed_; // steady times of the markers let through within the last second
    int64_t dropped_ = 0;
};

} // namespace aurivo
