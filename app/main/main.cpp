#include "app/frmNavora.h"
#include "gpslink/QtSerialStream.h"
#include "workspace/Settings.h"

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
    window.Startup();
    window.show();
    return app.exec();
}
