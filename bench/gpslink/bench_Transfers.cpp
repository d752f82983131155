// Measures the transfers against the simulated receiver over its
// pseudo-terminal: 500 waypoints, 20 routes of up to 31 points and 2000 track
// points, down and up.
//   - Unthrottled: the time per sentence, and what of it is neither the
//     simulator's own processor time nor the program's.
//   - At 4800 baud (a smaller set unless --full): the whole transfer against
//     the line's own time, every byte each way at 480 bytes a second, and the
//     program's processor time meanwhile.
// Prints one line per transfer.

#include "gpslink/Download.h"
#include "gpslink/ExchangeFrame.h"
#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/Upload.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
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
                    .arg(5000 + i % 900, 4, 10, QChar(u'0'))
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
    if (Run(0, 500, 20, 2000, only) != 0)
        return 1;
    if (arguments.contains(QStringLiteral("--unthrottled")))
        return 0;
    return Run(4800, full ? 500 : 100, full ? 20 : 5, full ? 2000 : 200, only);
}
