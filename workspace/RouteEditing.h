#pragma once

#include "model/RouteStore.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the route editor shows and what its OK makes of the boxes: the route
// number, the route's name and its 31 waypoint boxes.

namespace RouteEditorText {
inline const QString Loading =
    QStringLiteral("Loading waypoints into Route editor.\r\nPlease Wait...");
inline const QString OutOfRange = QStringLiteral("Route number out of range");
inline const QString AllInUse = QStringLiteral("All 20 routes are in use");
} // namespace RouteEditorText

struct RouteEditorContent
{
    QString route;       // the number as two digits, "03"
    bool locked = false; // an existing route keeps its number
    QStringList numbers; // what the number box offers: the free numbers, or the route's own
    QString name;
    QStringList boxes;         // kMaxPoints texts, box j holding route position j + 1
    QStringList waypointNames; // what every waypoint box offers
};

// The editor for the route of `row` of the route list, or for a new route
// when `row` is -1: the lowest free number, offering every free one. Nothing
// when no number is free, or the row is no route's.
std::optional<RouteEditorContent> RouteEditorFor(const RouteStore& routes, int row);

// A route as the editor's OK stores it.
struct RouteEdit
{
    int route = 0;
    QString name;
    QStringList points;
};

// The route the boxes describe: the number from its text (1 to 20, nothing
// otherwise), the filled boxes in order and in upper case, the empty ones
// closed up, and the name upper-cased, or when there is none, the number,
// the first and the last waypoint ("03 HOME -> WORK").
std::optional<RouteEdit> BuildRouteEdit(const QString& routeText, const QString& desc,
                                        const QStringList& boxes);
