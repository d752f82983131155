#pragma once

// The list number the whole program uses: it picks the list, the tab, the file
// kind and the upload.
enum class ListKind
{
    Waypoints = 1,
    Routes = 2,
    Track = 3
};

// Column positions; column 0 is a row's main text, column k its sub-text k.
namespace WaypointColumn {
enum : int
{
    Name,
    Latitude,
    NS,
    Longitude,
    WE,
    Altitude,
    MF,
    Description,
    Icon,
    Count
};
}
namespace RouteColumn {
enum : int
{
    Id,
    Num,
    Name,
    Count
};
}
namespace TrackColumn {
enum : int
{
    Point,
    TrackName,
    Latitude,
    NS,
    Longitude,
    WE,
    Altitude,
    MF,
    Time,
    Valid,
    Count
};
}
