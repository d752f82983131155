#include "files/GpxReader.h"

#include "files/PositionText.h"
#include "files/ReceiverText.h"
#include "files/TextCase.h"
#include "model/ListKind.h"
#include "model/RouteStore.h"
#include "model/TextNumber.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>

namespace {

using Token = QXmlStreamReader::TokenType;

constexpr qint64 kChunk = 64 * 1024;
// Characters of one text element kept; no cell takes more than a few dozen.
constexpr qsizetype kLongestText = 1024;
constexpr qsizetype kLongestAttribute = 100;

// Cells that most rows share, so that a long track holds each once.
const QString kNorth = QStringLiteral("N"), kSouth = QStringLiteral("S"),
              kEast = QStringLiteral("E"), kWest = QStringLiteral("W");
const QString kMetres = QStringLiteral("M"), kFeet = QStringLiteral("F");
const QString kValid = QStringLiteral("A");

const QString& Shared(const QString& text)
{
    for (const QString* common : {&kNorth, &kSouth, &kEast, &kWest, &kMetres, &kFeet, &kValid}) {
        if (text == *common)
            return *common;
    }
    return text;
}

// The attributes of Navora's own "row" element.
struct NavoraRow
{
    std::optional<QString> position, altitude, description, icon, slot, time, valid, point, name;
};

struct RawPoint
{
    QString latitude, longitude; // GPS form with the hemisphere letter
    std::optional<QString> elevation;
    std::optional<QString> name;
    QString cmt, desc, sym, time, fix;
    NavoraRow row;
};

// A waypoint row whose name is still the file's.
struct PendingWaypoint
{
    QStringList row;
    QString name;
};

struct PendingRoute
{
    std::optional<QString> name;
    std::optional<QString> exactName;
    QString number;
    std::vector<PendingWaypoint> points;
    std::vector<std::optional<QString>> pointSlots;
};

QString Key(const PendingWaypoint& waypoint)
{
    using namespace WaypointColumn;
    const QStringList& r = waypoint.row;
    return waypoint.name + u'\n' + r[Latitude] + r[NS] + r[Longitude] + r[WE];
}

std::optional<int> RouteNumber(const QString& text)
{
    const QString trimmed = BlankTrimmed(text);
    bool ok = false;
    const int number = trimmed.toInt(&ok);
    if (!ok || !RouteStore::IsRouteNumber(number))
        return std::nullopt;
    return number;
}

QString Shortened(QStringView text)
{
    return text.size() > 40 ? text.left(40).toString() + QStringLiteral("...") : text.toString();
}

class GpxReading
{
public:
    GpxReading(QIODevice& device, HeightsMode heights, GpxSelection which)
        : device_(device), heights_(heights), which_(which)
    {
    }

    GpxReadResult Run();

private:
    Token Next();
    // Moves to the next child of the element just started; false at that
    // element's end or after a failure.
    bool NextChild();
    void Fail(FileStatus status, const QString& problem);
    QString AtLine() const
    {
        return QStringLiteral(" at line ") + QString::number(xml_.lineNumber());
    }
    bool Is(const char* name) const
    {
        return xml_.namespaceUri() == gpxNamespace_ && xml_.name() == QLatin1String(name);
    }
    void NotKept(const QString& what);
    void Skip();
    QString Text();

    void ReadRoot();
    void ReadWaypoint();
    void ReadRoute();
    void ReadTrack();
    bool ReadPoint(RawPoint& point, bool trackPoint);
    void ReadExtensions(NavoraRow& row);

    QStringList WaypointRow(const RawPoint& point);
    QStringList TrackRow(const RawPoint& point);
    void PutPosition(const RawPoint& point, QStringList& row, int latitudeColumn);
    Altitude AltitudeOf(const RawPoint& point);
    GpxImport Resolve();

    QIODevice& device_;
    HeightsMode heights_;
    GpxSelection which_;
    QXmlStreamReader xml_;
    qint64 unfinished_ = 0;
    bool started_ = false;
    bool failed_ = false;
    FileStatus status_ = FileStatus::Failed;
    QString problem_;
    QString gpxNamespace_;

