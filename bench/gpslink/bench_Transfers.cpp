// Measures the transfers against the simulated receiver over its
// pseudo-terminal: 500 waypoints, 20 routes of up to 31 points and 2000 track
// points, down and up.
//   - Unthrottled: the time per sentence, and what of it is neither the
//     simulator's own processor time nor the program's.
//   - At 4800 baud (a smaller set unless --full): the whole transfer against
//     the line's own time, every byte each way at 480 bytes a second, and the
//     program's processor time meanwhile.
//   - With --cli: the same through navora-cli, download all and upload all,
//     each a process timed whole and, from its --log, the transfers alone.
// Prints one line per transfer.

#include "gpslink/Download.h"
#include "gpslink/ExchangeFrame.h"
#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/Upload.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

namespace {

double CpuSeconds()
{
    return double(ProcessCpuTime().value_or(std::chrono::microseconds(0)).count()) / 1e6;
}

// Processor time of another process so far, from the scheduler's own
// nanosecond count; a negative number where the system does not tell.
double CpuSecondsOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().split(' ').value(0).toDouble() / 1e9;
}

// The receiver's memory: `waypoints` waypoints, `routes` routes of 12 to 31
// of them, `points` track points.
QString Memory(int waypoints, int routes, int points)
{
    QString text;
    for (int i = 0; i < waypoints; ++i)
        text += QStringLiteral("$PMGNWPL,%1.%2,N,%3.%4,W,%5,M,W%6,WAYPOINT %6,%7\n")
                    // Minutes below 60, so that the files navora-cli writes hold them.
                    .arg((50 + i / 60 % 9) * 100 + i % 60, 4, 10, QChar(u'0'))
                    .arg(i % 1000, 3, 10, QChar(u'0'))
                    .arg(100 + i % 60, 5, 10, QChar(u'0'))
                    .arg((i * 7) % 1000, 3, 10, QChar(u'0'))
                    .arg(i * 3 % 1200, 7, 10, QChar(u'0'))
                    .arg(i, 5, 10, QChar(u'0'))
                    .arg(QChar(u'a' + i % 20));
    for (int r = 1; r <= routes; ++r) {
        const int count = qMin(31, 11 + r);
        const int sentences = (count + 1) / 2 + 1;
        text += QStringLiteral("$PMGNRTE,%1,1,m,%2,ROUTE %2\n")
                    .arg(sentences)
                    .arg(r, 2, 10, QChar(u'0'));
        for (int k = 0; k < count; k += 2) {
            text += QStringLiteral("$PMGNRTE,%1,%2,c,%3,W%4")
                        .arg(sentences)
                        .arg(k / 2 + 2)
                        .arg(r, 2, 10, QChar(u'0'))
                        .arg((r * 17 + k) % waypoints, 5, 10, QChar(u'0'));
            if (k + 1 < count)
                text +=
                    QStringLiteral(",W%1").arg((r * 17 + k + 1) % waypoints, 5, 10, QChar(u'0'));
            text += u'\n';
        }
    }
    for (int i = 0; i < points; ++i)
        text += QStringLiteral("$PMGNTRK,5304.%1,N,00404.%2,W,%3,M,%4%5%6.00,A,,061226\n")
                    .arg(i % 1000, 3, 10, QChar(u'0'))
                    .arg((i * 3) % 1000, 3, 10, QChar(u'0'))
                    .arg(100 + i % 900, 5, 10, QChar(u'0'))
                    .arg(10 + i / 3600, 2, 10, QChar(u'0'))
                    .arg(i / 60 % 60, 2, 10, QChar(u'0'))
                    .arg(i % 60, 2, 10, QChar(u'0'));
    return text;
}

struct Figures
{
    double wall = 0, cpu = 0, simCpu = 0;
    qint64 sentBytes = 0, receivedBytes = 0;
    int sentences = 0; // data sentences of the list
};

