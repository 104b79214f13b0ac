#pragma once
// What the replay draws on, as the replay sees the graph: its picture size, a cleared picture with the
// replay grid, the common range and scale of the chosen sessions, and the points of their traces.

#include "recording/ReplayScale.h"

#include <QString>
#include <array>
#include <cstdint>

namespace aurivo {

class ReplayCanvas {
  public:
    virtual ~ReplayCanvas() = default;
    virtual int scaleWidth() const = 0;
    virtual int scaleHeight() const = 0;
    // Clears the picture and draws the grid in the replay's colour.
    virtual void clearForReplay() = 0;
    // The smallest and largest reading over the sessions read so far.
    virtual void setRange(double minADC, double maxADC) = 0;
    // The common scale and the ten axis captions.
    virtual void setReplayScale(const ReplayScale& scale, const std::array<QString, 10>& axisLabels) = 0;
    // Draws one point of a trace: x from 1 at the left edge, the resistance and the colour; returns y.
    virtual int32_t plotPoint(int32_t x, double ohms, uint32_t colour) = 0;
    // The sum of an incomplete last group of the last trace drawn.
    virtual void setRemainder(float sum) = 0;
};

} // namespace aurivo
