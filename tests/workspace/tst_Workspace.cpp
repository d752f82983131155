#include "gpslink/Connection.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ListTexts.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/SettingsFile.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(NAVORA_TEST_DATA "/files/");
const QString kPortSettings = QStringLiteral("Settings: Com1,4800,n,8,1");
const QStringList kStoredKeys{
    SettingsKey::Settings, SettingsKey::CommPort,        SettingsKey::Gridlines,
    SettingsKey::Datum,    SettingsKey::WaypointHeights, SettingsKey::OsgbSheet,
    SettingsKey::Grid};

// A workspace over a port in memory, with a settings file of its own, the WGS84 datum and one
// waypoint.
struct Space : SettingsFile
{
    Space()
    {
        space.State().currentDatumCode = QStringLiteral("WGS84");
        space.List(ListKind::Waypoints)
            .AddRow({"HOME", "5130.250", "N", "00012.345", "W", "0000100", "M", "", "a"});
    }
    FakeSerialStream port;
    ScriptedInteraction ui;
    Workspace space{port, ui};

    QString Stored() const
    {
        QStringList values;
        for (const QString& key : kStoredKeys)
            values << store.Read(key);
        return values.join(u'|');
    }
};

} // namespace

class tst_Workspace : public QObject
{
    Q_OBJECT
private slots:
    void statusPanelTellsTheTruth_data();
    void statusPanelTellsTheTruth();
    void rowToEdit_data();
    void rowToEdit();
    void busyRefusesEveryCommand();
    void propertiesOk_data();
    void propertiesOk();
    void routeEdits();
    void routeEditorOpening();
};

// Steps: "load KIND FILE", "save KIND FILE" (a file of the test's folder; "no/f.txt" cannot be
// written), "delete KIND" (answered Yes). After each step, its outcome and the Settings panel.
void tst_Workspace::statusPanelTellsTheTruth_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<FileStatus>>("outcomes");
    QTest::addColumn<QStringList>("panels");
    using F = FileStatus;
    const QString read2 = QStringLiteral("2 Records read");
    const QString written2 = QStringLiteral("2 Trackpoints written to file");
    // clang-format off
    QTest::newRow("load, then save") << QStringList{"load 3 track.txt", "save 3 a.txt", "save 2 b.txt"} << QList<F>{F::Read, F::Written, F::NothingToSave} << QStringList{read2, written2, written2};
    QTest::newRow("a failed save leaves no count") << QStringList{"load 3 track.txt", "save 3 a.txt", "save 3 no/f.txt"} << QList<F>{F::Read, F::Written, F::Failed} << QStringList{read2, written2, kPortSettings};
    QTest::newRow("an emptied list leaves no count") << QStringList{"load 3 track.txt", "delete 3"} << QList<F>{F::Read, F::Read} << QStringList{read2, kPortSettings};
    QTest::newRow("another list's change keeps the count") << QStringList{"load 2 routes.txt", "delete 3", "delete 2"} << QList<F>{F::Read, F::Read, F::Read} << QStringList{"5 Records read", "5 Records read", kPortSettings};
    QTest::newRow("a file of another kind leaves no count") << QStringList{"load 3 track.txt", "load 1 track.txt"} << QList<F>{F::Read, F::NotThatKind} << QStringList{read2, kPortSettings};
    // clang-format on
}

void tst_Workspace::statusPanelTellsTheTruth()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<FileStatus>, outcomes);
    QFETCH(QStringList, panels);
    Space s;
    s.space.Data().track.AddRow({"0001"}); // a list to delete before anything is loaded
    for (int i = 0; i < steps.size(); ++i) {
        const QStringList w = steps[i].split(u' ');
        const ListKind kind = ListKind(w[1].toInt());
        FileStatus status = FileStatus::Read;
        if (w[0] == u"load") {
            status = s.space.LoadFile(kind, kData + w[2]).status;
        } else if (w[0] == u"save") {
            status = s.space.SaveFile(kind, s.dir.filePath(w[2])).status;
        } else {
            s.ui.ExpectQuestion(kind == ListKind::Track
                                    ? QStringLiteral("Delete all track points?")
                                    : QStringLiteral("Are you sure you want to delete this route?"),
                                Answer::Yes);
            QCOMPARE(s.space.DeleteRows(kind, {0}), ExchangeOutcome::Completed);
        }
        QCOMPARE(status, outcomes[i]);
        QCOMPARE(s.ui.status[StatusPanel::Settings], panels[i]);
    }
    QVERIFY(s.ui.AllScriptUsed() && s.ui.unexpected.isEmpty());
}

