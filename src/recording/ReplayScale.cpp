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
    scale.graphMaxOhms = float(ohmsFromReading(minADC - margin));
    scale.low = ohmsFromReading(maxADC + margin);
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
    return formatSessionTime(double(scaleWidth) / 2.0 * yCompress * (k - 5) / 40.0).right(5);
}

} // namespace aurivo
