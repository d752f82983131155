#include "files/PositionText.h"

#include "app/TextNumber.h"
#include "files/DecimalText.h"

#include <cmath>

namespace {

constexpr long long kThousandthsPerDegree = 60000; // thousandths of a minute

// Degrees and thousandths of a minute as GPS digits, with the hemisphere
// letter. Minutes that rounded up to 60 have already been carried.
QString GpsText(long long degrees, long long thousandths, bool isLatitude, QChar hemisphere)
{
    QString text = ZeroPad(degrees, isLatitude ? 2 : 3);
    text += ZeroPad(thousandths / 1000, 2);
    text += u'.';
    text += ZeroPad(thousandths % 1000, 3);
    text += hemisphere;
    return text;
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
    // Only the whole degrees are tested, so 90.30 passes as a latitude.
    if (whole > (isLatitude ? 90 : 180))
        return kConversionError;
    return GpsText(whole, thousandths, isLatitude, Hemisphere(value, isLatitude, false));
}

QString GpsTextToDegMin(QStringView digits, QStringView hemisphere)
{
    const QString h = hemisphere.toString().toUpper();
    int width = 0;
    QString sign;
    if (h == u"N") {
        width = 2;
        sign = QStringLiteral(" ");
    } else if (h == u"S") {
        width = 2;
        sign = QStringLiteral("-");
    } else if (h == u"W") {
        width = 3;
        sign = QStringLiteral("-");
    } else if (h == u"E") {
        width = 3;
        sign = QStringLiteral(" ");
    }
    // ddmm.mmm rounded to whole thousandths of a minute, then cut into
    // degrees, minutes and thousandths as text, so any length survives.
    std::string scaled = ScaledWhole(LeadingDecimal(digits), 1000, 1, HalfRule::ToEven);
    if (scaled.size() < 6)
        scaled.insert(0, 6 - scaled.size(), '0');
    const size_t degreeDigits = scaled.size() - 5;
    QString degrees = QString::fromLatin1(scaled.data(), qsizetype(degreeDigits));
    while (degrees.size() > 1 && degrees.startsWith(u'0'))
        degrees.remove(0, 1);
    return sign + degrees.rightJustified(width, u'0') + u'.' +
           QString::fromLatin1(scaled.data() + degreeDigits, 5);
}

QString PadAltitude(QStringView value)
{
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
