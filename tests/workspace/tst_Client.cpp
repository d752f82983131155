// A client of the core alone, as navora-cli will be: no window, only
// QCoreApplication, a workspace over the real port class and a user played
// from a script.

#include "gpslink/Connection.h"
#include "gpslink/QtSerialStream.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/Workspace.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_Client : public QObject
{
    Q_OBJECT
private slots:
    void connectLoadSaveDisconnect();
};

void tst_Client::connectLoadSaveDisconnect()
{
    QCOMPARE(QCoreApplication::instance()->metaObject()->className(), "QCoreApplication");
    Simulator sim({"--model", "023"});
    QtSerialStream port;
    ScriptedInteraction ui;
    Workspace space(port, ui);
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    SettingsStore settings(store);
    settings.Write(SettingsKey::CommPort, sim.Device());
    settings.Write(SettingsKey::Datum, QStringLiteral("WGS84 World Geodetic System"));
    QVERIFY(space.Startup(settings).completed);
    space.Link().SetTimeout(std::chrono::milliseconds(500));

    QCOMPARE(space.ConnectToggle(), ExchangeOutcome::Completed);
    QVERIFY(space.Connected());
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("Detected: MAP 410 4.02"));
    const FileOutcome loaded =
        space.LoadFile(ListKind::Routes, QStringLiteral(NAVORA_TEST_DATA "/files/routes.txt"));
    QCOMPARE(loaded.status, FileStatus::Read);
    QCOMPARE(loaded.count, 5);
    const FileOutcome saved = space.SaveFile(ListKind::Routes, dir.filePath("routes.txt"));
    QCOMPARE(saved.status, FileStatus::Written);
    QCOMPARE(space.ConnectToggle(), ExchangeOutcome::Completed);
    QVERIFY(!space.Connected() && !port.IsOpen());
    QCOMPARE(ui.status[StatusPanel::Status], ConnectionText::Disconnected);
    QVERIFY(ui.messages.empty() && ui.unexpected.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Client)
#include "tst_Client.moc"
