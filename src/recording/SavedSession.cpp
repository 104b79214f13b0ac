#include "recording/SavedSession.h"

#include "core/SafeFile.h"
#include "recording/SessionHeaderFile.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace aurivo {

namespace {

constexpr double kLowestReading = 1;
constexpr double kHighestReading = 16383;

// A header's MinADC or MaxADC: a number (blanks around it allowed) in 0..16383. Anything else cannot
// come from a recording and marks the header as damaged. 0 and 16383 are what a session without
// readings writes.
std::optional<double> headerValue(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > kHighestReading) return std::nullopt;
    return value;
}

// The smallest and largest reading in 1..16383 of the file's whole records, read in blocks; nullopt when
// it holds none (or cannot be read).
std::optional<std::pair<double, double>> rangeOfReadings(SafeFile& file, int64_t lengthBytes) {
    std::vector<int32_t> block(size_t(1) << 16);
    double lo = kHighestReading, hi = 0;
    bool any = false;
    for (int64_t at = 0; at < lengthBytes;) {
        const qint64 want = std::min<int64_t>(lengthBytes - at, int64_t(block.size()) * 4);
        if (file.readAt(at, reinterpret_cast<char*>(block.data()), want) != want) return std::nullopt;
        at += want;
        for (int64_t i = 0; i < want / 4; ++i) {
            const double a = qFromLittleEndian(block[size_t(i)]);
            if (a < kLowestReading || a > kHighestReading) continue;
            lo = std::min(lo, a);
            hi = std::max(hi, a);
            any = true;
        }
    }
    if (!any) return std::nullopt;
    return std::make_pair(lo, hi);
}

// The header's five items; false with the reason in `error` when it cannot be read or holds fewer.
bool readHeaderItems(const QString& hdrPath, const QString& hdrName, QStringList& items, QString& error) {
    QString reason;
    if (!SessionHeaderFile::readItems(hdrPath, 5, items, reason)) {
        error = hdrName + QStringLiteral(": ") + reason;
        return false;
    }
    if (items.size() < 5) {
        error = hdrName + QStringLiteral(": the header holds %1 of its 5 items").arg(items.size());
        return false;
    }
    return true;
}

// The length of the reading file's whole records; false when the file's size cannot be had.
bool measureReadingFile(SafeFile& reading, const QString& tstName, SavedSession& session) {
    session.lengthBytes = reading.size();
    if (session.lengthBytes < 0) {
        session.error = tstName + QStringLiteral(": ") + reading.reason();
        session.lengthBytes = 0;
        return false;
    }
    const int64_t trailing = session.lengthBytes % 4;
    if (trailing != 0) {
        // A reading file cut inside its last record (copied from a full disk, say): its whole records
        // are drawn and the rest is named.
        session.lengthBytes -= trailing;
        session.note = QStringLiteral("the last %1 bytes of %2 are not a whole reading and were left out")
                           .arg(trailing)
                           .arg(tstName);
    }
    return true;
}

// The session's range: the header's when it gives one, else that of the readings.
void takeSessionRange(double minADC, double maxADC, SafeFile& reading, SavedSession& session) {
    if (minADC >= kLowestReading && minADC <= maxADC) {
        session.minADC = minADC;
        session.maxADC = maxADC;
        session.hasRange = true;
    } else if (const auto range = rangeOfReadings(reading, session.lengthBytes)) {
        // A header that does not give a range (no readings when it was written, or a minimum above the
        // maximum as earlier versions wrote for sessions that only rose) is no damage: the readings
        // themselves give it.
        session.minADC = range->first;
        session.maxADC = range->second;
        session.hasRange = true;
    }
}

// The header's MinADC and MaxADC, its comments and the session's range; false when a value is damaged.
bool takeHeaderValues(const QStringList& items, const QString& hdrName, SafeFile& reading,
                      SavedSession& session) {
    const std::optional<double> minADC = headerValue(items[1]);
    const std::optional<double> maxADC = headerValue(items[3]);
    const auto damaged = [&](const char* label, const QString& item) {
        return QStringLiteral("%1 \"%2\" in %3 is not a number in 0..16383")
            .arg(QLatin1String(label), item.trimmed().left(40), hdrName);
    };
    if (!minADC) {
        session.error = damaged("MinADC", items[1]);
        return false;
    }
    if (!maxADC) {
        session.error = damaged("MaxADC", items[3]);
        return false;
    }
    session.comments = items[4];
    takeSessionRange(*minADC, *maxADC, reading, session);
    return true;
}

// Every whole record of the reading file, in one read; records are little-endian 32-bit integers.
void readAllReadings(SafeFile& reading, const QString& tstName, SavedSession& session) {
    session.readings.resize(size_t(session.lengthBytes / 4));
    const qint64 wanted = session.lengthBytes;
    if (wanted > 0 && reading.readAt(0, reinterpret_cast<char*>(session.readings.data()), wanted) != wanted) {
        session.error = tstName + QStringLiteral(": ") +
                        (reading.error() != 0 ? reading.reason() : QStringLiteral("the file got shorter"));
        session.readings.clear();
        return;
    }
    for (int32_t& record : session.readings)
        record = qFromLittleEndian(record);
}

} // namespace

bool SavedSession::openSavedFile(SafeFile& file, const QString& path) {
    // Through a link, as the user may keep sessions that way, but never a pipe or a device: opening a pipe
    // would wait for a writer and a device may never end.
    return file.open(path, SafeFile::Mode::ReadThroughLink);
}

SavedSession SavedSession::load(const QString& tstPath, const QString& hdrPath, bool withReadings) {
    SavedSession session;
    const QString tstName = QFileInfo(tstPath).fileName();
    const QString hdrName = QFileInfo(hdrPath).fileName();

    SafeFile reading;
    if (!openSavedFile(reading, tstPath)) {
        session.error = tstName + QStringLiteral(": ") + reading.reason();
        return session;
    }
    QStringList items;
    if (!readHeaderItems(hdrPath, hdrName, items, session.error)) return session;
    if (!measureReadingFile(reading, tstName, session)) return session;
    if (!takeHeaderValues(items, hdrName, reading, session)) return session;
    if (withReadings) readAllReadings(reading, tstName, session);
    return session;
}

} // namespace aurivo
