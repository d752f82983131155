#include "coords/GridInput.h"

#include "model/TextNumber.h"

#include <cmath>

namespace {

bool InRange(QChar c, char first, char last)
{
    return c.unicode() >= first && c.unicode() <= last;
}

// Backspace passes every filter; the arrow keys never reach one, since they
// type no character.
constexpr char16_t kBackspace = 8;

std::optional<QString> LimitError(const QString& text, const QString& currentGrid, bool useSheetId,
                                  double limitPlain, const QString& message)
{
    if (text.isEmpty())
        return message;
    if (currentGrid != u"OSGB")
        return std::nullopt;
    const double value = LeadingNumber(text);
    const double limit = useSheetId ? 99999 : limitPlain;
    if (value > limit)
        return message;
    return std::nullopt;
}

// UTM figures: a reference outside the band's range names no place on the
// zone's strip, and its inverse runs off to absurd positions.
std::optional<QString> OutsideError(const QString& text, double lowest, double highest,
                                    const QString& message)
{
    const double value = LeadingNumber(text);
    if (value < lowest || value > highest)
        return message;
    return std::nullopt;
}

QString LastChars(const QString& text, int count)
{
    return text.right(count);
}

} // namespace

std::optional<QChar> FilterLetterKey(QChar key)
{
    const QChar c = key.toUpper();
    if (c == kBackspace)
        return c;
    if (InRange(c, 'C', 'H') || InRange(c, 'J', 'N') || InRange(c, 'P', 'X'))
        return c;
    return std::nullopt;
}

std::optional<QChar> FilterSheetKey(QChar key, const QString& currentGrid)
{
    const QChar c = key.toUpper();
    if (c == kBackspace)
        return c;
    if (currentGrid == u"OSGB") {
        if (InRange(c, 'A', 'H') || InRange(c, 'J', 'Z'))
            return c;
    } else if (InRange(c, '0', '9')) {
        return c;
    }
    return std::nullopt;
}

std::optional<QChar> FilterDigitKey(QChar key)
{
    if (key == kBackspace || InRange(key, '0', '9'))
        return key;
    return std::nullopt;
}

std::optional<QString> EastingError(const QString& text, const QString& currentGrid,
                                    bool useSheetId)
{
    const QString message = QStringLiteral("Easting value out of range");
    if (currentGrid == u"UTM" && !text.isEmpty())
        return OutsideError(text, 100000, 900000, message);
    return LimitError(text, currentGrid, useSheetId, 700000, message);
}

std::optional<QString> NorthingError(const QString& text, const QString& currentGrid,
                                     bool useSheetId, const QString& band)
{
    const QString message = QStringLiteral("Northing value out of range");
    if (currentGrid == u"UTM" && !text.isEmpty()) {
        const QChar letter = band.size() == 1 ? band.front().toUpper() : QChar();
        if (InRange(letter, 'N', 'X'))
            return OutsideError(text, 0, 9400000, message);
        if (InRange(letter, 'C', 'M'))
            return OutsideError(text, 1000000, 10000000, message);
        return OutsideError(text, 0, 10000000, message);
    }
    return LimitError(text, currentGrid, useSheetId, 1300000, message);
}

std::optional<int> ReadZone(const QString& text)
{
    bool ok = false;
    const int zone = text.trimmed().toInt(&ok);
    if (!ok || zone < 1 || zone > 60)
        return std::nullopt;
    return zone;
}

QString FormatLatDegrees(double degrees)
{
    return LastChars(QStringLiteral("0") + QString::number(std::floor(degrees), 'f', 0), 2);
}

QString FormatLonDegrees(double degrees)
{
    return LastChars(QStringLiteral("00") + QString::number(std::floor(degrees), 'f', 0), 3);
}

QString FormatMinutes(double minutes)
{
    // Rounded to thousandths ("0.000" rounds halves away from zero) before the
    // split, so that 7.9996 reads 08.000 rather than 07.000.
    const double rounded = std::round(minutes * 1000) / 1000;
    const double whole = std::floor(rounded);
    return LastChars(QStringLiteral("0") + QString::number(whole, 'f', 0), 2) + u'.' +
           LastChars(QString::number(rounded - whole, 'f', 3), 3);
}

void WritePosition(double latitude, double longitude, EditorPositionFields& fields)
{
    fields.optWE = longitude < 0 ? 0 : 1;
    fields.optNS = latitude < 0 ? 1 : 0;
    const double lat = std::fabs(latitude);
    const double lon = std::fabs(longitude);

    fields.txtLat = FormatLatDegrees(lat);
    fields.TxtLatMin = FormatMinutes(RoundHalfEven((lat - std::floor(lat)) * 60, 3));
    if (LeadingNumber(fields.TxtLatMin) >= 60) {
        fields.TxtLatMin = QStringLiteral("0.000");
        fields.txtLat = FormatLatDegrees(LeadingNumber(fields.txtLat) + 1);
    }

    fields.txtLon = FormatLonDegrees(lon);
    fields.txtLonMin = FormatMinutes(RoundHalfEven((lon - std::floor(lon)) * 60, 3));
    if (LeadingNumber(fields.txtLonMin) >= 60) {
        fields.txtLonMin = QStringLiteral("0.00"); // two decimals here, three for the latitude
        fields.txtLon = FormatLonDegrees(LeadingNumber(fields.txtLon) + 1);
    }
}