    std::vector<PendingWaypoint> waypoints_;
    std::vector<PendingRoute> routes_;
    std::vector<QStringList> track_;
    int trackPoints_ = 0;
    QStringList notKept_;
    QSet<QString> notKeptSeen_;
};

Token GpxReading::Next()
{
    for (;;) {
        const Token token = xml_.readNext();
        if (token == QXmlStreamReader::DTD) {
            // Its entities are never expanded: reading stops here.
            Fail(FileStatus::Failed,
                 QStringLiteral(" holds a DOCTYPE declaration, which GPX files do not have. "
                                "Navora does not read it."));
            return QXmlStreamReader::Invalid;
        }
        if (token != QXmlStreamReader::Invalid) {
            unfinished_ = 0;
            return token;
        }
        if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
            if (started_)
                Fail(FileStatus::Failed, QStringLiteral(" is not a well-formed GPX file: ") +
                                             xml_.errorString() + AtLine() + u'.');
            else
                Fail(FileStatus::NotThatKind, QStringLiteral(" is not a GPX file."));
            return QXmlStreamReader::Invalid;
        }
        // The reader has used up what it was given: the next piece of the file.
        // It reads an unfinished piece again from its start whenever more
        // comes, so a long piece gets ever larger helpings, not a quadratic
        // number of readings.
        const QByteArray chunk = device_.read(std::max(kChunk, unfinished_));
        if (chunk.isEmpty()) {
            if (!device_.atEnd())
                Fail(FileStatus::Failed,
                     QStringLiteral(" could not be read to its end: ") + device_.errorString());
            else if (started_)
                Fail(FileStatus::Failed, QStringLiteral(" ends before its GPX data does") +
                                             AtLine() +
                                             QStringLiteral(": the file is not complete."));
            else
                Fail(FileStatus::NotThatKind, QStringLiteral(" is not a GPX file."));
            return QXmlStreamReader::Invalid;
        }
        unfinished_ += chunk.size();
        if (unfinished_ > kLargestPiece) {
            Fail(FileStatus::Failed,
                 QStringLiteral(" holds one piece of more than 8 MB") + AtLine() +
                     QStringLiteral(", which no GPX file has. Navora does not read it."));
            return QXmlStreamReader::Invalid;
        }
        xml_.addData(chunk);
    }
}

bool GpxReading::NextChild()
{
    while (!failed_) {
        const Token token = Next();
        if (token == QXmlStreamReader::EndElement)
            return false;
        if (token == QXmlStreamReader::StartElement)
            return true;
    }
    return false;
}

void GpxReading::Fail(FileStatus status, const QString& problem)
{
    if (failed_)
        return;
    failed_ = true;
    status_ = status;
    problem_ = problem;
}

void GpxReading::NotKept(const QString& what)
{
    if (!notKeptSeen_.contains(what)) {
        notKeptSeen_.insert(what);
        notKept_ << what;
    }
}

void GpxReading::Skip()
{
    for (int depth = 1; depth > 0 && !failed_;) {
        const Token token = Next();
        if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement)
            --depth;
    }
}

QString GpxReading::Text()
{
    QString text;
    while (!failed_) {
        const Token token = Next();
        if (token == QXmlStreamReader::Characters) {
            if (text.size() < kLongestText)
                text += xml_.text().left(kLongestText - text.size());
        } else if (token == QXmlStreamReader::StartElement) {
            Skip();
        } else if (token == QXmlStreamReader::EndElement) {
            break;
        }
    }
    return text;
}

GpxReadResult GpxReading::Run()
{
    ReadRoot();
    if (failed_)
        return {std::nullopt, status_, problem_};
    return {Resolve(), FileStatus::Read, {}};
}

