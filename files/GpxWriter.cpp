#include "files/GpxWriter.h"

#include "files/PositionText.h"
#include "files/TextCase.h"
#include "model/TextNumber.h"

#include <QHash>
#include <QXmlStreamWriter>
#include <utility>
#include <vector>

namespace {

const QString kNameRowNum = QStringLiteral("======");

// Attributes of Navora's "row" element for one point, route or track.
using Extension = std::vector<std::pair<QString, QString>>;

// A cell as XML can carry it: a control character that came from a receiver
// or a file, or half of a broken surrogate pair, would make the file no XML at
// all, so it becomes a blank.
QString XmlText(const QString& cell)
{
    QString text = cell;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair)
            ++i;
        else if (c < 0x20 || QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
            text[i] = u' ';
    }
    return text;
}

class GpxWriting
{
public:
    GpxWriting(QIODevice& device, const Lists& lists) : out_(device), lists_(lists)
    {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(1);
    }

    GpxWritten Run(GpxSelection which);

private:
    void WriteWaypoints();
    void WriteRoutes();
    void WriteTrack();
    // A waypoint row as "wpt" or "rtept"; false, having written nothing, when
    // its position is no position.
    bool WriteWaypoint(const QString& element, int row, const QString* slot);
    // Starts a point at the position of the row's cells and notes where the
    // cells say more than the coordinates; false when they are no position.
    bool StartPoint(const QString& element, const ListModel& list, int row, int latitudeColumn,
                    Extension& extension);
    void WriteElevation(const ListModel& list, int row, int altitudeColumn, Extension& extension);
    void WriteExtension(const Extension& extension);
    // Hands what has been written to the device as UTF-8 once there is a
    // good piece of it, or all of it at the end: the XML writer's many small
    // writes would each go through the device's buffer.
    void Drain(bool all);

    QIODevice& out_;
    QString text_;
    QXmlStreamWriter xml_{&text_};
    const Lists& lists_;
    GpxWritten written_;
};

GpxWritten GpxWriting::Run(GpxSelection which)
{
    // Written to text first, so the declaration names no encoding: XML
    // without one is UTF-8, which Drain writes.
    xml_.writeStartDocument();
    xml_.writeStartElement(QStringLiteral("gpx"));
    xml_.writeDefaultNamespace(kGpx11Namespace);
    xml_.writeNamespace(kNavoraGpxNamespace, QStringLiteral("navora"));
    xml_.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml_.writeAttribute(QStringLiteral("creator"), QStringLiteral("Navora " NAVORA_VERSION));
    if (which.waypoints)
        WriteWaypoints();
    if (which.routes)
        WriteRoutes();
    if (which.track)
        WriteTrack();
    xml_.writeEndElement();
    xml_.writeEndDocument();
    Drain(true);
    return written_;
}

void GpxWriting::Drain(bool all)
{
    constexpr qsizetype kPiece = 512 * 1024;
    if (text_.size() < (all ? 1 : kPiece))
        return;
    const QByteArray bytes = text_.toUtf8();
    if (written_.error.isEmpty() && out_.write(bytes) != bytes.size())
        written_.error = out_.errorString();
    text_.resize(0);
}

bool GpxWriting::StartPoint(const QString& element, const ListModel& list, int row,
                            int latitudeColumn, Extension& extension)
{
    const QString latitude = list.Text(row, latitudeColumn);
    const QString ns = list.Text(row, latitudeColumn + 1);
    const QString longitude = list.Text(row, latitudeColumn + 2);
    const QString we = list.Text(row, latitudeColumn + 3);
    const auto lat = GpsTextToDecimalDegrees(latitude, ns, true);
    const auto lon = GpsTextToDecimalDegrees(longitude, we, false);
    if (!lat || !lon)
        return false;
    if (DecimalDegreesToGpsText(*lat, true) != latitude + ns ||
        DecimalDegreesToGpsText(*lon, false) != longitude + we)
        extension.emplace_back(QStringLiteral("position"),
                               latitude + u',' + ns + u',' + longitude + u',' + we);
    xml_.writeStartElement(element);
    xml_.writeAttribute(QStringLiteral("lat"), *lat);
    xml_.writeAttribute(QStringLiteral("lon"), *lon);
    ++written_.points;
    return true;
}

