// navora-screenshot: the README's picture of the main window, taken from the
// program itself. It starts Navora's window with settings of its own, connects
// to the receiver on --port (the simulated one, as scripts/screenshot.sh runs
// it), downloads the three lists and saves what the window draws to --out.

#include "app/frmNavora.h"
#include "gpslink/QtSerialStream.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Navora"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("The receiver's device."), QStringLiteral("device"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("The PNG to write."),
                                       QStringLiteral("file"));
    parser.addOption(portOption);
    parser.addOption(outOption);
    parser.process(app);
    if (!parser.isSet(portOption) || !parser.isSet(outOption)) {
        std::fputs("navora-screenshot: --port and --out are needed\n", stderr);
        return 2;
    }

    // Settings of its own, so that the picture never depends on the user's.
    QTemporaryDir folder;
    QSettings store(folder.filePath(QStringLiteral("Navora.ini")), QSettings::IniFormat);
    SettingsStore settings(store);
    settings.Write(SettingsKey::CommPort, parser.value(portOption));
    settings.Write(SettingsKey::Settings, QStringLiteral("4800,n,8,1"));
    settings.Write(SettingsKey::Datum, QStringLiteral("WGS84 World Geodetic System"));
    settings.Write(SettingsKey::Gridlines, QStringLiteral("1"));
    settings.Write(SettingsKey::Width, QStringLiteral("13500"));
    settings.Write(SettingsKey::Height, QStringLiteral("7800"));

    QtSerialStream port;
    frmNavora window(settings, port);
    window.Startup();
    window.show();

    Workspace& workspace = window.Space();
    if (workspace.ConnectToggle() != ExchangeOutcome::Completed) {
        std::fputs("navora-screenshot: the receiver did not answer\n", stderr);
        return 1;
    }
    for (const ListKind kind : {ListKind::Track, ListKind::Routes, ListKind::Waypoints}) {
        if (workspace.Download(kind) != ExchangeOutcome::Completed) {
            std::fputs("navora-screenshot: a download failed\n", stderr);
            return 1;
        }
    }
    window.findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(0);
    workspace.List(ListKind::Waypoints).SetSelected(2, true);

    int status = 1;
    // Let the window settle at its size and paint before it is grabbed.
    QTimer::singleShot(500, &window, [&] {
        status = window.grab().save(parser.value(outOption)) ? 0 : 1;
        app.quit();
    });
    app.exec();
    workspace.ClosePort(std::chrono::seconds(2));
    return status;
}
