#include "app/ReportView.h"
#include "app/Twips.h"
#include "app/frmNavora.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ListTexts.h"
#include "tests/support/ScriptedInteraction.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace std::chrono_literals;

namespace {

// The main window offscreen, with a scripted user, a port in memory and a
// settings file of its own.
struct App
{
    QTemporaryDir dir;
    QSettings qsettings{dir.filePath("settings.ini"), QSettings::IniFormat};
    SettingsStore settings{qsettings};
    FakeSerialStream port;
    ScriptedInteraction ui;
    frmNavora window{settings, port, &ui};
};

} // namespace

class tst_frmNavora : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void connectedLook();
    void startupShowsSettings();
    void tabSwitching();
    void headerClickSorts();
    void editScansSelection_data();
    void editScansSelection();
    void deleteRecords_data();
    void deleteRecords();
    void windowSizeStoredOnlyWhenNormal();
    void exitAbortKeepsWindow();

private:
    void SetTab(int tab) { app_->window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(tab); }
    void SelectRows(ListKind kind, const QList<int>& rows);

    std::unique_ptr<App> app_;
};

void tst_frmNavora::init()
{
    app_ = std::make_unique<App>();
}

void tst_frmNavora::cleanup()
{
    QVERIFY2(app_->ui.unexpected.isEmpty(), qPrintable(app_->ui.unexpected.join(" | ")));
    app_.reset();
}

void tst_frmNavora::SelectRows(ListKind kind, const QList<int>& rows)
{
    ReportView* view = app_->window.ListView(kind);
    view->clearSelection();
    for (int row : rows)
        view->selectionModel()->setCurrentIndex(
            view->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void tst_frmNavora::connectedLook()
{
    // Send and Get follow the connection only once the transfers are there.
    QStringList transfers;
    for (bool wired : {false, true}) {
        if (wired)
            app_->window.SetTransfers(
                [&](ListKind k) { transfers << "get" + QString::number(int(k)); },
                [&](ListKind k) { transfers << "send" + QString::number(int(k)); });
        for (bool connected : {true, false}) {
            app_->window.SetConnectedLook(connected);
            for (const char* menu : {"mnuDown", "mnuUp", "mnuDelete"})
                QCOMPARE(app_->window.findChild<QMenu*>(menu)->menuAction()->isEnabled(),
                         connected);
            QCOMPARE(app_->window.ToolbarButton("Upload")->isEnabled(), connected && wired);
            QCOMPARE(app_->window.ToolbarButton("Download")->isEnabled(), connected && wired);
        }
    }
    app_->window.SetConnectedLook(true);
    SetTab(2);
    app_->window.ToolbarButton("Download")->trigger();
    app_->window.ToolbarButton("Upload")->trigger();
    QCOMPARE(transfers, (QStringList{"get3", "send3"}));
}

void tst_frmNavora::startupShowsSettings()
{
    app_->settings.Write(SettingsKey::Gridlines, "1");
    app_->window.Startup();
    QCOMPARE(app_->ui.MessageTexts(), QStringList{"No datum was set, it has defaulted to WGS84"});
    for (ListKind kind : {ListKind::Waypoints, ListKind::Routes, ListKind::Track})
        QVERIFY(app_->window.ListView(kind)->showGrid());
    QCOMPARE(app_->window.CurrentList(), 1);
    // The inner area keeps its minimum size however small the window is made.
    app_->window.resize(10, 10);
    QVERIFY(app_->window.width() >= TwipsToPixels(5000, app_->window.logicalDpiX()));
    QVERIFY(app_->window.height() >= TwipsToPixels(1900, app_->window.logicalDpiY()));
    // Column widths are twips through the screen's resolution.
    ReportView* view = app_->window.ListView(ListKind::Waypoints);
    QCOMPARE(view->columnWidth(WaypointColumn::Latitude), TwipsToPixels(1587, view->logicalDpiX()));
}

void tst_frmNavora::tabSwitching()
{
    auto* stack = app_->window.findChild<QStackedWidget*>();
    QAction* insert = app_->window.ToolbarButton("Insert");
    QAction* edit = app_->window.ToolbarButton("Edit");
    // Without the editors there is nothing to open.
    QVERIFY(!insert->isEnabled() && !edit->isEnabled());

    app_->window.SetWaypointEditor([](int) {});
    app_->window.SetRouteEditor([](int) {});
    const struct
    {
        int tab;
        bool enabled;
    } steps[] = {{0, true}, {2, false}, {1, true}, {2, false}, {0, true}};
    for (const auto& step : steps) {
        SetTab(step.tab);
        QCOMPARE(app_->window.CurrentList(), step.tab + 1);
        QCOMPARE(stack->currentWidget(), app_->window.ListView(ListKind(step.tab + 1)));
        QCOMPARE(insert->isEnabled(), step.enabled);
        QCOMPARE(edit->isEnabled(), step.enabled);
    }
}

void tst_frmNavora::headerClickSorts()
{
    app_->window.resize(800, 600);
    app_->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&app_->window));
    Lists& lists = app_->window.Data();
    lists.waypoints.AddRows({{"BRIDGE"}, {"ALPHA"}, {"CAFE"}});
    lists.routes.AddRows({{"02", "======", "B"}, {"01", "======", "A"}});

    const auto clickHeader = [this](ListKind kind, int column) {
        QHeaderView* header = app_->window.ListView(kind)->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    clickHeader(ListKind::Waypoints, 0);
    QCOMPARE(Column(lists.waypoints, 0), (QStringList{"CAFE", "BRIDGE", "ALPHA"}));
    clickHeader(ListKind::Waypoints, 0);
    QCOMPARE(Column(lists.waypoints, 0), (QStringList{"ALPHA", "BRIDGE", "CAFE"}));

    SetTab(1);
    clickHeader(ListKind::Routes, 0);
    QCOMPARE(Column(lists.routes, 0), (QStringList{"02", "01"}));
}

void tst_frmNavora::editScansSelection_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("opened");
    QTest::addColumn<bool>("refused");

    QTest::newRow("waypoint, none selected") << 0 << QList<int>{} << QList<int>{-1} << false;
    QTest::newRow("waypoint, one selected") << 0 << QList<int>{2} << QList<int>{2} << false;
    QTest::newRow("waypoints, two selected") << 0 << QList<int>{0, 2} << QList<int>{} << true;
    QTest::newRow("route, none selected") << 1 << QList<int>{} << QList<int>{-1} << false;
    QTest::newRow("route, one selected") << 1 << QList<int>{1} << QList<int>{1} << false;
}

