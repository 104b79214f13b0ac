#pragma once
// The moving average every valid packet passes before it can be recorded: a window of the last
// filterSize (1..8) raw readings, judged as it was before the new reading enters it. A window holding a
// reading below 320 or above 16000 lets the new reading in unchecked and gives no filtered reading. A
// reading more than 804 away from the last filtered reading enters limited to that step. The filtered
// reading is the window's average, rounded halves to even; it persists from session to session, as the
// readings panel shows it.

#include "core/Reading.h"

#include <array>
#include <cstdint>
#include <optional>

namespace aurivo {

class ReadingFilter {
  public:
    struct Outcome {
        Reading reading;                 // the packet's reading after the step limit
        std::optional<int32_t> filtered; // the new filtered reading, when the window was clean
    };

    Outcome apply(const Reading& reading, int filterSize);

    // The filtered reading as the last clean window left it (0 before the first).
    int32_t filtered() const { return filtered_; }
    const std::array<int32_t, 9>& window() const { return window_; }

  private:
    std::array<int32_t, 9> window_{};
    int32_t filtered_ = 0;
};

} // namespace aurivo
