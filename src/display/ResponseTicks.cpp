#include "display/ResponseTicks.h"

#include "core/Colors.h"
#include "display/MarkerOverlay.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace aurivo {

ResponseTicks::ResponseTicks(std::vector<int64_t> peakReadings, uint32_t colour)
    : peaks_(std::move(peakReadings)), colour_(colour) {
    std::sort(peaks_.begin(), peaks_.end());
}

std::vector<ResponseTick> ResponseTicks::ticksOf(std::span<const int64_t> peaks, uint32_t colour,
                                                 int32_t yCompress, int firstColumn, int lastColumn) {
    std::vector<ResponseTick> out;
    firstColumn = std::max(0, firstColumn);
    if (lastColumn < firstColumn) return out;
    const int64_t compress = std::max<int32_t>(1, yCompress);
    // Column x > 0 holds the readings (x - 1) * compress + 1 .. x * compress, column 0 those up to 0.
    const int64_t firstReading = firstColumn == 0 ? INT64_MIN : (int64_t(firstColumn) - 1) * compress + 1;
    auto it = std::lower_bound(peaks.begin(), peaks.end(), firstReading);
    const auto end = std::upper_bound(it, peaks.end(), int64_t(lastColumn) * compress);
    while (it != end) {
        const int x = MarkerOverlay::column(*it, yCompress);
        out.push_back(ResponseTick{x, colour});
        it = std::upper_bound(it, end, int64_t(x) * compress);
    }
    return out;
}

void ResponseTicks::paint(QPainter& painter, const std::vector<ResponseTick>& ticks, int height) {
    if (ticks.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const ResponseTick& tick : ticks) {
        const QColor colour = colors::toQColor(tick.colour);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(colour);
        const int foot = height - 1;
        painter.drawPolygon(QPolygon({QPoint(tick.x, foot - kHeight), QPoint(tick.x - kHalfWidth, foot),
                                      QPoint(tick.x + kHalfWidth, foot)}));
    }
    painter.restore();
}

} // namespace aurivo
