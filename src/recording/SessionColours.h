#pragma once
// Colour of each position of the display list (0x00BBGGRR): the replay draws the session at list
// position k in colour k, and the file manager shows its list label in the same colour.

#include "core/Colors.h"

#include <array>
#include <cstdint>

namespace aurivo {

inline constexpr std::array<uint32_t, 6> kSessionColours = {colors::kCyan,    colors::kYellow, colors::kGreen,
                                                            colors::kMagenta, colors::kBlue,   colors::kRed};

} // namespace aurivo