// One transfer, with the bytes each way counted from the monitor's echo.
Figures Measure(GpsLink& link, qint64 simPid, const std::function<ExchangeOutcome()>& transfer,
                bool* ok)
{
    Figures f;
    const auto count = [&f](const QString& text) {
        // "> line CR LF" and "< line CR LF": the line and its CR LF crossed the wire.
        if (text.startsWith(u'>'))
            f.sentBytes += text.size() - 2;
        else if (!text.startsWith(QStringLiteral("< Timeout")))
            f.receivedBytes += text.size() - 2;
    };
    const QMetaObject::Connection echo = QObject::connect(&link, &GpsLink::MonitorText, count);
    link.SetMonitorOn(true);
    const double simBefore = CpuSecondsOf(simPid);
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    *ok = transfer() == ExchangeOutcome::Completed;
    f.wall = wall.nsecsElapsed() / 1e9;
    f.cpu = CpuSeconds() - cpuBefore;
    f.simCpu = CpuSecondsOf(simPid) - simBefore;
    QObject::disconnect(echo);
    link.SetMonitorOn(false);
    return f;
}

// `only` names the one list to transfer, or is empty for all three.
int Run(int baud, int waypoints, int routes, int points, const QString& only)
{
    Simulator sim(baud ? QStringList{"--acks-on", "--baud", QString::number(baud)}
                       : QStringList{"--acks-on"},
                  Memory(waypoints, routes, points));
    QtSerialStream port;
    port.SetPort(sim.Device());
    if (sim.Device().isEmpty() || port.Open())
        return 1;
    ScriptedInteraction ui;
    GpsLink link(port);
    Lists lists;
    const ListKind kinds[] = {ListKind::Waypoints, ListKind::Routes, ListKind::Track};
    const char* names[] = {"waypoints", "routes", "track"};
    for (const bool up : {false, true}) {
        for (int i = 0; i < 3; ++i) {
            const ListKind kind = kinds[i];
            if (!only.isEmpty() && only != QLatin1String(names[i]))
                continue;
            ExchangeFrame frame(link, ui);
            bool ok = false;
            const Figures f = Measure(
                link, sim.Process().processId(),
                [&] {
                    return up ? UploadList(link, ui, lists, kind)
                              : GpsDownload(link, ui, lists, kind, false);
                },
                &ok);
            if (!ok || !ui.messages.empty()) {
                std::fprintf(stderr, "%s %s failed: %s\n", up ? "upload" : "download", names[i],
                             qPrintable(ui.MessageTexts().join(" | ")));
                return 1;
            }
            const int sentences =
                kind == ListKind::Routes ? int(ui.progress.size()) : lists.Of(kind).Count();
            ui.progress.clear();
            const double line = double(f.sentBytes + f.receivedBytes) * 10 / baud;
            if (baud)
                std::printf("%5d baud, %-8s %-9s %5d sentences, %8.3f s, line's own time "
                            "%8.3f s, %+6.2f %%, program processor time %.3f s (%.3f %% of the "
                            "time), simulator's %.3f s\n",
                            baud, up ? "upload" : "download", names[i], sentences, f.wall, line,
                            100 * (f.wall - line) / line, f.cpu, 100 * f.cpu / f.wall, f.simCpu);
            else
                std::printf("unthrottled %-8s %-9s %5d sentences, %7.3f s, %6.1f us a sentence "
                            "(program %5.1f us, simulator %5.1f us, beyond both %5.1f us)\n",
                            up ? "upload" : "download", names[i], sentences, f.wall,
                            1e6 * f.wall / sentences, 1e6 * f.cpu / sentences,
                            1e6 * f.simCpu / sentences,
                            1e6 * (f.wall - f.cpu - f.simCpu) / sentences);
        }
    }
    port.Close();
    return 0;
}

// One navora-cli command against the simulator, timed from outside and
// from inside: its --log gives the moment and the bytes of every line, so
// the transfers can be told from the connection around them.
struct CliFigures
{
    double wall = 0;     // the whole process, connecting and disconnecting included
    double transfer = 0; // from the first request to the last line before HANDOFF
    double cpu = 0, simCpu = 0;
    qint64 bytes = 0; // both ways, within the transfer
    int sentences = 0;
};

