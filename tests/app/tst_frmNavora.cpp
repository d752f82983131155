#include "app/ReportView.h"
#include "app/Twips.h"
#include "app/frmNavora.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ScriptedInteraction.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

using namespace std::chrono_literals;

namespace {

QStringList Column(const ListModel& list, int column)
{
    QStringList texts;
    for (int row = 0; row < list.Count(); ++row)
        texts << list.Text(row, column);
    return texts;
}

} // namespace

// The main window offscreen, with a scripted user, a port in memory and a
// settings file of its own.
class tst_frmNavora : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void toolbarButtons_data();
    void toolbarButtons();
    void connectedLook_data();
    void connectedLook();
    void startupShowsSettings();
    void tabSwitching();
    void headerClickSorts();
    void editScansSelection_data();
    void editScansSelection();
    void deleteRoute_data();
    void deleteRoute();
    void deleteTrack_data();
    void deleteTrack();
    void windowSizeStoredOnlyWhenNormal();
    void exitAbortKeepsWindow();

private:
    void SelectRows(ListKind kind, const QList<int>& rows);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QSettings> qsettings_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<FakeSerialStream> port_;
    std::unique_ptr<ScriptedInteraction> ui_;
    std::unique_ptr<frmNavora> window_;
};

void tst_frmNavora::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    qsettings_ = std::make_unique<QSettings>(dir_->filePath("settings.ini"), QSettings::IniFormat);
    settings_ = std::make_unique<SettingsStore>(*qsettings_);
    port_ = std::make_unique<FakeSerialStream>();
    ui_ = std::make_unique<ScriptedInteraction>();
    window_ = std::make_unique<frmNavora>(*settings_, *port_, ui_.get());
}

void tst_frmNavora::cleanup()
{
    QVERIFY2(ui_->unexpected.isEmpty(), qPrintable(ui_->unexpected.join(" | ")));
    window_.reset();
    ui_.reset();
    port_.reset();
    settings_.reset();
    qsettings_.reset();
    dir_.reset();
}

void tst_frmNavora::SelectRows(ListKind kind, const QList<int>& rows)
{
    ReportView* view = window_->ListView(kind);
    view->clearSelection();
    for (int row : rows) {
        view->selectionModel()->setCurrentIndex(
            view->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void tst_frmNavora::toolbarButtons_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("1") << 0 << "LoadFile"
                       << "Load"
                       << "Load from file"
                       << "Load from file";
    QTest::newRow("2") << 1 << "SaveFile"
                       << "Save"
                       << "Save to file"
                       << "Save to file";
    QTest::newRow("3") << 2 << "OpenGPS"
                       << "Connect"
                       << "Connect to GPS"
                       << "Connect to GPS";
    QTest::newRow("4") << 3 << "Properties"
                       << "Setup"
                       << "Properties..."
                       << "Program Setup";
    QTest::newRow("5") << 4 << "Insert"
                       << "New"
                       << "Insert new record"
                       << "Insert new record";
    QTest::newRow("6") << 5 << "Edit"
                       << "Detail"
                       << "Edit selected record"
                       << "Edit selected record";
    QTest::newRow("7") << 6 << "Delete"
                       << "Delete"
                       << "Delete Selected Records"
                       << "Delete Selected Records";
    QTest::newRow("8") << 7 << "Upload"
                       << "Send"
                       << "Send data to GPS"
                       << "Send data to GPS";
    QTest::newRow("9") << 8 << "Download"
                       << "Get"
                       << "Get data from GPS"
                       << "Get data from GPS";
}

void tst_frmNavora::toolbarButtons()
{
    QFETCH(int, position);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, description);
    QFETCH(QString, toolTip);

    const QList<QAction*> buttons = window_->findChild<QToolBar*>("tbrToolBar")->actions();
    QCOMPARE(buttons.size(), 9);
    QAction* button = buttons.at(position);
    QCOMPARE(button, window_->ToolbarButton(key));
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->property("description").toString(), description);
    QCOMPARE(button->toolTip(), toolTip);
    QVERIFY(!button->icon().isNull());
    QCOMPARE(window_->windowTitle(), QStringLiteral("Navora"));
}

