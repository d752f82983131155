#pragma once

#include "coords/Geodesy.h"

#include <QString>
#include <cstdint>

// Universal Transverse Mercator, computed with the classical series in powers
// of the longitude difference (forward) and of the footpoint latitude
// (inverse). The program always converts on ellipsoid 22, WGS-84.

// One ellipsoid as the UTM routines receive it.
struct EllipsoidParams
{
    double semiMajor = 0; // metres
    double semiMinor = 0; // metres
    QString name;
};

struct UtmPosition
{
    double latitude = 0;  // degrees, north positive
    double longitude = 0; // degrees, east positive
    std::int16_t ellipsoid = 0;
    double northing = 0; // metres, false northing applied south of the equator
    double easting = 0;  // metres, false easting applied
    std::int16_t zone = 0;
    QString band;
    double centralMeridian = 0; // degrees
};

struct UtmZoneRecord
{
    double latitude = 0;
    double longitude = 0;
    std::int16_t zone = 0;
    QString band;
    double centralMeridian = 0;
};

namespace Utm {
// The angle conversions use this short value of pi, as the grid figures
// users compare against were computed with it.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kDegToRad = kPi / 180;
inline constexpr double kRadToDeg = 180 / kPi;
inline constexpr double kScale = 0.9996;
inline constexpr double kFalseEasting = 500000;
inline constexpr double kFalseNorthingSouth = 10000000;
inline constexpr double kSouthLimit = -80;
inline constexpr double kNorthLimit = 84;
} // namespace Utm

double FloorMod(double x, double y);
double AdjustLat(double radians); // folds into [-pi/2, pi/2)
double AdjustLon(double radians); // folds into [-pi, pi)
double DegToRad(double degrees);
double RadToDeg(double radians);

// Fills the record with ellipsoid n of the shared table: 513, or 520 with the
// record untouched when n is not an ellipsoid number.
GeoStatus GetEllipsoid(EllipsoidParams& record, std::int16_t n);

// Zone, band letter and central meridian of a position, with the Norway and
// Svalbard exceptions: 513, or 530 when the latitude lies outside -80..84.
GeoStatus UtmZoneOf(UtmZoneRecord& record);

// Forward: needs latitude, longitude and ellipsoid; fills zone, band, central
// meridian, easting and northing. 520 for a bad ellipsoid, 531 outside the
// UTM latitudes.
GeoStatus LatLonToUtm(UtmPosition& position);

// Inverse: needs ellipsoid, zone, band, easting and northing; fills latitude,
// longitude and central meridian. Bands "C" to "M" lie south of the equator.
// Zone, band and the metre values are otherwise taken as given. 520 for a bad
// ellipsoid; 531 when the values are such that no finite position results.
GeoStatus UtmToLatLon(UtmPosition& position);

// The program's two entry points on WGS-84. Both copy the outputs back even
// when the conversion fails, so a failed forward call yields zone 0, an empty
// band and zero metres. Note the different success values: UtmFromLatLon
// returns 513, LatLonFromUtm returns 0 (the inverse status minus 513).
GeoStatus UtmFromLatLon(double latitude, double longitude, std::int16_t& zone, QString& band,
                        double& easting, double& northing);
std::int16_t LatLonFromUtm(std::int16_t zone, const QString& band, double easting, double northing,
                           double& latitude, double& longitude);
