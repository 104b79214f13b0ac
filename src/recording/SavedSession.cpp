#include "recording/SavedSession.h"

#include "core/NumberRules.h"
#include "recording/SessionHeaderFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace aurivo {

namespace {

// True when the text starts (after blanks) with a number, the part NumberRules::valueOf reads; a text
// without one would silently count as 0 and stretch the common scale down to nothing.
bool hasLeadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) ++i;
    return i < text.size() && text[i].isDigit() && text[i].unicode() < 128;
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
    if (!hasLeadingNumber(items[1])) {
        session.error = hdrName + QStringLiteral(": the smallest reading is not a number");
        return session;
    }
    if (!hasLeadingNumber(items[3])) {
        session.error = hdrName + QStringLiteral(": the largest reading is not a number");
        return session;
    }
    session.minADC = numbers::valueOf(items[1]);
    session.maxADC = numbers::valueOf(items[3]);
    session.comments = items[4];

    session.lengthBytes = reading.size();
    if (session.lengthBytes % 4 != 0) {
        session.error = tstName + QStringLiteral(": its length of %1 bytes is not a whole number of readings")
                                      .arg(session.lengthBytes);
        return session;
    }
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
