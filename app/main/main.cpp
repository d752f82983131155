#include "app/Settings.h"
#include "app/frmNavora.h"
#include "coords/dlgGrid.h"
#include "gpslink/QtSerialStream.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Navora"));
    QApplication::setOrganizationName(QStringLiteral("Navora"));

    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Navora"),
                    QStringLiteral("Navora"));
    SettingsStore settings(store);
    QtSerialStream port;

    frmNavora window(settings, port);
    // Last step of start-up: the stored grid, for the editor's button and the grid dialog.
    window.Startup([&window](const QString& grid) {
        SelectGrid(grid, window.State(), window.Interaction(), &window);
    });
    window.show();
    return app.exec();
}
