#include "layout/AccessibleTexts.h"

#include "core/NumberRules.h"

#include <QRegularExpression>

namespace aurivo {

QString AccessibleTexts::spokenUnits(const QString& text) {
    // A number, its blanks, then the unit with its metric prefix ("464.5 kOhms", "2.03 uS", "1.5  S").
    static const QRegularExpression ohms(QStringLiteral("(\\d)\\s*([kM]?)Ohms\\b"));
    static const QRegularExpression siemens(QStringLiteral("(\\d)\\s*([um]?)S\\b"));
    QString out = text;
    QRegularExpressionMatch m;
    qsizetype from = 0;
    while ((m = ohms.match(out, from)).hasMatch()) {
        const QString prefix = m.captured(2);
        const QString unit = prefix == QLatin1String("k")   ? QStringLiteral("kilohms")
                             : prefix == QLatin1String("M") ? QStringLiteral("megohms")
                                                            : QStringLiteral("ohms");
        const QString spoken = m.captured(1) + QLatin1Char(' ') + unit;
        out.replace(m.capturedStart(), m.capturedLength(), spoken);
        from = m.capturedStart() + spoken.size();
    }
    from = 0;
    while ((m = siemens.match(out, from)).hasMatch()) {
        const QString prefix = m.captured(2);
        const QString unit = prefix == QLatin1String("u")   ? QStringLiteral("microsiemens")
                             : prefix == QLatin1String("m") ? QStringLiteral("millisiemens")
                                                            : QStringLiteral("siemens");
        const QString spoken = m.captured(1) + QLatin1Char(' ') + unit;
        out.replace(m.capturedStart(), m.capturedLength(), spoken);
        from = m.capturedStart() + spoken.size();
    }
    return out;
}

QString AccessibleTexts::valueName(const QString& heading, const QString& value) {
    const QString shown = spokenUnits(value.trimmed());
    return heading.trimmed() + QStringLiteral(": ") + (shown.isEmpty() ? QStringLiteral("none") : shown);
}

namespace {
// " 3.7 %" -> "3.7 % above start"; empty for a caption that is no percentage.
QString changeWords(const QString& percentCaption) {
    QString number = percentCaption.trimmed();
    if (!number.endsWith(QLatin1Char('%'))) return QString();
    number.chop(1);
    number = number.trimmed();
    if (number.isEmpty()) return QString();
    if (numbers::valueOf(number) == 0) return QStringLiteral("at start");
    const bool below = number.startsWith(QLatin1Char('-'));
    if (below) number.remove(0, 1);
    if (number.startsWith(QLatin1Char('.'))) number.prepend(QLatin1Char('0'));
    return number + (below ? QStringLiteral(" % below start") : QStringLiteral(" % above start"));
}
} // namespace

QString AccessibleTexts::levelName(const QString& percentCaption, bool anyLit) {
    const QString change = changeWords(percentCaption);
    if (!anyLit || change.isEmpty()) return QStringLiteral("Level: no reading");
    return QStringLiteral("Level: ") + change;
}

QString AccessibleTexts::levelCount(int lit, int units, const QString& unitName) {
    return QStringLiteral("%1 of %2 %3 lit").arg(lit).arg(units).arg(unitName);
}

QString AccessibleTexts::readingsNow(const QString& resistance, const QString& conductance,
                                     const QString& percentCaption) {
    const QString r = resistance.trimmed();
    if (r.isEmpty() || numbers::valueOf(r) == 0) return QString();
    QString text = QStringLiteral("Now ") + spokenUnits(r);
    if (!conductance.trimmed().isEmpty() && numbers::valueOf(conductance.trimmed()) != 0)
        text += QStringLiteral(", ") + spokenUnits(conductance.trimmed());
    const QString change = changeWords(percentCaption);
    if (!change.isEmpty()) text += QStringLiteral(", ") + change;
    return text;
}

QString AccessibleTexts::graphDescription(const std::array<QString, 10>& axisLabels, const QString& elapsed,
                                          bool replay) {
    // The axis captions carry the metric prefix and its blank ("464.5 k", "80.0 "); the unit completes them.
    const QString& top = axisLabels[0];
    const QString& bottom = axisLabels[4];
    if (top.trimmed().isEmpty() || bottom.trimmed().isEmpty())
        return replay ? QStringLiteral("Replay: nothing drawn") : QStringLiteral("No session drawn yet");
    QString text =
        (replay ? QStringLiteral("Replay: resistance from ") : QStringLiteral("Resistance from ")) +
        spokenUnits(top + QStringLiteral("Ohms")) + QStringLiteral(" at the top to ") +
        spokenUnits(bottom + QStringLiteral("Ohms")) + QStringLiteral(" at the bottom");
    const QString end = axisLabels[9].trimmed();
    if (!end.isEmpty()) text += QStringLiteral("; time axis 00:00 to ") + end;
    if (!replay && !elapsed.trimmed().isEmpty())
        text += QStringLiteral("; elapsed time ") + elapsed.trimmed();
    return text;
}

} // namespace aurivo
