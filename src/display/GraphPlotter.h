#pragma once
// The scrolling graph of the resistance on the picture pixXYgraf: the scale built around the start
// reading and the sensitivity percent, the compression that keeps the whole session on the picture (a
// rebuild from the stored readings whenever the trace reaches the right edge), and the off-scale
// auto-range. It is the drawing stage of the reading pipeline: it is asked before a filtered reading is
// stored (a rebuild is due, or there is no start reading yet and nothing may be stored), then draws the
// stored reading and hands its trace lines to the trace sink.
//
// The graph owns its scale and compression, its picture, its axis captions and its off-scale notice;
// others read them through state() and the other const accessors.
//
// Two choices of this program beyond the plain averaging:
//  - After a rebuild, ohmsAccumulator holds the ohms of the stored readings behind the last redrawn
//    point and compressionCounter equals the record count, so the live trace continues exactly where the
//    rebuilt one ends: each live point averages yCompress readings and lands one column after the last
//    redrawn.
//  - A new session starts with an empty accumulator and compressionCounter in step with record 1, so
//    nothing of the previous session leaks into its first point.

#include "core/ChangeSignal.h"
#include "core/Reading.h"
#include "display/GraphCanvas.h"
#include "recording/ReplayCanvas.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace aurivo {

class TraceSink;

// The graph's numbers, read-only for everyone but the graph.
struct GraphState {
    int32_t graphStartReading = 0;
    int32_t graphSpanPercent = 0;
    float graphMaxOhms = 0;
    float graphScale = 0;
    int32_t yCompress = 1;
    int32_t compressionCounter = 0;
    float ohmsAccumulator = 0;
    bool redrawRequested = false;
};

// The notice lblGrafError over the picture.
struct GraphNotice {
    QString caption = QStringLiteral("Readjusting  graph ");
    bool visible = false;
    double width = 0; // 150 or 300 while a notice is shown
};

class GraphPlotter : public ReplayCanvas {
  public:
    // What a reading is plotted against: the start reading and the sensitivity percent (the numeric
    // values of their captions), and whether a replay is shown (the grid's colour).
    struct Inputs {
        double startReading = 0;
        double spanPercent = 0;
        bool replayShown = false;
    };

    explicit GraphPlotter(TraceSink& trace) : trace_(trace) {}

    const GraphState& state() const { return s_; }
    const GraphCanvas& picture() const { return picture_; }
    const std::array<QString, 10>& axisLabels() const { return axisLabels_; }
    const GraphNotice& notice() const { return notice_; }

    // Before a filtered reading is stored: rebuilds the graph from the stored readings (records 1 to
    // recordCount - 1) when the start reading, the sensitivity percent or the compression changed. False
    // when there is no start reading yet: the reading is then neither stored nor drawn.
    bool admit(const Inputs& inputs, const std::vector<int32_t>& stored, int32_t recordCount);
    // Draws stored record `record` (its filtered reading): its ohms join the current point, which is
    // plotted once it averages yCompress readings; otherwise the trace gets an empty line. Reaching the
    // right edge compresses the graph and requests a rebuild. Off the picture, the sensitivity is widened
    // by a quarter: the caller makes the returned value the new sensitivity, which rebuilds the graph on
    // the next reading.
    std::optional<int32_t> plot(int32_t record, int32_t filtered, double spanPercent);
    // Draws the point (x mod width, y) in the colour, as a single pixel for x = 1 and as a line from the
    // previous point otherwise, writes its trace line when the trace file is open, and returns y.
    int32_t plotPoint(int32_t x, double ohms, uint32_t colour) override;
    // The dotted grid: five rows and five columns of dots, white during a replay, magenta otherwise.
    void drawGrid(bool replayShown);

    // A session starts: the compression starts afresh, the picture is cleared, the accumulator emptied
    // and the counter set to 1, in step with record 1, so the first stored reading (record 1, yCompress
    // 1) is plotted at x = 1 from its own resistance only.
    void startSession();
    // Leaving a replay: the replay's range, scale and compression are forgotten, so the next session
    // starts from the scale a fresh start gives it instead of plotting on the replay's.
    void leaveReplay();
    // The next reading rebuilds the graph (the picture was laid out anew or shown again).
    void requestRedraw() { s_.redrawRequested = true; }
    void resizePicture(int width, int height);
    void clearPicture();
    // Leaving a replay empties the axis captions.
    void clearAxisLabels();

    // Rebuild pieces:
    // Compression, graphStartReading and graphSpanPercent from a start reading and a percent; then, if a
    // start reading is known, the scale, the axis labels, a cleared picture with its grid and the stored
    // readings redrawn. Returns false when there is no start reading yet (nothing drawn).
    bool rebuild(double startReading, double spanPercent, bool replayShown,
                 const std::vector<int32_t>& stored, int32_t recordCount);
    // graphMaxOhms and graphScale for graphStartReading and graphSpanPercent, then the axis labels.
    void computeScale();
    // Clears the picture, draws the grid and redraws `readings` (record n is element n - 1) up to
    // recordCount - 1 at the current compression, leaving the accumulator and counter ready for live
    // plotting to continue.
    void redrawStoredReadings(const std::vector<int32_t>& readings, int32_t recordCount, bool replayShown);

    // ReplayCanvas
    int scaleWidth() const override { return picture_.scaleWidth(); }
    int scaleHeight() const override { return picture_.scaleHeight(); }
    void clearForReplay() override;
    void setRange(double minADC, double maxADC) override;
    void setReplayScale(const ReplayScale& scale, const std::array<QString, 10>& axisLabels) override;
    void setRemainder(float sum) override { s_.ohmsAccumulator = sum; }

    ChangeSignal pictureChanged; // the picture was drawn on, cleared or resized
    ChangeSignal labelsChanged;  // the axis captions or the notice changed

  private:
    int32_t drawPoint(int32_t x, double ohms, uint32_t colour);
    void drawDots(bool replayShown);
    std::optional<int32_t> checkRange(int32_t y, double spanPercent);
    void setAxisLabel(int k, const QString& caption);
    void setNotice(const GraphNotice& notice);
    void notifyPicture();

    TraceSink& trace_;
    GraphState s_;
    GraphCanvas picture_;
    std::array<QString, 10> axisLabels_;
    GraphNotice notice_;
    uint64_t notifiedRevision_ = 0;
};

} // namespace aurivo
