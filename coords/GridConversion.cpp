#include "coords/GridConversion.h"

#include "coords/GridComponent.h"
#include "coords/GridInput.h"
#include "coords/Utm.h"
#include "model/TextNumber.h"

namespace {

// Where the British grid gives sensible figures; the limits belong outside.
bool InsideOsgbWindow(double latitude, double longitude)
{
    return longitude > -9.5 && longitude < 3.633 && latitude > 49.75 && latitude < 61.467;
}

std::optional<GridReference> UtmReference(UserInteraction& ui, double latitude, double longitude)
{
    if (latitude < Utm::kSouthLimit || latitude > Utm::kNorthLimit) {
        ui.Message(GridConversionText::OutsideUtm);
        return std::nullopt;
    }
    std::int16_t zone = 0;
    QString band;
    double easting = 0;
    double northing = 0;
    if (UtmFromLatLon(latitude, longitude, zone, band, easting, northing) != GeoStatus::Success) {
        ui.Message(GridConversionText::OutsideUtm);
        return std::nullopt;
    }
    return GridReference{QString::number(zone),
                         QString::number(static_cast<long long>(RoundHalfEven(easting))),
                         QString::number(static_cast<long long>(RoundHalfEven(northing))), band};
}

} // namespace

std::optional<GridReference> PositionToReference(const QString& grid, bool useSheetId,
                                                 const GridComponentSource& component,
                                                 UserInteraction& ui, double latitude,
                                                 double longitude)
{
    if (grid == u"UTM")
        return UtmReference(ui, latitude, longitude);
    if (!IsNationalGrid(grid))
        return std::nullopt;
    if (grid == u"OSGB" && !InsideOsgbWindow(latitude, longitude)) {
        ui.Message(GridConversionText::OutsideOsgb);
        return std::nullopt;
    }
    double height = 0;
    double easting = 0;
    double northing = 0;
    if (LatLonToGrid(grid, component(), ui, latitude, longitude, height, easting, northing) !=
        Giq::kOk)
        return std::nullopt;
    return FormatGridReference(grid, useSheetId, easting, northing);
}

PositionFromReference ReferenceToPosition(const QString& grid, bool useSheetId,
                                          const GridComponentSource& component, UserInteraction& ui,
                                          const GridReference& reference)
{
    PositionFromReference result;
    if (grid == u"UTM") {
        const std::optional<int> zone = ReadZone(reference.sheet);
        if (!zone) {
            ui.Message(kZoneError);
            result.status = ReferenceStatus::BadZone;
            return result;
        }
        const QString& band = reference.band;
        if (band.size() != 1 || !FilterLetterKey(band.front())) {
            ui.Message(kBandError);
            result.status = ReferenceStatus::BadBand;
            return result;
        }
        const std::int16_t status = LatLonFromUtm(
            static_cast<std::int16_t>(*zone), band.toUpper(), LeadingNumber(reference.east),
            LeadingNumber(reference.north), result.latitude, result.longitude);
        if (status != 0) {
            ui.Message(GridConversionText::OutsideUtm);
            return result;
        }
        result.status = ReferenceStatus::Converted;
        return result;
    }
    const auto metres = ReadGridReference(grid, useSheetId, reference);
    if (!metres) {
        // Square letters outside the tables (pasted in): the reference names no place.
        ShowGiqError(Giq::kInvalidCoordinate, ui);
        return result;
    }
    double height = 0;
    const std::int32_t status = GridToLatLon(grid, component(), ui, metres->first, metres->second,
                                             height, result.latitude, result.longitude);
    result.status = status == Giq::kOk ? ReferenceStatus::Converted : ReferenceStatus::Failed;
    return result;
}
