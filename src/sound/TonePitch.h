#pragma once
// The tone's pitch for a conductance: f = base x (G / G0)^span, with G the conductance now and G0 the
// session's start value; the exponent's sign is reversed when the pitch falls with conductance. The
// result is held within 110 to 1760 Hz (four octaves around the default 440 Hz).

#include "sound/ToneSettings.h"

#include <optional>

namespace aurivo {

class TonePitch {
  public:
    static constexpr double kLowest = 110.0, kHighest = 1760.0;

    // No pitch when either conductance is not a positive finite number.
    static std::optional<double> frequency(double conductance, double startConductance,
                                           const ToneSettings& settings);
};

} // namespace aurivo
