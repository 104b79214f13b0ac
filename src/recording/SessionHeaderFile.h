#pragma once
// Reads and rewrites the header of a session (five text items: "minADC", the smallest reading,
// "maxADC", the largest reading, the comments), in the program's text-item form.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace aurivo {

class SessionHeaderFile {
  public:
    // Far more than any header holds (the comments with 100,000 marker lines take about 5 MB).
    static constexpr qint64 kMaxBytes = qint64(64) << 20;

    // Reads up to maxItems items from the start of the file. An item ends at a comma outside quotes or
    // at a line end (CR LF or LF); a quoted item loses its quotes and may hold commas and line breaks,
    // and ends at the next double quote. Fewer items than asked means the file ended first.
    // Returns false with the reason when the file cannot be opened or is not a regular file (a pipe, a
    // device); a symbolic link to a regular file is followed. At most kMaxBytes are read.
    [[nodiscard]] static bool readItems(const QString& path, int maxItems, QStringList& items,
                                        QString& reason);

    // Parses items from text or bytes already in memory (same rules as readItems).
    static QStringList parseItems(const QString& text, int maxItems);
    static QStringList parseBytes(const QByteArray& bytes, int maxItems);

    // The header's bytes: every item quoted on its own line, as writeItems writes them.
    static QByteArray bytes(const QStringList& items);

    // Writes every item as one quoted item followed by CR LF. A double quote inside an item is written
    // as a single quote, so the item reads back whole; line breaks inside an item become CR LF. The file
    // is replaced whole or not at all; reason is the system's description of a failure.
    [[nodiscard]] static bool writeItems(const QString& path, const QStringList& items, QString& reason);

    // Rewrites a stopped session's header with new comments, keeping its first four items (empty items
    // when the header is missing or short). The start line ("Start of Session : " and the date) comes
    // from the recording: when the header's comments begin with one and the new comments do not, it is
    // kept in front of them. Empty comments are written as one blank. False with the reason on failure;
    // the header then stays as it was.
    [[nodiscard]] static bool replaceComments(const QString& path, const QString& comments, QString& reason);
    // The first line of comments when it is the start line written at stop, else empty.
    static QString startLine(const QString& comments);
    // The start line itself: "Start of Session : " and the start in the system's general date-and-time
    // form (generalDateText).
    static QString startLineFor(const QDateTime& start);
    // The system's general date-and-time form: the locale's short date, a blank and the time with seconds.
    static QString generalDateText(const QDateTime& when);
};

} // namespace aurivo
