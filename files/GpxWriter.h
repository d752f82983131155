#pragma once

#include "files/Gpx.h"
#include "model/Lists.h"

#include <QIODevice>
#include <QStringList>

struct GpxWritten
{
    int points = 0;      // waypoints, route points and track points written
    QStringList leftOut; // the points GPX has no place for, one line each
    QString error;       // the device's, when writing failed
};

// Writes the chosen lists to `device` as GPX 1.1 with the creator
// "Navora <version>": the waypoints as "wpt", each route as "rte" with its
// points at the positions of the waypoint list's rows of their names, the
// track as one "trk" for each run of rows with the same track name. Heights
// go as metres. No point gets a "time": the lists know no dates. A route
// point whose waypoint is not in the list and a position beyond the poles or
// the date line are left out and named in `leftOut`.
GpxWritten WriteGpx(QIODevice& device, const Lists& lists, GpxSelection which);
