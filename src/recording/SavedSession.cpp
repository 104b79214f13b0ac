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
    QString reason;
    if (!SessionHeaderFile::readItems(hdrPath, 5, items, reason)) {
        session.error = hdrName + QStringLiteral(": ") + reason;
        return session;
    }
    if (items.size() < 5) {
        session.error = hdrName + QStringLiteral(": the header holds %1 of its 5 items").arg(items.size());
        return session;
    }
    session.lengthBytes = reading.size();
    if (session.lengthBytes < 0) {
        session.error = tstName + QStringLiteral(": ") + reading.reason();
        session.lengthBytes = 0;
        return session;
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
    const std::optional<double> minADC = headerValue(items[1]);
    const std::optional<double> maxADC = headerValue(items[3]);
    const auto damaged = [&](const char* label, const QString& item) {
        return QStringLiteral("%1 \"%2\" in %3 is not a number in 0..16383")
            .arg(QLatin1String(label), item.trimmed().left(40), hdrName);
    };
    if (!minADC) {
        session.error = damaged("MinADC", items[1]);
        return session;
    }
    if (!maxADC) {
        session.error = damaged("MaxADC", items[3]);
        return session;
    }
    session.comments = items[4];
    if (*minADC >= kLowestReading && *minADC <= *maxADC) {
        session.minADC = *minADC;
        session.maxADC = *maxADC;
        session.hasRange = true;
    } else if (const auto range = rangeOfReadings(reading, session.lengthBytes)) {
        // A header that does not give a range (no readings when it was written, or a minimum above the
        // maximum as earlier versions wrote for sessions that only rose) is no damage: the readings
        // themselves give it.
        session.minADC = range->first;
        session.maxADC = range->second;
        session.hasRange = true;
    }

    if (!withReadings) return session;
    // The whole file in one read; records are little-endian 32-bit integers.
    session.readings.resize(size_t(session.lengthBytes / 4));
    const qint64 wanted = session.lengthBytes;
    if (wanted > 0 && reading.readAt(0, reinterpret_cast<char*>(session.readings.data()), wanted) != wanted) {
        session.error = tstName + QStringLiteral(": ") +
                        (reading.error() != 0 ? reading.reason() : QStringLiteral("the file got shorter"));
        session.readings.clear();
        return session;
    }
    for (int32_t& record : session.readings)
        record = qFromLittleEndian(record);
    return session;
}

} // namespace aurivo
