#include "app/Settings.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ScriptedInteraction.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace std::chrono_literals;

namespace {

const QString kDatumText = QStringLiteral("No datum was set, it has defaulted to WGS84");

// A settings store in a file of its own, never the user's.
struct Store
{
    QTemporaryDir dir;
    std::unique_ptr<QSettings> qsettings;
    std::unique_ptr<SettingsStore> store;

    Store()
    {
        qsettings = std::make_unique<QSettings>(dir.filePath("settings.ini"), QSettings::IniFormat);
        store = std::make_unique<SettingsStore>(*qsettings);
    }
};

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT
private slots:
    void firstRunThenSecondRun();
    void datumValues_data();
    void datumValues();
    void portFailureStopsStartup_data();
    void portFailureStopsStartup();
    void storedValuesApplied_data();
    void storedValuesApplied();
    void gridAndSheet_data();
    void gridAndSheet();
    void drainAnswers_data();
    void drainAnswers();
    void drainFinishesWithoutQuestion();
};

void tst_Settings::firstRunThenSecondRun()
{
    Store s;
    FakeSerialStream port;
    ProgramState state;
    ScriptedInteraction ui;
    QStringList grids;
    const auto grid = [&grids](const QString& g) { grids << g; };

    const StartupResult first = RunStartup(*s.store, port, state, ui, grid);
    QVERIFY(first.completed);
    QCOMPARE(first.heightTwips, std::optional<int>(6700));
    QCOMPARE(first.widthTwips, std::optional<int>(8900));
    QVERIFY(!first.gridLines);
    QCOMPARE(ui.messages.size(), size_t(1));
    QCOMPARE(ui.messages[0].text, kDatumText);
    QCOMPARE(ui.messages[0].icon, MessageIcon::Information);
    QCOMPARE(ui.messages[0].title, QStringLiteral("Navora - Datum"));
    QCOMPARE(s.store->Read(SettingsKey::Datum), QStringLiteral("WGS84 World Geodetic System"));
    QCOMPARE(state.currentDatumCode, QStringLiteral("WGS84"));
    QCOMPARE(ui.status[StatusPanel::Status], QStringLiteral("Status: Disconnected"));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("Settings: Com1,4800,n,8,1"));
    QCOMPARE(ui.status[StatusPanel::Datum], QStringLiteral("WGS84"));
    QCOMPARE(port.handshakingNoneCalls, 1);
    QCOMPARE(grids, QStringList{"OSGB"});

    ScriptedInteraction again;
    ProgramState secondState;
    RunStartup(*s.store, port, secondState, again, grid);
    QVERIFY(again.messages.empty());
    QCOMPARE(secondState.currentDatumCode, QStringLiteral("WGS84"));
}

void tst_Settings::datumValues_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("defaulted");

    QTest::newRow("entry") << "OSGB36 Ordnance Survey"
                           << "OSGB3" << false;
    QTest::newRow("short code padded") << "NAD27 North American"
                                       << "NAD27" << false;
    QTest::newRow("code with blanks") << " ED5 European"
                                      << "ED5" << false;
    QTest::newRow("first five blank") << "     WGS84"
                                      << "WGS84" << true;
}

void tst_Settings::datumValues()
{
    QFETCH(QString, stored);
    QFETCH(QString, code);
    QFETCH(bool, defaulted);

    Store s;
    s.store->Write(SettingsKey::Datum, stored);
    FakeSerialStream port;
    ProgramState state;
    ScriptedInteraction ui;
    RunStartup(*s.store, port, state, ui, {});
    QCOMPARE(state.currentDatumCode, code);
    QCOMPARE(ui.MessageTexts(), defaulted ? QStringList{kDatumText} : QStringList{});
    QCOMPARE(ui.status[StatusPanel::Datum], code);
}

void tst_Settings::portFailureStopsStartup_data()
{
    QTest::addColumn<bool>("settingsFails");
    QTest::newRow("malformed Settings") << true;
    QTest::newRow("unusable CommPort") << false;
}

void tst_Settings::portFailureStopsStartup()
{
    QFETCH(bool, settingsFails);

    Store s;
    s.store->Write(SettingsKey::Settings, "fast,n,8,1");
    s.store->Write(SettingsKey::CommPort, "99");
    s.store->Write(SettingsKey::Gridlines, "1");
    s.store->Write(SettingsKey::WaypointHeights, "1");
    FakeSerialStream port;
    const QString error = QStringLiteral("Invalid property value");
    (settingsFails ? port.settingsError : port.portError) = error;
    ProgramState state;
    ScriptedInteraction ui;
    bool gridApplied = false;

    const StartupResult result =
        RunStartup(*s.store, port, state, ui, [&](const QString&) { gridApplied = true; });
    QVERIFY(!result.completed);
    QVERIFY(!result.gridLines);
    QCOMPARE(result.heightTwips, std::optional<int>(6700));
    QCOMPARE(ui.messages.size(), size_t(1));
    QCOMPARE(ui.messages[0].text, error);
    QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
    QCOMPARE(ui.messages[0].title, QStringLiteral("Navora"));
    // Nothing after the failing step ran.
    QVERIFY(ui.status.empty());
    QVERIFY(state.currentDatumCode.isEmpty());
    QCOMPARE(state.heightsMode, HeightsMode::Keep);
    QVERIFY(s.store->Read(SettingsKey::Datum).isEmpty());
    QVERIFY(!gridApplied);
    QCOMPARE(port.handshakingNoneCalls, 0);
}

