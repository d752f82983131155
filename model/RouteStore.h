#pragma once

#include "model/ListModel.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The routes: numbers 1 to 20, each with a name and up to 31 waypoint names
// in route order, and the route list's rows that show them. Every change to
// a route goes through here, so the list always shows exactly what a save or
// an upload sends.
//
// Rows keep the order in which they were added: a download adds them in the
// receiver's order, a file or the route editor puts a route's name row first
// and its points after it, and a rewritten route moves to the end. A route's
// rows need not be next to each other. The name row reads "======" in its
// Num column; a route that arrived without a name shows nineteen "=" there.
class RouteStore
{
public:
    static constexpr int kFirstRoute = 1;
    static constexpr int kLastRoute = 20;
    static constexpr int kMaxPoints = 31;

    RouteStore();

    static bool IsRouteNumber(int route) { return route >= kFirstRoute && route <= kLastRoute; }

    // The route list as views show it. Only the store changes its rows; a
    // view sets their selected flags.
    ListModel& List() { return list_; }
    const ListModel& List() const { return list_; }

    // A route exists once it has a waypoint; a name alone does not make one.
    bool Exists(int route) const { return PointCount(route) > 0; }
    QString Name(int route) const;
    QStringList Points(int route) const;
    int PointCount(int route) const { return int(Points(route).size()); }
    // The route a row of the list belongs to; nothing for a row that is not there.
    std::optional<int> RouteOfRow(int row) const;

    // Empties every route and the list, as a download or a file load does first.
    void Clear();
    // Starts `route` afresh: what it held goes, and its name row is added at
    // the end. Without a name the row shows nineteen "=" and the name stays
    // empty. False for a number outside 1 to 20.
    bool StartRoute(int route, const std::optional<QString>& name);
    // Gives `route` its name; its name row is added at the end unless it has
    // one, which then shows the new name. False for a number outside 1 to 20.
    bool SetName(int route, const QString& name);
    // Appends a waypoint to `route` and its row at the end of the list. False
    // for a number outside 1 to 20, a full route or a blank name.
    bool AddPoint(int route, const QString& waypoint);
    // Rewrites `route` with its rows at the end: the name row, then one row per
    // waypoint (at most 31 are taken). Without waypoints the route keeps only
    // its name and shows no rows. False for a number outside 1 to 20.
    bool ReplaceRoute(int route, const QString& name, const QStringList& waypoints);
    // Removes the route's rows and empties it, name included.
    void RemoveRoute(int route);

private:
    struct Route
    {
        QString name;
        QStringList points;
    };

    void RemoveRows(int route);
    int NameRow(int route) const;
    void AddNameRow(int route, const QString& shown);

    std::array<Route, kLastRoute + 1> routes_{};
    ListModel list_{ListKind::Routes};
};
