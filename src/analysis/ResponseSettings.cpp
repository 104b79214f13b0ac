#include "analysis/ResponseSettings.h"

#include <QDir>
#include <QSettings>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

QString settingsPath(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(ResponseSettings::kFileName));
}

std::optional<double> number(const QSettings& s, const char* key) {
    bool ok = false;
    const double value = s.value(QString::fromLatin1(key)).toString().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Writes the values into the group, leaving the file's other groups and keys as they are.
bool write(const QString& folder, const std::vector<std::pair<QString, QVariant>>& values, QString& failure) {
    QSettings s(settingsPath(folder), QSettings::IniFormat);
    s.beginGroup(QString::fromLatin1(ResponseSettings::kGroup));
    for (const auto& [key, value] : values)
        s.setValue(key, value);
    s.endGroup();
    s.sync();
    if (s.status() == QSettings::NoError) return true;
    failure = QStringLiteral("%1: could not be written").arg(QDir::toNativeSeparators(settingsPath(folder)));
    return false;
}

} // namespace

ResponseDetector::Settings ResponseSettings::load(const QString& folder) {
    ResponseDetector::Settings out;
    QSettings s(settingsPath(folder), QSettings::IniFormat);
    s.beginGroup(QString::fromLatin1(kGroup));
    const std::optional<double> amplitude = number(s, "minAmplitude");
    if (amplitude && *amplitude >= ResponseDetector::kMinAmplitudeLowest &&
        *amplitude <= ResponseDetector::kMinAmplitudeHighest)
        out.minAmplitudeUs = *amplitude;
    const std::optional<double> start = number(s, "windowStart");
    const std::optional<double> end = number(s, "windowEnd");
    const double from = start.value_or(out.windowStartSeconds), to = end.value_or(out.windowEndSeconds);
    if (from >= 0 && to > from && to <= ResponseDetector::kWindowLongest) {
        out.windowStartSeconds = from;
        out.windowEndSeconds = to;
    }
    return out;
}

bool ResponseSettings::save(const QString& folder, const ResponseDetector::Settings& settings,
                            QString& failure) {
    return write(folder,
                 {{QStringLiteral("minAmplitude"), settings.minAmplitudeUs},
                  {QStringLiteral("windowStart"), settings.windowStartSeconds},
                  {QStringLiteral("windowEnd"), settings.windowEndSeconds}},
                 failure);
}

bool ResponseSettings::ticksShown(const QString& folder) {
    QSettings s(settingsPath(folder), QSettings::IniFormat);
    s.beginGroup(QString::fromLatin1(kGroup));
    return s.value(QStringLiteral("ticks")).toString().trimmed().toLower() != QStringLiteral("false");
}

bool ResponseSettings::saveTicksShown(const QString& folder, bool shown, QString& failure) {
    return write(folder, {{QStringLiteral("ticks"), shown}}, failure);
}

} // namespace aurivo
