#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The text forms of positions and heights. The lists and the receiver use the
// GPS form (latitude "ddmm.mmm", longitude "dddmm.mmm", hemisphere apart);
// files carry positions as D (signed degrees), DM (signed degrees and minutes,
// " 51.30500") or DMS (signed degrees, minutes and seconds, "51.3030").
//
// The conversions to the GPS form return the digits and the hemisphere letter
// in one text ("5130.500N", "00012.345W") or kConversionError when the input is
// out of range. Numbers are read with the leading-number rule on their decimal
// digits, and every result uses "." whatever the regional settings.

inline const QString kConversionError = QStringLiteral("Err");

QString DegreesToGpsText(QStringView degrees, bool isLatitude);
QString DegMinToGpsText(QStringView degMin, bool isLatitude);
QString DegMinSecToGpsText(QStringView degMinSec, bool isLatitude);

// A list position (digits and hemisphere letter) in the DM file form:
// ("5130.500", "N") gives " 51.30500", ("00012.345", "W") gives "-000.12345".
QString GpsTextToDegMin(QStringView digits, QStringView hemisphere);

// A list position (digits and hemisphere letter) in signed decimal degrees,
// as GPX carries positions: the exact value rounded to nine decimals (halves
// to even), trailing zeros dropped. ("5130.500", "N") gives "51.508333333",
// ("00012.000", "W") gives "-0.2". Nothing when the text is no position in
// range: a letter of the other axis, 60 minutes or more, beyond the poles or
// the date line.
std::optional<QString> GpsTextToDecimalDegrees(QStringView digits, QStringView hemisphere,
                                               bool isLatitude);
// Signed decimal degrees as GPX carries them (blanks around, an optional sign,
// digits with at most one ".", nothing else) in the GPS form with
// its hemisphere letter, the minutes rounded to three decimals with halves to
// even. A position that rounds to zero is north or east. kConversionError for
// any other text and beyond the poles or the date line.
QString DecimalDegreesToGpsText(QStringView degrees, bool isLatitude);

// A height value as the 7 characters of the altitude column: "000000" put in
// front of the text, keeping the last seven characters ("12" gives "0000012");
// a negative one keeps its sign in front of six ("-30" gives "-000030").
QString PadAltitude(QStringView value);
// A whole number of metres or feet in the same form; a negative height keeps
// its sign in front of six digits ("-000012").
QString PadAltitude(double wholeValue);

struct Altitude
{
    QString value; // 7 characters
    QString unit;  // "M" or "F"
};

// The leading number of the text (a unit letter after it is ignored)
// converted and rounded to a whole number, halves to even.
Altitude MetresToFeet(QStringView metres);
Altitude FeetToMetres(QStringView feet);
