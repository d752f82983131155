#pragma once

#include <QString>
#include <array>

// The route table beside the route list: routes 1 to 21, each with slot 0 for
// its name and slots 1 to 31 for its waypoint names in order. A route exists
// when slot 1 is not empty; the first empty slot ends it. Uploads and the route
// editor work from here, the route list is its visible mirror.
class RouteTable
{
public:
    static constexpr int kMaxRoute = 21;      // accepted as an index
    static constexpr int kLastUsedRoute = 20; // every walk over all routes stops here
    static constexpr int kSlots = 32;         // 0 the name, 1..31 the waypoints

    static bool IsValid(int route, int slot)
    {
        return route >= 1 && route <= kMaxRoute && slot >= 0 && slot < kSlots;
    }

    // Out-of-range addresses read as empty and are not stored; callers that
    // must refuse such data test IsValid first.
    QString Slot(int route, int slot) const
    {
        return IsValid(route, slot) ? slots_[size_t(route)][size_t(slot)] : QString();
    }
    bool SetSlot(int route, int slot, const QString& text)
    {
        if (!IsValid(route, slot))
            return false;
        slots_[size_t(route)][size_t(slot)] = text;
        return true;
    }

    bool RouteExists(int route) const { return !Slot(route, 1).isEmpty(); }

    // Number of waypoint slots from slot 1 up to the first empty one.
    int WaypointCount(int route) const
    {
        int n = 0;
        while (n + 1 < kSlots && !Slot(route, n + 1).isEmpty())
            ++n;
        return n;
    }

    void ClearRoute(int route)
    {
        if (route >= 1 && route <= kMaxRoute)
            slots_[size_t(route)].fill(QString());
    }

    // Empties routes 1 to 20, as a download or a file load does first.
    void ClearRouteTable()
    {
        for (int r = 1; r <= kLastUsedRoute; ++r)
            ClearRoute(r);
    }

private:
    std::array<std::array<QString, kSlots>, kMaxRoute + 1> slots_{};
};
