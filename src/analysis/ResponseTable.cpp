#include "analysis/ResponseTable.h"

#include "core/SafeFile.h"
#include "recording/CsvText.h"
#include "recording/SavedSession.h"
#include "recording/SessionSource.h"
#include "recording/WholeLines.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <charconv>

namespace aurivo {

namespace {

// The value with `decimals` places, always that many, "." as the decimal point in any locale.
void appendFixed(QByteArray& out, double value, int decimals) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, result.ptr - text);
}

// A label as other programs can take it: control characters (C0, DEL, C1) dropped, except that tabs
// and line breaks become a blank so the words on either side stay apart.
QString withoutControls(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            out += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control)
            out += c;
        else if (c.isSpace())
            out += QLatin1Char(' ');
    }
    return out;
}

// A running session gives the detector each marker right after the reading it was set at (those set
// before the first reading before it). `markers` are in the order of their readings; `next` is the first
// not given yet.
void addMarkersUpTo(ResponseDetector& detector, const std::vector<Marker>& markers, size_t& next,
                    int64_t reading) {
    for (; next < markers.size() && markers[next].reading <= reading; ++next)
        detector.addMarker(markers[next].reading, markers[next].label);
}

void sortByReading(std::vector<Marker>& markers) {
    std::stable_sort(markers.begin(), markers.end(),
                     [](const Marker& a, const Marker& b) { return a.reading < b.reading; });
}

} // namespace

QByteArray ResponseTable::header() {
    return QByteArray(kHeaderLine) + "\r\n";
}

QByteArray ResponseTable::line(const SkinResponse& r) {
    QByteArray out = QByteArray::number(r.onsetReading) + ',' + QByteArray::number(r.peakReading) + ',';
    appendFixed(out, r.onsetSeconds, 3);
    out += ',';
    appendFixed(out, r.peakSeconds, 3);
    out += ',';
    appendFixed(out, r.amplitudeUs, 4);
    out += ',';
    appendFixed(out, r.riseSeconds, 3);
    out += ',';
    if (r.halfRecoverySeconds) appendFixed(out, *r.halfRecoverySeconds, 3);
    out += ',';
    out += CsvText::field(withoutControls(r.marker)).toUtf8();
    out += "\r\n";
    return out;
}

bool ResponseTable::readPeaks(const QString& path, int64_t readings, std::vector<int64_t>& peaks,
                              int& skipped, QString& reason) {
    peaks.clear();
    skipped = 0;
    WholeLines file;
    if (!WholeLines::read(path, kMaxFileBytes, QStringLiteral("a response file"), file, reason)) return false;
    for (const QByteArray& line : file.lines) {
        if (line == kHeaderLine) continue;
        const QList<QByteArray> fields = line.split(',');
        bool ok = false;
        const qlonglong peak = fields.size() >= 2 ? fields[1].toLongLong(&ok) : 0;
        if (ok && peak >= 1 && peak <= readings)
            peaks.push_back(peak);
        else
            ++skipped;
    }
    return true;
}

void ResponseTable::score(std::span<const int32_t> readings, std::vector<Marker> markers,
                          const ResponseDetector::Settings& settings,
                          const std::function<void(const SkinResponse&)>& completed) {
    sortByReading(markers);
    ResponseDetector detector(settings, {{}, completed, {}});
    size_t next = 0;
    addMarkersUpTo(detector, markers, next, 0);
    for (size_t i = 0; i < readings.size(); ++i) {
        detector.addReading(int64_t(i) + 1, readings[i]);
        addMarkersUpTo(detector, markers, next, int64_t(i) + 1);
    }
    detector.finish();
}

bool ResponseTable::forSession(const QString& sessionPath, const ResponseDetector::Settings& settings,
                               const std::function<void(const QByteArray&)>& out, QStringList& warnings,
                               QString& error) {
    const SessionSource source = SessionSource::fromPath(sessionPath);
    const QString tstName = QFileInfo(source.readingPath).fileName();
    SafeFile file;
    if (!SavedSession::openSavedFile(file, source.readingPath)) {
        error = tstName + QStringLiteral(": ") + file.reason();
        return false;
    }
    int64_t length = file.size();
    if (length < 0) {
        error = tstName + QStringLiteral(": ") + file.reason();
        return false;
    }
    if (const int64_t trailing = length % 4; trailing != 0) {
        length -= trailing;
        warnings << QStringLiteral("the last %1 bytes of %2 are not a whole reading and were left out")
                        .arg(trailing)
                        .arg(tstName);
    }
    const int64_t count = length / 4;

    std::vector<Marker> markers;
    if (!source.markerPath.isEmpty()) {
        MarkerFile::Contents contents;
        if (!MarkerFile::read(source.markerPath, contents, error, count)) return false;
        if (contents.skippedLines > 0) warnings << contents.skippedNote(source.markerPath);
        markers = std::move(contents.markers);
    }

    sortByReading(markers);
    out(header());
    ResponseDetector detector(settings, {{}, [&out](const SkinResponse& r) { out(line(r)); }, {}});
    size_t next = 0;
    addMarkersUpTo(detector, markers, next, 0);
    // Records are little-endian 32-bit integers, read a block at a time so a day's session needs no more
    // memory than an hour's.
    std::vector<int32_t> block(size_t(1) << 16);
    for (int64_t done = 0; done < count;) {
        const int64_t n = std::min<int64_t>(count - done, int64_t(block.size()));
        if (file.readAt(done * 4, reinterpret_cast<char*>(block.data()), n * 4) != n * 4) {
            error = tstName + QStringLiteral(": ") +
                    (file.error() != 0 ? file.reason() : QStringLiteral("the file got shorter"));
            return false;
        }
        for (int64_t i = 0; i < n; ++i) {
            detector.addReading(done + i + 1, qFromLittleEndian(block[size_t(i)]));
            addMarkersUpTo(detector, markers, next, done + i + 1);
        }
        done += n;
    }
    detector.finish();
    return true;
}

} // namespace aurivo