void tst_frmNavora::connectedLook_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("buttonText");
    QTest::newRow("connected") << true << "Disconnect from GPS"
                               << "Disconn";
    QTest::newRow("disconnected") << false << "Connect to GPS"
                                  << "Connect";
}

void tst_frmNavora::connectedLook()
{
    QFETCH(bool, connected);
    QFETCH(QString, menuText);
    QFETCH(QString, buttonText);

    window_->SetConnectedLook(!connected);
    window_->SetConnectedLook(connected);
    QCOMPARE(window_->findChild<QAction*>("mnuOpenGPS")->text(), menuText);
    for (const char* menu : {"mnuDown", "mnuUp", "mnuDelete"})
        QCOMPARE(window_->findChild<QMenu*>(menu)->menuAction()->isEnabled(), connected);
    QAction* open = window_->ToolbarButton("OpenGPS");
    QCOMPARE(open->text(), buttonText);
    QCOMPARE(open->toolTip(), menuText);
    QCOMPARE(open->property("description").toString(), menuText);
    QCOMPARE(window_->ToolbarButton("Upload")->isEnabled(), connected);
    QCOMPARE(window_->ToolbarButton("Download")->isEnabled(), connected);
}

void tst_frmNavora::startupShowsSettings()
{
    settings_->Write(SettingsKey::Gridlines, "1");
    settings_->Write(SettingsKey::Settings, "19200,n,8,1");
    window_->Startup();
    QCOMPARE(ui_->MessageTexts(), QStringList{"No datum was set, it has defaulted to WGS84"});
    for (ListKind kind : {ListKind::Waypoints, ListKind::Routes, ListKind::Track})
        QVERIFY(window_->ListView(kind)->showGrid());
    QCOMPARE(ui_->status[StatusPanel::Settings], QStringLiteral("Settings: Com1,19200,n,8,1"));
    QCOMPARE(window_->CurrentList(), 1);
    // The inner area keeps its minimum size however small the window is made.
    window_->resize(10, 10);
    QVERIFY(window_->width() >= TwipsToPixels(5000, window_->logicalDpiX()));
    QVERIFY(window_->height() >= TwipsToPixels(1900, window_->logicalDpiY()));
    // Column widths are twips through the screen's resolution.
    ReportView* view = window_->ListView(ListKind::Waypoints);
    QCOMPARE(view->columnWidth(WaypointColumn::Latitude), TwipsToPixels(1587, view->logicalDpiX()));
}

void tst_frmNavora::tabSwitching()
{
    auto* tabs = window_->findChild<QTabBar*>("TabStrip1");
    auto* stack = window_->findChild<QStackedWidget*>();
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(2), QStringLiteral("Track"));
    QCOMPARE(tabs->tabData(1).toString(), QStringLiteral("routes"));
    QAction* insert = window_->ToolbarButton("Insert");
    QAction* edit = window_->ToolbarButton("Edit");

    // Without the editors there is nothing to open.
    QVERIFY(!insert->isEnabled() && !edit->isEnabled());

    window_->SetWaypointEditor([](int) {});
    window_->SetRouteEditor([](int) {});
    const struct
    {
        int tab;
        bool enabled;
    } steps[] = {{0, true}, {2, false}, {1, true}, {2, false}, {0, true}};
    for (const auto& step : steps) {
        tabs->setCurrentIndex(step.tab);
        QCOMPARE(window_->CurrentList(), step.tab + 1);
        QCOMPARE(stack->currentWidget(), window_->ListView(ListKind(step.tab + 1)));
        QCOMPARE(insert->isEnabled(), step.enabled);
        QCOMPARE(edit->isEnabled(), step.enabled);
    }
}

