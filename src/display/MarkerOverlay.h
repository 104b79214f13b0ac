#pragma once
// The markers over the graph picture: a thin vertical line at each marker's column with the marker's
// number at its top. They are drawn over the picture rather than into it, so the trace and the trace file
// stay exactly as they are, and they land in the right column after every rebuild, compression and new
// arrangement: the column is worked out from the marker's reading and the compression of the moment.

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
    static constexpr uint32_t kLiveColour = 0x0000A5FF;

    // The column a reading is plotted in: reading r (from 1) belongs to the point ceil(r / yCompress),
    // as the live trace and the replay group it; a marker set before the first reading stands at 0.
    static int column(int64_t reading, int32_t yCompress);
    // The lines of `markers` on a picture `width` pixels wide; markers beyond the picture are left out.
    static std::vector<MarkerLine> lines(const std::vector<Marker>& markers, int32_t yCompress, int width,
                                         uint32_t colour);
    // Draws the lines on a picture of the given height.
    static void paint(QPainter& painter, const std::vector<MarkerLine>& lines, int height);
};

} // namespace aurivo
