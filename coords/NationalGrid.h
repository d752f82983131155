#pragma once

#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class GridComponent;

// The grid as the windows show it. SetGrid fills it; the waypoint editor
// mirrors the caption on its cmdGrid button and the grid reference dialog
// takes its label and band-letter box from it.
struct GridSelection
{
    // LatLonToGrid reads the grid to convert to from here.
    QString gridButtonCaption;
    QString sheetLabel = QStringLiteral("Sheet"); // Label3 of the dialog
    bool letterVisible = false;                   // txtLetter, the UTM band letter
};

// The program's one selection, which the editor's button and the dialog follow.
GridSelection& SharedGridSelection();

// Hands out the grid component; the shared one is created on first use.
using GridComponentSource = std::function<GridComponent&()>;
GridComponent& DefaultGridComponent();

// Selects a grid the caller has already stored as the current one: sets the
// button caption and the dialog's label and letter box, then (not for "UTM")
// selects the component's area and initialises it, showing any failure. A
// name outside the four grids only changes the caption: it has no area.
void SetGrid(const QString& name, GridSelection& selection, UserInteraction& ui,
             const GridComponentSource& component = DefaultGridComponent);

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

// Grid reference to WGS84 in the current grid. Returns the component's
// status, 0 on success, after showing any failure. A current grid that is
// not a national grid reads nothing back and gives "Area not set".
std::int32_t GridToLatLon(const QString& currentGrid, GridComponent& component, UserInteraction& ui,
                          double easting, double northing, double& height, double& latitude,
                          double& longitude);

// WGS84 to the grid named on the editor's grid button: the component's
// status, 0 on success, after showing any failure. "UTM" converts nothing
// and returns 0.
std::int32_t LatLonToGrid(const GridSelection& selection, GridComponent& component,
                          UserInteraction& ui, double latitude, double longitude, double& height,
                          double& easting, double& northing);

// A grid reference as the dialog's boxes hold it.
struct GridReference
{
    QString sheet; // the square letters; empty when the reference has none
    QString east;
    QString north;
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