void tst_Workspace::rowToEdit_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("row"); // -2: none
    QTest::addColumn<bool>("refused");
    QTest::newRow("waypoint, none selected: a new one") << 1 << QList<int>{} << -1 << false;
    QTest::newRow("waypoints, two selected") << 1 << QList<int>{0, 2} << -2 << true;
    QTest::newRow("routes: the last selected") << 2 << QList<int>{4, 1} << 4 << false;
    QTest::newRow("track: never") << 3 << QList<int>{1} << -2 << false;
}

void tst_Workspace::rowToEdit()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, selected);
    QFETCH(int, row);
    QFETCH(bool, refused);
    Space s;
    const std::optional<int> edited = s.space.RowToEdit(ListKind(kind), selected);
    QCOMPARE(edited.value_or(-2), row);
    if (edited)
        QCOMPARE(s.space.State().editIndex, row);
    const QString refusal(
        "Muliple waypoints selected!\r\nYou can only edit one waypoint at a time");
    QCOMPARE(s.ui.MessageTexts(), refused ? QStringList{refusal} : QStringList{});
}

// While an exchange runs, a second command does nothing: no question, no file, no change.
void tst_Workspace::busyRefusesEveryCommand()
{
    Space s;
    s.port.Open();
    s.space.Link().SetConnected(true);
    s.space.Data().track.AddRows({{"0001"}, {"0002"}});
    {
        ExchangeFrame running(s.space.Link(), s.ui, QStringLiteral("Connecting to GPS..."));
        QVERIFY(s.space.Busy());
        QCOMPARE(s.space.ConnectToggle(), ExchangeOutcome::Busy);
        QCOMPARE(s.space.DeleteRows(ListKind::Track, {0}), ExchangeOutcome::Busy);
        QCOMPARE(s.space.LoadFile(ListKind::Track, kData + "track.txt").status, FileStatus::Busy);
        QCOMPARE(s.space.SaveFile(ListKind::Track, s.dir.filePath("t.txt")).status,
                 FileStatus::Busy);
    }
    QVERIFY(s.ui.questionsAsked.empty() && s.ui.messages.empty());
    QCOMPARE(s.space.Data().track.Count(), 2);
    QVERIFY(!QFile::exists(s.dir.filePath("t.txt")));
    QVERIFY(s.port.IsOpen() && s.space.Connected() && s.port.transmitted.isEmpty());
}

// Changes to the dialog's choices (Com1, 4800, WGS84, grid lines, Don't Care, OSGB with
// squares) and to the port ("open": connected on an open port; "openError", "portError",
// "settingsError": the port refuses), then what OK left: its result, the messages, the seven
// stored settings, and the port, the connection, grid, squares, datum and the first altitude.
void tst_Workspace::propertiesOk_data()
{
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("after");
    const QString nothing = QStringLiteral("||||||");
    const QString wgs = QStringLiteral("WGS84 World Geodetic System");
    const QString refused = QStringLiteral("Invalid Port Number");
    const QString same = QStringLiteral("1 closed OSGB squares WGS84 0000100M");
    // clang-format off
    QTest::newRow("as they were") << QStringList{} << true << QStringList{} << "4800,n,8,1|1|1|" + wgs + "|0|1|OSGB" << same;
    QTest::newRow("19200 warns once") << QStringList{"speed=19200"} << true << QStringList{PropertyText::SpeedWarning} << "19200,n,8,1|1|1|" + wgs + "|0|1|OSGB" << same;
    QTest::newRow("CAPE") << QStringList{"datum=CAPE  Cape"} << true << QStringList{} << "4800,n,8,1|1|1|CAPE  Cape|0|1|OSGB" << "1 closed OSGB squares CAPE 0000100M";
    QTest::newRow("a datum without a code") << QStringList{"datum=CAPE"} << true << QStringList{} << "4800,n,8,1|1|1|CAPE|0|1|OSGB" << same;
    QTest::newRow("feet") << QStringList{"heights=1", "gridLines=0"} << true << QStringList{} << "4800,n,8,1|1|0|" + wgs + "|1|1|OSGB" << "1 closed OSGB squares WGS84 0000328F";
    QTest::newRow("UTM keeps the squares") << QStringList{"grid=3"} << true << QStringList{} << "4800,n,8,1|1|1|" + wgs + "|0|1|UTM" << "1 closed UTM squares WGS84 0000100M";
    QTest::newRow("OSNI has no squares") << QStringList{"grid=1"} << true << QStringList{} << "4800,n,8,1|1|1|" + wgs + "|0|1|OSNI" << "1 closed OSNI plain WGS84 0000100M";
    QTest::newRow("an open port moves") << QStringList{"open", "port=Com2"} << true << QStringList{} << "4800,n,8,1|2|1|" + wgs + "|0|1|OSGB" << "2 connected OSGB squares WGS84 0000100M";
    QTest::newRow("the new port will not open") << QStringList{"open", "port=Com2", "openError"} << false << QStringList{"Com2: Permission denied"} << nothing << same;
    QTest::newRow("no such port") << QStringList{"port=Com17", "portError", "speed=9600"} << false << QStringList{refused} << nothing << same;
    QTest::newRow("a speed the port refuses") << QStringList{"speed=fast", "settingsError", "heights=1"} << false << QStringList{"Invalid property value"} << nothing << same;
    // clang-format on
}

