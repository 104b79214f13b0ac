#include "display/ReadingStatus.h"

#include "core/MonitorState.h"
#include "core/NumberRules.h"

#include <cmath>
#include <limits>

namespace aurivo {

using numbers::numberText;

namespace {
constexpr uint32_t kProbeErrorColour = 0x008080FF; // light red
constexpr uint32_t kProbeOkColour = 0x0080FF80;    // light green
} // namespace

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

void ReadingStatus::showReading() {
    MonitorState& s = state_;
    double r = 0; // resistance; stays 0 for readings below 320
    double p = 0; // percentage change since the start reading

    if (s.filteredReading >= 320) {
        r = numbers::ohmsFromReading(s.filteredReading);
        s.lblShnStf[3].caption = numbers::formatOhms(r) + QStringLiteral("Ohms");
        // At full scale the resistance is 0: no conductance, and nothing else changes.
        if (r == 0) return;

        const double c = 1000000.0 / r;
        if (std::isfinite(c)) s.lblShnStf[5].caption = conductanceText(c);

        if (s.sessionRunning()) {
            LabelModel& data = s.lblShnStf[7];
            data.caption = QString::number(s.rawReading);
            if (s.statusByte & 1) {
                data.backColor = kProbeErrorColour;
                data.toolTip = QStringLiteral("Probe error");
            } else {
                data.backColor = kProbeOkColour;
                data.toolTip = QStringLiteral("Probe OK");
            }
        }
    }

    const double start = numbers::valueOf(s.lblSysADCstart.caption);
    if (start != 0) {
        const double rs = numbers::ohmsFromReading(start);
        const double change = (r - rs) / rs * 100.0;
        // A start reading at full scale (Rs = 0) or a tiny one (Rs beyond range) fails this step only.
        if (std::isfinite(rs) && rs != 0 && std::isfinite(change)) {
            p = change;
            s.lblShnStf[1].caption = percentText(p) + QStringLiteral(" %");
        }
    }

    if (s.graphSpanPercent != 0) {
        const double level = std::floor((1.0 - p / s.graphSpanPercent) * 255.0);
        if (std::isfinite(level) && std::fabs(level) <= double(std::numeric_limits<float>::max()))
            s.levelTarget = static_cast<float>(level);
    }
}

} // namespace aurivo
