// Measures what the link costs: the processor time Navora spends while it
// waits out the time-out on a silent receiver, and the round trip of one
// command and its acknowledgement through a pseudo-terminal to the simulated
// receiver. Prints one line per figure.

#include "gpslink/GpsLink.h"
#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"
#include "tests/gpslink/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double CpuSeconds()
{
    return double(ProcessCpuTime().value_or(std::chrono::microseconds(0)).count()) / 1e6;
}

// One full GpsReceive with the program's own time-out on a line where
// nothing arrives.
int SilentWait(int rounds)
{
    auto pty = OpenPseudoTerminal(nullptr);
    if (!pty)
        return 1;
    QtSerialStream port;
    port.SetPort(pty->devicePath);
    if (port.Open())
        return 1;
    GpsLink link(port);
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();
        const QString line = link.GpsReceive().line;
        const double cpu = CpuSeconds() - cpuBefore;
        const double elapsed = wall.nsecsElapsed() / 1e9;
        std::printf(
            "silent wait %d: %.3f s waited, %.3f ms processor time, %.4f %% of one core%s\n", i + 1,
            elapsed, cpu * 1e3, 100 * cpu / elapsed, line.isEmpty() ? "" : " (unexpected line)");
    }
    // For comparison: the same wait as a loop that lets events run and asks
    // the port for bytes without ever sleeping.
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = CpuSeconds();
    qint64 waiting = 0;
    while (wall.elapsed() < 1000) {
        QCoreApplication::processEvents();
        waiting += port.BytesAvailable();
    }
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("polling wait for comparison: %.3f s waited, %.1f ms processor time, %.1f %% of "
                "one core%s\n",
                wall.nsecsElapsed() / 1e9, cpu * 1e3, 100 * cpu / (wall.nsecsElapsed() / 1e9),
                waiting ? " (unexpected bytes)" : "");
    port.Close();
    ClosePseudoTerminal(*pty);
    return 0;
}

// The version command with acknowledgements on: the receiver acknowledges it,
// then sends its version sentence, which is read untimed.
int RoundTrip(int rounds)
{
    Simulator sim({QStringLiteral("--acks-on")});
    if (sim.Device().isEmpty())
        return 1;
    QtSerialStream port;
    port.SetPort(sim.Device());
    if (port.Open())
        return 1;
    GpsLink link(port);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        link.GpsSend(QStringLiteral("$PMGNCMD,VERSION*28\r\n"));
        const QString ack = link.GpsReceive().line;
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (!ack.startsWith(QStringLiteral("$PMGNCSM,28*")) ||
            !link.GpsReceive().line.startsWith(QStringLiteral("$PMGNVER")))
            return 1;
    }
    port.Close();
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) { return times[std::size_t(q * (times.size() - 1))]; };
    std::printf("round trip of a command and its acknowledgement, %d rounds: median %.3f ms, "
                "95th percentile %.3f ms, fastest %.3f ms, slowest %.3f ms\n",
                rounds, at(0.5), at(0.95), times.front(), times.back());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (SilentWait(3) != 0) {
        std::fprintf(stderr, "the silent wait could not run\n");
        return 1;
    }
    if (RoundTrip(500) != 0) {
        std::fprintf(stderr, "the round trip could not run\n");
        return 1;
    }
    return 0;
}
