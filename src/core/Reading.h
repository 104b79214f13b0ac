#pragma once
// One valid device packet as the rest of the program sees it: the 14-bit converter reading and the status
// byte (bit 0 probe error, bit 2 reading valid, the others battery bits).

#include <cstdint>

namespace aurivo {

// Readings outside 320..16000 are not taken for a resistance: the filter lets none of them into an
// average, and the readings panel shows no resistance for a filtered reading below the floor.
constexpr int32_t kLowestPlausibleReading = 320;
constexpr int32_t kHighestPlausibleReading = 16000;

struct Reading {
    int32_t raw = 0;
    int32_t status = 0;

    bool valid() const { return (status & 4) != 0; }
    bool probeError() const { return (status & 1) != 0; }
    bool operator==(const Reading&) const = default;
};

} // namespace aurivo