void tst_frmNavora::editScansSelection()
{
    QFETCH(int, tab);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, opened);
    QFETCH(bool, refused);

    QList<int> waypointEditor;
    QList<int> routeEditor;
    app_->window.SetWaypointEditor([&](int index) { waypointEditor << index; });
    app_->window.SetRouteEditor([&](int index) { routeEditor << index; });
    app_->window.Data().waypoints.AddRows({{"A"}, {"B"}, {"C"}});
    app_->window.Data().routes.AddRows({{"01", "======", "R"}, {"01", "01", "A"}});
    SetTab(tab);
    const ListKind kind = ListKind(tab + 1);
    SelectRows(kind, selected);
    // The selection made in the view is what the list's flags say.
    QCOMPARE(ScanSelection(app_->window.Data().Of(kind)).count, int(selected.size()));

    app_->window.ToolbarButton("Edit")->trigger();
    QCOMPARE(tab == 0 ? waypointEditor : routeEditor, opened);
    const QString refusal(
        "Muliple waypoints selected!\r\nYou can only edit one waypoint at a time");
    QCOMPARE(app_->ui.MessageTexts(), refused ? QStringList{refusal} : QStringList{});
    if (refused)
        QCOMPARE(app_->ui.messages[0].icon, MessageIcon::None);
    else
        QCOMPARE(app_->window.State().editIndex, opened.value(0));
}

void tst_frmNavora::deleteRecords_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QString>("deletedInReceiver");

    const QStringList routes{"01", "01", "02", "02", "02", "01"}, withoutTwo{"01", "01", "01"};
    const QStringList track{"0001", "0002"}, none;
    const QList<Answer> yes{Answer::Yes}, no{Answer::No};
    const QList<Answer> yesYes{Answer::Yes, Answer::Yes}, yesNo{Answer::Yes, Answer::No};
    QTest::newRow("route, disconnected, yes") << 1 << false << yes << withoutTwo << QString();
    QTest::newRow("route, disconnected, no") << 1 << false << no << routes << QString();
    QTest::newRow("route, connected, yes twice") << 1 << true << yesYes << withoutTwo << "02";
    QTest::newRow("route, connected, yes, no") << 1 << true << yesNo << withoutTwo << QString();
    QTest::newRow("track, disconnected, yes") << 2 << false << yes << none << QString();
    QTest::newRow("track, disconnected, no") << 2 << false << no << track << QString();
    QTest::newRow("track, connected, yes twice") << 2 << true << yesYes << none << "track";
    QTest::newRow("track, connected, yes, no") << 2 << true << yesNo << none << QString();
}

