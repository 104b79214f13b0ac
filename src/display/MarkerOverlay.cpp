#include "display/MarkerOverlay.h"

#include "core/Colors.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

namespace aurivo {

MarkerOverlay::MarkerOverlay(const std::vector<Marker>& markers, uint32_t colour) : colour_(colour) {
    marks_.reserve(markers.size());
    for (size_t i = 0; i < markers.size(); ++i)
        marks_.push_back(Mark{markers[i].reading, int(std::min<size_t>(i + 1, INT32_MAX))});
    // A live session's markers come in the order of their readings already; a file edited by hand may not.
    std::stable_sort(marks_.begin(), marks_.end(),
                     [](const Mark& a, const Mark& b) { return a.reading < b.reading; });
}

int MarkerOverlay::column(int64_t reading, int32_t yCompress) {
    const int64_t compress = std::max<int32_t>(1, yCompress);
    if (reading <= 0) return 0;
    // Rounded up without adding to the reading first, which could pass the largest int64.
    const int64_t x = reading / compress + (reading % compress != 0 ? 1 : 0);
    return int(std::min<int64_t>(x, INT32_MAX));
}

std::vector<MarkerLine> MarkerOverlay::lines(int32_t yCompress, int firstColumn, int lastColumn) const {
    std::vector<MarkerLine> out;
    firstColumn = std::max(0, firstColumn);
    if (lastColumn < firstColumn) return out;
    const int64_t compress = std::max<int32_t>(1, yCompress);
    const auto readingBelow = [](const Mark& m, int64_t r) { return m.reading < r; };
    const auto readingAbove = [](int64_t r, const Mark& m) { return r < m.reading; };
    // Column x > 0 holds the readings (x - 1) * compress + 1 .. x * compress, column 0 those up to 0; no
    // product passes the int64 range, columns and compression being int32.
    const int64_t firstReading = firstColumn == 0 ? INT64_MIN : (int64_t(firstColumn) - 1) * compress + 1;
    auto it = std::lower_bound(marks_.begin(), marks_.end(), firstReading, readingBelow);
    const auto end = std::upper_bound(it, marks_.end(), int64_t(lastColumn) * compress, readingAbove);
    while (it != end) {
        const int x = column(it->reading, yCompress);
        const auto next = std::upper_bound(it, end, int64_t(x) * compress, readingAbove);
        out.push_back(MarkerLine{x, std::prev(next)->number, colour_});
        it = next;
    }
    return out;
}

void MarkerOverlay::paint(QPainter& painter, const std::vector<MarkerLine>& lines, int height) {
    if (lines.empty()) return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (const MarkerLine& line : lines) {
        const QColor colour = colors::toQColor(line.colour);
        painter.setPen(QPen(colour, 1));
        painter.drawLine(line.x, 0, line.x, height - 1);
        // The number just right of the line's top, on the picture's black so it reads over the grid.
        const QString number = QString::number(line.number);
        const QRect box = painter.fontMetrics().boundingRect(number).adjusted(-1, 0, 1, 0);
        const QRect at(line.x + 2, 1, box.width(), box.height());
        painter.fillRect(at, Qt::black);
        painter.drawText(at, Qt::AlignCenter, number);
    }
    painter.restore();
}

} // namespace aurivo
