#include "files/Gpx.h"

#include "files/DecimalText.h"
#include "files/PositionText.h"
#include "files/ReceiverText.h"
#include "files/TextCase.h"

#include <QDateTime>
#include <string>

namespace {

// Limits of an elevation, in metres: in feet they still fit the list's seven
// characters (a minus sign and six digits below zero).
constexpr long long kHighestMetres = 999999;
constexpr long long kLowestMetres = -99999;

QString DecimalString(const DecimalText& value)
{
    std::string text = value.IsNegative() ? "-" : "";
    text += value.whole.empty() ? "0" : value.whole;
    if (!value.fraction.empty())
        text += "." + value.fraction;
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

bool InRange(const DecimalText& value)
{
    const long long whole = WholePart(value);
    if (whole < 0)
        return false;
    const bool hasFraction = !value.fraction.empty();
    if (value.IsNegative())
        return whole < -kLowestMetres || (whole == -kLowestMetres && !hasFraction);
    return whole < kHighestMetres || (whole == kHighestMetres && !hasFraction);
}

// The whole text is one decimal number: blanks around, an optional sign,
// digits with at most one point.
bool IsDecimal(QStringView text)
{
    const QString trimmed = BlankTrimmed(text);
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-'))
        ++i;
    bool digit = false, point = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            digit = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

bool IsDigits(QStringView text, qsizetype from, qsizetype count)
{
    if (text.size() < from + count)
        return false;
    for (qsizetype i = from; i < from + count; ++i) {
        if (text[i].unicode() < u'0' || text[i].unicode() > u'9')
            return false;
    }
    return true;
}

} // namespace

namespace GpxCell {

QString Icon(QStringView sym)
{
    const QString letter = Lowered(BlankTrimmed(sym));
    if (letter.size() == 1 && letter[0] >= u'a' && letter[0] <= u't')
        return letter;
    return QStringLiteral("a");
}

QString Description(QStringView cmt, QStringView desc)
{
    return ReceiverText(BlankTrimmed(cmt).isEmpty() ? desc : cmt, 20);
}

QString RouteName(QStringView name)
{
    return ReceiverText(name, 20);
}

QString TrackName(const std::optional<QString>& name)
{
    const QString text = name ? ReceiverText(*name, 7) : QString();
    return text.isEmpty() ? QStringLiteral("TRAK01") : text;
}

QString Valid(QStringView fix)
{
    return BlankTrimmed(fix) == u"none" ? QStringLiteral("V") : QStringLiteral("A");
}

QString TimeOfDay(QStringView time)
{
    const QString text = BlankTrimmed(time);
    // Most programs write UTC as "2024-06-01T10:15:00Z", with or without
    // fractions of a second: the time of day stands in characters 11 to 18.
    const QStringView view(text);
    if (text.size() >= 20 && text.back() == u'Z' && text[10] == u'T' && text[13] == u':' &&
        text[16] == u':' && IsDigits(view, 11, 2) && IsDigits(view, 14, 2) &&
        IsDigits(view, 17, 2) && (text.size() == 20 || text[19] == u'.') &&
        view.mid(11, 2) < u"24" && view.mid(14, 2) < u"60" && view.mid(17, 2) < u"60")
        return view.mid(11, 8).toString() + u' ';
    QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!moment.isValid())
        return {};
    if (moment.timeSpec() == Qt::LocalTime)
        moment.setTimeSpec(Qt::UTC); // without a zone the time counts as the receiver's, UTC
    return moment.toUTC().time().toString(QStringLiteral("HH:mm:ss")) + u' ';
}

std::optional<QString> Elevation(QStringView altitude, QStringView unit)
{
    if (BlankTrimmed(altitude).isEmpty())
        return std::nullopt;
    DecimalText value = LeadingDecimal(altitude);
    if (unit == u"F") {
        // × 0.3048 exactly: the digits times 3048, four more decimals.
        DecimalText digits;
        digits.whole = value.whole + value.fraction;
        const std::string product = ScaledWhole(digits, 3048, 1, HalfRule::ToEven);
        const size_t decimals = value.fraction.size() + 4;
        const std::string padded = product.size() > decimals
                                       ? product
                                       : std::string(decimals + 1 - product.size(), '0') + product;
        value.whole = padded.substr(0, padded.size() - decimals);
        value.fraction = padded.substr(padded.size() - decimals);
        value.whole.erase(0, std::min(value.whole.find_first_not_of('0'), value.whole.size()));
        value.fraction.erase(value.fraction.find_last_not_of('0') + 1);
    }
    if (!InRange(value))
        return std::nullopt;
    return DecimalString(value);
}

std::optional<QString> ElevationText(QStringView ele)
{
    if (!IsDecimal(ele))
        return std::nullopt;
    const DecimalText value = LeadingDecimal(ele);
    if (!InRange(value))
        return std::nullopt;
    return DecimalString(value);
}

bool SameNumber(QStringView a, QStringView b)
{
    const DecimalText x = LeadingDecimal(a);
    const DecimalText y = LeadingDecimal(b);
    return x.IsNegative() == y.IsNegative() && x.whole == y.whole && x.fraction == y.fraction;
}

Altitude AltitudeIn(const std::optional<QString>& elevation, const QString& unit)
{
    if (!elevation)
        return {QStringLiteral("0000000"), unit};
    const DecimalText metres = LeadingDecimal(*elevation);
    const std::string whole = unit == u"F"
                                  ? ScaledWhole(metres, 3280839895u, 1000000000u, HalfRule::ToEven)
                                  : ScaledWhole(metres, 1, 1, HalfRule::ToEven);
    const double value = std::stod(whole);
    return {PadAltitude(metres.IsNegative() ? -value : value), unit};
}

bool IsPlain(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == u',' || c == u'*' || c == u'$' || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

} // namespace GpxCell