std::optional<CliFigures> RunCliCommand(const Simulator& sim, qint64 simPid,
                                        const QStringList& command, const QString& log)
{
    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double simBefore = CpuSecondsOf(simPid);
    const auto childBefore = ChildProcessesUsage().value_or(ChildUsage{});
    QElapsedTimer wall;
    wall.start();
    cli.start(QStringLiteral(NAVORA_CLI),
              QStringList{"--port", sim.Device(), "--timeout", "1", "--log", log} + command);
    if (!cli.waitForFinished(-1) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
        return std::nullopt;
    CliFigures f;
    f.wall = wall.nsecsElapsed() / 1e9;
    f.cpu =
        double((ChildProcessesUsage().value_or(ChildUsage{}).cpu - childBefore.cpu).count()) / 1e6;
    f.simCpu = CpuSecondsOf(simPid) - simBefore;

    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QDateTime first, last;
    const bool download = command.first() == u"download";
    for (const QString& line : lines) {
        const QString text = line.section(u' ', 1);
        const QDateTime moment = QDateTime::fromString(line.section(u' ', 0, 0), Qt::ISODateWithMs);
        if (!first.isValid()) {
            // The transfers start with the first request or the first waypoint sent.
            if (!text.startsWith(download ? QStringLiteral("> $PMGNCMD,WAYPOINT")
                                          : QStringLiteral("> $PMGNWPL")))
                continue;
            first = moment;
        }
        if (text.startsWith(QStringLiteral("> $PMGNCMD,HANDOFF")))
            break;
        last = moment;
        if (text != u"< Timeout")
            f.bytes += text.size(); // the line and its CR LF: as long as "> " and the line
        if (text.startsWith(download ? QStringLiteral("< $PMGN") : QStringLiteral("> $PMGN")) &&
            !text.contains(QStringLiteral("CSM")) && !text.contains(QStringLiteral("CMD")))
            ++f.sentences;
    }
    f.transfer = first.msecsTo(last) / 1e3;
    return f;
}

// download all into a folder and upload all from it, each through navora-cli.
int RunCli(int baud, int waypoints, int routes, int points)
{
    Simulator sim(baud ? QStringList{"--baud", QString::number(baud)} : QStringList{},
                  Memory(waypoints, routes, points));
    QTemporaryDir dir;
    if (sim.Device().isEmpty() || !dir.isValid())
        return 1;
    for (const QString& command : {QStringLiteral("download"), QStringLiteral("upload")}) {
        const std::optional<CliFigures> f =
            RunCliCommand(sim, sim.Process().processId(),
                          QStringList{command, "all", "-d", dir.filePath(QStringLiteral("backup"))},
                          dir.filePath(command + QStringLiteral(".log")));
        if (!f) {
            std::fprintf(stderr, "navora-cli %s all failed\n", qPrintable(command));
            return 1;
        }
        const double line = double(f->bytes) * 10 / (baud ? baud : 1);
        std::printf("navora-cli %-8s all, %s, %d sentences: %.3f s in all, transfers %.3f s",
                    qPrintable(command),
                    baud ? qPrintable(QStringLiteral("%1 baud").arg(baud)) : "unthrottled",
                    f->sentences, f->wall, f->transfer);
        if (baud)
            std::printf(", line's own time %.3f s, %+.2f %%", line,
                        100 * (f->transfer - line) / line);
        else
            std::printf(", %.1f us a sentence", 1e6 * f->transfer / f->sentences);
        std::printf(", navora-cli's processor time %.3f s, simulator's %.3f s\n", f->cpu,
                    f->simCpu);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // --full: the whole set at 4800 baud too, about 15 minutes; --unthrottled:
    // none at 4800 baud. A list's name
    // ("waypoints", "routes", "track") transfers only that list.
    const QStringList arguments = app.arguments().mid(1);
    const bool full = arguments.contains(QStringLiteral("--full"));
    const QString only = arguments.value(arguments.indexOf(QRegularExpression("^[a-z]+$")));
    // --cli: the same receiver through navora-cli, download all and upload all.
    if (arguments.contains(QStringLiteral("--cli"))) {
        if (RunCli(0, 500, 20, 2000) != 0 || arguments.contains(QStringLiteral("--unthrottled")))
            return 1;
        return RunCli(4800, full ? 500 : 100, full ? 20 : 5, full ? 2000 : 200);
    }
    if (Run(0, 500, 20, 2000, only) != 0)
        return 1;
    if (arguments.contains(QStringLiteral("--unthrottled")))
        return 0;
    return Run(4800, full ? 500 : 100, full ? 20 : 5, full ? 2000 : 200, only);
}
