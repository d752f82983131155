#pragma once

#include <QStringView>
#include <string>

// The leading number of a text kept as its decimal digits, so that the
// position forms can round on what the text says instead of on the nearest
// binary fraction ("51.30" must mean 30 minutes, not 29.999...).
//
// It reads exactly what LeadingNumber reads: blanks skipped, an optional
// sign, digits with at most one ".", an exponent only when digits follow it;
// no number at all reads as 0. A magnitude beyond 1e400 or below 1e-1000
// also reads as 0, as no position or height is anywhere near either.
struct DecimalText
{
    bool negative = false; // a "-" was read; also set for a negative zero
    std::string whole;     // digits before the point, no leading zeros ("" for none)
    std::string fraction;  // digits after the point, no trailing zeros

    bool IsZero() const { return whole.empty() && fraction.empty(); }
    bool IsNegative() const { return negative && !IsZero(); }
    bool IsPositive() const { return !negative && !IsZero(); }
};

DecimalText LeadingDecimal(QStringView text);

// The whole part of the magnitude, or -1 when it has more than 15 digits.
long long WholePart(const DecimalText& value);

enum class HalfRule
{
    ToEven,
    AwayFromZero
};

// |value| × multiplier / divisor rounded to a whole number, as decimal digits
// without leading zeros ("0" for zero). Exact for any length of input.
std::string ScaledWhole(const DecimalText& value, unsigned multiplier, unsigned divisor,
                        HalfRule rule);
