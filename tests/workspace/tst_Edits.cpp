#include "tests/support/FakeSerialStream.h"
#include "tests/support/ListTexts.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/SettingsFile.h"
#include "workspace/Workspace.h"

#include <QTimer>
#include <QtTest>

namespace {

const QString kWarning = PropertyText::SpeedWarning;
const QStringList kStoredKeys{
    SettingsKey::Settings, SettingsKey::CommPort,        SettingsKey::Gridlines,
    SettingsKey::Datum,    SettingsKey::WaypointHeights, SettingsKey::OsgbSheet,
    SettingsKey::Grid};

// A workspace over a port in memory, with a settings file of its own.
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
    QStringList Routes() { return Rows(space.Data(), ListKind::Routes); }
    Workspace& operator()() { return space; }
};

} // namespace

class tst_Edits : public QObject
{
    Q_OBJECT
private slots:
    void propertiesOk_data();
    void propertiesOk();
    void routeEdits();
    void routeEditorOpening();
};

// Changes to the dialog's choices (Com1, 4800, WGS84, grid lines, Don't Care, OSGB with
// squares) and to the port ("open": connected on an open port; "openError", "portError",
// "settingsError": the port refuses), then what OK left: its result, the messages, the seven
// stored settings, and the port, the connection, grid, squares, datum and the first altitude.
void tst_Edits::propertiesOk_data()
{
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("after");
    const QString nothing = QStringLiteral("||||||");
    const QString wgs = QStringLiteral("WGS84 World Geodetic System");
    const QString refused = QStringLiteral("Invalid Port Number");
    // clang-format off
    QTest::newRow("as they were") << QStringList{} << true << QStringList{}
        << "4800,n,8,1|1|1|" + wgs + "|0|1|OSGB" << "1 closed OSGB squares WGS84 0000100M";
    QTest::newRow("19200 warns once") << QStringList{"speed=19200"} << true << QStringList{kWarning}
        << "19200,n,8,1|1|1|" + wgs + "|0|1|OSGB" << "1 closed OSGB squares WGS84 0000100M";
    QTest::newRow("CAPE") << QStringList{"datum=CAPE  Cape"} << true << QStringList{}
        << "4800,n,8,1|1|1|CAPE  Cape|0|1|OSGB" << "1 closed OSGB squares CAPE 0000100M";
    QTest::newRow("a datum without a code") << QStringList{"datum=CAPE"} << true << QStringList{}
        << "4800,n,8,1|1|1|CAPE|0|1|OSGB" << "1 closed OSGB squares WGS84 0000100M";
    QTest::newRow("feet") << QStringList{"heights=1", "gridLines=0"} << true << QStringList{}
        << "4800,n,8,1|1|0|" + wgs + "|1|1|OSGB" << "1 closed OSGB squares WGS84 0000328F";
    QTest::newRow("UTM keeps the squares") << QStringList{"grid=3"} << true << QStringList{}
        << "4800,n,8,1|1|1|" + wgs + "|0|1|UTM" << "1 closed UTM squares WGS84 0000100M";
    QTest::newRow("OSNI has no squares") << QStringList{"grid=1"} << true << QStringList{}
        << "4800,n,8,1|1|1|" + wgs + "|0|1|OSNI" << "1 closed OSNI plain WGS84 0000100M";
    QTest::newRow("the same port by another name") << QStringList{"open", "port=COM1"} << true << QStringList{}
        << "4800,n,8,1|1|1|" + wgs + "|0|1|OSGB" << "1 connected OSGB squares WGS84 0000100M";
    QTest::newRow("an open port moves") << QStringList{"open", "port=Com2"} << true << QStringList{}
        << "4800,n,8,1|2|1|" + wgs + "|0|1|OSGB" << "2 connected OSGB squares WGS84 0000100M";
    QTest::newRow("the new port will not open") << QStringList{"open", "port=Com2", "openError"} << false
        << QStringList{"Com2: Permission denied"} << nothing << "1 closed OSGB squares WGS84 0000100M";
    QTest::newRow("no such port") << QStringList{"port=Com17", "portError", "speed=9600"} << false
        << QStringList{refused} << nothing << "1 closed OSGB squares WGS84 0000100M";
    QTest::newRow("a speed the port refuses") << QStringList{"speed=fast", "settingsError", "heights=1"}
        << false << QStringList{"Invalid property value"} << nothing << "1 closed OSGB squares WGS84 0000100M";
    // clang-format on
}

