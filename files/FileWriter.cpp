#include "files/FileWriter.h"

#include "files/PositionText.h"
#include "files/TextCase.h"
#include "model/TextNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <algorithm>

namespace {

// Appends a finished line in the file's 8-bit character set; a character
// outside it becomes "?".
void WriteLine(QByteArray& out, QStringView line)
{
    for (const QChar c : line)
        out += c.unicode() <= 0xFF ? char(c.unicode()) : '?';
    out += "\r\n";
}

// `text` cut or padded with blanks to `width` characters.
void AppendPadded(QString& line, const QString& text, int width)
{
    line += QStringView(text).left(width);
    for (qsizetype i = text.size(); i < width; ++i)
        line += u' ';
}

void AppendPosition(QString& line, const ListModel& list, int row, int latitude, int ns,
                    int longitude, int we)
{
    line += GpsTextToDegMin(list.Text(row, latitude), list.Text(row, ns));
    line += u',';
    line += GpsTextToDegMin(list.Text(row, longitude), list.Text(row, we));
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
    // Flushed first: commit() would not see a write that fails while the buffer empties.
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush() ||
        !file.commit()) {
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
            text.prepend("\r\n");
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
    WriteLine(out, u"Datum,WGS84,WGS84");
}

int WriteWaypoints(QByteArray& out, const ListModel& waypoints, const SaveStamp& stamp)
{
    using namespace WaypointColumn;
    QString line;
    for (int row = 0; row < waypoints.Count(); ++row) {
        line.resize(0);
        line += u"WP,DM,";
        // The name and three blanks, cut to 6: "AB" is written "AB   ".
        line += (waypoints.Text(row, Name) + QStringLiteral("   ")).left(6);
        line += u',';
        AppendPosition(line, waypoints, row, Latitude, NS, Longitude, WE);
        line += u',' + stamp.date + u',' + stamp.time + u',';
        AppendPadded(line, waypoints.Text(row, Description), 20);
        line += u',' + waypoints.IconKey(row) + u',';
        line += waypoints.Text(row, WaypointColumn::Altitude);
        line += waypoints.Text(row, MF);
        WriteLine(out, line);
    }
    return waypoints.Count();
}

int WriteRoutes(QByteArray& out, const RouteStore& routes, const ListModel& waypoints,
                const SaveStamp& stamp)
{
    // The first waypoint row of each trimmed name, looked up once.
    QHash<QString, int> rowOfName;
    for (int row = waypoints.Count() - 1; row >= 0; --row)
        rowOfName.insert(BlankTrimmed(waypoints.Text(row, WaypointColumn::Name)), row);

    int records = 0;
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        if (!routes.Exists(route))
            continue;
        QString nameLine = QStringLiteral("RN,") + ZeroPad(route, 2);
        if (!routes.Name(route).isEmpty())
            nameLine += u',' + routes.Name(route);
        WriteLine(out, nameLine);
        ++records;
        for (const QString& slot : routes.Points(route)) {
            QString line = QStringLiteral("RP,DM,") + slot + u',';
            const auto found = rowOfName.constFind(BlankTrimmed(slot));
            if (found != rowOfName.constEnd()) {
                using namespace WaypointColumn;
                AppendPosition(line, waypoints, *found, Latitude, NS, Longitude, WE);
                line += u',' + stamp.date + u',' + stamp.time + u',';
                line += waypoints.Text(*found, Description);
            } else {
                line += u" 00.00000, 000.00000,";
                line += stamp.date + u',' + stamp.time + u',';
            }
            WriteLine(out, line);
            ++records;
        }
    }
    return records;
}

int WriteTrack(QByteArray& out, const ListModel& track, const SaveStamp& stamp)
{
    using namespace TrackColumn;
    QString line;
    for (int row = 0; row < track.Count(); ++row) {
        line.resize(0);
        line += u"TP,DM,";
        AppendPosition(line, track, row, Latitude, NS, Longitude, WE);
        line += u',' + stamp.date + u',';
        const QString time = track.Text(row, Time);
        line += time.isEmpty() ? stamp.time : time;
        line += row == 0 ? u",1," : u",0,";
        const QString altitude = track.Text(row, TrackColumn::Altitude);
        if (altitude.isEmpty()) {
            line += u"0000000M";
        } else {
            line += altitude;
            line += track.Text(row, MF);
        }
        line += u',' + track.Text(row, Valid) + u',';
        line += track.Text(row, TrackName);
        WriteLine(out, line);
    }
    return track.Count();
}

QByteArray FileText(ListKind kind, const Lists& lists, const SaveStamp& stamp, int* written)
{
    QByteArray out;
    out.reserve(100 * (1 + std::max({lists.waypoints.Count(), lists.track.Count(), 32 * 20})));
    WriteDatumLine(out);
    int count = 0;
    switch (kind) {
    case ListKind::Waypoints:
        count = WriteWaypoints(out, lists.waypoints, stamp);
        break;
    case ListKind::Routes:
        count = WriteRoutes(out, lists.routes, lists.waypoints, stamp);
        break;
    case ListKind::Track:
        count = WriteTrack(out, lists.track, stamp);
        break;
    }
    if (written)
        *written = count;
    return out;
}

FileOutcome SaveListFile(ListKind kind, const QString& path, const Lists& lists,
                         UserInteraction& ui, const QDateTime& moment)
{
    bool append = false;
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly)) {
        probe.close();
        const FileExistsAnswer answer =
            ui.AskFileExists(NativePath(path) + QStringLiteral("\n") +
                             QStringLiteral(" already exists!") + QStringLiteral("\n"));
        if (answer == FileExistsAnswer::Cancel)
            return {FileStatus::Cancelled, 0, {}};
        append = answer == FileExistsAnswer::Append;
    }

    int written = 0;
    const QByteArray text = FileText(kind, lists, StampOf(moment), &written);
    QString error;
    if (!(append ? Append(path, text, error) : Replace(path, text, error))) {
        const QString message = WriteFailedText(path, error);
        ui.Message(message, MessageIcon::Exclamation);
        return {FileStatus::Failed, 0, message};
    }
    if (kind == ListKind::Track)
        ui.SetStatusText(StatusPanel::Settings,
                         QString::number(written) + QStringLiteral(" Trackpoints written to file"));
    return {FileStatus::Written, written, {}};
}
