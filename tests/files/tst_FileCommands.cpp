#include "FileTestSupport.h"
#include "app/frmNavora.h"
#include "tests/support/FakeSerialStream.h"

#include <QAction>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

// The main window's Save and Load commands, from the menu and the toolbar.
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
    QVERIFY(save->isEnabled() && load->isEnabled());

    // An empty track list: no dialog, just the message.
    window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(2);
    window.TabStrip1_Click();
    QCOMPARE(window.CurrentList(), 3);
    save->trigger();
    QCOMPARE(ui.MessageTexts(), QStringList{"There is nothing to save!"});
    QCOMPARE(ui.messages.back().icon, MessageIcon::None);
    QCOMPARE(ui.messages.back().title, QStringLiteral("Navora"));

    // Load a track, save it elsewhere: the same bytes come out.
    const QString example = QStringLiteral(NAVORA_TEST_DATA "/files/track.txt");
    window.State().currentDatumCode = QStringLiteral("WGS84");
    ui.ExpectFileToOpen(example);
    load->trigger();
    QCOMPARE(window.Data().track.Count(), 2);
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("2 Records read"));
    const QString copy = dir.filePath("copy.txt");
    ui.ExpectFileToSave(copy);
    save->trigger();
    // Only the date of the save differs from the example.
    auto withoutDates = [](const QByteArray& bytes) {
        QList<QByteArray> lines = bytes.split('\n');
        for (QByteArray& line : lines) {
            QList<QByteArray> fields = line.split(',');
            if (fields.size() > 4)
                fields.removeAt(4);
            line = fields.join(',');
        }
        return lines;
    };
    QCOMPARE(withoutDates(ReadBytes(copy)), withoutDates(ReadBytes(example)));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("2 Trackpoints written to file"));
    QVERIFY(ui.AllScriptUsed());
    QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(" | ")));
}

QTEST_MAIN(tst_FileCommands)
#include "tst_FileCommands.moc"
