#include "link/MarkerRateLimit.h"

#include <cstddef>

namespace aurivo {

bool MarkerRateLimit::admit(int64_t nowMs) {
    while (!passed_.empty() && nowMs - passed_.front() >= 1000)
        passed_.pop_front();
    if (passed_.size() >= size_t(kPerSecond)) {
        ++dropped_;
        return false;
    }
    passed_.push_back(nowMs);
    return true;
}

} // namespace aurivo
