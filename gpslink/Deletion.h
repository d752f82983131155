#pragma once

#include "gpslink/ExchangeFrame.h"
#include "gpslink/GpsLink.h"
#include "model/ListKind.h"
#include "model/ListModel.h"
#include "model/UserInteraction.h"

#include <QList>
#include <QString>

// Deleting in the receiver: everything of one kind, one waypoint, one route
// or the track. Each runs inside the frame of the command that calls it.

namespace DeletionText {
inline const QString AllWaypoints =
    QStringLiteral("Are you sure you want to delete ALL waypoints in the GPS?");
inline const QString AllRoutes =
    QStringLiteral("Are you sure you want to delete all routes in the GPS?");
inline const QString Track =
    QStringLiteral("Are you sure you want to delete the Track in the GPS?");
inline const QString WaypointsMayHaveFailed = QStringLiteral("Waypoint Deletion may have failed");
inline const QString RoutesMayHaveFailed = QStringLiteral("Route Deletion may have failed");
// Ours: the receiver never confirmed that its track is gone.
inline const QString TrackMayHaveFailed = QStringLiteral("Track Deletion may have failed");
inline const QString Unexpected = QStringLiteral("Unexpected response from GPS");
inline const QString WaypointsToo = QStringLiteral("Delete Waypoints from GPS as well?");
inline const QString DeletingWaypoints = QStringLiteral("Deleting waypoints.\r\nPlease Wait...");
} // namespace DeletionText

// The menu's delete-all command for `kind`: asks its question (Declined on
// No, nothing sent), then empties that store of the receiver. A receiver
// that never confirms gives the kind's "may have failed" message.
ExchangeOutcome DeleteAllInReceiver(GpsLink& link, UserInteraction& ui, ListKind kind);

// Deletes the track as the menu's command and the Delete button do: like
// GpsDeleteTrack, but a receiver that never confirms is reported with
// DeletionText::TrackMayHaveFailed.
ExchangeOutcome DeleteTrackInReceiver(GpsLink& link, UserInteraction& ui);

// Deletes route `route` (1 to 20, as the route list numbers it) and reads the
// receiver's answer, whatever it is. False when the request could not be sent.
bool GpsDeleteRoute(GpsLink& link, UserInteraction& ui, int route);

// Deletes the waypoint `name` and reads the receiver's answer, whatever it
// is. False when the request could not be sent.
bool GpsDeleteWaypoint(GpsLink& link, UserInteraction& ui, const QString& name);

// Deletes the track and acknowledges the receiver's commands until its end
// command or a time-out, saying nothing: the track upload runs it first.
// True when the end command came.
bool GpsDeleteTrack(GpsLink& link, UserInteraction& ui);

// Removes `rows` of the waypoint list, the last first, and with `inReceiver`
// each waypoint from the receiver before its row. A cancel or a closed port
// stops the walk: the rows not reached stay. Returns how many were removed.
int DeleteWaypointRows(GpsLink& link, UserInteraction& ui, ListModel& waypoints, QList<int> rows,
                       bool inReceiver);
