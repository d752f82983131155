#pragma once

#include "coords/NationalGrid.h"
#include "model/UserInteraction.h"

#include <QString>
#include <optional>

// A position and a grid reference in either direction, the grid taken by its
// name ("OSGB", "OSNI", "OSRoI" or "UTM"). UTM is computed here; the national
// grids go through the grid component, which is asked for only when needed.
// Every failure is shown to the user before the call returns.

namespace GridConversionText {
inline const QString OutsideUtm =
    QStringLiteral("These coordinates are outside the valid range for UTM");
inline const QString OutsideOsgb =
    QStringLiteral("These coordinates are outside the valid range for OSGB conversion");
} // namespace GridConversionText

// The reference of a WGS84 position: the zone, band letter and whole metres
// for UTM; for the national grids the figures of FormatGridReference. British
// references stop outside the window where the grid is meaningful. Nothing
// after a failure or for a name outside the four grids.
std::optional<GridReference> PositionToReference(const QString& grid, bool useSheetId,
                                                 const GridComponentSource& component,
                                                 UserInteraction& ui, double latitude,
                                                 double longitude);

enum class ReferenceStatus
{
    Converted,
    Failed,  // the reference names no place; the reason has been shown
    BadZone, // a UTM zone that is not 1 to 60: the zone box needs correcting
    BadBand  // a UTM band letter that is missing or not one of C to X
};

struct PositionFromReference
{
    ReferenceStatus status = ReferenceStatus::Failed;
    double latitude = 0;
    double longitude = 0;
};

// The WGS84 position of a reference as typed in the grid reference dialog:
// the leading numbers of the easting and northing, with the square letters
// applied for "OSGB" with square letters. The figures' ranges are the
// dialog's to check (EastingError, NorthingError) before it asks.
PositionFromReference ReferenceToPosition(const QString& grid, bool useSheetId,
                                          const GridComponentSource& component, UserInteraction& ui,
                                          const GridReference& reference);
