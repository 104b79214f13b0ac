#include "display/MarkerOverlay.h"

#include "core/Colors.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace aurivo {

int MarkerOverlay::column(int64_t reading, int32_t yCompress) {
    const int64_t compress = std::max<int32_t>(1, yCompress);
    const int64_t x = reading <= 0 ? 0 : (reading + compress - 1) / compress;
    return int(std::min<int64_t>(x, INT32_MAX));
}

std::vector<MarkerLine> MarkerOverlay::lines(const std::vector<Marker>& markers, int32_t yCompress, int width,
                                             uint32_t colour) {
    std::vector<MarkerLine> out;
    for (size_t i = 0; i < markers.size(); ++i) {
        const int x = column(markers[i].reading, yCompress);
        if (x < width) out.push_back(MarkerLine{x, int(i + 1), colour});
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
