#pragma once
// The scrolling graph of the resistance on the picture pixXYgraf: the moving-average filter with its
// window check and step limit, the session's smallest and largest filtered readings, the scale built
// around the start reading and the sensitivity percent, the compression that keeps the whole session on
// the picture (a rebuild from the stored readings whenever the trace reaches the right edge), the
// off-scale auto-range, and the storing of each reading into the session files.
//
// The graph owns its filter, scale and compression, the session's range of filtered readings, its
// picture, its axis captions and its off-scale notice; others read them through state() and the other
// const accessors.
//
// Two choices of this program beyond the plain averaging:
//  - After a rebuild, ohmsAccumulator holds the ohms of the stored readings behind the last redrawn
//    point and compressionCounter equals recordCount, so the live trace continues exactly where the rebuilt
//    one ends: each live point averages yCompress readings and lands one column after the last redrawn.
//  - A new session starts with an empty accumulator and compressionCounter in step with recordCount
//    (resetForNewSession), so nothing of the previous session leaks into its first point.

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

class SessionFiles;

// The graph's numbers, read-only for everyone but the graph.
struct GraphState {
    std::array<int32_t, 9> filterBuffer{};
    int32_t filteredReading = 0;
    int32_t graphStartReading = 0;
    int32_t graphSpanPercent = 0;
    float graphMaxOhms = 0;
    float graphScale = 0;
    int32_t recordCount = 1;
    int32_t yCompress = 1;
    int32_t compressionCounter = 0;
    float ohmsAccumulator = 0;
    bool redrawRequested = false;
    double minADC = 16383; // the session's smallest and largest filtered reading
    double maxADC = 0;
    int32_t recordTime = 25; // time stamp of the text file
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
    // values of their captions), the filter size, and whether a replay is shown (the grid's colour).
    struct Inputs {
        double startReading = 0;
        double spanPercent = 0;
        int filterSize = 3;
        bool replayShown = false;
    };
    struct Outcome {
        Reading reading;                           // the packet's reading after the step limit
        std::optional<int32_t> widenedSensitivity; // the auto-range widened the sensitivity to this
    };

    explicit GraphPlotter(SessionFiles& files) : files_(files) {}

    const GraphState& state() const { return s_; }
    const GraphCanvas& picture() const { return picture_; }
    const std::array<QString, 10>& axisLabels() const { return axisLabels_; }
    const GraphNotice& notice() const { return notice_; }

    // Takes a packet's reading: filters it, rebuilds the graph when the start reading, the sensitivity
    // percent or the compression changed, plots it and stores it. Off the picture, the sensitivity is
    // widened by a quarter: the caller makes that the new sensitivity, which rebuilds the graph on the
    // next reading.
    Outcome plotReading(const Reading& reading, const Inputs& inputs);
    // Draws the point (x mod width, y) in the colour, as a single pixel for x = 1 and as a line from the
    // previous point otherwise, writes its trace line when the trace file is open, and returns y.
    int32_t plotPoint(int32_t x, double ohms, uint32_t colour) override;
    // The dotted grid: five rows and five columns of dots, white during a replay, magenta otherwise.
    void drawGrid(bool replayShown);

    // A session starts: the range, the storage position and compression start afresh, the picture is
    // cleared, the accumulator emptied and the counter set to 1, in step with recordCount = 1, so the
    // first stored reading (record 1, yCompress 1) is plotted at x = 1 from its own resistance only.
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
    bool rebuild(double startReading, double spanPercent, bool replayShown);
    // graphMaxOhms and graphScale for graphStartReading and graphSpanPercent, then the axis labels.
    void computeScale();
    // Clears the picture, draws the grid and redraws `readings` (record n is element n - 1) up to
    // recordCount - 1 at the current compression, leaving the accumulator and counter ready for live
    // plotting to continue.
    void redrawStoredReadings(const std::vector<int32_t>& readings, bool replayShown);

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
    void storeReading();
    std::optional<int32_t> checkRange(int32_t y, double spanPercent);
    void setAxisLabel(int k, const QString& caption);
    void setNotice(const GraphNotice& notice);
    void notifyPicture();

    SessionFiles& files_;
    GraphState s_;
    GraphCanvas picture_;
    std::array<QString, 10> axisLabels_;
    GraphNotice notice_;
    uint64_t notifiedRevision_ = 0;
};

} // namespace aurivo
