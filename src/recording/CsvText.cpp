#include "recording/CsvText.h"

namespace aurivo {

QString CsvText::field(const QString& text) {
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                       text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quote) return text;
    QString out = text;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

std::optional<QStringList> CsvText::split(QStringView line) {
    QStringList fields;
    qsizetype i = 0;
    for (;;) {
        QString value;
        if (i < line.size() && line[i] == QLatin1Char('"')) {
            ++i;
            for (;;) {
                if (i >= line.size()) return std::nullopt; // the closing quote is missing
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i++];
            }
            if (i < line.size() && line[i] != QLatin1Char(',')) return std::nullopt;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            value = line.mid(i, end - i).toString();
            i = end;
        }
        fields.append(value);
        if (i >= line.size()) return fields;
        ++i; // the comma
    }
}

} // namespace aurivo