void tst_frmNavora::headerClickSorts()
{
    window_->resize(800, 600);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    Lists& lists = window_->Data();
    lists.waypoints.AddRows({{"BRIDGE"}, {"ALPHA"}, {"CAFE"}});
    lists.routes.AddRows({{"02", "======", "B"}, {"01", "======", "A"}});

    const auto clickHeader = [this](ListKind kind, int column) {
        QHeaderView* header = window_->ListView(kind)->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    clickHeader(ListKind::Waypoints, 0);
    QCOMPARE(Column(lists.waypoints, 0), (QStringList{"CAFE", "BRIDGE", "ALPHA"}));
    clickHeader(ListKind::Waypoints, 0);
    QCOMPARE(Column(lists.waypoints, 0), (QStringList{"ALPHA", "BRIDGE", "CAFE"}));

    window_->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(1);
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
    window_->SetWaypointEditor([&](int index) { waypointEditor << index; });
    window_->SetRouteEditor([&](int index) { routeEditor << index; });
    window_->Data().waypoints.AddRows({{"A"}, {"B"}, {"C"}});
    window_->Data().routes.AddRows({{"01", "======", "R"}, {"01", "01", "A"}});
    window_->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(tab);
    const ListKind kind = ListKind(tab + 1);
    SelectRows(kind, selected);
    // The selection made in the view is what the list's flags say.
    QCOMPARE(ScanSelection(window_->Data().Of(kind)).count, int(selected.size()));

    window_->ToolbarButton("Edit")->trigger();
    QCOMPARE(tab == 0 ? waypointEditor : routeEditor, opened);
    QCOMPARE(ui_->MessageTexts(), refused ? QStringList{"Muliple waypoints selected!\r\n"
                                                        "You can only edit one waypoint at a time"}
                                          : QStringList{});
    if (refused)
        QCOMPARE(ui_->messages[0].icon, MessageIcon::None);
    else
        QCOMPARE(window_->State().editIndex, opened.value(0));
}

void tst_frmNavora::deleteRoute_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("idsLeft");
    QTest::addColumn<QStringList>("deletedInReceiver");

    const QStringList all{"01", "01", "02", "02", "02", "01"};
    const QStringList withoutTwo{"01", "01", "01"};
    QTest::newRow("disconnected, yes")
        << false << QList<Answer>{Answer::Yes} << withoutTwo << QStringList{};
    QTest::newRow("disconnected, no") << false << QList<Answer>{Answer::No} << all << QStringList{};
    QTest::newRow("connected, yes twice")
        << true << QList<Answer>{Answer::Yes, Answer::Yes} << withoutTwo << QStringList{"02"};
    QTest::newRow("connected, yes then no")
        << true << QList<Answer>{Answer::Yes, Answer::No} << withoutTwo << QStringList{};
}

void tst_frmNavora::deleteRoute()
{
    QFETCH(bool, portOpen);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, idsLeft);
    QFETCH(QStringList, deletedInReceiver);

    QStringList receiver;
    window_->SetReceiverDeleters([&](const QString& id) { receiver << id; }, [] {});
    if (portOpen)
        port_->Open();
    Lists& lists = window_->Data();
    lists.routes.AddRows({{"01", "======", "ONE"},
                          {"01", "01", "A"},
                          {"02", "======", "TWO"},
                          {"02", "01", "B"},
                          {"02", "02", "C"},
                          {"01", "02", "D"}});
    lists.routeTable.SetSlot(1, 1, "A");
    lists.routeTable.SetSlot(2, 1, "B");
    window_->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(1);
    SelectRows(ListKind::Routes, {3});
    const QString questions[] = {"Are you sure you want to delete this route?",
                                 "Delete route from GPS as well?"};
    for (int i = 0; i < answers.size(); ++i)
        ui_->ExpectQuestion(questions[i], answers[i]);

    window_->ToolbarButton("Delete")->trigger();
    QVERIFY(ui_->AllScriptUsed());
    QCOMPARE(Column(lists.routes, RouteColumn::Id), idsLeft);
    QCOMPARE(receiver, deletedInReceiver);
    QCOMPARE(lists.routeTable.RouteExists(2), answers[0] == Answer::No);
    QVERIFY(lists.routeTable.RouteExists(1));
}

