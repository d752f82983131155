#include "files/PositionText.h"

#include "files/DecimalText.h"
#include "files/TextCase.h"
#include "model/TextNumber.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace {

constexpr long long kThousandthsPerDegree = 60000; // thousandths of a minute

// Appends `value` (not negative) with at least `width` digits.
void PutDigits(std::string& out, long long value, int width)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < int(sizeof digits));
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

// Degrees and thousandths of a minute as GPS digits, with the hemisphere
// letter. Minutes that rounded up to 60 have already been carried. Built in
// one go: files of many thousand points pass through here.
QString GpsText(long long degrees, long long thousandths, bool isLatitude, QChar hemisphere)
{
    std::string text;
    PutDigits(text, degrees, isLatitude ? 2 : 3);
    PutDigits(text, thousandths / 1000, 2);
    text += '.';
    PutDigits(text, thousandths % 1000, 3);
    text += char(hemisphere.unicode());
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QChar Hemisphere(const DecimalText& value, bool isLatitude, bool zeroIsEastern)
{
    if (isLatitude)
        return value.IsNegative() ? u'S' : u'N';
    // The D and DMS forms call a longitude of exactly 0 west, the DM form east.
    const bool east = zeroIsEastern ? !value.IsNegative() : value.IsPositive();
    return east ? u'E' : u'W';
}

// True when the magnitude of `value` is above `limit` whole degrees.
bool Beyond(const DecimalText& value, long long limit)
{
    const long long whole = WholePart(value);
    return whole < 0 || whole > limit || (whole == limit && !value.fraction.empty());
}

bool AllDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    }
    return !text.isEmpty();
}

// The DM form as files carry it: blanks, an optional sign, up to three digits
// of degrees, ".", exactly five digits and nothing more. Such text needs no
// rounding, so its digits are only moved into place; anything else takes the
// general way.
std::optional<QString> PlainDegMin(QStringView text, bool isLatitude)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    const qsizetype point = text.indexOf(u'.', i);
    if (point <= i || point - i > 3 || text.size() - point != 6)
        return std::nullopt;
    const QStringView degreeText = text.mid(i, point - i);
    const QStringView minuteText = text.mid(point + 1);
    if (!AllDigits(degreeText) || !AllDigits(minuteText))
        return std::nullopt;
    const int degrees = degreeText.toInt();
    const bool noMinutes = minuteText == u"00000";
    const int limit = isLatitude ? 90 : 180;
    if (minuteText[0] >= u'6' || degrees > limit || (degrees == limit && !noMinutes))
        return kConversionError;
    const bool southOrWest = negative && (degrees != 0 || !noMinutes);
    const long long thousandths = minuteText.toInt();
    return GpsText(degrees, thousandths, isLatitude,
                   isLatitude ? (southOrWest ? u'S' : u'N') : (southOrWest ? u'W' : u'E'));
}

long long ToNumber(const std::string& digits)
{
    return digits.size() > 15 ? -1 : std::stoll(digits);
}

} // namespace

QString DegreesToGpsText(QStringView degrees, bool isLatitude)
{
    const DecimalText value = LeadingDecimal(degrees);
    if (Beyond(value, isLatitude ? 90 : 180))
        return kConversionError;
    long long whole = WholePart(value);
    DecimalText fraction;
    fraction.fraction = value.fraction;
    long long thousandths = ToNumber(ScaledWhole(fraction, 60000, 1, HalfRule::ToEven));
    if (thousandths >= kThousandthsPerDegree) {
        ++whole;
        thousandths -= kThousandthsPerDegree;
    }
    return GpsText(whole, thousandths, isLatitude, Hemisphere(value, isLatitude, false));
}

QString DegMinToGpsText(QStringView degMin, bool isLatitude)
{
    if (std::optional<QString> plain = PlainDegMin(degMin, isLatitude))
        return *plain;
    const DecimalText value = LeadingDecimal(degMin);
    // The two digits after the point are whole minutes: 60 or more is no angle.
    if (Beyond(value, isLatitude ? 90 : 180) ||
        (!value.fraction.empty() && value.fraction[0] >= '6'))
        return kConversionError;
    const long long scaled = ToNumber(ScaledWhole(value, 100000, 1, HalfRule::AwayFromZero));
    long long whole = scaled / 100000;
    long long thousandths = scaled % 100000;
    if (thousandths >= kThousandthsPerDegree) {
        ++whole;
        thousandths -= kThousandthsPerDegree;
    }
    return GpsText(whole, thousandths, isLatitude, Hemisphere(value, isLatitude, true));
}

