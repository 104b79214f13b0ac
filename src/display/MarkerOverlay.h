#pragma once
// The markers of one session over the graph picture, in one colour: a thin vertical line at each marker's
// column with the marker's number at its top. They are drawn over the picture rather than into it, so the
// trace and the trace file stay exactly as they are, and they land in the right column after every
// rebuild, compression and new arrangement: the column is worked out from the marker's reading and the
// compression of the moment.
//
// The markers are kept ordered by reading, so a repaint finds those of the columns it paints by binary
// search instead of walking every marker of the session.

#include "core/Colors.h"
#include "recording/MarkerFile.h"

#include <cstdint>
#include <vector>

class QPainter;

namespace aurivo {

struct MarkerLine {
    int x = 0;           // picture column
    int number = 0;      // from 1, in the order the markers were set
    uint32_t colour = 0; // 0x00BBGGRR
    bool operator==(const MarkerLine&) const = default;
};

class MarkerOverlay {
  public:
    // Orange: apart from the white trace, the magenta grid and the replay's six session colours.
    static constexpr uint32_t kLiveColour = colors::kMarkerOrange;
    // How far right of its line a marker's number reaches, in pixels: a repaint of some columns also
    // draws the markers this far left of them, whose numbers reach into the columns painted.
    static constexpr int kNumberReach = 48;

    MarkerOverlay() = default;
    // The markers numbered from 1 in the order given, which is the order they were set.
    MarkerOverlay(const std::vector<Marker>& markers, uint32_t colour);

    // The column a reading is plotted in: reading r (from 1) belongs to the point ceil(r / yCompress),
    // as the live trace and the replay group it; a marker set before the first reading stands at 0. Any
    // reading gives a column, however large (at most INT32_MAX).
    static int column(int64_t reading, int32_t yCompress);
    // The lines of the markers whose columns lie in firstColumn..lastColumn. Markers sharing a column
    // cover one another, so only one is drawn there: the one at the highest reading (in a live session the
    // last one set there, whose number shows on top).
    std::vector<MarkerLine> lines(int32_t yCompress, int firstColumn, int lastColumn) const;
    // Draws the lines on a picture of the given height.
    static void paint(QPainter& painter, const std::vector<MarkerLine>& lines, int height);

  private:
    struct Mark {
        int64_t reading = 0;
        int number = 0;
    };
    std::vector<Mark> marks_; // ordered by reading; markers at one reading in the order they were set
    uint32_t colour_ = kLiveColour;
};

} // namespace aurivo
