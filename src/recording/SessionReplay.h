#pragma once
// Draws the sessions of the display list (ChosenSessionCount, ChosenTstPaths, ChosenHdrPaths) onto the
// graph picture: one common scale, each session in the colour of its list position, every session
// starting at the left edge, and their names and comments gathered in the comment box. Sessions that
// cannot be read are named in one message box; the others are still drawn.

#include "app/MessageBoxes.h"
#include "app/MonitorState.h"
#include "recording/SavedSession.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class SessionReplay {
  public:
    // Draws one point of a trace: x from 1 at the left edge, the resistance and the colour; returns y.
    using PlotPointFn = std::function<int32_t(int32_t x, double ohms, uint32_t colour)>;

    SessionReplay(MonitorState& state, MessageBoxes& boxes);

    // Clears the picture and draws the grid (drawGrid), then the chosen sessions; sets MinADC/MaxADC,
    // GraphMaxOhms, GraphScale, yCompress, the axis labels lbl4Graf and the comment box text.
    void DrawChosenSessions(PlotPointFn plotPoint, std::function<void()> drawGrid);

    // The trace of one session in ReplayColour: yCompress readings (those below 1 left out) are averaged
    // into each point; point i / yCompress is drawn at every record number i that yCompress divides.
    void DrawTrace(const std::vector<int32_t>& readings, const PlotPointFn& plotPoint);
    // The same for a reading file, read in large blocks into one reused buffer. False when the file
    // cannot be read.
    bool DrawTraceFromFile(const QString& tstPath, const PlotPointFn& plotPoint);

    // The session's name as the comment box shows it: the header's file name without its last 4
    // characters (its extension).
    static QString SessionName(const QString& hdrPath);

  private:
    std::vector<int32_t> block_; // reused by every file the replay streams

    MonitorState& state_;
    MessageBoxes& boxes_;
};
