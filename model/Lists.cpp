#include "model/Lists.h"

#include "model/TextNumber.h"

void RemoveRoute(Lists& lists, int route)
{
    for (int row = lists.routes.Count() - 1; row >= 0; --row) {
        if (LeadingNumber(lists.routes.Text(row, RouteColumn::Id)) == route)
            lists.routes.RemoveRow(row);
    }
    lists.routeTable.ClearRoute(route);
}