void GpxReading::ReadRoot()
{
    Token token = QXmlStreamReader::NoToken;
    while (!failed_ && token != QXmlStreamReader::StartElement) {
        token = Next();
        if (token == QXmlStreamReader::EndDocument)
            Fail(FileStatus::NotThatKind, QStringLiteral(" is not a GPX file."));
    }
    if (failed_)
        return;
    if (xml_.name() != u"gpx") {
        Fail(FileStatus::NotThatKind, QStringLiteral(" is not a GPX file."));
        return;
    }
    started_ = true;
    // GPX 1.0 and 1.1 differ in their namespace; a file without one is read too.
    gpxNamespace_ = xml_.namespaceUri().toString();
    // What may follow the root is no business of GPX.
    while (NextChild()) {
        if (Is("wpt")) {
            ReadWaypoint();
        } else if (Is("rte")) {
            ReadRoute();
        } else if (Is("trk")) {
            ReadTrack();
        } else {
            NotKept(xml_.name().toString());
            Skip();
        }
    }
}

bool GpxReading::ReadPoint(RawPoint& point, bool trackPoint)
{
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView latitude = attributes.value(QLatin1String("lat"));
    const QStringView longitude = attributes.value(QLatin1String("lon"));
    point.latitude = DecimalDegreesToGpsText(latitude, true);
    point.longitude = DecimalDegreesToGpsText(longitude, false);
    if (point.latitude == kConversionError || point.longitude == kConversionError) {
        Fail(FileStatus::Failed, QStringLiteral(" holds a position out of range") + AtLine() +
                                     QStringLiteral(": latitude \"") + Shortened(latitude) +
                                     QStringLiteral("\", longitude \"") + Shortened(longitude) +
                                     QStringLiteral("\"."));
        return false;
    }
    while (NextChild()) {
        if (Is("ele")) {
            const QString text = Text();
            point.elevation = GpxCell::ElevationText(text);
            if (!point.elevation && !BlankTrimmed(text).isEmpty())
                NotKept(QStringLiteral("ele that is no height"));
        } else if (Is("name")) {
            point.name = Text();
        } else if (Is("cmt")) {
            point.cmt = Text();
        } else if (Is("desc")) {
            point.desc = Text();
        } else if (Is("sym")) {
            point.sym = Text();
        } else if (Is("time") && trackPoint) {
            point.time = Text();
        } else if (Is("fix") && trackPoint) {
            point.fix = Text();
        } else if (Is("extensions")) {
            ReadExtensions(point.row);
        } else {
            NotKept(xml_.name().toString());
            Skip();
        }
    }
    return !failed_;
}

void GpxReading::ReadExtensions(NavoraRow& row)
{
    while (NextChild()) {
        if (xml_.namespaceUri() == kNavoraGpxNamespace && xml_.name() == u"row") {
            const QXmlStreamAttributes attributes = xml_.attributes();
            const auto take = [&attributes](const char* name, std::optional<QString>& into,
                                            bool commas = false) {
                const QStringView value = attributes.value(QLatin1String(name));
                if (attributes.hasAttribute(QLatin1String(name)) &&
                    value.size() <= kLongestAttribute && (commas || GpxCell::IsPlain(value)))
                    into = value.toString();
            };
            take("position", row.position, true); // four cells apart by commas
            take("altitude", row.altitude);
            take("description", row.description);
            take("icon", row.icon);
            take("slot", row.slot);
            take("time", row.time);
            take("valid", row.valid);
            take("point", row.point);
            take("name", row.name);
        } else {
            NotKept(QStringLiteral("extensions of other programs"));
        }
        Skip();
    }
}

void GpxReading::ReadWaypoint()
{
    RawPoint point;
    if (!ReadPoint(point, false))
        return;
    if (which_.waypoints || which_.routes)
        waypoints_.push_back({WaypointRow(point), point.name.value_or(QString())});
}

