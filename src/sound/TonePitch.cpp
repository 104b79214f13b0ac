#include "sound/TonePitch.h"

#include <algorithm>
#include <cmath>

namespace aurivo {

std::optional<double> TonePitch::frequency(double conductance, double startConductance,
                                           const ToneSettings& settings) {
    const auto usable = [](double g) { return std::isfinite(g) && g > 0; };
    if (!usable(conductance) || !usable(startConductance)) return std::nullopt;
    const ToneSettings s = settings.limited();
    const double exponent = s.direction == ToneSettings::Direction::Falls ? -s.span : s.span;
    // In octaves, so that a huge ratio is held at the limits instead of overflowing.
    const double octaves = exponent * std::log2(conductance / startConductance);
    const double f = s.basePitch * std::exp2(std::clamp(octaves, -16.0, 16.0));
    return std::clamp(f, kLowest, kHighest);
}

} // namespace aurivo
