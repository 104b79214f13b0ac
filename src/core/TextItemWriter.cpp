#include "core/TextItemWriter.h"

namespace aurivo {

void TextItemWriter::writeText(const QString& text) {
    addText(text);
    endLine();
}

void TextItemWriter::writeNumber(int64_t value) {
    addNumber(value);
    endLine();
}

void TextItemWriter::addText(const QString& text) {
    separate();
    data_.append('"');
    data_.append(text.toUtf8());
    data_.append('"');
}

void TextItemWriter::addNumber(int64_t value) {
    separate();
    // Whole numbers in decimal, "-" when negative, never a blank.
    data_.append(QByteArray::number(static_cast<qlonglong>(value)));
}

void TextItemWriter::endLine() {
    data_.append("\r\n", 2);
    lineHasItem_ = false;
}

void TextItemWriter::separate() {
    if (lineHasItem_) data_.append(',');
    lineHasItem_ = true;
}

} // namespace aurivo
