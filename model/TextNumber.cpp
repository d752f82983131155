#include "model/TextNumber.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

double LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    std::string digits;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        digits += char(text[i++].unicode());
    bool seenDigit = false;
    bool seenPoint = false;
    while (i < n) {
        const QChar c = text[i];
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        digits += char(c.unicode());
        ++i;
    }
    if (!seenDigit)
        return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponent += char(text[j++].unicode());
        const qsizetype firstExponentDigit = j;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9')
            exponent += char(text[j++].unicode());
        if (j > firstExponentDigit)
            digits += exponent;
    }
    // strtod with the "C" locale of a program that never calls setlocale is
    // unaffected by regional settings.
    const double value = std::strtod(digits.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

double RoundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

double RoundHalfEven(double value, int decimals)
{
    // Work on the shortest decimal text of the value so that 0.0005 counts as
    // an exact half, as it reads, not as its binary neighbour.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::strtod(buffer, nullptr) * scale;
    const double lower = std::floor(scaled);
    const double fraction = scaled - lower;
    double rounded;
    if (std::fabs(fraction - 0.5) < 1e-9)
        rounded = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    else
        rounded = std::round(scaled);
    return rounded / scale;
}

QString ZeroPad(long long value, int width)
{
    const QString digits = QString::number(std::llabs(value)).rightJustified(width, u'0');
    return value < 0 ? QStringLiteral("-") + digits : digits;
}