void tst_frmNavora::deleteRecords()
{
    QFETCH(int, tab);
    QFETCH(bool, portOpen);
    QFETCH(QList<Answer>, answers);

    QString receiver;
    app_->window.SetReceiverDeleters([&](const QString& id) { receiver += id; },
                                     [&] { receiver += "track"; });
    if (portOpen)
        app_->port.Open();
    Lists& lists = app_->window.Data();
    lists.routes.AddRows({{"01", "======", "ONE"},
                          {"01", "01", "A"},
                          {"02", "======", "TWO"},
                          {"02", "01", "B"},
                          {"02", "02", "C"},
                          {"01", "02", "D"}});
    lists.routeTable.SetSlot(1, 1, "A");
    lists.routeTable.SetSlot(2, 1, "B");
    lists.track.AddRows({{"0001"}, {"0002"}});
    SetTab(tab);
    const QStringList questions =
        tab == 1
            ? QStringList{"Are you sure you want to delete this route?",
                          "Delete route from GPS as well?"}
            : QStringList{"Delete all track points?", "Delete Track information from GPS as well?"};
    for (int i = 0; i < answers.size(); ++i)
        app_->ui.ExpectQuestion(questions[i], answers[i]);

    // Nothing selected: nothing asked, nothing deleted.
    app_->window.ToolbarButton("Delete")->trigger();
    QVERIFY(app_->ui.questionsAsked.empty());

    SelectRows(ListKind(tab + 1), {tab == 1 ? 3 : 1});
    app_->window.ToolbarButton("Delete")->trigger();
    QVERIFY(app_->ui.AllScriptUsed());
    QTEST(Column(lists.Of(ListKind(tab + 1)), 0), "left");
    QTEST(receiver, "deletedInReceiver");
    QCOMPARE(lists.routeTable.RouteExists(2), tab != 1 || answers[0] == Answer::No);
}

void tst_frmNavora::windowSizeStoredOnlyWhenNormal()
{
    app_->window.Startup();
    app_->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&app_->window));
    app_->window.resize(700, 500);
    QVERIFY(app_->window.Shutdown());
    const QRect outer = app_->window.frameGeometry();
    QCOMPARE(app_->settings.Read(SettingsKey::Width),
             QString::number(PixelsToTwips(outer.width(), app_->window.logicalDpiX())));
    QCOMPARE(app_->settings.Read(SettingsKey::Height),
             QString::number(PixelsToTwips(outer.height(), app_->window.logicalDpiY())));

    app_->settings.Write(SettingsKey::Width, "1234");
    app_->window.showMaximized();
    QVERIFY(app_->window.Shutdown());
    QCOMPARE(app_->settings.Read(SettingsKey::Width), QStringLiteral("1234"));
    app_->window.showMinimized();
    QVERIFY(app_->window.Shutdown());
    QCOMPARE(app_->settings.Read(SettingsKey::Width), QStringLiteral("1234"));
}

void tst_frmNavora::exitAbortKeepsWindow()
{
    FakeSerialStream& port = app_->port;
    app_->window.SetDrainLimit(10ms);
    app_->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&app_->window));
    port.Open();
    port.holdOutput = true;
    port.Write("$PMGNCMD,END*3D\r\n");
    app_->ui.ExpectQuestion("Data cannot be sent", Answer::Abort);
    app_->window.findChild<QAction*>("mnuFileExit")->trigger();
    QVERIFY(app_->window.isVisible());
    QVERIFY(port.IsOpen());
    QVERIFY(app_->settings.Read(SettingsKey::Height).isEmpty());

    app_->ui.ExpectQuestion("Data cannot be sent", Answer::Ignore);
    app_->window.close();
    QVERIFY(!app_->window.isVisible());
    QVERIFY(!port.IsOpen());
    QVERIFY(app_->ui.AllScriptUsed());
}

QTEST_MAIN(tst_frmNavora)
#include "tst_frmNavora.moc"
