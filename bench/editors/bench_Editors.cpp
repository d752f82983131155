// bench_Editors   times opening the route editor over 500 waypoints and the
//                 waypoint editor, from the command to the dialog's first
//                 paint, through the main window as the user reaches them:
//                 the first opening (which creates the dialog) and the
//                 median of 20 later ones. For comparison, 31 boxes filled
//                 one name at a time with events let run after each, as one
//                 list per box would need.
//
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bench/editors/bench_Editors

#include "app/frmNavora.h"
#include "editors/frmEditRoute.h"
#include "editors/frmEditWay.h"
#include "tests/support/FakeSerialStream.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kWaypoints = 500;
constexpr int kRuns = 20;

// Milliseconds from `open` until a dialog of type T has painted itself;
// the dialog is then closed.
template <typename T> double TimeToFirstPaint(const std::function<void()>& open)
{
    struct Watch : QObject
    {
        QElapsedTimer clock;
        double painted = -1;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (painted < 0 && event->type() == QEvent::Paint && qobject_cast<T*>(watched)) {
                painted = clock.nsecsElapsed() / 1e6;
                QTimer::singleShot(0, static_cast<T*>(watched), &QDialog::reject);
            }
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    watch.clock.start();
    open();
    qApp->removeEventFilter(&watch);
    return watch.painted;
}

struct Figures
{
    double first = 0;
    double median = 0;
    double slowest = 0;
};

template <typename T> Figures Measure(const std::function<void()>& open)
{
    Figures figures;
    figures.first = TimeToFirstPaint<T>(open);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(TimeToFirstPaint<T>(open));
    std::sort(times.begin(), times.end());
    figures.median = times[kRuns / 2];
    figures.slowest = times.back();
    return figures;
}

void Report(const char* what, const Figures& f)
{
    std::printf("%-46s first %7.1f ms   median %6.1f ms   slowest %6.1f ms\n", what, f.first,
                f.median, f.slowest);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings qsettings(dir.filePath("settings.ini"), QSettings::IniFormat);
    SettingsStore settings(qsettings);
    settings.Write(SettingsKey::Datum, QStringLiteral("WGS84 World Geodetic System"));
    settings.Write(SettingsKey::Grid, QStringLiteral("UTM"));
    FakeSerialStream port;
    // The program's own message boxes and cancel window.
    frmNavora window(settings, port);
    window.Startup();
    window.show();

    Workspace& space = window.Space();
    std::vector<QStringList> rows;
    for (int i = 1; i <= kWaypoints; ++i)
        rows.push_back({QStringLiteral("WP%1").arg(i, 4, 10, QLatin1Char('0')), "5130.250", "N",
                        "00012.345", "W", "0000010", "M", "", "a"});
    space.List(ListKind::Waypoints).AddRows(std::move(rows));
    QStringList points;
    for (int i = 1; i <= 31; ++i)
        points << QStringLiteral("WP%1").arg(i * 7, 4, 10, QLatin1Char('0'));
    space.Routes().ReplaceRoute(1, QStringLiteral("LONG WAY"), points);

    std::printf("%d waypoints, Qt %s, platform %s\n", kWaypoints, qVersion(),
                qPrintable(QGuiApplication::platformName()));
    Report("waypoint editor, new waypoint",
           Measure<frmEditWay>([&] { window.OpenWaypointEditor(-1); }));
    Report("waypoint editor, waypoint 250",
           Measure<frmEditWay>([&] { window.OpenWaypointEditor(249); }));
    Report("route editor, new route", Measure<frmEditRoute>([&] { window.OpenRouteEditor(-1); }));
    Report("route editor, a route of 31 waypoints",
           Measure<frmEditRoute>([&] { window.OpenRouteEditor(1); }));

    // One list per box, each name added alone with events let run after it.
    QStringList names;
    for (int i = 0; i < kWaypoints; ++i)
        names << space.List(ListKind::Waypoints).Text(i, WaypointColumn::Name);
    std::vector<QComboBox*> boxes;
    QWidget holder;
    for (int j = 0; j < 31; ++j) {
        boxes.push_back(new QComboBox(&holder));
        boxes.back()->setEditable(true);
    }
    QElapsedTimer clock;
    clock.start();
    for (const QString& name : names) {
        for (QComboBox* box : boxes) {
            box->addItem(name);
            QCoreApplication::processEvents();
        }
    }
    std::printf("%-46s %7.1f ms\n", "for comparison: 31 lists, one name at a time",
                clock.nsecsElapsed() / 1e6);
    return 0;
}
