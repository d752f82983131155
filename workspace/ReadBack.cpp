#include "workspace/ReadBack.h"

#include "files/TextCase.h"
#include "model/TextNumber.h"

#include <QHash>

namespace {

QString Quoted(const QString& text)
{
    return u'"' + text + u'"';
}

QString Difference(const QString& row, const QString& what, const QString& sent,
                   const QString& received)
{
    return row + QStringLiteral(": ") + what + QStringLiteral(" sent ") + Quoted(sent) +
           QStringLiteral(", the GPS has ") + Quoted(received);
}

// Compares one column of two rows, `expected` being what the sent cell
// comes back as.
void CompareCell(QStringList& out, const QString& row, const ListModel& sent, int sentRow,
                 const ListModel& received, int receivedRow, int column, const QString& expected)
{
    const QString actual = received.Text(receivedRow, column);
    if (actual != expected)
        out << Difference(row, sent.Columns()[std::size_t(column)].header,
                          sent.Text(sentRow, column), actual);
}

void CompareHeight(QStringList& out, const QString& row, const ListModel& sent, int sentRow,
                   const ListModel& received, int receivedRow, int column)
{
    const QString actual = received.Text(receivedRow, column);
    if (LeadingNumber(actual) != LeadingNumber(sent.Text(sentRow, column)))
        out << Difference(row, sent.Columns()[std::size_t(column)].header,
                          sent.Text(sentRow, column), actual);
}

QString IconBack(const QString& icon)
{
    return icon.size() == 1 && icon >= u"a" && icon <= u"t" ? icon : QStringLiteral("a");
}

// The digits a track point's time goes up as: "12:34:56 " gives "123456".
QString TimeDigits(const QString& time)
{
    return time.mid(0, 2) + time.mid(3, 2) + time.mid(6, 2);
}

void CompareWaypoints(QStringList& out, const ListModel& sent, const ListModel& received)
{
    using namespace WaypointColumn;
    QHash<QString, int> lastSent;
    QStringList names;
    for (int row = 0; row < sent.Count(); ++row) {
        const QString name = BlankTrimmed(sent.Text(row, Name));
        if (!lastSent.contains(name))
            names << name;
        lastSent.insert(name, row);
    }
    QHash<QString, int> held;
    for (int row = received.Count() - 1; row >= 0; --row)
        held.insert(BlankTrimmed(received.Text(row, Name)), row);

    for (const QString& name : names) {
        const QString label = QStringLiteral("Waypoint ") + name;
        const auto found = held.constFind(name);
        if (found == held.constEnd()) {
            out << label + QStringLiteral(": not in the GPS");
            continue;
        }
        const int s = lastSent.value(name);
        const int r = *found;
        for (const int column : {Latitude, NS, Longitude, WE})
            CompareCell(out, label, sent, s, received, r, column, sent.Text(s, column));
        CompareHeight(out, label, sent, s, received, r, Altitude);
        CompareCell(out, label, sent, s, received, r, MF, sent.Text(s, MF));
        const QString description = BlankTrimmed(Uppered(sent.Text(s, Description)).left(20));
        if (BlankTrimmed(received.Text(r, Description)) != description)
            out << Difference(label, QStringLiteral("Description"), sent.Text(s, Description),
                              received.Text(r, Description));
        if (received.IconKey(r) != IconBack(sent.IconKey(s)))
            out << Difference(label, QStringLiteral("Icon"), sent.IconKey(s), received.IconKey(r));
    }
}

void CompareRoutes(QStringList& out, const RouteStore& sent, const RouteStore& received)
{
    const auto trimmed = [](const QStringList& names) {
        QStringList result;
        for (const QString& name : names)
            result << BlankTrimmed(name);
        return result;
    };
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        if (!sent.Exists(route))
            continue;
        const QString label = QStringLiteral("Route ") + ZeroPad(route, 2);
        if (!received.Exists(route)) {
            out << label + QStringLiteral(": not in the GPS");
            continue;
        }
        if (BlankTrimmed(sent.Name(route)) != BlankTrimmed(received.Name(route)))
            out << Difference(label, QStringLiteral("name"), sent.Name(route),
                              received.Name(route));
        const QStringList points = trimmed(sent.Points(route));
        const QStringList held = trimmed(received.Points(route));
        if (points != held)
            out << Difference(label, QStringLiteral("waypoints"), points.join(QStringLiteral(", ")),
                              held.join(QStringLiteral(", ")));
    }
}

void CompareTrack(QStringList& out, const ListModel& sent, const ListModel& received)
{
    using namespace TrackColumn;
    if (sent.Count() != received.Count())
        out << QStringLiteral("Track: %1 points sent, the GPS has %2")
                   .arg(sent.Count())
                   .arg(received.Count());
    for (int row = 0; row < std::min(sent.Count(), received.Count()); ++row) {
        const QString label = QStringLiteral("Track point ") + ZeroPad(row + 1, 4);
        for (const int column : {Latitude, NS, Longitude, WE})
            CompareCell(out, label, sent, row, received, row, column, sent.Text(row, column));
        CompareHeight(out, label, sent, row, received, row, Altitude);
        const bool noHeight = sent.Text(row, Altitude).isEmpty();
        CompareCell(out, label, sent, row, received, row, MF,
                    noHeight ? QStringLiteral("M") : sent.Text(row, MF));
        const QString time = sent.Text(row, Time);
        if (!time.isEmpty() && TimeDigits(received.Text(row, Time)) != TimeDigits(time))
            out << Difference(label, QStringLiteral("Time"), time, received.Text(row, Time));
        CompareCell(out, label, sent, row, received, row, Valid, sent.Text(row, Valid));
    }
}

} // namespace

QStringList ReadBackDifferences(ListKind kind, const Lists& sent, const Lists& received)
{
    QStringList out;
    switch (kind) {
    case ListKind::Waypoints:
        CompareWaypoints(out, sent.waypoints, received.waypoints);
        break;
    case ListKind::Routes:
        CompareRoutes(out, sent.routes, received.routes);
        break;
    case ListKind::Track:
        CompareTrack(out, sent.track, received.track);
        break;
    }
    return out;
}
