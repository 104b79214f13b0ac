#pragma once
// The responses of one session over the graph picture, in one colour: a small upward tick at the foot of
// the picture in the column of each response's peak. Like the markers they are drawn over the picture
// rather than into it, so the trace and its file stay as they are, and the column is worked out from the
// peak's reading and the compression of the moment, after every rebuild, compression and arrangement.
//
// The peaks are kept ordered by reading, so a repaint finds those of its columns by binary search.

#include "core/Colors.h"

#include <cstdint>
#include <span>
#include <vector>

class QPainter;

namespace aurivo {

struct ResponseTick {
    int x = 0;           // picture column
    uint32_t colour = 0; // 0x00BBGGRR
    bool operator==(const ResponseTick&) const = default;
};

class ResponseTicks {
  public:
    // Light green: apart from the white trace, the magenta grid and the orange markers.
    static constexpr uint32_t kLiveColour = colors::kLightGreen;
    // How far either side of its column a tick reaches, in pixels.
    static constexpr int kHalfWidth = 4;
    static constexpr int kHeight = 8;

    ResponseTicks() = default;
    // peakReadings: reading numbers (from 1) in any order.
    ResponseTicks(std::vector<int64_t> peakReadings, uint32_t colour);

    // One tick for each column in firstColumn..lastColumn that holds a peak.
    std::vector<ResponseTick> ticks(int32_t yCompress, int firstColumn, int lastColumn) const {
        return ticksOf(peaks_, colour_, yCompress, firstColumn, lastColumn);
    }
    // The same for peak readings kept elsewhere, in ascending order (a running session's, as confirmed).
    static std::vector<ResponseTick> ticksOf(std::span<const int64_t> ascendingPeaks, uint32_t colour,
                                             int32_t yCompress, int firstColumn, int lastColumn);
    // Draws the ticks at the foot of a picture of the given height.
    static void paint(QPainter& painter, const std::vector<ResponseTick>& ticks, int height);

  private:
    std::vector<int64_t> peaks_; // ordered
    uint32_t colour_ = kLiveColour;
};

} // namespace aurivo
