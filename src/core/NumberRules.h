#pragma once
// The program's one set of number rules: how a number becomes caption or file text, how a text is read
// back as a number, and how fractional values become whole numbers. Every component uses these; none
// formats or parses numbers its own way.

#include <QString>
#include <cstdint>

namespace aurivo {

namespace numbers {

// Number-to-text rule of captions and files: a leading blank for values >= 0 and "-" otherwise, "." as
// decimal point, no zero before the point below 1 (" .5"), the shortest text with up to 15 significant
// digits, whole numbers without a point (" 100"), and exponent form (" 1.5E-05", " 1E+15") when the
// magnitude rounded to 15 digits is 1E15 or more or below 1E-4.
QString numberText(double value);

// Numeric value of a text: the longest leading part that forms a decimal number (leading blanks,
// optional sign, digits, optional point and digits, optional exponent). Empty or non-numeric text is 0.
double valueOf(const QString& text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Conversions to the 32-bit Long and 16-bit Integer, rounding halves to even; values beyond the type's
// range are held at its limits instead of overflowing.
int32_t toLong(double value);
int16_t toInteger(double value);

// Integer division truncating toward zero, as used by the graph and the layout ("\").
inline int64_t intDiv(int64_t a, int64_t b) {
    return b == 0 ? 0 : a / b;
}

// Clock text h:mm:ss with every field at least two digits; the signs of negative parts are dropped
// (-100 s gives "00:01:40"). Hours do not wrap at 24.
QString formatSessionTime(double seconds);
// The graph's time axis caption k (5..9): mm:ss of the time at the k-th fifth of the picture's width,
// read as 20 plotted readings a second at yCompress readings a point. The live graph and the replay
// share this one rule.
QString timeAxisCaption(int k, int scaleWidth, int32_t yCompress);
// Elapsed time to the hundredth of a second, "00:01:23.35": the markers' and the graph readout's form.
// Negative and undefined times are 0.
QString formatElapsed(double seconds);

// Resistance with a metric prefix: "##0.0" in the user's locale, a blank, then "M", "k" or nothing.
// The prefix is chosen before rounding, so 999.96 gives "1000.0 ".
QString formatOhms(double ohms);
QString formatOhms(double ohms, QChar decimalPoint);

// The divider formula: ohms = 16383 x 470000 / reading - 470000.
constexpr double kFullScale = 16383.0;
constexpr double kReferenceOhms = 470000.0;
inline double ohmsFromReading(double reading) {
    return kFullScale * kReferenceOhms / reading - kReferenceOhms;
}

} // namespace numbers

} // namespace aurivo
