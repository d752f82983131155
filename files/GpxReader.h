#pragma once

#include "files/FileOutcome.h"
#include "files/Gpx.h"
#include "model/Lists.h"
#include "model/ProgramState.h"

#include <QIODevice>
#include <QStringList>
#include <optional>
#include <vector>

// What a GPX file gives the lists, in their own form and ready to replace
// them: waypoint names made receiver names, route points among the
// waypoints, routes numbered 1 to 20, heights in the list's unit.
struct GpxImport
{
    struct Route
    {
        int number = 0;
        std::optional<QString> name; // nothing: the route has none
        QStringList points;          // waypoint names in route order, at most 31
    };

    std::vector<QStringList> waypoints; // the file's waypoints, then those of route points
    std::vector<Route> routes;          // by number
    std::vector<QStringList> track;     // every track and segment in file order
    int waypointsFromRoutes = 0;        // route points not among the file's waypoints

    // What the user is to see before anything changes.
    QStringList renamings;     // "Old Mill -> OLDMLL"
    QStringList routesLeftOut; // routes beyond the receiver's 20
    QStringList pointsCut;     // routes of more than 31 points, which keep their first 31
    QStringList notKept;       // what the file holds and the lists have no place for

    int RouteRows() const;
};

struct GpxReadResult
{
    std::optional<GpxImport> data;
    // When there is no data: Failed or NotThatKind, and what is wrong, to
    // follow the file's path in a message (" is not a GPX file.").
    FileStatus status = FileStatus::Failed;
    QString problem;
};

// Reads GPX 1.0 or 1.1 from `device` as a stream, `which` lists only: memory
// grows with the rows kept, not with the file. A file that is no GPX, breaks
// off, declares a DOCTYPE (never expanded, never fetched), holds a position
// out of range or one piece larger than kLargestPiece gives no data at all.
GpxReadResult ReadGpx(QIODevice& device, HeightsMode heights, GpxSelection which);

// Replaces each chosen list that `data` has rows for with them, taking the
// rows out of `data`; the other lists stay as they are. The rows taken.
int ReplaceLists(GpxImport& data, Lists& lists, GpxSelection which);

// Bytes of one tag, text or comment beyond which a file counts as no GPX.
inline constexpr qint64 kLargestPiece = 8 * 1024 * 1024;