void GpxWriting::WriteElevation(const ListModel& list, int row, int altitudeColumn,
                                Extension& extension)
{
    const QString altitude = list.Text(row, altitudeColumn);
    const QString unit = list.Text(row, altitudeColumn + 1);
    const std::optional<QString> elevation = GpxCell::Elevation(altitude, unit);
    if (elevation)
        xml_.writeTextElement(QStringLiteral("ele"), *elevation);
    // Read back, an elevation comes in whole metres: the cells go along when
    // they are another unit or another form of the number.
    const ::Altitude metres = GpxCell::AltitudeIn(elevation, QStringLiteral("M"));
    if (metres.value != altitude || metres.unit != unit)
        extension.emplace_back(QStringLiteral("altitude"), altitude + unit);
}

void GpxWriting::WriteExtension(const Extension& extension)
{
    if (extension.empty())
        return;
    xml_.writeStartElement(QStringLiteral("extensions"));
    xml_.writeEmptyElement(kNavoraGpxNamespace, QStringLiteral("row"));
    for (const auto& [name, value] : extension)
        xml_.writeAttribute(name, XmlText(value));
    xml_.writeEndElement();
}

bool GpxWriting::WriteWaypoint(const QString& element, int row, const QString* slot)
{
    using namespace WaypointColumn;
    const ListModel& list = lists_.waypoints;
    Extension extension;
    if (!StartPoint(element, list, row, Latitude, extension))
        return false;
    WriteElevation(list, row, WaypointColumn::Altitude, extension);
    const QString name = BlankTrimmed(list.Text(row, Name));
    if (!name.isEmpty())
        xml_.writeTextElement(QStringLiteral("name"), XmlText(name));
    const QString description = list.Text(row, Description);
    const QString shown = BlankTrimmed(description);
    if (!shown.isEmpty()) {
        xml_.writeTextElement(QStringLiteral("cmt"), XmlText(shown));
        xml_.writeTextElement(QStringLiteral("desc"), XmlText(shown));
    }
    if (GpxCell::Description(shown, {}) != description)
        extension.emplace_back(QStringLiteral("description"), description);
    const QString icon = list.IconKey(row);
    if (!icon.isEmpty())
        xml_.writeTextElement(QStringLiteral("sym"), XmlText(icon));
    if (GpxCell::Icon(icon) != icon)
        extension.emplace_back(QStringLiteral("icon"), icon);
    if (slot && *slot != name)
        extension.emplace_back(QStringLiteral("slot"), *slot);
    WriteExtension(extension);
    xml_.writeEndElement();
    Drain(false);
    return true;
}

void GpxWriting::WriteWaypoints()
{
    const ListModel& list = lists_.waypoints;
    for (int row = 0; row < list.Count(); ++row) {
        if (!WriteWaypoint(QStringLiteral("wpt"), row, nullptr))
            written_.leftOut << QStringLiteral("Waypoint ") + list.Text(row, WaypointColumn::Name) +
                                    QStringLiteral(": its position is out of range");
    }
}

