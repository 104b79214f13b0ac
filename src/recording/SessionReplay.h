#pragma once
// Draws the sessions of the display list (chosenSessionCount, chosenTstPaths, chosenHdrPaths) onto the
// graph picture: one common scale, each session in the colour of its list position, every session
// starting at the left edge, and their names and comments gathered in the comment box. Sessions that
// cannot be read are named in one message box; the others are still drawn.

#include "core/MessageBoxes.h"
#include "core/MonitorState.h"
#include "recording/SavedSession.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace aurivo {

class SessionReplay {
  public:
    // Draws one point of a trace: x from 1 at the left edge, the resistance and the colour; returns y.
    using PlotPointFn = std::function<int32_t(int32_t x, double ohms, uint32_t colour)>;

    SessionReplay(MonitorState& state, MessageBoxes& boxes);

    // Clears the picture and draws its grid (clearPicture), then the chosen sessions on a picture of
    // scaleWidth x scaleHeight pixels; sets minADC/maxADC,
    // graphMaxOhms, graphScale, yCompress, the axis labels lbl4Graf and the comment box text.
    void drawChosenSessions(int scaleWidth, int scaleHeight, PlotPointFn plotPoint,
                            std::function<void()> clearPicture);

    // The trace of one session in replayColour: yCompress readings (those below 1 left out) are averaged
    // into each point; point i / yCompress is drawn at every record number i that yCompress divides.
    void drawTrace(const std::vector<int32_t>& readings, const PlotPointFn& plotPoint);
    // The same for a reading file, read in large blocks into one reused buffer. False when the file
    // cannot be read.
    bool drawTraceFromFile(const QString& tstPath, const PlotPointFn& plotPoint);

    // The session's name as the comment box shows it: the header's file name without its last 4
    // characters (its extension).
    static QString sessionName(const QString& hdrPath);

  private:
    std::vector<int32_t> block_; // reused by every file the replay streams

    MonitorState& state_;
    MessageBoxes& boxes_;
};

} // namespace aurivo
