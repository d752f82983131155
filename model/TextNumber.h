#pragma once

#include <QString>
#include <QStringView>

// Numbers read from and written to the texts of the lists, files and sentences.

// The number at the start of the text: blanks skipped, an optional sign, digits
// with at most one "." and an optional exponent; 0 when there is none. The
// decimal separator is always ".", whatever the locale.
double LeadingNumber(QStringView text);

// Rounds to a whole number with halves to even ("rounded" without further words).
double RoundHalfEven(double value);

// Rounds to `decimals` places with halves to even, on the decimal digits of
// the value rather than its binary approximation.
double RoundHalfEven(double value, int decimals);

// `value` as a whole number padded with leading zeros to `width` digits
// (the "00" patterns). Negative numbers put the sign first.
QString ZeroPad(long long value, int width);
