#pragma once
// Builds the bytes of the program's text files item by item: text items in double quotes, numbers bare,
// items of one write separated by commas, and every write ending with CR LF. Text is encoded as UTF-8.
// Quotes inside a text item are written as they are (the format has no escape), so a reader ends such an
// item at the inner quote.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace aurivo {

class TextItemWriter {
  public:
    // One write of a single item: the item followed by CR LF.
    void writeText(const QString& text);
    void writeNumber(int64_t value);

    // A write of several items on one line: add them, then end the line.
    void addText(const QString& text);
    void addNumber(int64_t value);
    void endLine();

    const QByteArray& data() const { return data_; }

  private:
    void separate();

    QByteArray data_;
    bool lineHasItem_ = false;
};

} // namespace aurivo
