#include "model/RouteStore.h"

#include "model/TextNumber.h"

namespace {

const QString kNameRowNum = QStringLiteral("======");
// What the name row of a route without a name shows.
const QString kNoName = QStringLiteral("===================");

QString IdText(int route)
{
    return ZeroPad(route, 2);
}

} // namespace

RouteStore::RouteStore() = default;

QString RouteStore::Name(int route) const
{
    return IsRouteNumber(route) ? routes_[size_t(route)].name : QString();
}

QStringList RouteStore::Points(int route) const
{
    return IsRouteNumber(route) ? routes_[size_t(route)].points : QStringList();
}

std::optional<int> RouteStore::RouteOfRow(int row) const
{
    if (row < 0 || row >= list_.Count())
        return std::nullopt;
    return int(LeadingNumber(list_.Text(row, RouteColumn::Id)));
}

void RouteStore::Clear()
{
    routes_.fill(Route{});
    list_.Clear();
}

bool RouteStore::StartRoute(int route, const std::optional<QString>& name)
{
    if (!IsRouteNumber(route))
        return false;
    RemoveRoute(route);
    routes_[size_t(route)].name = name.value_or(QString());
    AddNameRow(route, name ? *name : kNoName);
    return true;
}

bool RouteStore::SetName(int route, const QString& name)
{
    if (!IsRouteNumber(route))
        return false;
    routes_[size_t(route)].name = name;
    const int row = NameRow(route);
    if (row < 0)
        AddNameRow(route, name);
    else
        list_.SetText(row, RouteColumn::Name, name);
    return true;
}

bool RouteStore::AddPoint(int route, const QString& waypoint)
{
    if (!IsRouteNumber(route) || waypoint.trimmed().isEmpty())
        return false;
    QStringList& points = routes_[size_t(route)].points;
    if (points.size() >= kMaxPoints)
        return false;
    points << waypoint;
    list_.AddRow({IdText(route), ZeroPad(points.size(), 2), waypoint});
    return true;
}

bool RouteStore::ReplaceRoute(int route, const QString& name, const QStringList& waypoints)
{
    if (!IsRouteNumber(route))
        return false;
    RemoveRoute(route);
    routes_[size_t(route)].name = name;
    QStringList kept;
    for (const QString& waypoint : waypoints) {
        if (!waypoint.trimmed().isEmpty() && kept.size() < kMaxPoints)
            kept << waypoint;
    }
    if (kept.isEmpty())
        return true;
    AddNameRow(route, name);
    for (const QString& waypoint : kept)
        AddPoint(route, waypoint);
    return true;
}

void RouteStore::RemoveRoute(int route)
{
    if (!IsRouteNumber(route))
        return;
    RemoveRows(route);
    routes_[size_t(route)] = Route{};
}

void RouteStore::RemoveRows(int route)
{
    for (int row = list_.Count() - 1; row >= 0; --row) {
        if (RouteOfRow(row) == route)
            list_.RemoveRow(row);
    }
}

int RouteStore::NameRow(int route) const
{
    for (int row = 0; row < list_.Count(); ++row) {
        if (RouteOfRow(row) == route && list_.Text(row, RouteColumn::Num) == kNameRowNum)
            return row;
    }
    return -1;
}

void RouteStore::AddNameRow(int route, const QString& shown)
{
    list_.AddRow({IdText(route), kNameRowNum, shown});
}
