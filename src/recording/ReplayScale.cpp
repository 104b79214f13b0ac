#include "recording/ReplayScale.h"

#include "core/NumberRules.h"

#include <algorithm>

namespace aurivo {

using namespace numbers;

ReplayScale ReplayScale::compute(double minADC, double maxADC, int64_t longestBytes, int scaleWidth,
                                 int scaleHeight) {
    ReplayScale scale;
    const double margin = (maxADC - minADC) * 0.05;
    // The smaller reading is the larger resistance, so the lowest reading sets the top of the picture.
    // The margin stays within the readings a converter gives (1..16382 keeps both ends above 0 ohms): a
    // range reaching a limit would otherwise put an end of the axis at a negative or endless resistance.
    scale.graphMaxOhms = float(ohmsFromReading(std::clamp(minADC - margin, 1.0, 16382.0)));
    scale.low = ohmsFromReading(std::clamp(maxADC + margin, 1.0, 16382.0));
    if ((double(scale.graphMaxOhms) - scale.low) / scale.low < 0.02) {
        scale.graphMaxOhms = float(scale.low * 1.02);
        scale.low = scale.low * 0.98;
    }
    scale.graphScale = float(double(scaleHeight) / (double(scale.graphMaxOhms) - scale.low));
    const int64_t perPicture = 4 * int64_t(toLong(scaleWidth));
    scale.yCompress = int32_t(std::max<int64_t>(1, intDiv(longestBytes, perPicture) + 1));
    return scale;
}

QString ReplayScale::axisLabel(int k, int scaleWidth) const {
    if (k <= 4) return formatOhms((double(graphMaxOhms) - low) / 4.0 * k + low);
    return numbers::timeAxisCaption(k, scaleWidth, yCompress);
}

} // namespace aurivo
