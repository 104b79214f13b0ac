#pragma once
// Draws the sessions of the display list onto the graph: one common scale, each session in the colour of
// its list position, every session starting at the left edge, and their names and comments gathered in
// the comment box. Sessions that cannot be read are named in one message box; the others are still
// drawn.

#include "core/CommentBox.h"
#include "core/MessageBoxes.h"
#include "recording/DisplayList.h"
#include "recording/ReplayCanvas.h"
#include "recording/SavedSession.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace aurivo {

class SessionReplay {
  public:
    explicit SessionReplay(MessageBoxes& boxes) : boxes_(boxes) {}

    // Clears the picture and draws the replay grid, then the listed sessions; sets the range, the
    // scale, the compression and the axis captions of the canvas, and the comment box text.
    void drawChosenSessions(const DisplayList& list, ReplayCanvas& canvas, CommentBox& comments);

    // The trace of one session in `colour`: yCompress readings (those below 1 left out) are averaged
    // into each point; point i / yCompress is drawn at every record number i that yCompress divides.
    // The sum of an incomplete last group is left as the canvas's remainder.
    static void drawTrace(const std::vector<int32_t>& readings, int32_t yCompress, uint32_t colour,
                          ReplayCanvas& canvas);
    // The same for a reading file, read in large blocks into one reused buffer; nothing when the file
    // cannot be read (the replay has named it already).
    void drawTraceFromFile(const QString& tstPath, int32_t yCompress, uint32_t colour, ReplayCanvas& canvas);

    // The session's name as the comment box shows it: the header's file name without its last 4
    // characters (its extension).
    static QString sessionName(const QString& hdrPath);

  private:
    std::vector<int32_t> block_; // reused by every file the replay streams
    MessageBoxes& boxes_;
};

} // namespace aurivo
