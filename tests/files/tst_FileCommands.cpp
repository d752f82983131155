#include "FileTestSupport.h"
#include "app/frmNavora.h"
#include "tests/support/FakeSerialStream.h"

#include <QAction>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

class tst_FileCommands : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
};

void tst_FileCommands::commands_data()
{
    QTest::addColumn<bool>("fromToolbar");
    QTest::newRow("menu") << false;
    QTest::newRow("toolbar") << true;
}

void tst_FileCommands::commands()
{
    QFETCH(bool, fromToolbar);
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    SettingsStore settings(store);
    FakeSerialStream port;
    ScriptedInteraction ui;
    frmNavora window(settings, port, &ui);
    QAction* save =
        fromToolbar ? window.ToolbarButton("SaveFile") : window.findChild<QAction*>("mnuSave");
    QAction* load =
        fromToolbar ? window.ToolbarButton("LoadFile") : window.findChild<QAction*>("mnuLoad");
    window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(2);
    window.TabStrip1_Click();
    save->trigger(); // the track list is empty: no file dialog

    // A track loaded and saved elsewhere comes out the same but for the date of the save.
    const QString example = QStringLiteral(NAVORA_TEST_DATA "/files/track.txt");
    window.State().currentDatumCode = QStringLiteral("WGS84");
    ui.ExpectFileToOpen(example);
    load->trigger();
    QCOMPARE(window.Data().track.Count(), 2);
    const QString copy = dir.filePath("copy.txt");
    ui.ExpectFileToSave(copy);
    save->trigger();
    const QRegularExpression date("\\d\\d/\\d\\d/\\d{4}");
    QCOMPARE(QString::fromLatin1(ReadBytes(copy)).replace(date, "date"),
             QString::fromLatin1(ReadBytes(example)).replace(date, "date"));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("2 Trackpoints written to file"));
    QCOMPARE(ui.MessageTexts(), QStringList{"There is nothing to save!"});
    QVERIFY(ui.AllScriptUsed() && ui.unexpected.isEmpty());
}

QTEST_MAIN(tst_FileCommands)
#include "tst_FileCommands.moc"
