#include "recording/CrashRecovery.h"

#include "core/NumberRules.h"
#include "core/SafeFile.h"
#include "core/SafeFileWriter.h"
#include "recording/SessionHeaderFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace aurivo {

namespace {

// Byte offset just past the n-th CR LF (or LF) line of the text, or past the last whole line when the
// text has fewer.
qint64 endOfLines(const QByteArray& text, int64_t n) {
    qint64 end = 0;
    for (int64_t line = 0; line < n; ++line) {
        const qsizetype at = text.indexOf('\n', end);
        if (at < 0) break;
        end = at + 1;
    }
    return end;
}

// A name recovered-<time>[-k] that no entry of the folder has in any case and with any extension.
QString freeName(const QDir& folder, const QDateTime& when) {
    const QString stem = QStringLiteral("recovered-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int k = 1;; ++k) {
        const QString name = k == 1 ? stem : stem + QStringLiteral("-%1").arg(k);
        const QStringList taken =
            folder.entryList({name + QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
        if (taken.isEmpty()) return name;
    }
}

// A rename within the folder: never a copy, so nothing can be left half-made.
bool moveFile(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

CrashRecovery::Outcome CrashRecovery::recover(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString tstPath = folder.filePath(QStringLiteral("tempdata.tst"));
    const QString txtPath = folder.filePath(QStringLiteral("tempdata.txt"));
    const QString hdrPath = folder.filePath(QStringLiteral("tempdata.hdr"));

    const QFileInfo tstInfo(tstPath);
    if (tstInfo.isSymLink() || !tstInfo.isFile() || tstInfo.size() < 4) return {};
    QStringList items;
    QString reason;
    if (!QFileInfo(hdrPath).isSymLink() && SessionHeaderFile::readItems(hdrPath, 5, items, reason) &&
        items.size() >= 5)
        return {}; // stopped normally: its closing records are there

    Outcome outcome;
    const auto failed = [&](const QString& why) {
        outcome.keepTemporaryFiles = true;
        outcome.notice = QStringLiteral("The session that was being recorded when the program ended "
                                        "unexpectedly could not be recovered:\r\n%1\r\nIts files are kept as "
                                        "tempdata.hdr, tempdata.tst and tempdata.txt until the next session "
                                        "starts.")
                             .arg(why);
        return outcome;
    };

    SafeFile tst, txt;
    QByteArray records, lines;
    if (!tst.open(tstPath, SafeFile::Mode::Existing) || !tst.readAll(records))
        return failed(WriteFailure::at(tstPath, tst.reason()).text());
    const bool hasText = QFileInfo(txtPath).isFile() && !QFileInfo(txtPath).isSymLink();
    if (hasText && (!txt.open(txtPath, SafeFile::Mode::Existing) || !txt.readAll(lines)))
        return failed(WriteFailure::at(txtPath, txt.reason()).text());

    // The reading file and the text file are written together every tick; should the end of one have
    // been lost, both are cut to the readings they share, and never inside a record or a line.
    int64_t count = records.size() / 4;
    if (hasText) count = std::min<int64_t>(count, lines.count('\n'));
    double minADC = 16383, maxADC = 0;
    for (int64_t i = 0; i < count; ++i) {
        const int32_t a = qFromLittleEndian<int32_t>(records.constData() + 4 * i);
        if (a < 1) continue; // the readers skip these too
        minADC = std::min<double>(minADC, a);
        maxADC = std::max<double>(maxADC, a);
    }
    if (maxADC < 1) return {}; // nothing a replay could draw
    if (!tst.truncate(4 * count)) return failed(WriteFailure::at(tstPath, tst.reason()).text());
    if (hasText && !txt.truncate(endOfLines(lines, count)))
        return failed(WriteFailure::at(txtPath, txt.reason()).text());
    tst.close();
    txt.close();

    const QString name = freeName(folder, tstInfo.lastModified());
    const QString newHdr = folder.filePath(name + QStringLiteral(".hdr"));
    const QString newTst = folder.filePath(name + QStringLiteral(".tst"));
    const QString newTxt = folder.filePath(name + QStringLiteral(".txt"));
    const QByteArray header = SessionHeaderFile::bytes({QStringLiteral("MinADC"), numbers::numberText(minADC),
                                                        QStringLiteral("MaxADC"), numbers::numberText(maxADC),
                                                        QString::fromLatin1(kComment)});
    WriteFailure failure;
    if (!SafeFileWriter::writeFile(newHdr, header, failure)) return failed(failure.text());
    if (!hasText && !SafeFileWriter::writeFile(txtPath, QByteArray(), failure)) {
        QFile::remove(newHdr);
        return failed(failure.text());
    }
    if (!moveFile(tstPath, newTst)) {
        const QString why = SafeFile::describe(errno);
        QFile::remove(newHdr);
        return failed(WriteFailure::at(newTst, why).text());
    }
    if (!moveFile(txtPath, newTxt)) {
        const QString why = SafeFile::describe(errno);
        moveFile(newTst, tstPath);
        QFile::remove(newHdr);
        return failed(WriteFailure::at(newTxt, why).text());
    }
    QFile::remove(hdrPath);
    // The session's markers go with it; without them it is still the session recovered.
    const QString mrkPath = folder.filePath(QStringLiteral("tempdata.mrk"));
    const QFileInfo mrkInfo(mrkPath);
    const bool markersKept = !mrkInfo.exists() || mrkInfo.isSymLink() || !mrkInfo.isFile() ||
                             moveFile(mrkPath, folder.filePath(name + QStringLiteral(".mrk")));

    outcome.name = name;
    outcome.notice = QStringLiteral("The program ended unexpectedly during a session. Its %1 readings were "
                                    "recovered as the saved session \"%2\" in %3.")
                         .arg(count)
                         .arg(name, QDir::toNativeSeparators(programFolder));
    if (!markersKept)
        outcome.notice += QStringLiteral(" Its markers could not be moved: ") +
                          WriteFailure::at(mrkPath, SafeFile::describe(errno)).text();
    return outcome;
}

} // namespace aurivo
