#include "settings/Sensitivity.h"

#include "core/NumberRules.h"

namespace aurivo {

Sensitivity Sensitivity::chosen(int percent) {
    return Sensitivity(Form::Plain, percent);
}

Sensitivity Sensitivity::widened(int percent) {
    return Sensitivity(Form::Widened, percent);
}

Sensitivity Sensitivity::asRead(const QString& text) {
    const double value = numbers::valueOf(text);
    Sensitivity s(Form::AsRead, numbers::toLong(value));
    s.readText_ = text;
    s.readValue_ = value;
    return s;
}

double Sensitivity::span() const {
    return form_ == Form::AsRead ? readValue_ : double(percent_);
}

QString Sensitivity::text() const {
    switch (form_) {
    case Form::Plain:
        return QString::number(percent_);
    case Form::Widened:
        return numbers::numberText(percent_);
    case Form::AsRead:
        return readText_;
    }
    return QString();
}

} // namespace aurivo
