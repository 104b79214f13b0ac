#pragma once
// One valid device packet as the rest of the program sees it: the 14-bit converter reading and the status
// byte (bit 0 probe error, bit 2 reading valid, the others battery bits).

#include <cstdint>

namespace aurivo {

struct Reading {
    int32_t raw = 0;
    int32_t status = 0;

    bool valid() const { return (status & 4) != 0; }
    bool probeError() const { return (status & 1) != 0; }
    bool operator==(const Reading&) const = default;
};

} // namespace aurivo
