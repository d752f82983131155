#include "coords/Utm.h"

#include <cmath>

using namespace Utm;

namespace {

// Folds in degrees. A value already inside the range is returned unchanged:
// the round trip through radians with the short pi would move exact edges
// such as 64, 56 or 84 degrees by a few units in the last place and so into
// the neighbouring band or zone.
double FoldLatitude(double degrees)
{
    if (degrees >= -90 && degrees < 90)
        return degrees;
    return FloorMod(degrees + 90, 180) - 90;
}

double FoldLongitude(double degrees)
{
    if (degrees >= -180 && degrees < 180)
        return degrees;
    return FloorMod(degrees + 180, 360) - 180;
}

QString BandOf(double lat)
{
    if (lat >= 72)
        return QStringLiteral("X");
    // 8-degree bands from -80 upwards, each including its lower edge. The
    // edges are compared directly so that 63.99999999999999 stays in "V".
    static const char kBands[] = "CDEFGHJKLMNPQRSTUVW";
    int index = 18;
    while (index > 0 && lat < kSouthLimit + 8 * index)
        --index;
    return QString(QChar::fromLatin1(kBands[index]));
}

double CentralMeridian(int zone)
{
    return (zone - 1) * 6 - 180 + 3;
}

struct Shape
{
    double a;
    double e2;
    double ep2;
};

Shape ShapeOf(const EllipsoidParams& ellipsoid)
{
    const double a = ellipsoid.semiMajor;
    const double f = (a - ellipsoid.semiMinor) / a;
    const double e2 = 2 * f - f * f;
    return {a, e2, e2 / (1 - e2)};
}

} // namespace

double FloorMod(double x, double y)
{
    return x - std::floor(x / y) * y;
}

double AdjustLat(double radians)
{
    return FloorMod(radians + kPi / 2, kPi) - kPi / 2;
}

double AdjustLon(double radians)
{
    return FloorMod(radians + kPi, 2 * kPi) - kPi;
}

double DegToRad(double degrees)
{
    return degrees * kDegToRad;
}

double RadToDeg(double radians)
{
    return radians * kRadToDeg;
}

GeoStatus GetEllipsoid(EllipsoidParams& record, std::int16_t n)
{
    const Geodesy& geodesy = SharedGeodesy();
    if (n < 1 || n > geodesy.Choices())
        return GeoStatus::InvalidEllipsoid;
    record.semiMajor = *geodesy.eMajor(n);
    record.semiMinor = *geodesy.eMinor(n);
    record.name = *geodesy.ename(n);
    return GeoStatus::Success;
}

GeoStatus UtmZoneOf(UtmZoneRecord& record)
{
    // A NaN or infinite position has no zone; without this test it would
    // pass both range comparisons below.
    if (!std::isfinite(record.latitude) || !std::isfinite(record.longitude))
        return GeoStatus::ZoneRange;
    const double lon = FoldLongitude(record.longitude);
    const double lat = FoldLatitude(record.latitude);
    if (lat < kSouthLimit || lat > kNorthLimit)
        return GeoStatus::ZoneRange;

    int zone = static_cast<int>((lon + 180) / 6 + 1);
    if (lat >= 56 && lat < 64 && lon >= 3 && lon < 12)
        zone = 32;
    if (lat >= 72 && lat < 84) {
        if (lon >= 0 && lon < 9)
            zone = 31;
        else if (lon >= 9 && lon < 21)
            zone = 33;
        else if (lon >= 21 && lon < 33)
            zone = 35;
        else if (lon >= 33 && lon < 42)
            zone = 37;
    }
    record.zone = static_cast<std::int16_t>(zone);
    record.band = BandOf(lat);
    record.centralMeridian = CentralMeridian(zone);
    return GeoStatus::Success;
}

GeoStatus LatLonToUtm(UtmPosition& position)
{
    EllipsoidParams ellipsoid;
    if (GetEllipsoid(ellipsoid, position.ellipsoid) != GeoStatus::Success)
        return GeoStatus::InvalidEllipsoid;
    UtmZoneRecord zoneRecord;
    zoneRecord.latitude = position.latitude;
    zoneRecord.longitude = position.longitude;
    if (UtmZoneOf(zoneRecord) != GeoStatus::Success)
        return GeoStatus::UtmRange;
    position.zone = zoneRecord.zone;
    position.band = zoneRecord.band;
    position.centralMeridian = zoneRecord.centralMeridian;

    const auto [a, e2, ep2] = ShapeOf(ellipsoid);
    const double e4 = e2 * e2;
    const double e6 = e2 * e4;

    const double phi = DegToRad(position.latitude);
    const double lambda = DegToRad(FoldLongitude(position.longitude));
    const double lambda0 = DegToRad(position.centralMeridian);

    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double N = a / std::sqrt(1 - e2 * sinPhi * sinPhi);
    const double T = tanPhi * tanPhi;
    const double C = ep2 * cosPhi * cosPhi;
    const double A = (lambda - lambda0) * cosPhi;
    const double A2 = A * A;
    const double A3 = A2 * A;
    const double A4 = A3 * A;
    const double A5 = A4 * A;
    const double A6 = A5 * A;

    const double M = a * ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * phi -
                          (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * phi) +
                          (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * phi) -
                          (35 * e6 / 3072) * std::sin(6 * phi));

    const double x =
        kScale * N *
        (A + (1 - T + C) * A3 / 6 + (5 - 18 * T + T * T + 72 * C - 58 * ep2) * A5 / 120);
    const double y = kScale * (M + N * tanPhi *
                                       (A2 / 2 + (5 - T + 9 * C + 4 * C * C) * A4 / 24 +
                                        (61 - 58 * T + T * T + 600 * C - 330 * ep2) * A6 / 720));

    position.easting = x + kFalseEasting;
    position.northing = position.latitude < 0 ? y + kFalseNorthingSouth : y;
    return GeoStatus::Success;
}

