#include "display/ReadingStatus.h"

#include "core/NumberRules.h"

#include <cmath>
#include <limits>

namespace aurivo {

using numbers::numberText;

QString ReadingStatus::conductanceText(double c) {
    double number = c;
    QString unit;
    if (c >= 1000000.0) {
        number = c / 1000000.0;
        unit = QStringLiteral("  S");
    } else if (c >= 1000.0) {
        number = c / 1000.0;
        unit = QStringLiteral(" mS");
    } else {
        unit = QStringLiteral(" uS");
    }
    QString text = numberText(number).trimmed().left(4);
    if (text.size() == 4 && text.at(3) == QLatin1Char('.')) text.chop(1);
    return text + unit;
}

QString ReadingStatus::percentText(double percent) {
    QString text = numberText(percent);
    if (text.contains(QLatin1Char('E'))) return QStringLiteral("0");
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) return QStringLiteral("0");
    return text.left(point + 2); // truncated one digit behind the point, never rounded
}

QString ReadingStatus::percentCaption(const std::optional<double>& percent) {
    return (percent ? percentText(*percent) : QStringLiteral("0")) + QStringLiteral(" %");
}

QString ReadingStatus::ohmsCaption(const std::optional<double>& ohms) {
    return ohms ? numbers::formatOhms(*ohms) + QStringLiteral("Ohms") : QStringLiteral("0");
}

QString ReadingStatus::conductanceCaption(const std::optional<double>& microsiemens) {
    return microsiemens ? conductanceText(*microsiemens) : QStringLiteral("0");
}

QString ReadingStatus::dataCaption(const DataCell& data) {
    switch (data.text) {
    case DataCell::Text::Reading:
        return QString::number(data.reading);
    case DataCell::Text::NoData:
        return QStringLiteral("No Data");
    case DataCell::Text::Empty:
        break;
    }
    return QString();
}

QString ReadingStatus::probeText(Probe probe) {
    switch (probe) {
    case Probe::Ok:
        return QStringLiteral("Probe OK");
    case Probe::Error:
        return QStringLiteral("Probe error");
    case Probe::Unknown:
        break;
    }
    return QString();
}

void ReadingStatus::show(const Shown& next) {
    if (next == shown_) return;
    shown_ = next;
    changed.notify();
}

std::optional<float> ReadingStatus::showReading(const Reading& reading, const Context& context) {
    Shown next = shown_;
    std::optional<float> target;
    double r = 0; // resistance; stays 0 for readings below the plausible floor
    double p = 0; // percentage change since the start reading

    [&] {
        if (context.filteredReading >= kLowestPlausibleReading) {
            r = numbers::ohmsFromReading(context.filteredReading);
            next.ohms = r;
            // At full scale the resistance is 0: no conductance, and nothing else changes.
            if (r == 0) return;

            const double c = 1000000.0 / r;
            if (std::isfinite(c)) next.microsiemens = c;

            if (context.sessionRunning) {
                const bool error = reading.probeError();
                next.data.text = DataCell::Text::Reading;
                next.data.reading = reading.raw;
                next.data.light = error ? DataLight::Bad : DataLight::Good;
                next.data.probe = error ? Probe::Error : Probe::Ok;
            }
        }

        const double start = context.startReading;
        if (start != 0) {
            const double rs = numbers::ohmsFromReading(start);
            const double change = (r - rs) / rs * 100.0;
            // A start reading at full scale (Rs = 0) or a tiny one (Rs beyond range) fails this step only.
            if (std::isfinite(rs) && rs != 0 && std::isfinite(change)) {
                p = change;
                next.percentChange = p;
            }
        }

        if (context.graphSpanPercent != 0) {
            const double level = std::floor((1.0 - p / context.graphSpanPercent) * 255.0);
            if (std::isfinite(level) && std::fabs(level) <= double(std::numeric_limits<float>::max()))
                target = static_cast<float>(level);
        }
    }();
    show(next);
    return target;
}

void ReadingStatus::markDataArrived() {
    Shown next = shown_;
    next.data.light = DataLight::Good;
    show(next);
}

void ReadingStatus::markNoData() {
    Shown next = shown_;
    next.data.light = DataLight::Bad;
    next.data.text = DataCell::Text::NoData;
    show(next);
}

void ReadingStatus::resetDataLabel() {
    Shown next = shown_;
    next.data.light = DataLight::Idle;
    next.data.probe = Probe::Unknown;
    show(next);
}

} // namespace aurivo
