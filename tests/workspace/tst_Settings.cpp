#include "tests/support/FakeSerialStream.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/SettingsFile.h"
#include "workspace/Settings.h"

#include <QFile>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

const QString kDatumText = QStringLiteral("No datum was set, it has defaulted to WGS84");

// One start-up against a settings file of its own, never the user's.
struct Startup : SettingsFile
{
    FakeSerialStream port;
    ProgramState state;
    ScriptedInteraction ui;
    QStringList grids;

    StartupResult Run()
    {
        return RunStartup(store, port, state, ui, [this](const QString& g) { grids << g; });
    }
};

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT
private slots:
    void firstRunThenSecondRun();
    void portFailureStopsStartup_data();
    void portFailureStopsStartup();
    void storedValuesApplied_data();
    void storedValuesApplied();
    void drain_data();
    void drain();
    void handWrittenFileReadsAsText();
};

void tst_Settings::firstRunThenSecondRun()
{
    Startup s;
    const StartupResult first = s.Run();
    QVERIFY(first.completed);
    QCOMPARE(first.heightTwips, std::optional<int>(6700));
    QCOMPARE(first.widthTwips, std::optional<int>(8900));
    QVERIFY(!first.gridLines);
    QCOMPARE(s.ui.MessageTexts(), QStringList{kDatumText});
    QCOMPARE(s.store.Read(SettingsKey::Datum), QStringLiteral("WGS84 World Geodetic System"));
    QCOMPARE(s.state.currentDatumCode, QStringLiteral("WGS84"));
    QCOMPARE(s.ui.status[StatusPanel::Status], QStringLiteral("Status: Disconnected"));
    QCOMPARE(s.ui.status[StatusPanel::Settings], QStringLiteral("Settings: Com1,4800,n,8,1"));
    QCOMPARE(s.port.handshakingNoneCalls, 1);
    QCOMPARE(s.grids, QStringList{"OSGB"});

    ScriptedInteraction again;
    ProgramState secondState;
    RunStartup(s.store, s.port, secondState, again, {});
    QVERIFY(again.messages.empty());
    QCOMPARE(secondState.currentDatumCode, QStringLiteral("WGS84"));
}

void tst_Settings::portFailureStopsStartup_data()
{
    QTest::addColumn<bool>("settingsFails");
    QTest::addColumn<QString>("message"); // names the setting and its value, and where to mend it
    const QString text(
        "Invalid property value\r\nThe setting %1. Correct it with Options, Setup...");
    QTest::newRow("malformed Settings") << true << text.arg("Settings holds \"fast,n,8,1\"");
    QTest::newRow("unusable CommPort") << false << text.arg("CommPort holds \"99\"");
}

void tst_Settings::portFailureStopsStartup()
{
    QFETCH(bool, settingsFails);

    Startup s;
    s.store.Write(SettingsKey::Settings, "fast,n,8,1");
    s.store.Write(SettingsKey::CommPort, "99");
    s.store.Write(SettingsKey::Gridlines, "1");
    s.store.Write(SettingsKey::WaypointHeights, "1");
    const QString error = QStringLiteral("Invalid property value");
    (settingsFails ? s.port.settingsError : s.port.portError) = error;

    const StartupResult result = s.Run();
    QVERIFY(!result.completed);
    QVERIFY(!result.gridLines);
    QCOMPARE(result.heightTwips, std::optional<int>(6700));
    QFETCH(QString, message);
    QCOMPARE(s.ui.MessageTexts(), QStringList{message});
    QCOMPARE(s.ui.messages[0].icon, MessageIcon::Exclamation);
    // Nothing after the failing step ran.
    QVERIFY(s.ui.status.empty());
    QVERIFY(s.state.currentDatumCode.isEmpty());
    QCOMPARE(s.state.heightsMode, HeightsMode::Keep);
    QVERIFY(s.store.Read(SettingsKey::Datum).isEmpty());
    QVERIFY(s.grids.isEmpty());
    QCOMPARE(s.port.handshakingNoneCalls, 0);
}

// Height, Width, Gridlines, WaypointHeights, Grid, OSGB Sheet and Datum as stored; then the two
// sizes ("-" when none), the grid lines, the heights mode, the grid, the squares and the datum
// code as applied. The sheet setting belongs to the British grid only; the code is the first five
// characters, and when they are blank the datum defaults to WGS84 with a message.
void tst_Settings::storedValuesApplied_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("applied");
    QTest::addColumn<bool>("defaulted");
    // clang-format off
    QTest::newRow("numbers, OSGB with squares") << QStringList{"7200", "9000.4", "1", "1", "OSGB", "1", "OSGB36 Ordnance Survey"} << "7200 9000 1 1 OSGB 1 OSGB3" << false;
    QTest::newRow("not numbers, OSGB without squares, a code with blanks") << QStringList{"tall", "", "0", "2", "OSGB", "0", " ED5 European"} << "- - 0 2 OSGB 0 ED5" << false;
    QTest::newRow("out of range, OSNI leaves the squares, no code") << QStringList{"6700", "8900", "2", "7", "OSNI", "0", "     WGS84"} << "6700 8900 1 0 OSNI 1 WGS84" << true;
    // clang-format on
}