GeoStatus UtmToLatLon(UtmPosition& position)
{
    EllipsoidParams ellipsoid;
    if (GetEllipsoid(ellipsoid, position.ellipsoid) != GeoStatus::Success)
        return GeoStatus::InvalidEllipsoid;

    const double x = position.easting - kFalseEasting;
    double y = position.northing;
    if (position.band < QStringLiteral("N"))
        y -= kFalseNorthingSouth;

    const auto [a, e2, ep2] = ShapeOf(ellipsoid);
    const double M = y / kScale;
    const double mu = M / (a * (1 - e2 / 4 - 3 * e2 * e2 / 64 - 5 * e2 * e2 * e2 / 256));
    const double root = std::sqrt(1 - e2);
    const double e1 = (1 - root) / (1 + root);
    const double e1_2 = e1 * e1;
    const double e1_3 = e1_2 * e1;
    const double e1_4 = e1_3 * e1;
    const double phi1 = mu + (3 * e1 / 2 - 27 * e1_3 / 32) * std::sin(2 * mu) +
                        (21 * e1_2 / 16 - 55 * e1_4 / 32) * std::sin(4 * mu) +
                        (151 * e1_3 / 96) * std::sin(6 * mu) +
                        (1097 * e1_4 / 512) * std::sin(8 * mu);

    const double sinPhi1 = std::sin(phi1);
    const double cosPhi1 = std::cos(phi1);
    const double tanPhi1 = std::tan(phi1);
    const double C1 = ep2 * cosPhi1 * cosPhi1;
    const double T1 = tanPhi1 * tanPhi1;
    const double w = 1 - e2 * sinPhi1 * sinPhi1;
    const double N1 = a / std::sqrt(w);
    const double R1 = a * (1 - e2) / std::pow(w, 1.5);
    const double D = x / (N1 * kScale);
    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;
    const double D6 = D5 * D;

    const double lat =
        phi1 - (N1 * tanPhi1 / R1) *
                   (D2 / 2 - (5 + 3 * T1 + 10 * C1 - 4 * C1 * C1 - 9 * ep2) * D4 / 24 +
                    (61 + 90 * T1 + 298 * C1 + 45 * T1 * T1 - 252 * ep2 - 3 * C1 * C1) * D6 / 720);
    const double centralMeridian = CentralMeridian(position.zone);
    const double longitude =
        centralMeridian +
        RadToDeg((D - (1 + 2 * T1 + C1) * D3 / 6 +
                  (5 - 2 * C1 + 28 * T1 - 3 * C1 * C1 + 8 * ep2 + 24 * T1 * T1) * D5 / 120) /
                 cosPhi1);
    const double latitude = RadToDeg(AdjustLat(lat));

    // Values no receiver could produce (an easting of 1e300, a NaN) break the
    // series; they are refused rather than handed on as a position.
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return GeoStatus::UtmRange;
    position.latitude = latitude;
    position.longitude = longitude;
    position.centralMeridian = centralMeridian;
    return GeoStatus::Success;
}

GeoStatus UtmFromLatLon(double latitude, double longitude, std::int16_t& zone, QString& band,
                        double& easting, double& northing)
{
    UtmPosition position;
    position.latitude = latitude;
    position.longitude = longitude;
    position.ellipsoid = Geodesy::kEllipsoids; // WGS-84
    const GeoStatus status = LatLonToUtm(position);
    zone = position.zone;
    band = position.band;
    easting = position.easting;
    northing = position.northing;
    return status;
}

std::int16_t LatLonFromUtm(std::int16_t zone, const QString& band, double easting, double northing,
                           double& latitude, double& longitude)
{
    UtmPosition position;
    position.ellipsoid = Geodesy::kEllipsoids; // WGS-84
    position.zone = zone;
    position.band = band;
    position.easting = easting;
    position.northing = northing;
    const GeoStatus status = UtmToLatLon(position);
    latitude = position.latitude;
    longitude = position.longitude;
    return static_cast<std::int16_t>(static_cast<std::int16_t>(status) -
                                     static_cast<std::int16_t>(GeoStatus::Success));
}
