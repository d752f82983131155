#pragma once

#include "coords/GridInput.h"
#include "coords/NationalGrid.h"
#include "model/ListModel.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// What the waypoint editor does apart from showing its boxes: fills them from
// a row of the waypoint list, filters the keys typed into them, checks each
// box, builds the row OK writes and starts a grid reference from the
// position. The dialog keeps its boxes as text; so does everything here.

// The editor's boxes that take typing, in the order OK checks them.
enum class WaypointBox
{
    Id,
    Lat,
    LatMin,
    Lon,
    LonMin,
    Alt,
    Desc,
    Icon
};

// The editor's contents. An option pair is -1 while neither of its buttons
// has been set, as in a dialog that has just been created.
struct WaypointFields
{
    QString txtID;
    QString txtLat;
    QString TxtLatMin;
    int optNS = -1; // 0 north, 1 south
    QString txtLon;
    QString txtLonMin;
    int optWE = -1; // 0 west, 1 east
    QString txtAlt;
    int optMF = -1; // 0 metres, 1 feet
    QString txtDesc;
    QString comboIcon; // the icon letter, "a" to "t"
};

// True when every character is "A" to "Z", "0" to "9", a blank or one of
// . - _ & ' (so lower case fails); the empty text passes. Names and
// descriptions travel in the receiver's comma-separated sentences, which
// these characters cannot break.
bool HasOnlyValidChars(QStringView text);

// The character a key puts into `box`, or nothing to discard the key. The
// name and description take every character in upper case; the figure
// boxes digits (minutes also ".", the altitude also "-"); the icon box the
// letters "a" to "t", lower-cased. Backspace passes everywhere.
std::optional<QChar> FilterWaypointKey(WaypointBox box, QChar key);

// A typed character in upper case, within the 8-bit character set the
// receiver and the files use.
QChar UpperKey(QChar key);

// The check of one box as it is left: the messages to show, none when the
// box passes. A passing box is rewritten in its full form ("7" becomes "07");
// the name and description are upper-cased whatever the outcome.
QStringList CheckWaypointField(WaypointBox box, WaypointFields& fields);

struct FieldFailure
{
    WaypointBox box;
    QStringList messages;
};

// Checks latitude, its minutes, longitude, its minutes, altitude,
// description and icon in that order, rewriting the boxes that pass; the
// first box that fails, with its messages.
std::optional<FieldFailure> ValidateAllFields(WaypointFields& fields);

// Everything OK checks: the name first, since a name that was never left
// would otherwise reach the list unchecked, then ValidateAllFields.
std::optional<FieldFailure> ValidateForSaving(WaypointFields& fields);

// Fills the boxes for the row at `row` of the waypoint list, or for a new
// waypoint when `row` is not a row of the list: empty boxes, altitude "0",
// north, west and metres where no choice has been made yet, icon "a" when
// none is chosen. Choices left from an earlier use stay.
void PrepareWaypointEditor(const ListModel& waypoints, int row, WaypointFields& fields);

// The cells of the waypoint row OK writes, icon letter last. For an existing
// row the altitude first follows the heights mode (metres become feet in
// feet mode, feet metres in metres mode), and the boxes show the result.
QStringList WaypointRowCells(WaypointFields& fields, HeightsMode mode, bool existingRow);

// How the grid button starts the grid reference dialog.
struct GridStart
{
    enum class Kind
    {
        Stop,      // nothing to show; any reason has been shown
        Blank,     // no position yet: a reference is entered from scratch
        Reference, // the position's reference fills the dialog
    };
    Kind kind = Kind::Stop;
    GridReference reference;
};

// The reference of the position in the boxes, in `grid`. "Incomplete
// coordinates!" when only some of the position and altitude boxes are
// filled; the conversions say why a position has no reference.
GridStart GridReferenceForEditor(const WaypointFields& fields, const QString& grid, bool useSheetId,
                                 const GridComponentSource& component, UserInteraction& ui);

// The editor's position as the grid reference dialog writes it, and back.
EditorPositionFields PositionFieldsOf(const WaypointFields& fields);
void SetPositionFields(WaypointFields& fields, const EditorPositionFields& position);