void GpxReading::ReadRoute()
{
    PendingRoute route;
    while (NextChild()) {
        if (Is("name")) {
            route.name = Text();
        } else if (Is("number")) {
            route.number = Text();
        } else if (Is("rtept")) {
            RawPoint point;
            if (!ReadPoint(point, false))
                return;
            route.points.push_back({WaypointRow(point), point.name.value_or(QString())});
            route.pointSlots.push_back(point.row.slot);
        } else if (Is("extensions")) {
            NavoraRow row;
            ReadExtensions(row);
            route.exactName = row.name;
        } else {
            NotKept(xml_.name().toString());
            Skip();
        }
    }
    if (!failed_ && (which_.routes || which_.waypoints))
        routes_.push_back(std::move(route));
}

void GpxReading::ReadTrack()
{
    const size_t first = track_.size();
    std::optional<QString> name;
    NavoraRow row;
    while (NextChild()) {
        if (Is("name")) {
            name = Text();
        } else if (Is("extensions")) {
            ReadExtensions(row);
        } else if (Is("trkseg")) {
            while (NextChild()) {
                if (Is("trkpt")) {
                    RawPoint point;
                    if (!ReadPoint(point, true))
                        return;
                    if (which_.track)
                        track_.push_back(TrackRow(point));
                } else {
                    NotKept(xml_.name().toString());
                    Skip();
                }
            }
        } else {
            NotKept(xml_.name().toString());
            Skip();
        }
    }
    // The name may come anywhere in the track; its rows get it once it is known.
    const QString trackName = row.name && GpxCell::TrackName(*row.name) == GpxCell::TrackName(name)
                                  ? *row.name
                                  : GpxCell::TrackName(name);
    for (size_t i = first; i < track_.size(); ++i)
        track_[i][TrackColumn::TrackName] = trackName;
}

void GpxReading::PutPosition(const RawPoint& point, QStringList& row, int latitudeColumn)
{
    // Navora's exact cells, when they are this position.
    if (point.row.position) {
        const QStringList cells = point.row.position->split(u',');
        if (cells.size() == 4 && std::all_of(cells.begin(), cells.end(), GpxCell::IsPlain)) {
            const auto latitude = GpsTextToDecimalDegrees(cells[0], cells[1], true);
            const auto longitude = GpsTextToDecimalDegrees(cells[2], cells[3], false);
            if (latitude && longitude &&
                DecimalDegreesToGpsText(*latitude, true) == point.latitude &&
                DecimalDegreesToGpsText(*longitude, false) == point.longitude) {
                for (int i = 0; i < 4; ++i)
                    row[latitudeColumn + i] = Shared(cells[i]);
                return;
            }
        }
    }
    row[latitudeColumn] = point.latitude.chopped(1);
    row[latitudeColumn + 1] = point.latitude.endsWith(u'S') ? kSouth : kNorth;
    row[latitudeColumn + 2] = point.longitude.chopped(1);
    row[latitudeColumn + 3] = point.longitude.endsWith(u'W') ? kWest : kEast;
}

Altitude GpxReading::AltitudeOf(const RawPoint& point)
{
    const QString& wanted = heights_ == HeightsMode::Feet ? kFeet : kMetres;
    if (point.row.altitude && !point.row.altitude->isEmpty()) {
        const QString value = point.row.altitude->chopped(1);
        const QString unit = point.row.altitude->right(1);
        const std::optional<QString> metres = GpxCell::Elevation(value, unit);
        const bool agrees = metres.has_value() == point.elevation.has_value() &&
                            (!metres || GpxCell::SameNumber(*metres, *point.elevation));
        if (agrees && (heights_ == HeightsMode::Keep || unit == wanted))
            return {value, Shared(unit)};
    }
    return GpxCell::AltitudeIn(point.elevation, wanted);
}

