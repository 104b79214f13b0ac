#include "layout/LiveThrottle.h"

namespace aurivo {

bool LiveThrottle::changed(int64_t nowMs) {
    pending_ = true;
    return due(nowMs);
}

bool LiveThrottle::due(int64_t nowMs) {
    if (!pending_ || !mayTell(nowMs)) return false;
    pending_ = false;
    lastTold_ = nowMs;
    return true;
}

} // namespace aurivo
