#include "sound/ToneSettings.h"

#include <QDir>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace aurivo {

namespace {
const QString kGroup = QStringLiteral("tone");

double within(double value, double low, double high, double fallback) {
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}
} // namespace

ToneSettings ToneSettings::limited() const {
    ToneSettings s = *this;
    s.volumePercent = std::clamp(volumePercent, 0, 100);
    s.span = within(span, kLowestSpan, kHighestSpan, 1.0);
    s.basePitch = within(basePitch, kLowestBase, kHighestBase, 440.0);
    return s;
}

QString ToneSettings::filePath(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("aurivo-usb.conf"));
}

ToneSettings ToneSettings::load(const QString& folder) {
    QSettings file(filePath(folder), QSettings::IniFormat);
    file.beginGroup(kGroup);
    ToneSettings s;
    s.enabled = file.value(QStringLiteral("enabled"), s.enabled).toBool();
    s.volumePercent = file.value(QStringLiteral("volume"), s.volumePercent).toInt();
    s.direction = file.value(QStringLiteral("direction")).toString() == QLatin1String("falls")
                      ? Direction::Falls
                      : Direction::Rises;
    s.span = file.value(QStringLiteral("span"), s.span).toDouble();
    s.basePitch = file.value(QStringLiteral("base"), s.basePitch).toDouble();
    return s.limited();
}

bool ToneSettings::save(const QString& folder) const {
    QSettings file(filePath(folder), QSettings::IniFormat);
    file.beginGroup(kGroup);
    file.setValue(QStringLiteral("enabled"), enabled);
    file.setValue(QStringLiteral("volume"), volumePercent);
    file.setValue(QStringLiteral("direction"),
                  direction == Direction::Falls ? QStringLiteral("falls") : QStringLiteral("rises"));
    file.setValue(QStringLiteral("span"), span);
    file.setValue(QStringLiteral("base"), basePitch);
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace aurivo
