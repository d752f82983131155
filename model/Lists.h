#pragma once

#include "model/ListModel.h"
#include "model/RouteStore.h"

// The program's data: the waypoint list, the routes with the route list that
// shows them, and the track list. A workspace holds one; tests build their own.
struct Lists
{
    ListModel waypoints{ListKind::Waypoints};
    RouteStore routes;
    ListModel track{ListKind::Track};

    // The list of `kind` as views show it. Route rows change only through `routes`.
    ListModel& Of(ListKind kind)
    {
        switch (kind) {
        case ListKind::Routes:
            return routes.List();
        case ListKind::Track:
            return track;
        case ListKind::Waypoints:
            break;
        }
        return waypoints;
    }
    const ListModel& Of(ListKind kind) const { return const_cast<Lists*>(this)->Of(kind); }
};
