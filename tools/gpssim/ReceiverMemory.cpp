#include "tools/gpssim/ReceiverMemory.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

constexpr int kWaypointFields = 10;
constexpr int kTrackFields = 9;

QString WithoutChecksum(const QString& line)
{
    const qsizetype star = line.indexOf(u'*');
    return star < 0 ? line : line.left(star);
}

} // namespace

QString ReceiverMemory::WaypointName(const QString& body)
{
    const QStringList fields = body.split(u',');
    return fields.size() > 7 ? fields[7].trimmed() : QString();
}

ReceiverMemory::Outcome ReceiverMemory::StoreWaypoint(const QString& body)
{
    const QString name = WaypointName(body);
    if (body.split(u',').size() < kWaypointFields || name.isEmpty())
        return Outcome::Malformed;
    for (QString& stored : waypoints_) {
        if (WaypointName(stored) == name) {
            stored = body;
            return Outcome::Stored;
        }
    }
    if (waypoints_.size() >= kMaxWaypoints)
        return Outcome::Full;
    waypoints_.append(body);
    return Outcome::Stored;
}

bool ReceiverMemory::HasWaypoint(const QString& name) const
{
    const QString wanted = name.trimmed();
    for (const QString& stored : waypoints_) {
        if (WaypointName(stored) == wanted)
            return true;
    }
    return false;
}

void ReceiverMemory::DeleteWaypoint(const QString& name)
{
    const QString wanted = name.trimmed();
    waypoints_.removeIf([&](const QString& stored) { return WaypointName(stored) == wanted; });
}

void ReceiverMemory::StoreRoute(const Route& route)
{
    routes_.insert(route.number, route);
}

void ReceiverMemory::DeleteRoute(int number)
{
    routes_.remove(number);
}

ReceiverMemory::Outcome ReceiverMemory::AppendTrackPoint(const QString& body)
{
    if (body.split(u',').size() < kTrackFields)
        return Outcome::Malformed;
    if (track_.size() >= kMaxTrackPoints)
        return Outcome::Full;
    track_.append(body);
    return Outcome::Stored;
}

QStringList ReceiverMemory::RouteLines(const Route& route)
{
    const qsizetype pairs = (route.waypoints.size() + 1) / 2;
    const bool named = !route.name.isEmpty();
    const qsizetype total = pairs + (named ? 1 : 0);
    const QString number = QString::number(route.number).rightJustified(2, u'0');
    const QString head = QStringLiteral("$PMGNRTE,%1,").arg(total);
    QStringList lines;
    if (named)
        lines << head + QStringLiteral("1,m,") + number + u',' + route.name;
    for (qsizetype i = 0; i < route.waypoints.size(); i += 2) {
        QString line = head + QString::number(lines.size() + 1) + QStringLiteral(",c,") + number +
                       u',' + route.waypoints[i];
        if (i + 1 < route.waypoints.size())
            line += u',' + route.waypoints[i + 1];
        lines << line;
    }
    return lines;
}

QStringList ReceiverMemory::RouteLines() const
{
    QStringList lines;
    for (const Route& route : routes_)
        lines << RouteLines(route);
    return lines;
}

bool ReceiverMemory::Load(const QString& path, QString* error)
{
    waypoints_.clear();
    routes_.clear();
    track_.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = WithoutChecksum(QString::fromLatin1(file.readLine()).trimmed());
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u',');
        bool understood = false;
        if (fields[0] == QLatin1String("$PMGNWPL")) {
            understood = StoreWaypoint(line) == Outcome::Stored;
        } else if (fields[0] == QLatin1String("$PMGNTRK")) {
            understood = AppendTrackPoint(line) == Outcome::Stored;
        } else if (fields[0] == QLatin1String("$PMGNRTE") && fields.size() >= 6) {
            const int number = fields[4].toInt(&understood);
            Route& route = routes_[number];
            route.number = number;
            if (fields[3] == u'm') {
                route.name = fields[5];
            } else if (fields[3] == u'c') {
                for (qsizetype i = 5; i < fields.size() && i < 7; ++i) {
                    if (!fields[i].trimmed().isEmpty())
                        route.waypoints << fields[i].trimmed();
                }
            } else {
                understood = false;
            }
        }
        if (!understood) {
            *error = QStringLiteral("%1 line %2: not a waypoint, route or track sentence")
                         .arg(path)
                         .arg(lineNumber);
            return false;
        }
    }
    routes_.removeIf([](const auto& entry) { return entry.value().waypoints.isEmpty(); });
    return true;
}

bool ReceiverMemory::Save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray text;
    for (const QStringList& lines : {waypoints_, RouteLines(), track_}) {
        for (const QString& line : lines)
            text += line.toLatin1() + '\n';
    }
    file.write(text);
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
