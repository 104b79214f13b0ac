#include "recording/SavedSession.h"

#include "recording/SessionHeaderFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <optional>

namespace aurivo {

namespace {

constexpr double kLowestReading = 1;
constexpr double kHighestReading = 16383;

// The reading of a header item: a number (blanks around it allowed) that a converter can give. The
// readers skip readings below 1, so no stored session reaches 0; a value outside the range would put
// the common scale out of reach (negative or endless resistances) for every session drawn with it.
std::optional<double> readingOf(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < kLowestReading || value > kHighestReading)
        return std::nullopt;
    return value;
}

} // namespace

SavedSession SavedSession::load(const QString& tstPath, const QString& hdrPath, bool withReadings) {
    SavedSession session;
    const QString tstName = QFileInfo(tstPath).fileName();
    const QString hdrName = QFileInfo(hdrPath).fileName();

    QFile reading(tstPath);
    if (!reading.open(QIODevice::ReadOnly)) {
        session.error = tstName + QStringLiteral(": ") + reading.errorString();
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
    const int64_t trailing = session.lengthBytes % 4;
    if (trailing != 0) {
        // A reading file cut inside its last record (copied from a full disk, say): its whole records
        // are drawn and the rest is named.
        session.lengthBytes -= trailing;
        session.note = QStringLiteral("the last %1 bytes of %2 are not a whole reading and were left out")
                           .arg(trailing)
                           .arg(tstName);
    }
    const std::optional<double> minADC = readingOf(items[1]);
    const std::optional<double> maxADC = readingOf(items[3]);
    const auto outOfRange = [&](const char* label, const QString& item) {
        return QStringLiteral("%1 \"%2\" in %3 is not a number in 1..16383")
            .arg(QLatin1String(label), item.trimmed().left(40), hdrName);
    };
    if (minADC && maxADC && *minADC <= *maxADC) {
        session.minADC = *minADC;
        session.maxADC = *maxADC;
    } else if (session.lengthBytes == 0) {
        session.error = tstName + QStringLiteral(" holds no readings"); // its header holds 16383 and 0
    } else if (!minADC) {
        session.error = outOfRange("MinADC", items[1]);
    } else if (!maxADC) {
        session.error = outOfRange("MaxADC", items[3]);
    } else {
        session.error = QStringLiteral("MinADC %1 is above MaxADC %2 in %3")
                            .arg(items[1].trimmed(), items[3].trimmed(), hdrName);
    }
    if (!session.ok()) return session;
    session.comments = items[4];

    if (!withReadings) return session;
    // The whole file in one read; records are little-endian 32-bit integers.
    session.readings.resize(size_t(session.lengthBytes / 4));
    const qint64 wanted = session.lengthBytes;
    if (wanted > 0 && reading.read(reinterpret_cast<char*>(session.readings.data()), wanted) != wanted) {
        session.error = tstName + QStringLiteral(": ") + reading.errorString();
        session.readings.clear();
        return session;
    }
    for (int32_t& record : session.readings)
        record = qFromLittleEndian(record);
    return session;
}

} // namespace aurivo