void GpxWriting::WriteRoutes()
{
    const ListModel& waypoints = lists_.waypoints;
    const RouteStore& routes = lists_.routes;
    // The first waypoint row of each name, blanks trimmed, as the text file
    // writer finds a route point's position.
    QHash<QString, int> rowOfName;
    for (int row = waypoints.Count() - 1; row >= 0; --row)
        rowOfName.insert(BlankTrimmed(waypoints.Text(row, WaypointColumn::Name)), row);
    // What each route's name row shows: a route without a name may show
    // nothing there or nineteen "=".
    QHash<int, QString> nameRows;
    const ListModel& list = routes.List();
    for (int row = 0; row < list.Count(); ++row) {
        const std::optional<int> route = routes.RouteOfRow(row);
        if (route && list.Text(row, RouteColumn::Num) == kNameRowNum)
            nameRows.insert(*route, list.Text(row, RouteColumn::Name));
    }

    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        if (!routes.Exists(route) && !nameRows.contains(route))
            continue;
        xml_.writeStartElement(QStringLiteral("rte"));
        const QString name = routes.Name(route);
        const QString shown = BlankTrimmed(name);
        Extension extension;
        if (!name.isEmpty() || nameRows.value(route, QStringLiteral("=")).isEmpty())
            xml_.writeTextElement(QStringLiteral("name"), XmlText(shown));
        if (GpxCell::RouteName(shown) != name)
            extension.emplace_back(QStringLiteral("name"), name);
        xml_.writeTextElement(QStringLiteral("number"), QString::number(route));
        WriteExtension(extension);
        const QString routeText =
            QStringLiteral("Route ") + ZeroPad(route, 2) + QStringLiteral(": ");
        for (const QString& slot : routes.Points(route)) {
            const auto found = rowOfName.constFind(BlankTrimmed(slot));
            if (found == rowOfName.constEnd())
                written_.leftOut << routeText + BlankTrimmed(slot) +
                                        QStringLiteral(" is not in the waypoint list");
            else if (!WriteWaypoint(QStringLiteral("rtept"), *found, &slot))
                written_.leftOut << routeText + BlankTrimmed(slot) +
                                        QStringLiteral(": its position is out of range");
        }
        xml_.writeEndElement();
    }
}

void GpxWriting::WriteTrack()
{
    using namespace TrackColumn;
    const ListModel& list = lists_.track;
    const QString trkpt = QStringLiteral("trkpt");
    bool open = false;
    QString trackName;
    int number = 0; // the number the point gets when read back
    for (int row = 0; row < list.Count(); ++row) {
        const QString name = list.Text(row, TrackName);
        if (!open || name != trackName) {
            if (open) {
                xml_.writeEndElement(); // trkseg
                xml_.writeEndElement(); // trk
            }
            open = true;
            trackName = name;
            xml_.writeStartElement(QStringLiteral("trk"));
            const QString shown = BlankTrimmed(name);
            if (!shown.isEmpty())
                xml_.writeTextElement(QStringLiteral("name"), XmlText(shown));
            if (GpxCell::TrackName(shown.isEmpty() ? std::nullopt : std::optional(shown)) != name)
                WriteExtension({{QStringLiteral("name"), name}});
            xml_.writeStartElement(QStringLiteral("trkseg"));
        }
        Extension extension;
        if (!StartPoint(trkpt, list, row, Latitude, extension)) {
            written_.leftOut << QStringLiteral("Track point ") + list.Text(row, Point) +
                                    QStringLiteral(": its position is out of range");
            continue;
        }
        WriteElevation(list, row, TrackColumn::Altitude, extension);
        // A row's time has no date, so it goes only into the extension.
        const QString time = list.Text(row, Time);
        if (!time.isEmpty())
            extension.emplace_back(QStringLiteral("time"), time);
        const QString valid = list.Text(row, Valid);
        if (valid != u"A")
            extension.emplace_back(QStringLiteral("valid"), valid);
        const QString point = list.Text(row, Point);
        if (point != ZeroPad(++number, 4))
            extension.emplace_back(QStringLiteral("point"), point);
        WriteExtension(extension);
        xml_.writeEndElement();
        Drain(false);
    }
    if (open) {
        xml_.writeEndElement();
        xml_.writeEndElement();
    }
}

} // namespace

GpxWritten WriteGpx(QIODevice& device, const Lists& lists, GpxSelection which)
{
    return GpxWriting(device, lists).Run(which);
}
