#pragma once
// The sum behind one plotted point: the stored readings of its group, skipping readings below 1 (never
// written). Summed exactly in whole numbers, so a point of a long session (thousands of readings each)
// averages exactly. Each reading is split into its low and high 16 bits, summed in 32-bit lanes over
// blocks short enough that neither lane can overflow; the compiler sums many readings at once that way.

#include <algorithm>
#include <cstdint>

namespace aurivo {

inline int64_t sumOfValidReadings(const int32_t* readings, int64_t count) {
    constexpr int64_t kBlock = 65536; // 65536 x 0xFFFF still fits 32 bits
    int64_t total = 0;
    for (int64_t start = 0; start < count; start += kBlock) {
        const int64_t n = std::min(kBlock, count - start);
        const int32_t* block = readings + start;
        uint32_t low = 0, high = 0;
        for (int64_t i = 0; i < n; ++i) {
            const uint32_t v = block[i] >= 1 ? uint32_t(block[i]) : 0u;
            low += v & 0xFFFFu;
            high += v >> 16;
        }
        total += int64_t(low) + (int64_t(high) << 16);
    }
    return total;
}

} // namespace aurivo
