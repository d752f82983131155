#pragma once

#include <QChar>
#include <QString>
#include <optional>

// What the grid reference dialog needs beyond its widgets: the key filters of
// its boxes, the checks of easting and northing, and the latitude and
// longitude texts it writes into the waypoint editor.

// The editor's position fields that a converted reference replaces.
struct EditorPositionFields
{
    int optNS = 0; // 0 north, 1 south
    int optWE = 0; // 0 west, 1 east
    QString txtLat;
    QString TxtLatMin;
    QString txtLon;
    QString txtLonMin;
};

// Key filters: the character to put in the box (upper-cased where the box
// wants capitals), or nothing to discard the key.
std::optional<QChar> FilterLetterKey(QChar key);
std::optional<QChar> FilterSheetKey(QChar key, const QString& currentGrid);
std::optional<QChar> FilterDigitKey(QChar key);

// The message for an easting or northing box that may not be left as it is,
// or nothing when the text is acceptable in the current grid. A UTM easting
// lies within 100 km to 900 km; a UTM northing within 0 to 9400 km north of
// the equator (bands N to X) or 1000 km to 10000 km in the south (C to M),
// either range while the band letter is not yet known.
std::optional<QString> EastingError(const QString& text, const QString& currentGrid,
                                    bool useSheetId);
std::optional<QString> NorthingError(const QString& text, const QString& currentGrid,
                                     bool useSheetId, const QString& band = {});

// The UTM zone and band letter of the dialog: a zone 1 to 60 written in
// digits and one band letter are needed, as there is no sensible reading of
// anything else.
std::optional<int> ReadZone(const QString& text);
inline const QString kZoneError = QStringLiteral("Zone value out of range");
inline const QString kBandError = QStringLiteral("Band letter out of range");

// "05", "007" and "07.500": degrees and minutes as the editor shows them.
QString FormatLatDegrees(double degrees);
QString FormatLonDegrees(double degrees);
QString FormatMinutes(double minutes);

// Hemispheres, degrees and minutes of a position, minutes rounded to three
// places; minutes that round to 60 carry into the degrees.
void WritePosition(double latitude, double longitude, EditorPositionFields& fields);
