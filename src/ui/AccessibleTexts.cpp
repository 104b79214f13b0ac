#include "ui/AccessibleTexts.h"

namespace aurivo {

QString AccessibleTexts::valueName(const QString& heading, const QString& value) {
    const QString shown = value.trimmed();
    return heading.trimmed() + QStringLiteral(": ") + (shown.isEmpty() ? QStringLiteral("none") : shown);
}

QString AccessibleTexts::graphDescription(const std::array<QString, 10>& axisLabels, const QString& elapsed,
                                          bool replay) {
    // The axis captions carry the metric prefix and its blank ("464.5 k", "80.0 "); the unit completes them.
    const QString& top = axisLabels[0];
    const QString& bottom = axisLabels[4];
    if (top.trimmed().isEmpty() || bottom.trimmed().isEmpty())
        return replay ? QStringLiteral("Replay: nothing drawn") : QStringLiteral("No session drawn yet");
    QString text =
        (replay ? QStringLiteral("Replay: resistance from ") : QStringLiteral("Resistance from ")) + top +
        QStringLiteral("Ohms at the top to ") + bottom + QStringLiteral("Ohms at the bottom");
    const QString end = axisLabels[9].trimmed();
    if (!end.isEmpty()) text += QStringLiteral("; time axis 00:00 to ") + end;
    if (!replay && !elapsed.trimmed().isEmpty())
        text += QStringLiteral("; elapsed time ") + elapsed.trimmed();
    return text;
}

} // namespace aurivo