void tst_Settings::storedValuesApplied()
{
    QFETCH(QStringList, stored);
    QFETCH(bool, defaulted);
    Startup s;
    const QStringList keys{SettingsKey::Height,    SettingsKey::Width,
                           SettingsKey::Gridlines, SettingsKey::WaypointHeights,
                           SettingsKey::Grid,      SettingsKey::OsgbSheet,
                           SettingsKey::Datum};
    for (int i = 0; i < keys.size(); ++i)
        s.store.Write(keys[i], stored[i]);
    s.store.Write(SettingsKey::Settings, "9600,n,8,1");
    s.store.Write(SettingsKey::CommPort, "3");
    s.state.useSheetId = true;

    const StartupResult r = s.Run();
    const auto twips = [](std::optional<int> t) { return t ? QString::number(*t) : "-"; };
    QTEST(QStringList({twips(r.heightTwips), twips(r.widthTwips), QString::number(r.gridLines),
                       QString::number(int(s.state.heightsMode)), s.state.currentGrid,
                       QString::number(s.state.useSheetId), s.state.currentDatumCode})
              .join(u' '),
          "applied");
    QCOMPARE(s.ui.MessageTexts(), defaulted ? QStringList{kDatumText} : QStringList{});
    QCOMPARE(s.ui.status[StatusPanel::Datum], s.state.currentDatumCode);
    QCOMPARE(s.grids, QStringList{s.state.currentGrid});
    QCOMPARE(s.ui.status[StatusPanel::Settings], QStringLiteral("Settings: Com3,9600,n,8,1"));
}

// Shutdown's drain: a closed port or output that leaves while it waits asks nothing; output that
// stays asks, until Ignore closes the port or Abort keeps it open.
void tst_Settings::drain_data()
{
    QTest::addColumn<QString>("port"); // "closed", "leaves" or "stuck"
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("openAfter");
    using A = Answer;
    QTest::newRow("closed port") << "closed" << QList<A>{} << true << false;
    QTest::newRow("output leaves") << "leaves" << QList<A>{} << true << false;
    QTest::newRow("Abort keeps the port") << "stuck" << QList<A>{A::Abort} << false << true;
    QTest::newRow("Retry, Ignore") << "stuck" << QList<A>{A::Retry, A::Ignore} << true << false;
}

void tst_Settings::drain()
{
    QFETCH(QString, port);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, openAfter);
    FakeSerialStream stream;
    if (port != u"closed") {
        QVERIFY(!stream.Open());
        stream.holdOutput = true;
        QVERIFY(!stream.Write("$PMGNCMD,END*3D\r\n"));
    }
    if (port == u"leaves")
        QTimer::singleShot(0, &stream, &FakeSerialStream::TransmitOutput);
    ScriptedInteraction ui;
    for (Answer answer : answers)
        ui.ExpectQuestion(QStringLiteral("Data cannot be sent"), answer);

    QTEST(DrainAndClosePort(stream, ui, port == u"leaves" ? 10s : 10ms), "result");
    QCOMPARE(stream.IsOpen(), openAfter);
    QVERIFY(ui.unexpected.isEmpty() && ui.AllScriptUsed());
    QCOMPARE(ui.questionsAsked.size(), size_t(answers.size()));
    if (!answers.isEmpty())
        QCOMPARE(ui.questionsAsked.front().icon, MessageIcon::Exclamation);
    if (port == u"closed")
        QCOMPARE(stream.closeCalls, 0);
    if (openAfter)
        QCOMPARE(stream.BytesToWrite(), qint64(17));
}

// An unquoted "9600,n,8,1" in a file written by hand, which QSettings reads as a list, reads as
// the text.
void tst_Settings::handWrittenFileReadsAsText()
{
    SettingsFile s;
    QFile file(s.qsettings.fileName());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Properties]\nSettings=9600,n,8,1\nCommPort=2\n");
    file.close();
    s.qsettings.sync();
    QCOMPARE(s.store.Read(SettingsKey::Settings), QStringLiteral("9600,n,8,1"));
    QCOMPARE(s.store.Read(SettingsKey::CommPort), QStringLiteral("2"));
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
