#pragma once
// Fields of comma-separated text as spreadsheets and analysis tools read them: a field that holds a comma,
// a double quote, a line break or blanks at either end is written in double quotes, with each double
// quote inside doubled. Used by the marker file and by the session export.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace aurivo {

class CsvText {
  public:
    // The field as it is written into a line.
    static QString field(const QString& text);

    // The fields of one line (without its line end). No value when the line is damaged: a quoted field
    // that is not closed, or a closing quote followed by something other than a comma.
    static std::optional<QStringList> split(QStringView line);
};

} // namespace aurivo
