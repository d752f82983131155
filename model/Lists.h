#pragma once

#include "model/ListModel.h"
#include "model/RouteTable.h"

// The program's data: the three lists and the route table kept beside the
// route list. The main window owns one; tests build their own.
struct Lists
{
    ListModel waypoints{ListKind::Waypoints};
    ListModel routes{ListKind::Routes};
    ListModel track{ListKind::Track};
    RouteTable routeTable;

    ListModel& Of(ListKind kind)
    {
        switch (kind) {
        case ListKind::Routes:
            return routes;
        case ListKind::Track:
            return track;
        case ListKind::Waypoints:
            break;
        }
        return waypoints;
    }
};

// Removes every route-list row whose Id, read as a number, is `route`
// (walking from the last row up) and empties all its slots in the table.
void RemoveRoute(Lists& lists, int route);
