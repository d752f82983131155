// bench_Gpx                  exports a 100,000-point track as GPX and imports the
//                            file again, beside gpsbabel reading and writing the
//                            same file (median of 3 runs each), then runs one
//                            export and one import in processes of their own
//                            for their peak memory
// bench_Gpx --large          imports a 200 MB GPX file that is almost all another
//                            program's extensions: time and peak memory
// bench_Gpx --memory export|import FILE   one run for the peak memory (used by the above)

#include "files/GpxFile.h"
#include "gpslink/Platform.h"
#include "tests/support/ScriptedInteraction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kTrackPoints = 100000;
constexpr int kRuns = 3;
constexpr qint64 kLargeBytes = 200 * 1024 * 1024;

struct Yes : ScriptedInteraction
{
    Answer QuestionWithList(const QString&, const QStringList&, Buttons, MessageIcon,
                            const QString&) override
    {
        return Answer::Yes;
    }
};

QString Pad(int value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

// A day's logging over southern England, as the download lists it.
void FillTrack(ListModel& track)
{
    std::vector<QStringList> rows;
    rows.reserve(kTrackPoints);
    for (int i = 0; i < kTrackPoints; ++i) {
        const int lat = (i * 37) % 60000;
        const int lon = (i * 53) % 60000;
        const int seconds = i % 86400;
        rows.push_back({Pad(i + 1, 4), QStringLiteral("TRAK01 "),
                        QStringLiteral("51") + Pad(lat / 1000, 2) + u'.' + Pad(lat % 1000, 3),
                        QStringLiteral("N"),
                        QStringLiteral("000") + Pad(lon / 1000, 2) + u'.' + Pad(lon % 1000, 3),
                        QStringLiteral("W"), Pad(i % 900, 7), QStringLiteral("M"),
                        Pad(seconds / 3600, 2) + u':' + Pad(seconds / 60 % 60, 2) + u':' +
                            Pad(seconds % 60, 2) + u' ',
                        QStringLiteral("A")});
    }
    track.AddRows(std::move(rows));
}

bool Export(const QString& path, const Lists& lists)
{
    ScriptedInteraction ui;
    return SaveGpxFile(path, lists, ui).status == FileStatus::Written;
}

bool Import(const QString& path, Lists& lists)
{
    Yes ui;
    return LoadGpxFile(path, lists, ProgramState(), ui).count == kTrackPoints;
}

double CpuMilliseconds()
{
    return double(ProcessCpuTime().value_or(std::chrono::microseconds(0)).count()) / 1e3;
}

double ChildCpuMilliseconds()
{
    return double(ChildProcessesUsage().value_or(ChildUsage{}).cpu.count()) / 1e3;
}

struct Timing
{
    double wall;
    double cpu;
};

// The medians of kRuns runs, in milliseconds; `cpu` measures the processor time.
Timing Median(const std::function<bool()>& run, const std::function<double()>& cpu)
{
    std::vector<double> walls, cpus;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpu();
        timer.start();
        if (!run())
            return {-1, -1};
        walls.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpus.push_back(cpu() - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

bool RunProgram(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     process.readAllStandardError().constData());
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

int Memory(const QString& what, const QString& path)
{
    Lists lists;
    bool ok = false;
    if (what == u"export") {
        FillTrack(lists.track);
        const qint64 before = PeakResidentKilobytes().value_or(0);
        ok = Export(path, lists);
        std::printf("%.1f %.1f\n", before / 1024.0, PeakResidentKilobytes().value_or(0) / 1024.0);
    } else {
        const qint64 before = PeakResidentKilobytes().value_or(0);
        ok = Import(path, lists);
        std::printf("%.1f %.1f\n", before / 1024.0, PeakResidentKilobytes().value_or(0) / 1024.0);
    }
    return ok ? 0 : 1;
}

int Large(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("large.gpx"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" "
                   "creator=\"another program\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
                   "xmlns:other=\"urn:example:other\">\n<wpt lat=\"51.5\" lon=\"-0.1\"><name>"
                   "ONE</name></wpt>\n<extensions>\n");
        const QByteArray item = "<other:item id=\"12345\">a note that Navora has no place for</"
                                "other:item>\n";
        QByteArray block;
        for (int i = 0; i < 1000; ++i)
            block += item;
        while (file.size() < kLargeBytes)
            file.write(block);
        file.write("</extensions>\n</gpx>\n");
    }
    Lists lists;
    Yes ui;
    const qint64 before = PeakResidentKilobytes().value_or(0);
    QElapsedTimer timer;
    timer.start();
    const FileOutcome outcome = LoadGpxFile(path, lists, ProgramState(), ui);
    std::printf("200 MB file: %s, %d row, %.1f s, peak RSS %.1f MB (%.1f MB before)\n",
                outcome.status == FileStatus::Read ? "read" : "refused", outcome.count,
                timer.nsecsElapsed() / 1e9, PeakResidentKilobytes().value_or(0) / 1024.0,
                before / 1024.0);
    return outcome.count == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == u"--memory")
        return Memory(arguments[2], arguments[3]);
    if (arguments.size() > 2 && arguments[1] == u"--peak") {
        // Another program's peak memory, as this small process sees its child's.
        if (!RunProgram(arguments[2], arguments.mid(3)))
            return 1;
        std::printf("%.1f\n", ChildProcessesUsage().value_or(ChildUsage{}).peakKilobytes / 1024.0);
        return 0;
    }
    QTemporaryDir dir;
    if (arguments.contains(QStringLiteral("--large")))
        return Large(dir);

    // Memory first, in processes of their own started while this one is small: a
    // child starts out with its parent's peak.
    const QString ours = dir.filePath(QStringLiteral("track.gpx"));
    const QString theirs = dir.filePath(QStringLiteral("gpsbabel.gpx"));
    const QString gpsbabel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    QStringList peaks;
    for (const QStringList& run :
         {QStringList{"--memory", "export", ours}, QStringList{"--memory", "import", ours},
          QStringList{"--peak", gpsbabel, "-i", "gpx", "-f", ours, "-o", "gpx", "-F", theirs}}) {
        QByteArray output;
        if (run[1].isEmpty() || !RunProgram(app.applicationFilePath(), run, &output))
            output = "-";
        peaks << QString::fromLatin1(output.trimmed());
    }

    Lists lists;
    FillTrack(lists.track);
    const Timing exported = Median([&] { return Export(ours, lists); }, CpuMilliseconds);
    const Timing imported = Median(
        [&] {
            Lists back;
            return Import(ours, back);
        },
        CpuMilliseconds);
    Timing babel{-1, -1};
    if (!gpsbabel.isEmpty())
        babel = Median(
            [&] {
                return RunProgram(gpsbabel, {"-i", "gpx", "-f", ours, "-o", "gpx", "-F", theirs});
            },
            ChildCpuMilliseconds);

    std::printf("GPX of %d track points: %.1f MB\n", kTrackPoints, QFile(ours).size() / 1e6);
    std::printf("%-34s %8s  %14s  %s\n", "", "wall", "processor", "peak RSS (before)");
    const auto print = [](const char* what, const Timing& timing, const QString& peak) {
        std::printf("%-34s %5.0f ms  (cpu %5.0f ms)  %s MB\n", what, timing.wall, timing.cpu,
                    qPrintable(peak));
    };
    const auto peak = [](const QString& figures) {
        const QStringList parts = figures.split(u' ');
        return parts.size() == 2 ? parts[1] + QStringLiteral(" (") + parts[0] + u')' : figures;
    };
    print("Navora export", exported, peak(peaks[0]));
    print("Navora import", imported, peak(peaks[1]));
    if (gpsbabel.isEmpty())
        std::printf("gpsbabel is not installed\n");
    else
        print("gpsbabel -i gpx -f IN -o gpx -F OUT", babel, peaks[2]);
    return 0;
}
