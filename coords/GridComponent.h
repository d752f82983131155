#pragma once

#include <QString>
#include <cstdint>
#include <memory>

// Status values of the grid component: 0 is success, the negative values are
// its error codes (ShowGiqError has their texts).
namespace Giq {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kGeneralFailure = -1;
inline constexpr std::int32_t kInvalidRegistryKey = -3;
inline constexpr std::int32_t kInvalidDataFile = -5;
inline constexpr std::int32_t kAreaNotSet = -7;
inline constexpr std::int32_t kNotInitialised = -8;
inline constexpr std::int32_t kInvalidCoordinate = -9;
inline constexpr std::int32_t kOutsideArea = -11;

// The areas: British National Grid, Irish Grid of Northern Ireland (OSNI
// 1952 datum), Irish Grid (TM75 datum).
inline constexpr std::int32_t kAreaBritish = 0;
inline constexpr std::int32_t kAreaNorthernIreland = 1;
inline constexpr std::int32_t kAreaIreland = 2;

// The name the component answers to in GiqInit.
inline const QString kComponentName = QStringLiteral("GIQ.6.0");
} // namespace Giq

// Converts between WGS84 latitude, longitude and height and the British and
// Irish national grids, with PROJ doing the transformation. Use: choose the
// area, initialise, then "set" a position in one system and "get" it in the
// other. A position outside the area of use of the selected grid is refused
// with "Outside area"; a get before an area or an initialisation gives
// "Area not set" or "not initialised", and a get with no position set gives
// "Invalid coordinate". Heights pass through unchanged.
//
// The PROJ context and transformation live inside and die with the object;
// PROJ's own diagnostics are swallowed, and no network grid is fetched.
class GridComponent
{
public:
    GridComponent();
    ~GridComponent();
    GridComponent(const GridComponent&) = delete;
    GridComponent& operator=(const GridComponent&) = delete;

    std::int32_t GiqSetArea(std::int32_t area);
    std::int32_t GiqInit(const QString& name);
    std::int32_t GiqSetWgs84(double latitude, double longitude, double height);
    std::int32_t GiqGetWgs84(double& latitude, double& longitude, double& height);
    // The 32-bit value of the grid methods carries nothing; it is kept so
    // that every caller passes what it always has.
    std::int32_t GiqSetIrishGrid(double easting, double northing, double height,
                                 std::int32_t flags);
    std::int32_t GiqGetIrishGrid(double& easting, double& northing, double& height,
                                 std::int32_t& flags);
    std::int32_t GiqSetBritishGrid(double easting, double northing, double height,
                                   std::int32_t& flags);
    std::int32_t GiqGetBritishGrid(double& easting, double& northing, double& height,
                                   std::int32_t& flags);

    // What the last conversion used: PROJ's description of the operation and
    // the accuracy it states in metres (negative when it states none).
    QString LastOperation() const;
    double LastAccuracy() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
