#pragma once
// Colour of each position of the display list (0x00BBGGRR): the replay draws the session at list
// position k in colour k, and the file manager shows its list label in the same colour.

#include <array>
#include <cstdint>

namespace aurivo {

inline constexpr std::array<uint32_t, 6> kSessionColours = {
    0x00FFFF00, // cyan
    0x0000FFFF, // yellow
    0x0000FF00, // green
    0x00FF00FF, // magenta
    0x00FF0000, // blue
    0x000000FF, // red
};

} // namespace aurivo