void tst_frmNavora::deleteTrack_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("rowsLeft");
    QTest::addColumn<int>("receiverDeletes");

    QTest::newRow("disconnected, yes") << false << QList<Answer>{Answer::Yes} << 0 << 0;
    QTest::newRow("disconnected, no") << false << QList<Answer>{Answer::No} << 2 << 0;
    QTest::newRow("connected, yes twice")
        << true << QList<Answer>{Answer::Yes, Answer::Yes} << 0 << 1;
    QTest::newRow("connected, no to the receiver")
        << true << QList<Answer>{Answer::Yes, Answer::No} << 0 << 0;
}

void tst_frmNavora::deleteTrack()
{
    QFETCH(bool, portOpen);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, rowsLeft);
    QFETCH(int, receiverDeletes);

    int receiver = 0;
    window_->SetReceiverDeleters([](const QString&) {}, [&] { ++receiver; });
    if (portOpen)
        port_->Open();
    window_->Data().track.AddRows({{"0001"}, {"0002"}});
    window_->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(2);
    const QString questions[] = {"Delete all track points?",
                                 "Delete Track information from GPS as well?"};
    for (int i = 0; i < answers.size(); ++i)
        ui_->ExpectQuestion(questions[i], answers[i]);

    // Nothing selected: nothing asked, nothing deleted.
    window_->ToolbarButton("Delete")->trigger();
    QCOMPARE(ui_->questionsAsked.size(), size_t(0));

    SelectRows(ListKind::Track, {1});
    window_->ToolbarButton("Delete")->trigger();
    QVERIFY(ui_->AllScriptUsed());
    QCOMPARE(window_->Data().track.Count(), rowsLeft);
    QCOMPARE(receiver, receiverDeletes);
}

void tst_frmNavora::windowSizeStoredOnlyWhenNormal()
{
    window_->Startup();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->resize(700, 500);
    QVERIFY(window_->Shutdown());
    const double dpiX = window_->logicalDpiX();
    const double dpiY = window_->logicalDpiY();
    const QRect outer = window_->frameGeometry();
    QCOMPARE(settings_->Read(SettingsKey::Width),
             QString::number(PixelsToTwips(outer.width(), dpiX)));
    QCOMPARE(settings_->Read(SettingsKey::Height),
             QString::number(PixelsToTwips(outer.height(), dpiY)));

    settings_->Write(SettingsKey::Width, "1234");
    window_->showMaximized();
    QVERIFY(window_->Shutdown());
    QCOMPARE(settings_->Read(SettingsKey::Width), QStringLiteral("1234"));
    window_->showMinimized();
    QVERIFY(window_->Shutdown());
    QCOMPARE(settings_->Read(SettingsKey::Width), QStringLiteral("1234"));
}

void tst_frmNavora::exitAbortKeepsWindow()
{
    window_->SetDrainLimit(10ms);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    port_->Open();
    port_->holdOutput = true;
    port_->Write("$PMGNCMD,END*3D\r\n");
    ui_->ExpectQuestion("Data cannot be sent", Answer::Abort);
    window_->findChild<QAction*>("mnuFileExit")->trigger();
    QVERIFY(window_->isVisible());
    QVERIFY(port_->IsOpen());
    QVERIFY(settings_->Read(SettingsKey::Height).isEmpty());

    ui_->ExpectQuestion("Data cannot be sent", Answer::Ignore);
    window_->close();
    QVERIFY(!window_->isVisible());
    QVERIFY(!port_->IsOpen());
    QVERIFY(ui_->AllScriptUsed());
}

QTEST_MAIN(tst_frmNavora)
#include "tst_frmNavora.moc"
