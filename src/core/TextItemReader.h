#pragma once
// Reads the program's text files back item by item. An item ends at a line end (CR LF, LF, or a lone CR)
// or at a comma outside quotes; leading blanks are skipped. A quoted item loses its quotes and may hold
// commas and line breaks: it ends at the next double quote, and whatever follows that quote up to the
// next comma or line end is dropped. An unquoted item is taken up to the comma or line end, trailing
// blanks trimmed. At the end of the data there are no more items.
//
// Bytes are decoded as UTF-8; a byte that does not start a valid UTF-8 sequence is taken as Windows-1252
// (files written on other machines), so one text may mix both. Qt 6.4 offers Windows-1252 only when built
// with ICU and decodes whole texts with it, so the 32 characters where Windows-1252 differs from Latin-1
// come from a small table here instead.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace aurivo {

class TextItemReader {
  public:
    explicit TextItemReader(QByteArray data);

    // The next item, or no value when the data is used up. Every call that returns an item moves
    // forward by at least one byte, so any input is read to its end.
    std::optional<QString> next();

    bool atEnd() const { return pos_ >= data_.size(); }

    // UTF-8 with a per-sequence Windows-1252 fallback.
    static QString decode(QByteArrayView bytes);

  private:
    // Moves past the comma or line end that closes an item (if any).
    void skipDelimiter();

    QByteArray data_;
    qsizetype pos_ = 0;
};

} // namespace aurivo
