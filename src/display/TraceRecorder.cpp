#include "display/TraceRecorder.h"

namespace aurivo {

void TraceRecorder::clearForReplay() {
    traces_.clear();
    canvas_.clearForReplay();
}

int32_t TraceRecorder::plotPoint(int32_t x, double ohms, uint32_t colour) {
    const int32_t y = canvas_.plotPoint(x, ohms, colour);
    if (traces_.empty() || traces_.back().colour != colour)
        traces_.push_back(ReplayTrace{QString(), colour, {}, {}});
    ReplayTrace& trace = traces_.back();
    // The replay draws each trace's points column after column from 1.
    if (x >= 1 && trace.ohms.size() + 1 == size_t(x)) {
        trace.ohms.push_back(ohms);
        trace.y.push_back(y);
    }
    return y;
}

} // namespace aurivo
