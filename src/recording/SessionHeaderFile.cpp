#include "recording/SessionHeaderFile.h"

#include "app/TextItemReader.h"
#include "app/TextItemWriter.h"

#include <QFile>

QStringList SessionHeaderFile::ParseItems(const QString& text, int maxItems) {
    return ParseBytes(text.toUtf8(), maxItems);
}

QStringList SessionHeaderFile::ParseBytes(const QByteArray& bytes, int maxItems) {
    QStringList items;
    TextItemReader reader(bytes);
    while (items.size() < maxItems) {
        const std::optional<QString> item = reader.Next();
        if (!item) break;
        items.append(*item);
    }
    return items;
}

bool SessionHeaderFile::ReadItems(const QString& path, int maxItems, QStringList& items, QString& reason) {
    items.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    items = ParseBytes(file.readAll(), maxItems);
    return true;
}

QByteArray SessionHeaderFile::Bytes(const QStringList& items) {
    TextItemWriter writer;
    for (QString item : items) {
        // A quote inside the item would end it when the header is read back.
        item.replace(QLatin1Char('"'), QLatin1Char('\''));
        item.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        item.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        item.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        writer.WriteText(item);
    }
    return writer.Data();
}

bool SessionHeaderFile::WriteItems(const QString& path, const QStringList& items, QString& reason) {
    const QByteArray out = Bytes(items);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size()) {
        reason = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}