void tst_Edits::propertiesOk()
{
    QFETCH(QStringList, changes);
    Space s;
    PropertyChoices choices{
        "Com1", "4800", "WGS84 World Geodetic System", true, HeightsMode::Keep, 0, true, true};
    for (const QString& change : changes) {
        const QString value = change.section(u'=', 1);
        if (change == u"open") {
            s.port.Open();
            s().Link().SetConnected(true);
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
        } else if (change.startsWith(u"sheet=")) {
            choices.sheet = value == u"1";
        }
    }
    QSignalSpy connection(&s(), &Workspace::ConnectionChanged);

    QTEST(s().ApplyProperties(choices, s.store), "applied");
    QTEST(s.ui.MessageTexts(), "messages");
    QTEST(s.Stored(), "stored");
    const ProgramState& state = s().State();
    const ListModel& waypoints = s().List(ListKind::Waypoints);
    const QString after = QStringList{s.port.Port(),
                                      s().Connected()   ? "connected"
                                      : s.port.IsOpen() ? "open"
                                                        : "closed",
                                      state.currentGrid,
                                      state.useSheetId ? "squares" : "plain",
                                      state.currentDatumCode,
                                      waypoints.Text(0, WaypointColumn::Altitude) +
                                          waypoints.Text(0, WaypointColumn::MF)}
                              .join(u' ');
    QTEST(after, "after");
    // The connection's signal follows a port that would not reopen.
    QCOMPARE(connection.size(), changes.contains("openError") ? 1 : 0);
}

// An edit replaces its route (named by default after its ends); one without waypoints removes
// it; a number outside the table is refused.
void tst_Edits::routeEdits()
{
    Space s;
    s().Routes().ReplaceRoute(3, "OLD", {"A", "B", "C"});
    s().Routes().ReplaceRoute(5, "FIVE", {"X"});
    QVERIFY(s().ApplyRouteEdit("03", "", {"A", "", "c"}));
    QCOMPARE(s.Routes(), QStringList({"03|03 A -> C|A,C", "05|FIVE|X"}));
    QVERIFY(s().ApplyRouteEdit("03", "", {}));
    QVERIFY(!s().ApplyRouteEdit("21", "", {"A"}));
    QCOMPARE(s.ui.MessageTexts(), QStringList{"Route number out of range"});
    QCOMPARE(s.Routes(), QStringList{"05|FIVE|X"});
    QVERIFY(!s().Routes().Exists(3));
}

void tst_Edits::routeEditorOpening()
{
    Space s;
    const QString loading =
        QStringLiteral("Loading waypoints into Route editor.\r\nPlease Wait...");
    std::optional<RouteEditorContent> content = s().PrepareRouteEditor(-1);
    QVERIFY(content);
    QCOMPARE(content->waypointNames, QStringList{"HOME"});
    QCOMPARE(s.ui.cancelWindowTexts, QStringList{loading});
    QVERIFY(!s.ui.cancelWindowShown);
    QVERIFY(!s().Busy());

    // Cancel in the cancel window while the names load: no editor.
    QTimer::singleShot(0, &s(), [&] { s().Cancel(); });
    QVERIFY(!s().PrepareRouteEditor(-1));

    for (int route = 1; route <= 20; ++route)
        s().Routes().ReplaceRoute(route, "R", {"HOME"});
    QVERIFY(!s().PrepareRouteEditor(-1));
    QCOMPARE(s.ui.MessageTexts(), QStringList{"All 20 routes are in use"});
    QCOMPARE(s.ui.cancelWindowTexts.size(), 2);
    content = s().PrepareRouteEditor(0);
    QVERIFY(content && content->locked);
}

QTEST_MAIN(tst_Edits)
#include "tst_Edits.moc"
