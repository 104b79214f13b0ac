#pragma once
// The scrolling graph of the resistance on the picture pixXYgraf: the moving-average filter with its
// window check and step limit, the session's smallest and largest filtered readings, the scale built
// around the start reading and the sensitivity percent, the compression that keeps the whole session on
// the picture (a rebuild from the stored readings whenever the trace reaches the right edge), the
// off-scale auto-range, and the storing of each reading into the session files.
//
// Two choices of this program beyond the plain averaging:
//  - After a rebuild, ohmsAccumulator holds the ohms of the stored readings behind the last redrawn
//    point and compressionCounter equals recordCount, so the live trace continues exactly where the rebuilt
//    one ends: each live point averages yCompress readings and lands one column after the last redrawn.
//  - A new session starts with an empty accumulator and compressionCounter in step with recordCount
//    (resetForNewSession), so nothing of the previous session leaks into its first point.

#include "display/GraphCanvas.h"

#include <cstdint>
#include <vector>

namespace aurivo {

struct MonitorState;
class SessionFiles;

class GraphPlotter {
  public:
    GraphPlotter(MonitorState& state, SessionFiles& files) : state_(state), files_(files) {}

    // The picture the graph draws on; the layout sizes it, the window paints it.
    GraphCanvas& picture() { return picture_; }
    const GraphCanvas& picture() const { return picture_; }

    // Takes the packet's reading (rawReading, statusByte): filters it, rebuilds the graph when the start
    // reading, the sensitivity percent or the compression changed, plots it and stores it.
    void plotReading();
    // Draws the point (x mod width, y) in the colour, as a single pixel for x = 1 and as a line from the
    // previous point otherwise, writes its trace line when the trace file is open, and returns y.
    int32_t plotPoint(int32_t x, double ohms, uint32_t colour);
    // The dotted grid: five rows and five columns of dots, white during a replay, magenta otherwise.
    void drawGrid();

    // Called by the session start after recordCount is set to 1: empties ohmsAccumulator and sets
    // compressionCounter to 1, in step with recordCount, so the first stored reading (record 1, yCompress 1)
    // is plotted at x = 1 from its own resistance only.
    void resetForNewSession();

    // Rebuild pieces, also usable by the replay:
    // Compression, graphStartReading and graphSpanPercent from a start reading and a percent; then, if a
    // start reading is known, the scale, the axis labels, a cleared picture with its grid and the stored
    // readings redrawn. Returns false when there is no start reading yet (nothing drawn).
    bool rebuild(double startReading, double spanPercent);
    // graphMaxOhms and graphScale for graphStartReading and graphSpanPercent, then the axis labels.
    void computeScale();
    // Clears the picture, draws the grid and redraws `readings` (record n is element n - 1) up to
    // recordCount - 1 at the current compression, leaving the accumulator and counter ready for live
    // plotting to continue.
    void redrawStoredReadings(const std::vector<int32_t>& readings);

  private:
    void storeReading();
    void checkRange(int32_t y);

    MonitorState& state_;
    SessionFiles& files_;
    GraphCanvas picture_;
};

} // namespace aurivo
