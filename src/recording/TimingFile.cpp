#include "recording/TimingFile.h"

#include "recording/WholeLines.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>

namespace aurivo {

namespace {

// Far beyond any session (about 30 years), and small enough to stay exact in milliseconds.
constexpr double kMaxSeconds = 1e9;

// One line (line end removed) as an anchor; none when it does not parse.
std::optional<TimingAnchor> parseLine(QByteArrayView text) {
    const qsizetype comma = text.indexOf(',');
    if (comma < 0) return std::nullopt;
    const QByteArray readingText = text.first(comma).toByteArray();
    const QByteArray timeText = text.sliced(comma + 1).toByteArray();
    bool readingOk = false, timeOk = false;
    const qlonglong reading = readingText.toLongLong(&readingOk);
    const double seconds = timeText.toDouble(&timeOk);
    // toDouble takes blanks around the number; a line of this file has none.
    if (!readingOk || !timeOk || reading < 1 || !std::isfinite(seconds) || seconds < 0 ||
        seconds > kMaxSeconds || timeText.trimmed() != timeText || timeText.isEmpty())
        return std::nullopt;
    return TimingAnchor{reading, std::llround(seconds * 1000.0)};
}

} // namespace

QString TimingFile::pathForBase(const QString& basePath) {
    return basePath + QStringLiteral(".tim");
}

QByteArray TimingFile::line(int64_t reading, int64_t milliseconds) {
    const int64_t ms = std::max<int64_t>(0, milliseconds);
    return QByteArray::number(qlonglong(reading)) + ',' + QByteArray::number(qlonglong(ms / 1000)) + '.' +
           QByteArray::number(qlonglong(ms % 1000)).rightJustified(3, '0') + "\r\n";
}

QString TimingFile::Contents::skippedNote(const QString& path) const {
    if (skippedLines == 0) return QString();
    return QStringLiteral("%1: %2 damaged or unfinished lines skipped")
        .arg(QFileInfo(path).fileName())
        .arg(skippedLines);
}

bool TimingFile::read(const QString& path, int64_t readingCount, Contents& contents, bool& exists,
                      QString& reason) {
    contents = {};
    WholeLines file;
    if (!WholeLines::read(path, kMaxBytes, QStringLiteral("a timing file"), file, reason)) {
        exists = file.exists;
        return false;
    }
    exists = file.exists;
    if (file.cutOff) ++contents.skippedLines;
    for (size_t i = 0; i < file.lines.size(); ++i) {
        const QByteArray& text = file.lines[i];
        if (text.isEmpty() || (i == 0 && text == kHeaderLine)) continue;
        const std::optional<TimingAnchor> anchor = parseLine(text);
        const TimingAnchor before = contents.anchors.empty() ? TimingAnchor{} : contents.anchors.back();
        if (!anchor || anchor->reading > readingCount || anchor->reading <= before.reading ||
            anchor->milliseconds < before.milliseconds ||
            anchor->milliseconds - before.milliseconds > kMaxPauseMs) {
            ++contents.skippedLines;
            continue;
        }
        contents.anchors.push_back(*anchor);
    }
    return true;
}

TimingFile::Times TimingFile::readingTimes(const std::vector<TimingAnchor>& anchors, int64_t readingCount) {
    Times times;
    const int64_t count = std::max<int64_t>(0, readingCount);
    times.milliseconds.resize(size_t(count));
    int64_t placed = 0;    // readings given a time so far
    int64_t previous = 0;  // when the tick before ran: the session's start before the first tick
    int64_t lastTick = -1; // when the last tick ran; none yet
    for (size_t j = 0; j < anchors.size() && placed < count; ++j) {
        const int64_t at = std::max(anchors[j].milliseconds, previous);
        const int64_t interval = at - previous;
        const bool last = j + 1 == anchors.size();
        int64_t n = (last ? count : std::min(count, anchors[j + 1].reading - 1)) - placed;
        if (last) n = std::min(n, std::max<int64_t>(1, interval / kReadingStepMs));
        if (n <= 0) continue; // an anchor past the readings
        const double step = std::min(double(kReadingStepMs), double(interval) / double(n));
        for (int64_t m = 0; m < n; ++m)
            times.milliseconds[size_t(placed + m)] = at - std::llround(step * double(n - 1 - m));
        placed += n;
        previous = lastTick = at;
    }
    times.afterLastTick = count - placed;
    // After the last tick (or without any): the device's pace, from the last tick on.
    const int64_t base = lastTick < 0 ? -kReadingStepMs : lastTick;
    for (int64_t i = placed; i < count; ++i)
        times.milliseconds[size_t(i)] = base + kReadingStepMs * (i - placed + 1);
    return times;
}

} // namespace aurivo
