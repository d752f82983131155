#include "files/FileWriter.h"

#include "app/TextNumber.h"
#include "files/PositionText.h"
#include "files/TextCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

void WriteLine(QByteArray& out, const QString& line)
{
    out += line.toLatin1();
    out += kLineEnd;
}

QString Padded(const QString& text, int width)
{
    return (text + QString(width, u' ')).left(width);
}

QString Position(const ListModel& list, int row, int latitude, int ns, int longitude, int we)
{
    return GpsTextToDegMin(list.Text(row, latitude), list.Text(row, ns)) + u',' +
           GpsTextToDegMin(list.Text(row, longitude), list.Text(row, we));
}

QString NativePath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString WriteFailedText(const QString& path, const QString& reason)
{
    return NativePath(path) + QStringLiteral("\r\n") + QStringLiteral(" could not be written: ") +
           reason;
}

// Writes the whole text beside the file and puts it in the file's place in
// one step, so the old file stays whole if anything goes wrong.
bool Replace(const QString& path, const QByteArray& text, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

// Appends the whole text or nothing: a failed write is cut back off. A file
// whose last line has no line end gets one first, so the old last record and
// the new datum line stay apart.
bool Append(const QString& path, QByteArray text, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        error = file.errorString();
        return false;
    }
    const qint64 size = file.size();
    if (size > 0) {
        char last = 0;
        if (!file.seek(size - 1) || !file.getChar(&last)) {
            error = file.errorString();
            return false;
        }
        if (last != '\n')
            text.prepend(kLineEnd);
    }
    if (!file.seek(size) || file.write(text) != text.size() || !file.flush()) {
        error = file.errorString();
        file.resize(size);
        return false;
    }
    return true;
}

} // namespace

SaveStamp StampOf(const QDateTime& moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return {ZeroPad(d.month(), 2) + u'/' + ZeroPad(d.day(), 2) + u'/' + ZeroPad(d.year(), 4),
            ZeroPad(t.hour(), 2) + u':' + ZeroPad(t.minute(), 2) + u':' + ZeroPad(t.second(), 2)};
}

void WriteDatumLine(QByteArray& out)
{
    WriteLine(out, QStringLiteral("Datum,WGS84,WGS84"));
}

void WriteWaypoints(QByteArray& out, const ListModel& waypoints, const SaveStamp& stamp)
{
    using namespace WaypointColumn;
    for (int row = 0; row < waypoints.Count(); ++row) {
        WriteLine(out, QStringLiteral("WP,DM,") +
                           (waypoints.Text(row, Name) + QStringLiteral("   ")).left(6) + u',' +
                           Position(waypoints, row, Latitude, NS, Longitude, WE) + u',' +
                           stamp.date + u',' + stamp.time + u',' +
                           Padded(waypoints.Text(row, Description), 20) + u',' +
                           waypoints.IconKey(row) + u',' +
                           waypoints.Text(row, WaypointColumn::Altitude) + waypoints.Text(row, MF));
    }
}

void WriteRoutes(QByteArray& out, const RouteTable& routes, const ListModel& waypoints,
                 const SaveStamp& stamp)
{
    // The first waypoint row of each trimmed name, looked up once.
    QHash<QString, int> rowOfName;
    for (int row = waypoints.Count() - 1; row >= 0; --row)
        rowOfName.insert(BlankTrimmed(waypoints.Text(row, WaypointColumn::Name)), row);

    for (int route = 1; route <= RouteTable::kLastUsedRoute; ++route) {
        if (!routes.RouteExists(route))
            continue;
        QString nameLine = QStringLiteral("RN,") + ZeroPad(route, 2);
        if (!routes.Slot(route, 0).isEmpty())
            nameLine += u',' + routes.Slot(route, 0);
        WriteLine(out, nameLine);
        for (int point = 1; point < RouteTable::kSlots; ++point) {
            const QString slot = routes.Slot(route, point);
            if (slot.isEmpty())
                break;
            QString line = QStringLiteral("RP,DM,") + slot + u',';
            const auto found = rowOfName.constFind(BlankTrimmed(slot));
            if (found != rowOfName.constEnd()) {
                using namespace WaypointColumn;
                line += Position(waypoints, *found, Latitude, NS, Longitude, WE) + u',' +
                        stamp.date + u',' + stamp.time + u',' + waypoints.Text(*found, Description);
            } else {
                line +=
                    QStringLiteral(" 00.00000, 000.00000,") + stamp.date + u',' + stamp.time + u',';
            }
            WriteLine(out, line);
        }
    }
}

int WriteTrack(QByteArray& out, const ListModel& track, const SaveStamp& stamp)
{
    using namespace TrackColumn;
    const QString first = QStringLiteral("1"), other = QStringLiteral("0");
    for (int row = 0; row < track.Count(); ++row) {
        const QString time = track.Text(row, Time);
        const QString altitude = track.Text(row, TrackColumn::Altitude);
        WriteLine(
            out,
            QStringLiteral("TP,DM,") + Position(track, row, Latitude, NS, Longitude, WE) + u',' +
                stamp.date + u',' + (time.isEmpty() ? stamp.time : time) + u',' +
                (row == 0 ? first : other) + u',' +
                (altitude.isEmpty() ? QStringLiteral("0000000M") : altitude + track.Text(row, MF)) +
                u',' + track.Text(row, Valid) + u',' + track.Text(row, TrackName));
    }
    return track.Count();
}

QByteArray FileText(ListKind kind, const Lists& lists, const SaveStamp& stamp, int* written)
{
    QByteArray out;
    WriteDatumLine(out);
    switch (kind) {
    case ListKind::Waypoints:
        WriteWaypoints(out, lists.waypoints, stamp);
        break;
    case ListKind::Routes:
        WriteRoutes(out, lists.routeTable, lists.waypoints, stamp);
        break;
    case ListKind::Track: {
        const int count = WriteTrack(out, lists.track, stamp);
        if (written)
            *written = count;
        break;
    }
    }
    return out;
}

SaveResult SaveListFile(ListKind kind, const Lists& lists, UserInteraction& ui, const Clock& now)
{
    const QString path = ui.ChooseFileToSave();
    if (path.isEmpty())
        return SaveResult::Cancelled;

    bool append = false;
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly)) {
        probe.close();
        const FileExistsAnswer answer =
            ui.AskFileExists(NativePath(path) + QStringLiteral("\n") +
                             QStringLiteral(" already exists!") + QStringLiteral("\n"));
        if (answer == FileExistsAnswer::Cancel)
            return SaveResult::Cancelled;
        append = answer == FileExistsAnswer::Append;
    }

    int written = 0;
    const QByteArray text = FileText(kind, lists, StampOf(now()), &written);
    QString error;
    if (!(append ? Append(path, text, error) : Replace(path, text, error))) {
        ui.Message(WriteFailedText(path, error), MessageIcon::Exclamation);
        return SaveResult::Failed;
    }
    if (kind == ListKind::Track)
        ui.SetStatusText(StatusPanel::Settings,
                         QString::number(written) + QStringLiteral(" Trackpoints written to file"));
    return SaveResult::Saved;
}
