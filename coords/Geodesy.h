#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// Status codes of the coordinate routines. Each is a 16-bit value the callers
// compare against; 513 is success everywhere.
enum class GeoStatus : std::int16_t
{
    Success = 513,          // GEO_OK
    InvalidEllipsoid = 520, // GEO_BAD_ELLIPSOID
    ZoneRange = 530,        // GEO_ZONE_RANGE: latitude outside the UTM range
    UtmRange = 531,         // GEO_UTM_RANGE: the forward conversion found no zone
};

// The reference ellipsoids and the named datums tied to them, indexed from 1.
// The tables are fixed at construction. An index outside a table yields no
// value (std::nullopt): a caller that asks for ellipsoid 23 gets nothing it
// could mistake for an axis or a name, and the program never unwinds through
// an exception. Callers that must not fail test against Choices and
// DChoices first, as GetEllipsoid does.
class Geodesy
{
public:
    static constexpr std::int16_t kEllipsoids = 22;
    static constexpr std::int16_t kDatums = 103;

    Geodesy();

    // The index may be any number; it is rounded to the nearest whole number,
    // halves to even, before use.
    [[nodiscard]] std::optional<double> eMajor(double index) const;
    [[nodiscard]] std::optional<double> eMinor(double index) const;
    [[nodiscard]] std::optional<QString> ename(double index) const;
    std::int16_t Choices() const { return kEllipsoids; }
    std::int16_t DChoices() const { return kDatums; }
    [[nodiscard]] std::optional<QString> dName(double index) const;
    [[nodiscard]] std::optional<std::int16_t> dNumber(double index) const;

private:
    std::array<double, kEllipsoids> major_;
    std::array<double, kEllipsoids> minor_;
    std::array<QString, kEllipsoids> ellipsoidNames_;
    std::array<QString, kDatums> datumNames_;
    std::array<std::int16_t, kDatums> datumEllipsoids_;
};

// The one shared table, created on first use and kept until the program ends.
const Geodesy& SharedGeodesy();
