#include "recording/SessionHeaderFile.h"

#include <algorithm>

#include "core/SafeFile.h"
#include "core/SafeFileWriter.h"
#include "core/TextItemReader.h"
#include "core/TextItemWriter.h"

#include <QLocale>

namespace aurivo {

QStringList SessionHeaderFile::parseItems(const QString& text, int maxItems) {
    return parseBytes(text.toUtf8(), maxItems);
}

QStringList SessionHeaderFile::parseBytes(const QByteArray& bytes, int maxItems) {
    QStringList items;
    TextItemReader reader(bytes);
    while (items.size() < maxItems) {
        const std::optional<QString> item = reader.next();
        if (!item) break;
        items.append(*item);
    }
    return items;
}

bool SessionHeaderFile::readItems(const QString& path, int maxItems, QStringList& items, QString& reason) {
    items.clear();
    // Never a pipe or a device, which could hang or flood the reader; a link to a regular file is read.
    SafeFile file;
    QByteArray bytes;
    if (!file.open(path, SafeFile::Mode::ReadThroughLink) || !file.readAll(bytes, kMaxBytes)) {
        reason = file.reason();
        return false;
    }
    items = parseBytes(bytes, maxItems);
    return true;
}

QByteArray SessionHeaderFile::bytes(const QStringList& items) {
    TextItemWriter writer;
    for (QString item : items) {
        // A quote inside the item would end it when the header is read back.
        item.replace(QLatin1Char('"'), QLatin1Char('\''));
        item.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        item.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        item.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        writer.writeText(item);
    }
    return writer.data();
}

bool SessionHeaderFile::writeItems(const QString& path, const QStringList& items, QString& reason) {
    WriteFailure failure;
    if (SafeFileWriter::writeFile(path, bytes(items), failure)) return true;
    reason = failure.reason;
    return false;
}

QString SessionHeaderFile::startLine(const QString& comments) {
    if (!comments.startsWith(QLatin1String("Start of Session : "))) return QString();
    const qsizetype end = comments.indexOf(QLatin1Char('\r'));
    const qsizetype lf = comments.indexOf(QLatin1Char('\n'));
    const qsizetype cut = end < 0 ? lf : (lf < 0 ? end : std::min(end, lf));
    return cut < 0 ? comments : comments.left(cut);
}

QString SessionHeaderFile::generalDateText(const QDateTime& when) {
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString SessionHeaderFile::startLineFor(const QDateTime& start) {
    return QStringLiteral("Start of Session : ") + generalDateText(start);
}

bool SessionHeaderFile::replaceComments(const QString& path, const QString& comments, QString& reason) {
    QStringList items;
    QString unread;
    // A missing header leaves empty items.
    static_cast<void>(readItems(path, 5, items, unread));
    const QString recordedStart = items.size() >= 5 ? startLine(items[4]) : QString();
    while (items.size() < 4)
        items.append(QString());
    while (items.size() > 4)
        items.removeLast();
    QString text = comments.isEmpty() ? QStringLiteral(" ") : comments;
    if (!recordedStart.isEmpty() && startLine(text) != recordedStart)
        text = recordedStart + QStringLiteral("\r\n") + text;
    items.append(text);
    return writeItems(path, items, reason);
}

} // namespace aurivo
