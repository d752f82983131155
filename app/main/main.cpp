#include "app/frmNavora.h"
#include "gpslink/QtSerialStream.h"
#include "workspace/Settings.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Navora"));
    QApplication::setOrganizationName(QStringLiteral("Navora"));
    // Lets the desktop match the window to its entry and show the entry's icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.navora.Navora"));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/io.github.navora.Navora.png").arg(size));
    QApplication::setWindowIcon(icon);

    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Navora"),
                    QStringLiteral("Navora"));
    SettingsStore settings(store);
    QtSerialStream port;

    frmNavora window(settings, port);
    window.Startup();
    window.show();
    return app.exec();
}
