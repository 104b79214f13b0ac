#pragma once
// Waiting without spinning: runs a nested event loop (window events, ticks and user input go on) until a
// condition holds or a time limit has passed. The condition is checked each time the loop has handled
// what was pending and is about to sleep, so the wait reacts to the event that made it true and uses no
// processor time in between.

#include <cstdint>
#include <functional>

namespace aurivo {

class EventWait {
  public:
    // True when `done` held, false when the limit (milliseconds) passed first. `done` is first checked
    // after the pending events have run once, as a yield would.
    static bool until(const std::function<bool()>& done, int64_t limitMs);
};

} // namespace aurivo
