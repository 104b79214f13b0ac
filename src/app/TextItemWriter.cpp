#include "app/TextItemWriter.h"

void TextItemWriter::WriteText(const QString& text) {
    AddText(text);
    EndLine();
}

void TextItemWriter::WriteNumber(int64_t value) {
    AddNumber(value);
    EndLine();
}

void TextItemWriter::AddText(const QString& text) {
    Separate();
    data_.append('"');
    data_.append(text.toUtf8());
    data_.append('"');
}

void TextItemWriter::AddNumber(int64_t value) {
    Separate();
    // Whole numbers in decimal, "-" when negative, never a blank.
    data_.append(QByteArray::number(static_cast<qlonglong>(value)));
}

void TextItemWriter::EndLine() {
    data_.append("\r\n", 2);
    lineHasItem_ = false;
}

void TextItemWriter::Separate() {
    if (lineHasItem_) data_.append(',');
    lineHasItem_ = true;
}