void tst_Settings::storedValuesApplied_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("gridlines");
    QTest::addColumn<QString>("heights");
    QTest::addColumn<std::optional<int>>("heightTwips");
    QTest::addColumn<std::optional<int>>("widthTwips");
    QTest::addColumn<bool>("gridLines");
    QTest::addColumn<HeightsMode>("mode");

    QTest::newRow("numbers") << "7200"
                             << "9000.4"
                             << "1"
                             << "1" << std::optional<int>(7200) << std::optional<int>(9000) << true
                             << HeightsMode::Feet;
    QTest::newRow("not numbers") << "tall"
                                 << ""
                                 << "0"
                                 << "2" << std::optional<int>() << std::optional<int>() << false
                                 << HeightsMode::Metres;
    QTest::newRow("out of range heights")
        << "6700"
        << "8900"
        << "2"
        << "7" << std::optional<int>(6700) << std::optional<int>(8900) << true << HeightsMode::Keep;
}

void tst_Settings::storedValuesApplied()
{
    QFETCH(QString, height);
    QFETCH(QString, width);
    QFETCH(QString, gridlines);
    QFETCH(QString, heights);

    Store s;
    s.store->Write(SettingsKey::Height, height);
    s.store->Write(SettingsKey::Width, width);
    s.store->Write(SettingsKey::Gridlines, gridlines);
    s.store->Write(SettingsKey::WaypointHeights, heights);
    s.store->Write(SettingsKey::Settings, "9600,n,8,1");
    s.store->Write(SettingsKey::CommPort, "3");
    s.store->Write(SettingsKey::Datum, "WGS84 World Geodetic System");
    FakeSerialStream port;
    ProgramState state;
    ScriptedInteraction ui;

    const StartupResult result = RunStartup(*s.store, port, state, ui, {});
    QTEST(result.heightTwips, "heightTwips");
    QTEST(result.widthTwips, "widthTwips");
    QTEST(result.gridLines, "gridLines");
    QTEST(state.heightsMode, "mode");
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("Settings: Com3,9600,n,8,1"));
}

void tst_Settings::gridAndSheet_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<bool>("useSheetId");

    QTest::newRow("OSGB with sheet") << "OSGB"
                                     << "1" << true;
    QTest::newRow("OSGB without sheet") << "OSGB"
                                        << "0" << false;
    // The sheet setting belongs to the British grid only.
    QTest::newRow("OSNI leaves it") << "OSNI"
                                    << "0" << true;
    QTest::newRow("UTM leaves it") << "UTM"
                                   << "0" << true;
}

void tst_Settings::gridAndSheet()
{
    QFETCH(QString, grid);
    QFETCH(QString, sheet);
    QFETCH(bool, useSheetId);

    Store s;
    s.store->Write(SettingsKey::Datum, "WGS84 World Geodetic System");
    s.store->Write(SettingsKey::Grid, grid);
    s.store->Write(SettingsKey::OsgbSheet, sheet);
    FakeSerialStream port;
    ProgramState state;
    state.useSheetId = true;
    ScriptedInteraction ui;
    QStringList applied;
    RunStartup(*s.store, port, state, ui, [&](const QString& g) { applied << g; });
    QCOMPARE(state.currentGrid, grid);
    QCOMPARE(state.useSheetId, useSheetId);
    QCOMPARE(applied, QStringList{grid});
}

void tst_Settings::drainAnswers_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("openAfter");

    QTest::newRow("Abort keeps the port") << QList<Answer>{Answer::Abort} << false << true;
    QTest::newRow("Ignore closes it") << QList<Answer>{Answer::Ignore} << true << false;
    QTest::newRow("Retry waits again")
        << QList<Answer>{Answer::Retry, Answer::Ignore} << true << false;
    QTest::newRow("Retry then Abort")
        << QList<Answer>{Answer::Retry, Answer::Abort} << false << true;
}

void tst_Settings::drainAnswers()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, result);
    QFETCH(bool, openAfter);

    FakeSerialStream port;
    QVERIFY(!port.Open());
    port.holdOutput = true;
    QVERIFY(!port.Write("$PMGNCMD,END*3D\r\n"));
    ScriptedInteraction ui;
    for (Answer answer : answers)
        ui.ExpectQuestion(QStringLiteral("Data cannot be sent"), answer);

    QCOMPARE(DrainAndClosePort(port, ui, 10ms), result);
    QCOMPARE(port.IsOpen(), openAfter);
    QVERIFY(ui.unexpected.isEmpty());
    QVERIFY(ui.AllScriptUsed());
    QCOMPARE(ui.questionsAsked.front().icon, MessageIcon::Exclamation);
    if (openAfter)
        QCOMPARE(port.BytesToWrite(), qint64(17));
}

void tst_Settings::drainFinishesWithoutQuestion()
{
    ScriptedInteraction ui;
    FakeSerialStream closed;
    QVERIFY(DrainAndClosePort(closed, ui, 10ms));
    QCOMPARE(closed.closeCalls, 0);

    // The output leaves while the drain waits: nothing is asked.
    FakeSerialStream port;
    port.Open();
    port.holdOutput = true;
    port.Write("$PMGNCMD,END*3D\r\n");
    QTimer::singleShot(0, &port, &FakeSerialStream::TransmitOutput);
    QVERIFY(DrainAndClosePort(port, ui, 10s));
    QVERIFY(!port.IsOpen());
    QCOMPARE(port.transmitted, QByteArray("$PMGNCMD,END*3D\r\n"));
    QVERIFY(ui.questionsAsked.empty());
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
