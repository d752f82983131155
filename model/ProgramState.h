#pragma once

#include <QString>

// Heights as they come from the receiver or a file: kept, or turned into feet
// or metres (settings key "WaypointHeights").
enum class HeightsMode
{
    Keep = 0,
    Feet = 1,
    Metres = 2
};

// The program-wide values that start-up reads from the settings and the
// properties dialog changes.
struct ProgramState
{
    QString currentDatumCode; // e.g. "WGS84"; compared with a file's datum line
    HeightsMode heightsMode = HeightsMode::Keep;
    QString currentGrid = QStringLiteral("OSGB"); // "OSGB", "OSNI", "OSRoI" or "UTM"
    bool useSheetId = true;                       // British references with two square letters
    int editIndex = -1;                           // row under edit in the waypoint editor, -1 new
};
