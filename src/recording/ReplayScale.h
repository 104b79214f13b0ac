#pragma once
// The common scale of a replay: the resistance range of all chosen sessions with a 5 % margin (widened
// to +/-2 % around a flat range), the vertical scale of the picture, the compression that fits the
// longest session into the picture's width, and the ten axis captions.

#include <QString>
#include <cstdint>

namespace aurivo {

struct ReplayScale {
    float graphMaxOhms = 0; // top of the picture (the graphMaxOhms field)
    double low = 0;         // bottom of the picture
    float graphScale = 0;   // pixels per ohm (the graphScale field)
    int32_t yCompress = 1;  // readings per plotted point

    // minADC/maxADC: the smallest and largest reading over all sessions; longestBytes: the length of the
    // longest reading file.
    static ReplayScale compute(double minADC, double maxADC, int64_t longestBytes, int scaleWidth,
                               int scaleHeight);

    // Caption of axis label k (0..9): resistances for 0..4 from the bottom up, times for 5..9.
    QString axisLabel(int k, int scaleWidth) const;
};

} // namespace aurivo