QString DegMinSecToGpsText(QStringView degMinSec, bool isLatitude)
{
    const DecimalText value = LeadingDecimal(degMinSec);
    long long whole = WholePart(value);
    if (whole < 0)
        return kConversionError;
    // After the point: two digits of whole minutes, two of whole seconds,
    // then the decimals of the seconds. Read as text, "51.30" is 30'00".
    std::string digits = value.fraction;
    if (digits.size() < 4)
        digits.append(4 - digits.size(), '0');
    const long long minutes = std::stoll(digits.substr(0, 2));
    DecimalText seconds;
    seconds.whole = digits.substr(2, 2);
    seconds.fraction = digits.substr(4);
    // thousandths of a minute = seconds × 1000 / 60; minutes × 1000 is even,
    // so rounding the seconds part alone keeps halves going to even.
    long long thousandths =
        minutes * 1000 + ToNumber(ScaledWhole(seconds, 50, 3, HalfRule::ToEven));
    if (thousandths > kThousandthsPerDegree)
        return kConversionError;
    if (thousandths == kThousandthsPerDegree) {
        ++whole;
        thousandths = 0;
    }
    // Minutes beyond 90 or 180 whole degrees (90.3015) are past the pole or
    // the date line: such a row could be saved but never read back.
    const long long limit = isLatitude ? 90 : 180;
    if (whole > limit || (whole == limit && thousandths > 0))
        return kConversionError;
    return GpsText(whole, thousandths, isLatitude, Hemisphere(value, isLatitude, false));
}

