#pragma once
// The reading of a session's small text files (markers, reading times): a regular file only, never
// waited on (SafeFile's read mode), refused over a size limit, and cut into the lines a line feed ended.
// What follows the last line feed was cut off by a crash and is only counted.

#include <QByteArray>
#include <QString>
#include <vector>

namespace aurivo {

struct WholeLines {
    bool exists = false;           // a missing file is no error: a session without such a file
    std::vector<QByteArray> lines; // CR LF or LF removed; the first line without an editor's byte order mark
    bool cutOff = false;           // the file ended inside a line

    // Reads the file at path; `kind` names it in the message over the limit ("a marker file"). False
    // with "path: reason" when it cannot be read or is too large.
    [[nodiscard]] static bool read(const QString& path, qint64 maxBytes, const QString& kind, WholeLines& out,
                                   QString& reason);
};

} // namespace aurivo
