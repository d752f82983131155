// bench_Files            times load, save and sort of a 100,000-point track
//                        (also with lone CR line ends) and a 10,000-waypoint
//                        file (median of 5 runs each)
// bench_Files --memory   loads the track once and reports the peak resident
//                        memory of the process before and after

#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "gpslink/Platform.h"
#include "tests/support/ScriptedInteraction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kTrackPoints = 100000;
constexpr int kWaypoints = 10000;
constexpr int kRuns = 5;

QString Pad(int value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

// Positions that wander over southern England, as a day's logging would.
QByteArray TrackFile()
{
    QByteArray text = "Datum,WGS84,WGS84\r\n";
    for (int i = 0; i < kTrackPoints; ++i) {
        const int lat = 5100000 + (i * 37) % 60000;
        const int lon = 100000 + (i * 53) % 60000;
        const int seconds = i % 86400;
        text += QStringLiteral("TP,DM, %1.%2,-%3.%4,06/01/2024,%5:%6:%7 ,%8,%9M,A,TRAK01\r\n")
                    .arg(lat / 100000)
                    .arg(Pad(lat % 100000, 5))
                    .arg(Pad(lon / 100000, 3))
                    .arg(Pad(lon % 100000, 5))
                    .arg(Pad(seconds / 3600, 2), Pad(seconds / 60 % 60, 2), Pad(seconds % 60, 2))
                    .arg(i == 0 ? 1 : 0)
                    .arg(Pad(i % 900, 7))
                    .toLatin1();
    }
    return text;
}

QByteArray WaypointFile()
{
    QByteArray text = "Datum,WGS84,WGS84\r\n";
    for (int i = 0; i < kWaypoints; ++i) {
        // Degrees then thousandths of a minute, as the DM form writes them.
        const int lat = (50 + i % 5) * 100000 + (i * 7919) % 60000;
        const int lon = (i % 3) * 100000 + (i * 104729) % 60000;
        text += QStringLiteral("WP,DM,W%1, %2.%3, %4.%5,06/01/2024,10:15:00,%6,%7,%8M\r\n")
                    .arg(Pad(i, 5))
                    .arg(lat / 100000)
                    .arg(Pad(lat % 100000, 5))
                    .arg(Pad(lon / 100000, 3))
                    .arg(Pad(lon % 100000, 5))
                    .arg(QStringLiteral("POINT %1").arg(i).leftJustified(20))
                    .arg(QChar(u'a' + i % 20))
                    .arg(Pad(i % 3000, 7))
                    .toLatin1();
    }
    return text;
}

long PeakRssKilobytes()
{
    return long(PeakResidentKilobytes().value_or(0));
}

double CpuMilliseconds()
{
    return double(ProcessCpuTime().value_or(std::chrono::microseconds(0)).count()) / 1e3;
}

// The median wall-clock and processor times of kRuns runs, in milliseconds.
struct Timing
{
    double wall;
    double cpu;
};

Timing Median(const std::function<void()>& prepare, const std::function<void()>& run)
{
    std::vector<double> walls, cpus;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer timer;
        const double cpuStart = CpuMilliseconds();
        timer.start();
        run();
        walls.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpus.push_back(CpuMilliseconds() - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void Load(ListKind kind, const QString& path, Lists& lists, ReaderState& reader)
{
    ScriptedInteraction ui;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    LoadListFile(kind, path, lists, state, reader, ui);
}

void Save(ListKind kind, const QString& path, const Lists& lists)
{
    QFile::remove(path);
    ScriptedInteraction ui;
    SaveListFile(kind, path, lists, ui, QDateTime::currentDateTime());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString track = dir.filePath(QStringLiteral("track.txt"));
    const QString trackCr = dir.filePath(QStringLiteral("track-cr.txt"));
    const QString waypoints = dir.filePath(QStringLiteral("waypoints.txt"));
    const QByteArray trackText = TrackFile();
    if (!Write(track, trackText) || !Write(trackCr, QByteArray(trackText).replace("\r\n", "\r")) ||
        !Write(waypoints, WaypointFile())) {
        std::fprintf(stderr, "cannot write the benchmark files\n");
        return 1;
    }

    ReaderState reader;
    if (app.arguments().contains(QStringLiteral("--memory"))) {
        const long before = PeakRssKilobytes();
        Lists lists;
        Load(ListKind::Track, track, lists, reader);
        const long after = PeakRssKilobytes();
        std::printf("track points loaded: %d\n", lists.track.Count());
        std::printf("peak RSS before load: %.1f MB\n", before / 1024.0);
        std::printf("peak RSS with the track loaded: %.1f MB\n", after / 1024.0);
        return lists.track.Count() == kTrackPoints ? 0 : 1;
    }

    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    struct Case
    {
        const char* name;
        ListKind kind;
        QString file;
        int count;
        std::vector<int> sortColumns;
    };
    const Case cases[] = {
        {"track",
         ListKind::Track,
         track,
         kTrackPoints,
         {TrackColumn::Latitude, TrackColumn::Time, TrackColumn::Point, TrackColumn::Altitude}},
        // The same track with lone CR line ends.
        {"track CR", ListKind::Track, trackCr, kTrackPoints, {}},
        {"waypoints",
         ListKind::Waypoints,
         waypoints,
         kWaypoints,
         {WaypointColumn::Latitude, WaypointColumn::Description, WaypointColumn::Name}},
    };
    for (const Case& c : cases) {
        Lists lists;
        const Timing load = Median([] {}, [&] { Load(c.kind, c.file, lists, reader); });
        if (lists.Of(c.kind).Count() != c.count) {
            std::fprintf(stderr, "%s: read %d rows\n", c.name, lists.Of(c.kind).Count());
            return 1;
        }
        const Timing save = Median([] {}, [&] { Save(c.kind, saved, lists); });
        std::printf("%-9s %6d rows  load %6.1f ms (cpu %6.1f)  save %6.1f ms (cpu %6.1f)\n", c.name,
                    c.count, load.wall, load.cpu, save.wall, save.cpu);
        for (const int column : c.sortColumns) {
            ListModel& list = lists.Of(c.kind);
            // Sort from the file's order each time, as after a fresh load.
            const Timing sort = Median([&] { Load(c.kind, c.file, lists, reader); },
                                       [&] { list.SortByColumn(column); });
            std::printf("%-9s sort by %-13s %6.1f ms (cpu %6.1f)\n", c.name,
                        qPrintable(u'"' + list.Columns()[size_t(column)].header + u'"'), sort.wall,
                        sort.cpu);
        }
    }
    return 0;
}
