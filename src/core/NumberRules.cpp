#include "core/NumberRules.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace aurivo {

namespace numbers {

QString numberText(double value) {
    if (std::isnan(value)) return QStringLiteral(" NaN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral(" Inf") : QStringLiteral("-Inf");
    const bool negative = std::signbit(value) && value != 0.0;
    const double magnitude = std::fabs(value);
    QString out = negative ? QStringLiteral("-") : QStringLiteral(" ");
    if (magnitude == 0.0) return out + QLatin1Char('0');

    // Whole numbers below 1E15 (counts, positions, pixels) are their digits.
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(magnitude)).ptr;
        return out + QLatin1String(digits, end - digits);
    }

    // Round to 15 significant digits first; the exponent of the rounded value decides the form.
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
    *end = '\0';
    // buf: d.dddddddddddddde[+-]xx
    QString mantissaDigits;
    mantissaDigits += QLatin1Char(buf[0]);
    const char* p = buf + 2;
    while (*p && *p != 'e')
        mantissaDigits += QLatin1Char(*p++);
    const int exponent = std::atoi(p + 1);
    while (mantissaDigits.size() > 1 && mantissaDigits.endsWith(QLatin1Char('0')))
        mantissaDigits.chop(1);

    if (exponent >= 15 || exponent < -4) {
        out += mantissaDigits.left(1);
        if (mantissaDigits.size() > 1) out += QLatin1Char('.') + mantissaDigits.mid(1);
        out += QLatin1Char('E');
        out += exponent < 0 ? QLatin1Char('-') : QLatin1Char('+');
        out += QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
        return out;
    }
    if (exponent < 0) {
        // No zero before the point: " .5", " .0001".
        out += QLatin1Char('.') + QString(-exponent - 1, QLatin1Char('0')) + mantissaDigits;
        return out;
    }
    const int integerDigits = exponent + 1;
    if (mantissaDigits.size() <= integerDigits) {
        out += mantissaDigits + QString(integerDigits - mantissaDigits.size(), QLatin1Char('0'));
    } else {
        out += mantissaDigits.left(integerDigits) + QLatin1Char('.') + mantissaDigits.mid(integerDigits);
    }
    return out;
}

double valueOf(const QString& text) {
    const int n = static_cast<int>(text.size());
    int i = 0;
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += char(text[i++].unicode());
    int digits = 0;
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        number += char(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            number += char(text[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0) return 0.0;
    // An exponent counts only when at least one digit follows it.
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        int j = i + 1;
        QByteArray exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].unicode());
        int expDigits = 0;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9' && expDigits < 6) {
            exponent += char(text[j++].unicode());
            ++expDigits;
        }
        if (expDigits > 0) number += exponent;
    }
    const double v = std::strtod(number.constData(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff > 0.5) return floorValue + 1.0;
    if (diff < 0.5) return floorValue;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

int32_t toLong(double value) {
    if (std::isnan(value)) return 0;
    const double r = roundHalfEven(value);
    if (r >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (r <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

int16_t toInteger(double value) {
    if (std::isnan(value)) return 0;
    const double r = roundHalfEven(value);
    if (r >= 32767.0) return 32767;
    if (r <= -32768.0) return -32768;
    return static_cast<int16_t>(r);
}

namespace {
// One clock field: the numberText form without its first character, padded to two digits.
QString clockField(int64_t part) {
    QString text = numberText(double(part)).mid(1);
    if (text.size() < 2) text.prepend(QLatin1Char('0'));
    return text;
}
} // namespace

QString formatSessionTime(double seconds) {
    const int64_t n = toLong(seconds);
    const int64_t h = n / 3600;
    const int64_t r = n - 3600 * h;
    const int64_t m = r / 60;
    const int64_t s = r - 60 * m;
    return clockField(h) + QLatin1Char(':') + clockField(m) + QLatin1Char(':') + clockField(s);
}

QString timeAxisCaption(int k, int scaleWidth, int32_t yCompress) {
    const double seconds = std::max(0.0, double(scaleWidth) / 2.0 * yCompress * (k - 5) / 40.0);
    return formatSessionTime(seconds).right(5);
}

QString formatElapsed(double seconds) {
    const int64_t centis = seconds > 0 && std::isfinite(seconds) ? std::llround(seconds * 100.0) : 0;
    return formatSessionTime(double(centis / 100)) + QLatin1Char('.') +
           QString::number(centis % 100).rightJustified(2, QLatin1Char('0'));
}

QString formatOhms(double ohms) {
    return formatOhms(ohms, QLocale().decimalPoint().at(0));
}

QString formatOhms(double ohms, QChar decimalPoint) {
    double number = ohms;
    QString prefix;
    if (ohms >= 1000000.0) {
        number = ohms / 1000000.0;
        prefix = QStringLiteral("M");
    } else if (ohms >= 1000.0) {
        number = ohms / 1000.0;
        prefix = QStringLiteral("k");
    }
    // "##0.0": one decimal, rounded half away from zero as the pattern formatter does.
    double tenths = std::round(number * 10.0);
    if (tenths == 0.0) tenths = 0.0; // no "-0.0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f", tenths / 10.0);
    QString text = QString::fromLatin1(buf);
    text.replace(QLatin1Char('.'), decimalPoint);
    return text + QLatin1Char(' ') + prefix;
}

} // namespace numbers

} // namespace aurivo
