#pragma once

#include "model/UserInteraction.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

class GridComponent;

// Hands out the grid component, which its owner creates on first use: a
// program that converts only to UTM never loads the transformations.
using GridComponentSource = std::function<GridComponent&()>;

// The grid names: "OSGB", "OSNI", "OSRoI" and "UTM".
bool IsGridName(const QString& name);
bool IsNationalGrid(const QString& name);

// Selects a grid the caller has already stored as the current one: for a
// national grid, selects the component's area and initialises it, showing
// any failure. "UTM" and names outside the four leave the component alone.
void SetGrid(const QString& name, UserInteraction& ui, const GridComponentSource& component);

// "GIQ Error: " and the text of the code, in a message box with OK.
void ShowGiqError(std::int32_t code, UserInteraction& ui);
QString GiqErrorText(std::int32_t code);

// The two letters of the 100 km square of a British grid position, with the
// easting and northing reduced to the metres within the square. Nothing, and
// both values untouched, for a position outside the lettered 2500 km square.
std::optional<QString> GridLetters(double& easting, double& northing);

// Adds the offsets of a square code to an easting and northing within it.
// An empty code is square SV, a one-letter code serves as both letters.
// False, with both values untouched, when a letter is not in the tables (I).
bool ApplyGridLetters(const QString& code, double& easting, double& northing);

// Easting and northing in national grid `grid` to WGS84. Returns the
// component's status, 0 on success, after showing any failure. A grid that
// is not a national grid reads nothing back and gives "Area not set".
std::int32_t GridToLatLon(const QString& grid, GridComponent& component, UserInteraction& ui,
                          double easting, double northing, double& height, double& latitude,
                          double& longitude);

// WGS84 to easting and northing in national grid `grid`: the component's
// status, 0 on success, after showing any failure. "UTM" converts nothing
// and returns 0; any other name gives "Area not set".
std::int32_t LatLonToGrid(const QString& grid, GridComponent& component, UserInteraction& ui,
                          double latitude, double longitude, double& height, double& easting,
                          double& northing);

// A grid reference as the dialog's boxes hold it.
struct GridReference
{
    QString sheet; // the square letters or the UTM zone; empty when the reference has none
    QString east;
    QString north;
    QString band; // the UTM latitude band letter
};

// The reference of an easting and northing in metres, rounded to whole metres
// (halves to even): six-digit figures (seven for a northing of 1000 km or
// more), or, for "OSGB" with square letters, the letters and five-digit
// figures. Nothing when the position has no square letters.
std::optional<GridReference> FormatGridReference(const QString& grid, bool useSheetId,
                                                 double easting, double northing);

// Easting and northing of a reference typed in the dialog: the leading
// numbers of the boxes, with the square's offsets added for "OSGB" with
// square letters. Nothing when the square code is not in the tables.
std::optional<std::pair<double, double>> ReadGridReference(const QString& grid, bool useSheetId,
                                                           const GridReference& reference);