QStringList GpxReading::WaypointRow(const RawPoint& point)
{
    using namespace WaypointColumn;
    QStringList row(Count);
    PutPosition(point, row, Latitude);
    const ::Altitude altitude = AltitudeOf(point);
    row[WaypointColumn::Altitude] = altitude.value;
    row[MF] = altitude.unit;
    const QString description = GpxCell::Description(point.cmt, point.desc);
    if (point.row.description && GpxCell::Description(*point.row.description, {}) == description) {
        row[Description] = *point.row.description;
    } else {
        row[Description] = description;
        const QStringView source = BlankTrimmed(point.cmt).isEmpty() ? point.desc : point.cmt;
        if (ReceiverText(source, kLongestText).size() > description.size())
            NotKept(QStringLiteral("the part of descriptions beyond 20 characters"));
        if (!BlankTrimmed(point.cmt).isEmpty() && !BlankTrimmed(point.desc).isEmpty() &&
            ReceiverText(point.desc, kLongestText) != ReceiverText(point.cmt, kLongestText))
            NotKept(QStringLiteral("desc, where cmt is given as well"));
    }
    if (point.row.icon && *point.row.icon == point.sym) {
        row[Icon] = *point.row.icon;
    } else {
        row[Icon] = GpxCell::Icon(point.sym);
        if (row[Icon] != Lowered(BlankTrimmed(point.sym)) && !BlankTrimmed(point.sym).isEmpty())
            NotKept(QStringLiteral("sym other than the icon letters a to t"));
    }
    return row;
}

QStringList GpxReading::TrackRow(const RawPoint& point)
{
    using namespace TrackColumn;
    QStringList row(Count);
    ++trackPoints_;
    row[Point] = point.row.point ? *point.row.point : ZeroPad(trackPoints_, 4);
    PutPosition(point, row, Latitude);
    const ::Altitude altitude = AltitudeOf(point);
    row[TrackColumn::Altitude] = altitude.value;
    row[MF] = altitude.unit;
    const QString time = GpxCell::TimeOfDay(point.time);
    if (point.row.time && (BlankTrimmed(point.time).isEmpty() ||
                           QStringView(time).left(8) == QStringView(*point.row.time).left(8)))
        row[Time] = *point.row.time;
    else
        row[Time] = time;
    if (!BlankTrimmed(point.time).isEmpty())
        NotKept(time.isEmpty() ? QStringLiteral("time that is no time")
                               : QStringLiteral("the dates of track points (the track keeps "
                                                "their time of day)"));
    row[Valid] = Shared(point.row.valid ? *point.row.valid : GpxCell::Valid(point.fix));
    if ((point.name && !BlankTrimmed(*point.name).isEmpty()) ||
        !BlankTrimmed(point.cmt).isEmpty() || !BlankTrimmed(point.desc).isEmpty() ||
        !BlankTrimmed(point.sym).isEmpty())
        NotKept(QStringLiteral("names, comments and symbols of track points"));
    return row;
}

