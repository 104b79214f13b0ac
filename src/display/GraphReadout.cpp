#include "display/GraphReadout.h"

#include "core/NumberRules.h"
#include "core/ReadingSums.h"
#include "display/ReadingStatus.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace aurivo {

namespace {

ReadoutPoint pointAt(int column, int32_t yCompress, double ohms) {
    ReadoutPoint p;
    p.reading = int64_t(column) * std::max<int32_t>(1, yCompress);
    p.seconds = double(p.reading - 1) / GraphReadout::kReadingsPerSecond;
    p.ohms = ohms;
    return p;
}

} // namespace

std::optional<ReadoutPoint> GraphReadout::live(int column, const std::vector<int32_t>& readings,
                                               int64_t stored, int32_t yCompress) {
    const int64_t compress = std::max<int32_t>(1, yCompress);
    const int64_t last = std::min<int64_t>(stored, int64_t(readings.size()));
    if (column < 1 || int64_t(column) * compress > last) return std::nullopt;
    const int64_t begin = (int64_t(column) - 1) * compress;
    const int64_t sum = sumOfValidReadings(readings.data() + begin, compress);
    const double average = numbers::roundHalfEven(double(sum) / double(compress));
    if (average < 1) return std::nullopt;
    return pointAt(column, yCompress, numbers::ohmsFromReading(average));
}

std::vector<ReadoutPoint> GraphReadout::replay(int column, std::optional<int> y,
                                               const std::vector<ReplayTrace>& traces, int32_t yCompress) {
    std::vector<ReadoutPoint> points;
    const ReplayTrace* nearest = nullptr;
    int64_t nearestDistance = 0;
    for (const ReplayTrace& trace : traces) {
        if (column < 1 || size_t(column) > trace.ohms.size()) continue;
        const size_t i = size_t(column) - 1;
        if (!y) {
            points.push_back(pointAt(column, yCompress, trace.ohms[i]));
            points.back().session = trace.name;
            continue;
        }
        const int64_t distance = std::llabs(int64_t(trace.y[i]) - *y);
        if (!nearest || distance < nearestDistance) {
            nearest = &trace;
            nearestDistance = distance;
        }
    }
    if (nearest) {
        points.push_back(pointAt(column, yCompress, nearest->ohms[size_t(column) - 1]));
        points.back().session = nearest->name;
    }
    return points;
}

QString GraphReadout::text(const std::vector<ReadoutPoint>& points) {
    QStringList lines;
    for (const ReadoutPoint& p : points) {
        QString line = p.session.isEmpty() ? QString() : p.session + QStringLiteral(": ");
        line += numbers::formatElapsed(p.seconds) + QStringLiteral(", sample ") + QString::number(p.reading) +
                QStringLiteral(": ") + numbers::formatOhms(p.ohms) + QStringLiteral("Ohms");
        // At full scale the resistance is 0 and there is no conductance, as in the readings panel.
        if (p.ohms > 0 && std::isfinite(p.ohms))
            line += QStringLiteral(", ") + ReadingStatus::conductanceText(1000000.0 / p.ohms);
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace aurivo