void tst_Workspace::propertiesOk()
{
    QFETCH(QStringList, changes);
    Space s;
    PropertyChoices choices{
        "Com1", "4800", "WGS84 World Geodetic System", true, HeightsMode::Keep, 0, true, true};
    for (const QString& change : changes) {
        const QString value = change.section(u'=', 1);
        if (change == u"open") {
            s.port.Open();
            s.space.Link().SetConnected(true);
        } else if (change == u"openError") {
            s.port.openError = QStringLiteral("Com2: Permission denied");
        } else if (change == u"portError") {
            s.port.portError = QStringLiteral("Invalid Port Number");
        } else if (change == u"settingsError") {
            s.port.settingsError = QStringLiteral("Invalid property value");
        } else if (change.startsWith(u"port=")) {
            choices.port = value;
        } else if (change.startsWith(u"speed=")) {
            choices.speed = value;
        } else if (change.startsWith(u"datum=")) {
            choices.datum = value;
        } else if (change.startsWith(u"heights=")) {
            choices.heights = HeightsMode(value.toInt());
        } else if (change.startsWith(u"gridLines=")) {
            choices.gridLines = value == u"1";
        } else if (change.startsWith(u"grid=")) {
            choices.grid = value.toInt();
        }
    }
    QSignalSpy connection(&s.space, &Workspace::ConnectionChanged);

    QTEST(s.space.ApplyProperties(choices, s.store), "applied");
    QTEST(s.ui.MessageTexts(), "messages");
    QTEST(s.Stored(), "stored");
    const ProgramState& state = s.space.State();
    const ListModel& waypoints = s.space.List(ListKind::Waypoints);
    const char* link = s.space.Connected() ? "connected" : s.port.IsOpen() ? "open" : "closed";
    const QString height =
        waypoints.Text(0, WaypointColumn::Altitude) + waypoints.Text(0, WaypointColumn::MF);
    const QString after =
        QStringList{s.port.Port(),          link,
                    state.currentGrid,      state.useSheetId ? "squares" : "plain",
                    state.currentDatumCode, height}
            .join(u' ');
    QTEST(after, "after");
    // The connection's signal follows a port that would not reopen.
    QCOMPARE(connection.size(), changes.contains("openError") ? 1 : 0);
}

// An edit replaces its route (named by default after its ends); one without waypoints removes
// it; a number outside the table is refused.
void tst_Workspace::routeEdits()
{
    Space s;
    s.space.Routes().ReplaceRoute(3, "OLD", {"A", "B", "C"});
    s.space.Routes().ReplaceRoute(5, "FIVE", {"X"});
    QVERIFY(s.space.ApplyRouteEdit("03", "", {"A", "", "c"}));
    QCOMPARE(Rows(s.space.Data(), ListKind::Routes),
             QStringList({"03|03 A -> C|A,C", "05|FIVE|X"}));
    QVERIFY(s.space.ApplyRouteEdit("03", "", {}));
    QVERIFY(!s.space.ApplyRouteEdit("21", "", {"A"}));
    QCOMPARE(s.ui.MessageTexts(), QStringList{"Route number out of range"});
    QCOMPARE(Rows(s.space.Data(), ListKind::Routes), QStringList{"05|FIVE|X"});
    QVERIFY(!s.space.Routes().Exists(3));
}

void tst_Workspace::routeEditorOpening()
{
    Space s;
    const QString loading =
        QStringLiteral("Loading waypoints into Route editor.\r\nPlease Wait...");
    std::optional<RouteEditorContent> content = s.space.PrepareRouteEditor(-1);
    QVERIFY(content);
    QCOMPARE(content->waypointNames, QStringList{"HOME"});
    QCOMPARE(s.ui.cancelWindowTexts, QStringList{loading});
    QVERIFY(!s.ui.cancelWindowShown);
    QVERIFY(!s.space.Busy());

    // Cancel in the cancel window while the names load: no editor.
    QTimer::singleShot(0, &s.space, [&] { s.space.Cancel(); });
    QVERIFY(!s.space.PrepareRouteEditor(-1));

    for (int route = 1; route <= 20; ++route)
        s.space.Routes().ReplaceRoute(route, "R", {"HOME"});
    QVERIFY(!s.space.PrepareRouteEditor(-1));
    QCOMPARE(s.ui.MessageTexts(), QStringList{"All 20 routes are in use"});
    QCOMPARE(s.ui.cancelWindowTexts.size(), 2);
}

QTEST_GUILESS_MAIN(tst_Workspace)
#include "tst_Workspace.moc"
