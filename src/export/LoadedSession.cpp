#include "export/LoadedSession.h"

#include "core/NumberRules.h"
#include "recording/SavedSession.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace aurivo {

namespace {

// The start date and time from the comments' start line, and the comments after it.
void takeStartAndComments(const QString& headerComments, LoadedSession& session) {
    QString comments = headerComments;
    comments.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString startLabel = QStringLiteral("Start of Session : ");
    if (comments.startsWith(startLabel)) {
        const qsizetype end = comments.indexOf(QLatin1Char('\n'));
        session.start = LoadedSession::parseStartDate(
            comments.mid(startLabel.size(), end < 0 ? -1 : end - startLabel.size()));
        comments = end < 0 ? QString() : comments.mid(end + 1);
    }
    session.comments = comments;
}

// Each reading's session time: from the timing file when the session has one that gives times, else
// 20 a second. False when the timing file cannot be read.
bool readSessionTimes(const SessionSource& source, LoadedSession& session, QString& error) {
    const int64_t count = int64_t(session.readings.size());
    bool timed = false;
    if (!source.timingPath.isEmpty()) {
        TimingFile::Contents contents;
        if (!TimingFile::read(source.timingPath, count, contents, timed, error)) return false;
        if (contents.skippedLines > 0) session.warnings << contents.skippedNote(source.timingPath);
        if (timed) {
            TimingFile::Times times = TimingFile::readingTimes(contents.anchors, count);
            session.milliseconds = std::move(times.milliseconds);
            // One tick holds a few readings; many more after the last line means the file stopped early.
            if (times.afterLastTick > LoadedSession::kSampleRate)
                session.warnings << QStringLiteral("%1: the times end %2 readings before the last; those are "
                                                   "taken 20 a second")
                                        .arg(QFileInfo(source.timingPath).fileName())
                                        .arg(times.afterLastTick);
        }
    }
    if (!timed) {
        session.milliseconds.resize(size_t(count));
        for (int64_t i = 0; i < count; ++i)
            session.milliseconds[size_t(i)] = i * LoadedSession::kReadingStepMs;
    }
    return true;
}

// The session's markers in the order of their readings, when it has a marker file. False when the file
// cannot be read.
bool readSessionMarkers(const SessionSource& source, LoadedSession& session, QString& error) {
    if (source.markerPath.isEmpty()) return true;
    MarkerFile::Contents contents;
    if (!MarkerFile::read(source.markerPath, contents, error, int64_t(session.readings.size()))) return false;
    if (contents.skippedLines > 0) session.warnings << contents.skippedNote(source.markerPath);
    session.markers = std::move(contents.markers);
    std::stable_sort(
        session.markers.begin(), session.markers.end(),
        [&session](const Marker& a, const Marker& b) { return session.sampleOf(a) < session.sampleOf(b); });
    return true;
}

} // namespace

double LoadedSession::ohms(int32_t reading) {
    return numbers::ohmsFromReading(reading);
}

int64_t LoadedSession::sampleOf(const Marker& marker) const {
    return std::clamp<int64_t>(marker.reading, 1, std::max<int64_t>(1, int64_t(readings.size()))) - 1;
}

QDateTime LoadedSession::parseStartDate(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.lastIndexOf(QLatin1Char(' '));
    if (blank < 0) return {};
    const QString datePart = trimmed.left(blank).trimmed();
    const QTime time = QTime::fromString(trimmed.mid(blank + 1), QStringLiteral("H:mm:ss"));
    if (!time.isValid()) return {};
    QDate date = QLocale().toDate(datePart, QLocale::ShortFormat);
    for (const char* format :
         {"yyyy-MM-dd", "d/M/yyyy", "d/M/yy", "M/d/yyyy", "M/d/yy", "d.M.yyyy", "d.M.yy"}) {
        if (date.isValid()) break;
        date = QDate::fromString(datePart, QLatin1String(format));
    }
    if (!date.isValid()) return {};
    // A two-digit year comes back as 19yy.
    if (date.year() < 1985) date = date.addYears(100);
    return QDateTime(date, time);
}

QString LoadedSession::withoutControls(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            out += c;
        else if (c.isSpace()) // tab, line feed, vertical tab, form feed, carriage return, next line
            out += QLatin1Char(' ');
    }
    return out;
}

bool LoadedSession::load(const SessionSource& source, LoadedSession& session, QString& error) {
    session = {};
    session.readingName = QFileInfo(source.readingPath).fileName();
    session.headerName = QFileInfo(source.headerPath).fileName();
    SavedSession saved = SavedSession::load(source.readingPath, source.headerPath);
    if (!saved.ok()) {
        error = saved.error;
        return false;
    }
    if (saved.readings.empty()) {
        error = session.readingName + QStringLiteral(": the session holds no readings");
        return false;
    }
    session.readings = std::move(saved.readings);
    // A reading file cut inside its last record exports its whole records, as the replay draws them.
    if (!saved.note.isEmpty()) session.warnings << saved.note;

    takeStartAndComments(saved.comments, session);
    if (!readSessionTimes(source, session, error)) return false;
    return readSessionMarkers(source, session, error);
}

} // namespace aurivo
