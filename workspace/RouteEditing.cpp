#include "workspace/RouteEditing.h"

#include "files/TextCase.h"
#include "model/TextNumber.h"

std::optional<RouteEditorContent> RouteEditorFor(const RouteStore& routes, int row)
{
    RouteEditorContent content;
    if (row < 0) {
        for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
            if (!routes.Exists(route))
                content.numbers << ZeroPad(route, 2);
        }
        if (content.numbers.isEmpty())
            return std::nullopt;
        content.route = content.numbers.front();
        content.boxes = QStringList(RouteStore::kMaxPoints);
        return content;
    }
    const std::optional<int> route = routes.RouteOfRow(row);
    if (!route || !RouteStore::IsRouteNumber(*route))
        return std::nullopt;
    content.route = ZeroPad(*route, 2);
    content.locked = true;
    content.numbers = QStringList{content.route};
    content.name = routes.Name(*route);
    content.boxes = routes.Points(*route);
    content.boxes.resize(RouteStore::kMaxPoints);
    return content;
}

std::optional<RouteEdit> BuildRouteEdit(const QString& routeText, const QString& desc,
                                        const QStringList& boxes)
{
    bool ok = false;
    const int route = routeText.trimmed().toInt(&ok);
    if (!ok || !RouteStore::IsRouteNumber(route))
        return std::nullopt;
    RouteEdit edit;
    edit.route = route;
    for (const QString& box : boxes) {
        if (!box.trimmed().isEmpty() && edit.points.size() < RouteStore::kMaxPoints)
            edit.points << Uppered(box);
    }
    if (!desc.isEmpty()) {
        edit.name = Uppered(desc);
    } else {
        // Named by its ends once the empty boxes are closed up, so an empty
        // first box does not leave the start out of the name.
        const QString first = edit.points.value(0);
        const QString last = edit.points.isEmpty() ? QString() : edit.points.back();
        edit.name = ZeroPad(route, 2) + u' ' + first + QStringLiteral(" -> ") + last;
    }
    return edit;
}