QString GpsTextToDegMin(QStringView digits, QStringView hemisphere)
{
    const QChar h = hemisphere.size() == 1 ? hemisphere[0].toUpper() : QChar();
    const int width = h == u'N' || h == u'S' ? 2 : h == u'E' || h == u'W' ? 3 : 0;
    const char* sign = h == u'N' || h == u'E' ? " " : h == u'S' || h == u'W' ? "-" : "";

    // ddmm.mmm rounded to whole thousandths of a minute, then cut into
    // degrees and the five digits of minutes as text, so any length survives.
    // The list's own form, digits with three decimals, is already so.
    std::string degrees;
    std::string minutes;
    const qsizetype point = digits.size() - 4;
    if (point >= 2 && digits[point] == u'.' && AllDigits(digits.left(point)) &&
        AllDigits(digits.mid(point + 1))) {
        for (const QChar c : digits.left(point - 2))
            degrees += char(c.unicode());
        for (const QChar c : digits.mid(point - 2, 2))
            minutes += char(c.unicode());
        for (const QChar c : digits.mid(point + 1))
            minutes += char(c.unicode());
    } else {
        // More decimals than the list's three, as some receivers send.
        std::string scaled = ScaledWhole(LeadingDecimal(digits), 1000, 1, HalfRule::ToEven);
        if (scaled.size() < 6)
            scaled.insert(0, 6 - scaled.size(), '0');
        const size_t degreeDigits = scaled.size() - 5;
        degrees = scaled.substr(0, degreeDigits);
        minutes = scaled.substr(degreeDigits);
        // Minutes that round up to 60 (59.9996) are a whole degree more;
        // " 51.60000" would be refused when the file is read.
        if (minutes == "60000") {
            minutes = "00000";
            size_t i = degrees.size();
            while (i > 0 && degrees[i - 1] == '9')
                degrees[--i] = '0';
            if (i == 0)
                degrees.insert(0, 1, '1');
            else
                ++degrees[i - 1];
        }
    }
    const size_t zeros = std::min(degrees.find_first_not_of('0'), degrees.size());
    degrees.erase(0, zeros);
    if (degrees.empty())
        degrees = "0";
    std::string text = sign;
    if (int(degrees.size()) < width)
        text.append(size_t(width) - degrees.size(), '0');
    text += degrees;
    text += '.';
    text += minutes;
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

std::optional<QString> GpsTextToDecimalDegrees(QStringView digits, QStringView hemisphere,
                                               bool isLatitude)
{
    const QChar h = hemisphere.size() == 1 ? hemisphere[0].toUpper() : QChar();
    if (isLatitude ? h != u'N' && h != u'S' : h != u'E' && h != u'W')
        return std::nullopt;
    const bool negative = h == u'S' || h == u'W';
    long long degrees = 0;
    long long minutes = 0;
    const qsizetype degreeDigits = isLatitude ? 2 : 3;
    if (digits.size() == degreeDigits + 6 && digits[degreeDigits + 2] == u'.' &&
        AllDigits(digits.left(degreeDigits + 2)) && AllDigits(digits.mid(degreeDigits + 3))) {
        // The list's own form, as nearly every row holds it.
        degrees = digits.left(degreeDigits).toLongLong();
        minutes = digits.mid(degreeDigits, 2).toLongLong() * 1000 +
                  digits.mid(degreeDigits + 3).toLongLong();
    } else {
        // The DM file form has rounded to thousandths of a minute and carried
        // 60 minutes into the degrees: sign, degrees, ".", five digits.
        const QString dm = GpsTextToDegMin(digits, hemisphere);
        const QStringView unsignedText = QStringView(dm).mid(1);
        const qsizetype point = unsignedText.indexOf(u'.');
        if (point < 1 || point > 3 || unsignedText.size() - point != 6 ||
            !AllDigits(unsignedText.left(point)) || !AllDigits(unsignedText.mid(point + 1)))
            return std::nullopt;
        degrees = unsignedText.left(point).toLongLong();
        minutes = unsignedText.mid(point + 1).toLongLong();
    }
    if (minutes >= kThousandthsPerDegree)
        return std::nullopt;
    const long long thousandths = degrees * kThousandthsPerDegree + minutes;
    if (thousandths > (isLatitude ? 90 : 180) * kThousandthsPerDegree)
        return std::nullopt;

    // Nanodegrees: thousandths × 10^9 / 60000, halves to even.
    long long nano = thousandths * 100000 / 6;
    const long long rest = thousandths * 100000 % 6;
    if (rest > 3 || (rest == 3 && nano % 2 == 1))
        ++nano;
    std::string text = negative && nano > 0 ? "-" : "";
    PutDigits(text, nano / 1000000000, 1);
    std::string fraction;
    PutDigits(fraction, nano % 1000000000, 9);
    const size_t last = fraction.find_last_not_of('0');
    if (last != std::string::npos)
        text += '.' + fraction.substr(0, last + 1);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString DecimalDegreesToGpsText(QStringView degrees, bool isLatitude)
{
    const QString trimmed = BlankTrimmed(degrees);
    // The whole text must be the number: "51.5x" and "5.15e1" are no coordinates.
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    if (i < n && (trimmed[i] == u'+' || trimmed[i] == u'-'))
        ++i;
    bool digit = false, point = false;
    for (; i < n; ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c == u'.' && !point)
            point = true;
        else
            break;
    }
    if (!digit || i != n)
        return kConversionError;

    // Degrees of up to three digits and decimals of up to twelve, as nearly
    // every file has them, in whole numbers; the rules are DegreesToGpsText's.
    const QStringView number =
        QStringView(trimmed).mid(trimmed.startsWith(u'-') || trimmed.startsWith(u'+') ? 1 : 0);
    const qsizetype pointAt = number.indexOf(u'.');
    const QStringView wholeText = pointAt < 0 ? number : number.left(pointAt);
    const QStringView fractionText = pointAt < 0 ? QStringView() : number.mid(pointAt + 1);
    if (wholeText.size() <= 3 && fractionText.size() <= 12) {
        long long whole = wholeText.isEmpty() ? 0 : wholeText.toLongLong();
        const long long fraction = fractionText.isEmpty() ? 0 : fractionText.toLongLong();
        long long scale = 1;
        for (qsizetype k = 0; k < fractionText.size(); ++k)
            scale *= 10;
        const long long limit = isLatitude ? 90 : 180;
        if (whole > limit || (whole == limit && fraction > 0))
            return kConversionError;
        // Thousandths of a minute, halves to even, carried into the degrees.
        long long thousandths = fraction * kThousandthsPerDegree / scale;
        const long long rest = fraction * kThousandthsPerDegree % scale;
        if (2 * rest > scale || (2 * rest == scale && thousandths % 2 == 1))
            ++thousandths;
        if (thousandths == kThousandthsPerDegree) {
            ++whole;
            thousandths = 0;
        }
        const bool zero = whole == 0 && thousandths == 0;
        const bool negative = trimmed.startsWith(u'-') && !zero;
        return GpsText(whole, thousandths, isLatitude,
                       isLatitude ? (negative ? u'S' : u'N') : (negative ? u'W' : u'E'));
    }

    QString gps = DegreesToGpsText(trimmed, isLatitude);
    if (gps == kConversionError)
        return gps;
    // The D file form calls a longitude of 0 west; a GPX position of 0 is
    // neither, and the receiver shows it north and east.
    bool zero = true;
    for (qsizetype k = 0; k + 1 < gps.size(); ++k)
        zero = zero && (gps[k] == u'0' || gps[k] == u'.');
    if (zero)
        gps.back() = isLatitude ? u'N' : u'E';
    return gps;
}

QString PadAltitude(QStringView value)
{
    // A negative height keeps its sign in front, as the editor writes it:
    // zeros before the "-" would turn -30 into a height that reads as 0.
    if (value.size() > 1 && value.front() == u'-')
        return u'-' + (QStringLiteral("000000") + value.mid(1).toString()).right(6);
    return (QStringLiteral("000000") + value.toString()).right(7);
}

QString PadAltitude(double wholeValue)
{
    const QString digits = QString::number(std::fabs(wholeValue), 'f', 0);
    if (wholeValue < 0 && digits != u"0")
        return u'-' + digits.rightJustified(6, u'0').right(6);
    return PadAltitude(QStringView(digits));
}

Altitude MetresToFeet(QStringView metres)
{
    return {PadAltitude(RoundHalfEven(LeadingNumber(metres) * 3.280839895)), QStringLiteral("F")};
}

Altitude FeetToMetres(QStringView feet)
{
    return {PadAltitude(RoundHalfEven(LeadingNumber(feet) * 0.3048)), QStringLiteral("M")};
}
