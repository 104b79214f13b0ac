#include "display/ReadingStatus.h"

#include "core/Colors.h"
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

ReadingStatus::ReadingStatus() {
    const char* captions[10] = {"% Change ", "0 %", "Res.", "0", "Cond.", "0", "Data", "", "Battery", ""};
    for (int i = 0; i < 10; ++i)
        labels_[i].caption = QString::fromLatin1(captions[i]);
    labels_[8].visible = false;
    labels_[9].visible = false;
}

const std::array<LabelModel, 10>& ReadingStatus::labels() const {
    using Kind = PendingCaption::Kind;
    for (size_t i = 0; i < pending_.size(); ++i) {
        PendingCaption& p = pending_[i];
        switch (p.kind) {
        case Kind::None:
            continue;
        case Kind::Ohms:
            labels_[i].caption = numbers::formatOhms(p.value) + QStringLiteral("Ohms");
            break;
        case Kind::Conductance:
            labels_[i].caption = conductanceText(p.value);
            break;
        case Kind::Percent:
            labels_[i].caption = percentText(p.value) + QStringLiteral(" %");
            break;
        case Kind::Raw:
            labels_[i].caption = QString::number(int32_t(p.value));
            break;
        }
        p.kind = Kind::None;
    }
    return labels_;
}

void ReadingStatus::setCaption(int index, const QString& caption) {
    pending_[index].kind = PendingCaption::Kind::None;
    if (labels_[index].caption == caption) return;
    labels_[index].caption = caption;
    dirty_ = true;
}

void ReadingStatus::setPending(int index, PendingCaption::Kind kind, double value) {
    PendingCaption& p = pending_[index];
    if (p.kind == kind && p.value == value) return;
    p = PendingCaption{kind, value};
    dirty_ = true;
}

void ReadingStatus::setLook(int index, uint32_t backColor, const QString& toolTip) {
    LabelModel& label = labels_[index];
    if (label.backColor == backColor && label.toolTip == toolTip) return;
    label.backColor = backColor;
    label.toolTip = toolTip;
    dirty_ = true;
}

std::optional<float> ReadingStatus::showReading(const Reading& reading, const Context& context) {
    dirty_ = false;
    std::optional<float> target;
    double r = 0; // resistance; stays 0 for readings below the plausible floor
    double p = 0; // percentage change since the start reading

    [&] {
        if (context.filteredReading >= kLowestPlausibleReading) {
            r = numbers::ohmsFromReading(context.filteredReading);
            setPending(3, PendingCaption::Kind::Ohms, r);
            // At full scale the resistance is 0: no conductance, and nothing else changes.
            if (r == 0) return;

            const double c = 1000000.0 / r;
            if (std::isfinite(c)) setPending(5, PendingCaption::Kind::Conductance, c);

            if (context.sessionRunning) {
                setPending(7, PendingCaption::Kind::Raw, reading.raw);
                if (reading.probeError())
                    setLook(7, kProbeErrorColour, QStringLiteral("Probe error"));
                else
                    setLook(7, kProbeOkColour, QStringLiteral("Probe OK"));
            }
        }

        const double start = context.startReading;
        if (start != 0) {
            const double rs = numbers::ohmsFromReading(start);
            const double change = (r - rs) / rs * 100.0;
            // A start reading at full scale (Rs = 0) or a tiny one (Rs beyond range) fails this step only.
            if (std::isfinite(rs) && rs != 0 && std::isfinite(change)) {
                p = change;
                setPending(1, PendingCaption::Kind::Percent, p);
            }
        }

        if (context.graphSpanPercent != 0) {
            const double level = std::floor((1.0 - p / context.graphSpanPercent) * 255.0);
            if (std::isfinite(level) && std::fabs(level) <= double(std::numeric_limits<float>::max()))
                target = static_cast<float>(level);
        }
    }();
    if (dirty_) changed.notify();
    return target;
}

void ReadingStatus::markDataArrived() {
    dirty_ = false;
    setLook(7, colors::kLightGreen, labels_[7].toolTip);
    if (dirty_) changed.notify();
}

void ReadingStatus::markNoData() {
    dirty_ = false;
    setLook(7, colors::kLightRed, labels_[7].toolTip);
    setCaption(7, QStringLiteral("No Data"));
    if (dirty_) changed.notify();
}

void ReadingStatus::resetDataLabel() {
    dirty_ = false;
    setLook(7, colors::kButtonFace, QString());
    if (dirty_) changed.notify();
}

} // namespace aurivo
