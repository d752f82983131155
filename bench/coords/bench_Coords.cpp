// bench_Coords   times 10,000 conversions each way for UTM and for each
//                national grid (median of 5 runs), the first use of the grid
//                component (creating it, selecting an area, the first
//                conversion), and names the transformation PROJ picked for
//                each grid with the accuracy it states for it.

#include "coords/GridComponent.h"
#include "coords/NationalGrid.h"
#include "coords/Utm.h"
#include "tests/support/ScriptedInteraction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kConversions = 10000;
constexpr int kRuns = 5;

struct Box
{
    double south, west, north, east;
};

// Positions spread evenly over a box, in a fixed order.
std::vector<std::pair<double, double>> Positions(const Box& box)
{
    std::vector<std::pair<double, double>> positions;
    positions.reserve(kConversions);
    for (int i = 0; i < kConversions; ++i) {
        const double u = (i * 0.6180339887) - int(i * 0.6180339887);
        const double v = (i + 0.5) / kConversions;
        positions.emplace_back(box.south + v * (box.north - box.south),
                               box.west + u * (box.east - box.west));
    }
    return positions;
}

double MedianMilliseconds(const std::function<void()>& work)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

void Report(const char* what, double milliseconds)
{
    std::printf("%-40s %9.1f ms  %7.2f us each\n", what, milliseconds,
                milliseconds * 1000 / kConversions);
}

double Elapsed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ScriptedInteraction ui;

    // First use, in a fresh process: PROJ opens its database here.
    std::printf("First use of the grid component\n");
    std::unique_ptr<GridComponent> component;
    std::printf("%-40s %9.1f ms\n", "create",
                Elapsed([&] { component = std::make_unique<GridComponent>(); }));
    const GridComponentSource source = [&]() -> GridComponent& { return *component; };
    QString selection = QStringLiteral("OSGB");
    std::printf("%-40s %9.1f ms\n", "select OSGB (area and init)",
                Elapsed([&] { SetGrid(selection, ui, source); }));
    double e = 0, n = 0, h = 0, lat = 0, lon = 0;
    std::printf("%-40s %9.1f ms\n", "first conversion",
                Elapsed([&] { LatLonToGrid(selection, *component, ui, 52.5, -1.5, h, e, n); }));
    std::printf("%-40s %9.1f ms\n", "second conversion",
                Elapsed([&] { LatLonToGrid(selection, *component, ui, 52.6, -1.4, h, e, n); }));
    for (const char* grid : {"OSNI", "OSRoI"})
        std::printf("select %-33s %9.1f ms\n", grid,
                    Elapsed([&] { SetGrid(QString::fromLatin1(grid), ui, source); }));

    std::printf("\n10,000 conversions each way, median of %d runs\n", kRuns);
    const auto world = Positions({-79.9, -180, 83.9, 179.9});
    std::vector<std::tuple<std::int16_t, QString, double, double>> utm(world.size());
    Report("UTM, latitude/longitude to grid", MedianMilliseconds([&] {
               for (std::size_t i = 0; i < world.size(); ++i) {
                   auto& [zone, band, easting, northing] = utm[i];
                   UtmFromLatLon(world[i].first, world[i].second, zone, band, easting, northing);
               }
           }));
    Report("UTM, grid to latitude/longitude", MedianMilliseconds([&] {
               for (const auto& [zone, band, easting, northing] : utm)
                   LatLonFromUtm(zone, band, easting, northing, lat, lon);
           }));

    const std::vector<std::pair<QString, Box>> grids = {
        {QStringLiteral("OSGB"), {50.0, -5.5, 58.5, 1.5}},
        {QStringLiteral("OSNI"), {54.1, -7.9, 55.2, -5.5}},
        {QStringLiteral("OSRoI"), {51.5, -10.2, 55.3, -6.0}},
    };
    for (const auto& [grid, box] : grids) {
        SetGrid(grid, ui, source);
        selection = grid;
        const auto positions = Positions(box);
        std::vector<std::pair<double, double>> metres(positions.size());
        int failures = 0;
        const double forward = MedianMilliseconds([&] {
            for (std::size_t i = 0; i < positions.size(); ++i)
                failures +=
                    LatLonToGrid(selection, *component, ui, positions[i].first, positions[i].second,
                                 h, metres[i].first, metres[i].second) != 0;
        });
        const QString operation = component->LastOperation();
        const double accuracy = component->LastAccuracy();
        const double inverse = MedianMilliseconds([&] {
            for (const auto& [easting, northing] : metres)
                failures += GridToLatLon(grid, *component, ui, easting, northing, h, lat, lon) != 0;
        });
        Report(qPrintable(grid + QStringLiteral(", latitude/longitude to grid")), forward);
        Report(qPrintable(grid + QStringLiteral(", grid to latitude/longitude")), inverse);
        std::printf("    failures %d; PROJ used \"%s\", stated accuracy %.2f m\n", failures,
                    qPrintable(operation), accuracy);
    }
    return 0;
}