GpxImport GpxReading::Resolve()
{
    GpxImport result;

    // Route numbers: those the file gives, when they are free and in 1 to 20,
    // then the lowest free ones in file order.
    std::vector<int> numbers(routes_.size(), 0);
    QSet<int> taken;
    for (size_t i = 0; i < routes_.size(); ++i) {
        const std::optional<int> number = RouteNumber(routes_[i].number);
        if (number && !taken.contains(*number)) {
            numbers[i] = *number;
            taken.insert(*number);
        }
    }
    int next = RouteStore::kFirstRoute;
    for (size_t i = 0; i < routes_.size(); ++i) {
        while (numbers[i] == 0 && next <= RouteStore::kLastRoute) {
            if (!taken.contains(next)) {
                numbers[i] = next;
                taken.insert(next);
            }
            ++next;
        }
    }

    // Route points become waypoints unless the file's waypoints hold them:
    // the same name at the same position. Every route's points do, also
    // those of routes left out, so that no point is lost.
    std::vector<PendingWaypoint> candidates = std::move(waypoints_);
    QHash<QString, int> byKey;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const QString key = Key(candidates[i]);
        if (!byKey.contains(key)) // the first of equal ones
            byKey.insert(key, int(i));
    }
    const int fileWaypoints = int(candidates.size());
    std::vector<std::vector<int>> routePoints(routes_.size());
    for (size_t r = 0; r < routes_.size(); ++r) {
        for (PendingWaypoint& point : routes_[r].points) {
            const QString key = Key(point);
            auto found = byKey.constFind(key);
            if (found == byKey.constEnd()) {
                found = byKey.insert(key, int(candidates.size()));
                candidates.push_back(std::move(point));
            }
            routePoints[r].push_back(*found);
        }
    }
    result.waypointsFromRoutes = int(candidates.size()) - fileWaypoints;

    QStringList names;
    for (const PendingWaypoint& candidate : candidates)
        names << candidate.name;
    const QStringList receiverNames = UniqueReceiverNames(names);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i] != receiverNames[i])
            result.renamings << (names[i].isEmpty() ? QStringLiteral("(no name)") : names[i]) +
                                    QStringLiteral(" -> ") + receiverNames[i];
    }

    for (size_t r = 0; r < routes_.size(); ++r) {
        const PendingRoute& pending = routes_[r];
        std::optional<QString> name;
        if (pending.name) {
            const QString receiverName = GpxCell::RouteName(*pending.name);
            if (pending.exactName && GpxCell::RouteName(*pending.exactName) == receiverName)
                name = pending.exactName;
            else if (!receiverName.isEmpty() || pending.name->isEmpty())
                name = receiverName;
        }
        const QString shownName = name && !name->isEmpty() ? *name : QString();
        if (numbers[r] == 0) {
            result.routesLeftOut << (shownName.isEmpty()
                                         ? QStringLiteral("route ") + QString::number(r + 1) +
                                               QStringLiteral(" of the file")
                                         : shownName);
            continue;
        }
        GpxImport::Route route{numbers[r], name, {}};
        for (size_t p = 0; p < routePoints[r].size(); ++p) {
            if (route.points.size() == RouteStore::kMaxPoints) {
                result.pointsCut << QStringLiteral("Route ") + ZeroPad(numbers[r], 2) +
                                        (shownName.isEmpty() ? QString() : u' ' + shownName) +
                                        QStringLiteral(": ") +
                                        QString::number(routePoints[r].size()) +
                                        QStringLiteral(" points");
                break;
            }
            const QString& waypoint = receiverNames[routePoints[r][p]];
            const std::optional<QString>& slot = pending.pointSlots[p];
            route.points << (slot && BlankTrimmed(*slot) == waypoint ? *slot : waypoint);
        }
        result.routes.push_back(std::move(route));
    }
    std::sort(
        result.routes.begin(), result.routes.end(),
        [](const GpxImport::Route& a, const GpxImport::Route& b) { return a.number < b.number; });

    if (which_.waypoints) {
        result.waypoints.reserve(candidates.size());
        for (size_t i = 0; i < candidates.size(); ++i) {
            candidates[i].row[WaypointColumn::Name] = receiverNames[qsizetype(i)];
            result.waypoints.push_back(std::move(candidates[i].row));
        }
    }
    if (!which_.routes)
        result.routes.clear();
    result.track = std::move(track_);
    result.notKept = notKept_;
    return result;
}

} // namespace

int GpxImport::RouteRows() const
{
    int rows = 0;
    for (const Route& route : routes)
        rows += 1 + int(route.points.size());
    return rows;
}

GpxReadResult ReadGpx(QIODevice& device, HeightsMode heights, GpxSelection which)
{
    return GpxReading(device, heights, which).Run();
}

int ReplaceLists(GpxImport& data, Lists& lists, GpxSelection which)
{
    int rows = 0;
    if (which.waypoints && !data.waypoints.empty()) {
        rows += int(data.waypoints.size());
        lists.waypoints.Clear();
        lists.waypoints.AddRows(std::move(data.waypoints));
    }
    if (which.routes && !data.routes.empty()) {
        rows += data.RouteRows();
        lists.routes.Clear();
        for (const GpxImport::Route& route : data.routes) {
            lists.routes.StartRoute(route.number, route.name);
            for (const QString& point : route.points)
                lists.routes.AddPoint(route.number, point);
        }
    }
    if (which.track && !data.track.empty()) {
        rows += int(data.track.size());
        lists.track.Clear();
        lists.track.AddRows(std::move(data.track));
    }
    data = GpxImport();
    return rows;
}
