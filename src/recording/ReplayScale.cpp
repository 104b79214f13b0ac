#include "recording/ReplayScale.h"

#include "app/NumberRules.h"

#include <algorithm>

using namespace NumberRules;

ReplayScale ReplayScale::Compute(double minADC, double maxADC, int64_t longestBytes, int scaleWidth,
                                 int scaleHeight) {
    ReplayScale scale;
    const double margin = (maxADC - minADC) * 0.05;
    // The smaller reading is the larger resistance, so the lowest reading sets the top of the picture.
    scale.graphMaxOhms = float(OhmsFromReading(minADC - margin));
    scale.low = OhmsFromReading(maxADC + margin);
    if ((double(scale.graphMaxOhms) - scale.low) / scale.low < 0.02) {
        scale.graphMaxOhms = float(scale.low * 1.02);
        scale.low = scale.low * 0.98;
    }
    scale.graphScale = float(double(scaleHeight) / (double(scale.graphMaxOhms) - scale.low));
    const int64_t perPicture = 4 * int64_t(ToLong(scaleWidth));
    scale.yCompress = int32_t(std::max<int64_t>(1, IntDiv(longestBytes, perPicture) + 1));
    return scale;
}

QString ReplayScale::AxisLabel(int k, int scaleWidth) const {
    if (k <= 4) return FormatOhms((double(graphMaxOhms) - low) / 4.0 * k + low);
    return FormatSessionTime(double(scaleWidth) / 2.0 * yCompress * (k - 5) / 40.0).right(5);
}
