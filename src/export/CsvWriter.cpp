#include "export/CsvWriter.h"

#include "core/SafeFile.h"
#include "recording/CsvText.h"

#include <charconv>

namespace aurivo {

namespace {

constexpr qsizetype kBlockBytes = 64 * 1024;

// The value rounded to `decimals` places, always with that many, "." as the decimal point in any locale.
void appendFixed(QByteArray& out, double value, int decimals) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, result.ptr - text);
}

// Milliseconds as seconds with three decimals, counted in whole numbers so nothing is rounded.
void appendSeconds(QByteArray& out, int64_t milliseconds) {
    out += QByteArray::number(qlonglong(milliseconds / 1000)) + '.' +
           QByteArray::number(qlonglong(milliseconds % 1000)).rightJustified(3, '0');
}

// The labels of the markers at one reading as the line's last field.
QByteArray labelField(const QStringList& labels) {
    QStringList clean;
    for (const QString& label : labels)
        clean << LoadedSession::withoutControls(label);
    QString text = clean.join(QStringLiteral("; "));
    // Spreadsheets take a field that begins with one of these (some even after blanks) as a formula and
    // run it; an apostrophe in front keeps it text, and spreadsheets do not show it.
    qsizetype first = 0;
    while (first < text.size() && text[first].isSpace())
        ++first;
    if (first < text.size() && QStringLiteral("=+-@").contains(text[first])) text.prepend(QLatin1Char('\''));
    return CsvText::field(text).toUtf8();
}

} // namespace

ExportStatus CsvWriter::write(const LoadedSession& session, const QString& path,
                              const ExportProgress& progress, QString& error) {
    // Written straight through the descriptor, so a full disk is met at the write and named by the
    // system's own words.
    SafeFile file;
    const auto failed = [&]() {
        error = exportFailure(path, file.reason());
        return ExportStatus::Failed;
    };
    if (!file.open(path, SafeFile::Mode::Create)) return failed();

    const std::vector<int32_t>& readings = session.readings;
    const int64_t count = int64_t(readings.size());
    ProgressTicker ticker(progress, count);
    QByteArray block = QByteArray(kHeaderLine) + "\r\n";
    qint64 written = 0;
    size_t nextMarker = 0;
    for (int64_t i = 0; i < count; ++i) {
        const int32_t reading = readings[size_t(i)];
        appendSeconds(block, session.milliseconds[size_t(i)]);
        block += ',' + QByteArray::number(reading) + ',';
        if (LoadedSession::isValid(reading)) {
            // As fine as a reading can tell: one step of the converter moves the resistance by at least
            // 28 ohms, and the conductance by about 0.0001 uS at the lowest readings.
            appendFixed(block, LoadedSession::ohms(reading), 1);
            block += ',';
            appendFixed(block, LoadedSession::microsiemens(reading), 4);
        } else {
            block += ',';
        }
        block += ',';
        QStringList labels;
        while (nextMarker < session.markers.size() && session.sampleOf(session.markers[nextMarker]) == i)
            labels << session.markers[nextMarker++].label;
        if (!labels.isEmpty()) block += labelField(labels);
        block += "\r\n";
        if (block.size() >= kBlockBytes || i + 1 == count) {
            if (!file.writeAt(written, block)) return failed();
            written += block.size();
            block.clear();
            if (!ticker.report(i + 1)) return ExportStatus::Cancelled;
        }
    }
    if (!file.close()) return failed();
    return ExportStatus::Done;
}

} // namespace aurivo
