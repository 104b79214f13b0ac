#pragma once
// Passes a replay's drawing on to the graph and keeps every session's points as they were drawn, so the
// readout can tell which session a point belongs to and what it shows.

#include "display/GraphReadout.h"
#include "recording/ReplayCanvas.h"

#include <vector>

namespace aurivo {

class TraceRecorder : public ReplayCanvas {
  public:
    explicit TraceRecorder(ReplayCanvas& canvas) : canvas_(canvas) {}

    // The traces in the order they were drawn, one per colour, without names.
    std::vector<ReplayTrace> takeTraces() { return std::move(traces_); }

    int scaleWidth() const override { return canvas_.scaleWidth(); }
    int scaleHeight() const override { return canvas_.scaleHeight(); }
    void clearForReplay() override;
    void setRange(double minADC, double maxADC) override { canvas_.setRange(minADC, maxADC); }
    void setReplayScale(const ReplayScale& scale, const std::array<QString, 10>& axisLabels) override {
        canvas_.setReplayScale(scale, axisLabels);
    }
    int32_t plotPoint(int32_t x, double ohms, uint32_t colour) override;
    void setRemainder(float sum) override { canvas_.setRemainder(sum); }

  private:
    ReplayCanvas& canvas_;
    std::vector<ReplayTrace> traces_;
};

} // namespace aurivo
