#include "files/DecimalText.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr long kLargestExponent = 400;
constexpr long kSmallestExponent = -1000;

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

void StripLeadingZeros(std::string& digits)
{
    const size_t first = digits.find_first_not_of('0');
    digits.erase(0, first == std::string::npos ? digits.size() : first);
}

void StripTrailingZeros(std::string& digits)
{
    const size_t last = digits.find_last_not_of('0');
    digits.erase(last == std::string::npos ? 0 : last + 1);
}

// digits × factor, both as decimal text (most significant first).
std::string Multiply(const std::string& digits, unsigned factor)
{
    std::string product(digits.size() + 10, '0');
    std::uint64_t carry = 0;
    size_t out = product.size();
    for (size_t i = digits.size(); i-- > 0;) {
        const std::uint64_t v = std::uint64_t(digits[i] - '0') * factor + carry;
        product[--out] = char('0' + v % 10);
        carry = v / 10;
    }
    while (carry) {
        product[--out] = char('0' + carry % 10);
        carry /= 10;
    }
    product.erase(0, out);
    return product;
}

// Long division by a small divisor; returns the remainder.
unsigned Divide(std::string& digits, unsigned divisor)
{
    std::uint64_t remainder = 0;
    for (char& d : digits) {
        const std::uint64_t v = remainder * 10 + std::uint64_t(d - '0');
        d = char('0' + v / divisor);
        remainder = v % divisor;
    }
    return unsigned(remainder);
}

void Increment(std::string& digits)
{
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

DecimalText LeadingDecimal(QStringView text)
{
    DecimalText value;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        value.negative = text[i++] == u'-';

    std::string mantissa;
    long pointAt = -1; // digits before the point
    while (i < n) {
        if (IsDigit(text[i]))
            mantissa += char(text[i].unicode());
        else if (text[i] == u'.' && pointAt < 0)
            pointAt = long(mantissa.size());
        else
            break;
        ++i;
    }
    if (mantissa.empty())
        return {};
    if (pointAt < 0)
        pointAt = long(mantissa.size());

    long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        bool exponentNegative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponentNegative = text[j++] == u'-';
        const qsizetype firstDigit = j;
        long e = 0;
        while (j < n && IsDigit(text[j])) {
            e = std::min(e * 10 + (text[j].unicode() - '0'), 100000L);
            ++j;
        }
        if (j > firstDigit)
            exponent = exponentNegative ? -e : e;
    }

    // Drop the leading zeros first so that the magnitude limits below see
    // the number's real size.
    const size_t firstNonZero = mantissa.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return value; // zero, with its sign
    pointAt -= long(firstNonZero);
    mantissa.erase(0, firstNonZero);
    const long point = pointAt + exponent; // digits of the whole part, may be <= 0
    if (point > kLargestExponent || point < kSmallestExponent)
        return {};

    if (point <= 0) {
        value.fraction = std::string(size_t(-point), '0') + mantissa;
    } else if (size_t(point) >= mantissa.size()) {
        value.whole = mantissa + std::string(size_t(point) - mantissa.size(), '0');
    } else {
        value.whole = mantissa.substr(0, size_t(point));
        value.fraction = mantissa.substr(size_t(point));
    }
    StripLeadingZeros(value.whole);
    StripTrailingZeros(value.fraction);
    return value;
}

long long WholePart(const DecimalText& value)
{
    if (value.whole.size() > 15)
        return -1;
    long long whole = 0;
    for (char d : value.whole)
        whole = whole * 10 + (d - '0');
    return whole;
}

std::string ScaledWhole(const DecimalText& value, unsigned multiplier, unsigned divisor,
                        HalfRule rule)
{
    const size_t scale = value.fraction.size();
    std::string quotient = Multiply(value.whole + value.fraction, multiplier);
    const unsigned remainder = Divide(quotient, divisor);
    if (quotient.size() < scale + 1)
        quotient.insert(0, scale + 1 - quotient.size(), '0');
    std::string whole = quotient.substr(0, quotient.size() - scale);
    const std::string rest = quotient.substr(quotient.size() - scale);

    // Compare what is left over with one half. The remainder of the division
    // is worth less than one unit of the last digit of `rest`, so it only
    // matters when `rest` alone is exactly a half (or empty).
    int versusHalf; // -1 below, 0 exactly half, 1 above
    if (rest.empty()) {
        versusHalf = 2 * remainder < divisor ? -1 : (2 * remainder == divisor ? 0 : 1);
    } else if (rest[0] != '5') {
        versusHalf = rest[0] < '5' ? -1 : 1;
    } else if (rest.find_first_not_of('0', 1) != std::string::npos || remainder != 0) {
        versusHalf = 1;
    } else {
        versusHalf = 0;
    }
    const bool odd = (whole.back() - '0') % 2 == 1;
    if (versusHalf > 0 || (versusHalf == 0 && (rule == HalfRule::AwayFromZero || odd)))
        Increment(whole);
    StripLeadingZeros(whole);
    return whole.empty() ? std::string("0") : whole;
}
