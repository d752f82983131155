#include "app/ReportView.h"
#include "app/ToolbarPictures.h"
#include "app/WaypointIcons.h"
#include "app/frmNavora.h"
#include "gpslink/ExchangeFrame.h"
#include "model/Twips.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ListTexts.h"
#include "tests/support/MainWindow.h"
#include "workspace/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace std::chrono_literals;

namespace {

struct App : MainWindow<FakeSerialStream>
{
    using MainWindow::MainWindow;
    Lists& Data() { return window.Space().Data(); }
};

// The enabled menu items and toolbar buttons by name; a sub-menu by its own name.
QStringList EnabledItems(const frmNavora& window)
{
    QStringList names;
    for (const QAction* action : window.findChildren<QAction*>()) {
        const QString name = action->objectName();
        if ((name.startsWith("mnu") || name.startsWith("tbr")) && action->isEnabled())
            names << name;
    }
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        if (menu->objectName().startsWith("mnu") && menu->menuAction()->isEnabled() &&
            !window.findChild<QAction*>(menu->objectName()))
            names << menu->objectName();
    }
    for (const char* barMenu : {"mnuFile", "mnuPort", "mnuCall"}) // always enabled
        names.removeAll(barMenu);
    names.sort();
    return names;
}

// Answers the next file dialog with `file`, after noting the folder it started in.
void AnswerFileDialog(const QString& file, QString* startedIn)
{
    QTimer::singleShot(0, [file, startedIn] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *startedIn = dialog->directory().absolutePath();
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept();
    });
}

} // namespace

class tst_frmNavora : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void commandsFollowState_data();
    void commandsFollowState();
    void startupShowsSettings();
    void tabKeys();
    void arrowKeysSelect_data();
    void arrowKeysSelect();
    void focusFrameShown();
    void headerClickSortsAndShowsTheArrow();
    void picturesSharpAtTwiceTheResolution();
    void deleteRecords_data();
    void deleteRecords();
    void enterEditsTheSelection();
    void transfersRun_data();
    void transfersRun();
    void nothingToSaveAsksForNoFile();
    void fileDialogsStartInTheLastFolder();
    void gpxExportThenImport();
    void windowSize();
    void exitAbortKeepsWindow();

private:
    void SetTab(int tab) { app_->window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(tab); }
    bool ShowActive()
    {
        app_->window.resize(800, 600);
        app_->window.show();
        return QTest::qWaitForWindowActive(&app_->window);
    }
    void SelectRows(ListKind kind, const QList<int>& rows);
    // Quits, and starts again with the settings file in `folder`.
    void Restart(const QString& folder)
    {
        app_.reset();
        app_ = std::make_unique<App>(folder);
    }

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

// New and Detail follow the list; the receiver's menus, Send and Get follow the connection;
// an exchange leaves only Exit, the monitor and About.
void tst_frmNavora::commandsFollowState_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("enabled");
    const QStringList always{"mnuAbout", "mnuFileExit", "mnuOpenLog"};
    const QStringList idle =
        always + QStringList{"mnuComm",      "mnuLoad",      "mnuOpenGPS",    "mnuSave",
                             "tbrLoadFile",  "tbrOpenGPS",   "tbrProperties", "tbrSaveFile",
                             "mnuImportGpx", "mnuExportGpx", "tbrDelete"};
    const QStringList editors{"tbrEdit", "tbrInsert"};
    const QStringList menus{"mnuDelete",    "mnuDown",      "mnuUp",       "mnuDownWay",
                            "mnuDownRoute", "mnuDownTrack", "mnuUpWay",    "mnuUpRoutes",
                            "mnuUpTrack",   "mnuDelWay",    "mnuDelRoute", "mnuDelTrack",
                            "tbrUpload",    "tbrDownload"};
    QTest::newRow("routes") << false << false << 1 << idle + editors;
    QTest::newRow("track, connected") << true << false << 2 << idle + menus;
    QTest::newRow("routes, connected, busy") << true << true << 1 << always;
}

void tst_frmNavora::commandsFollowState()
{
    QFETCH(bool, connected);
    QFETCH(bool, busy);
    QFETCH(int, tab);
    QFETCH(QStringList, enabled);
    enabled.sort();
    GpsLink& link = app_->window.Space().Link();
    app_->port.Open();
    link.SetConnected(connected);
    SetTab(tab);
    std::optional<ExchangeFrame> frame;
    if (busy)
        frame.emplace(link, app_->ui);
    QCOMPARE(EnabledItems(app_->window), enabled);
    QAction* open = app_->window.ToolbarButton("OpenGPS");
    QCOMPARE(open->text(), connected ? "Disconn" : "Connect");
    QCOMPARE(open->toolTip(), connected ? "Disconnect from GPS" : "Connect to GPS");
    frame.reset();
    link.SetConnected(false);
    QCOMPARE(EnabledItems(app_->window).contains("mnuSave"), true);
    QCOMPARE(EnabledItems(app_->window).contains("mnuDown"), false);
}

void tst_frmNavora::startupShowsSettings()
{
    app_->store.Write(SettingsKey::Gridlines, "1");
    app_->window.Startup();
    for (ListKind kind : {ListKind::Waypoints, ListKind::Routes, ListKind::Track})
        QVERIFY(app_->window.ListView(kind)->showGrid());
    // The inner area keeps its minimum size however small the window is made.
    app_->window.resize(10, 10);
    QVERIFY(app_->window.width() >= TwipsToPixels(5000, app_->window.logicalDpiX()));
    QVERIFY(app_->window.height() >= TwipsToPixels(1900, app_->window.logicalDpiY()));
}

// Ctrl+Tab and Ctrl+PgDown go to the next tab, Ctrl+Shift+Tab and Ctrl+PgUp to the previous,
// round the ends, with the focus in a list.
void tst_frmNavora::tabKeys()
{
    QVERIFY(ShowActive());
    auto* stack = app_->window.findChild<QStackedWidget*>();
    const std::pair<Qt::Key, ListKind> steps[] = {{Qt::Key_Tab, ListKind::Routes},
                                                  {Qt::Key_PageDown, ListKind::Track},
                                                  {Qt::Key_PageDown, ListKind::Waypoints},
                                                  {Qt::Key_PageUp, ListKind::Track},
                                                  {Qt::Key_Backtab, ListKind::Routes}};
    for (const auto& [key, shown] : steps) {
        ReportView* view = app_->window.ListView(app_->window.CurrentKind());
        view->setFocus();
        QTest::keyClick(view, key,
                        Qt::ControlModifier |
                            (key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier));
        QCOMPARE(app_->window.CurrentKind(), shown);
        QCOMPARE(stack->currentWidget(), app_->window.ListView(shown));
    }
}

// The list has the focus from the start, though the tab strip comes first, and its first row
// is current, so the keys move from it at once.
void tst_frmNavora::arrowKeysSelect_data()
{
    QTest::addColumn<bool>("rowsBeforeShow");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("selected");
    // Rows that arrive while the list has the focus, as after a file load:
    QTest::newRow("loaded, down") << false << QList<int>{Qt::Key_Down} << QList<int>{1};
    QTest::newRow("loaded, up") << false << QList<int>{Qt::Key_Up} << QList<int>{0};
    QTest::newRow("loaded, end") << false << QList<int>{Qt::Key_End} << QList<int>{3};
    QTest::newRow("loaded, space") << false << QList<int>{Qt::Key_Space} << QList<int>{0};
    // Rows already there when the window opens:
    QTest::newRow("listed, down, up")
        << true << QList<int>{Qt::Key_Down, Qt::Key_Up} << QList<int>{0};
}

void tst_frmNavora::arrowKeysSelect()
{
    QFETCH(bool, rowsBeforeShow);
    QFETCH(QList<int>, keys);
    ListModel& list = app_->Data().waypoints;
    ReportView* view = app_->window.ListView(ListKind::Waypoints);
    if (rowsBeforeShow)
        list.AddRows({{"A"}, {"B"}, {"C"}, {"D"}});
    QVERIFY(ShowActive());
    QVERIFY(view->hasFocus());
    if (!rowsBeforeShow)
        list.AddRows({{"A"}, {"B"}, {"C"}, {"D"}});
    for (int key : keys)
        QTest::keyClick(view, Qt::Key(key));
    QTEST(SelectedRows(list), "selected");
}

// Row 1 is selected in both pictures; only the focus tells them apart, and it frames the whole
// row, not one cell.
void tst_frmNavora::focusFrameShown()
{
    app_->Data().waypoints.AddRows({{"A"}, {"B"}, {"C"}});
    ReportView* view = app_->window.ListView(ListKind::Waypoints);
    QVERIFY(ShowActive());
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(view->currentIndex().row(), 1);
    const auto rowPicture = [view] {
        const QRect row = view->visualRect(view->model()->index(1, 0))
                              .united(view->visualRect(view->model()->index(1, 4)));
        return view->viewport()->grab(row).toImage();
    };
    const QImage focused = rowPicture();
    view->clearFocus();
    QVERIFY(!view->hasFocus());
    const QImage unfocused = rowPicture();
    QCOMPARE(focused.size(), unfocused.size());
    QRect differing;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) != unfocused.pixel(x, y))
                differing |= QRect(x, y, 1, 1);
        }
    }
    QCOMPARE(differing, focused.rect());
}

// The sort arrow follows the list: a load replaces the rows in the file's order and drops it.
void tst_frmNavora::headerClickSortsAndShowsTheArrow()
{
    QVERIFY(ShowActive());
    ListModel& waypoints = app_->Data().waypoints;
    waypoints.AddRows({{"BRIDGE"}, {"ALPHA"}, {"CAFE"}});
    QHeaderView* header = app_->window.ListView(ListKind::Waypoints)->horizontalHeader();
    QVERIFY(!header->isSortIndicatorShown());
    const QPoint at(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Column(waypoints, 0), (QStringList{"CAFE", "BRIDGE", "ALPHA"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Column(waypoints, 0), (QStringList{"ALPHA", "BRIDGE", "CAFE"}));
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    waypoints.Clear();
    waypoints.AddRows({{"B"}, {"A"}});
    QVERIFY(!header->isSortIndicatorShown());
}

// Drawn for the screen's resolution, not a small picture blown up; the small form is still there
// for a plain screen.
void tst_frmNavora::picturesSharpAtTwiceTheResolution()
{
    for (const QString& key : WaypointIconKeys()) {
        const QPixmap pixmap =
            WaypointIcon(key).pixmap(QSize(kWaypointIconSize, kWaypointIconSize), 2.0);
        QCOMPARE(pixmap.size(), QSize(2 * kWaypointIconSize, 2 * kWaypointIconSize));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    }
    const QPixmap toolbar = ToolbarIcon(ToolbarPicture::Save).pixmap(QSize(24, 24), 2.0);
    QCOMPARE(toolbar.size(), QSize(48, 48));
    QCOMPARE(WaypointIcon("a").pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
}

// Delete acts on the rows selected in the list shown, after its questions.
void tst_frmNavora::deleteRecords_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<bool>("deleteKey"); // the list's Delete key instead of the toolbar

    const QStringList withoutTwo{"01", "01", "01"};
    QTest::newRow("route, yes") << 1 << Answer::Yes << withoutTwo << false;
    QTest::newRow("track, no") << 2 << Answer::No << QStringList{"0001", "0002"} << false;
    QTest::newRow("route, Delete key") << 1 << Answer::Yes << withoutTwo << true;
}

void tst_frmNavora::deleteRecords()
{
    QFETCH(int, tab);
    QFETCH(Answer, answer);
    QFETCH(bool, deleteKey);
    Lists& lists = app_->Data();
    Fill(lists, ListKind::Routes, {"01|ONE|A,D", "02|TWO|B,C"});
    lists.track.AddRows({{"0001"}, {"0002"}});
    SetTab(tab);
    app_->ui.ExpectQuestion(tab == 1 ? "Are you sure you want to delete this route?"
                                     : "Delete all track points?",
                            answer);

    // Nothing selected: nothing asked, nothing deleted.
    app_->window.ToolbarButton("Delete")->trigger();
    QVERIFY(app_->ui.questionsAsked.empty());

    SelectRows(ListKind(tab + 1), {tab == 1 ? 3 : 1});
    if (deleteKey)
        QTest::keyClick(app_->window.ListView(ListKind(tab + 1)), Qt::Key_Delete);
    else
        app_->window.ToolbarButton("Delete")->trigger();
    QVERIFY(app_->ui.AllScriptUsed());
    QTEST(Column(lists.Of(ListKind(tab + 1)), 0), "left");
    QCOMPARE(lists.routes.Exists(2), tab != 1 || answer == Answer::No);
}

// Enter in a list edits as a double-click does: with two waypoints selected, it says so.
void tst_frmNavora::enterEditsTheSelection()
{
    app_->Data().waypoints.AddRows({{"ONE"}, {"TWO"}});
    SelectRows(ListKind::Waypoints, {0, 1});
    QTest::keyClick(app_->window.ListView(ListKind::Waypoints), Qt::Key_Return);
    QCOMPARE(
        app_->ui.MessageTexts(),
        QStringList{"Muliple waypoints selected!\r\nYou can only edit one waypoint at a time"});
}

// Each menu item runs its own list's transfer; Send and Get the shown list's. The receiver
// never answers.
void tst_frmNavora::transfersRun_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("sent"); // the first sentence
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("Get, routes") << "tbrDownload" << 1 << "$PMGNCMD,ROUTE*2B" << "Unexpected response";
    QTest::newRow("Send, track") << "tbrUpload" << 2 << "$PMGNCMD,DELETE,TRACK*08" << QString();
    QTest::newRow("upload waypoints") << "mnuUpWay" << 2 << "$PMGNCMD,END*3D" << QString();
    QTest::newRow("delete all routes") << "mnuDelRoute" << 0 << "$PMGNCMD,DELETE,ROUTES*4D" << "Route Deletion may have failed";
    // clang-format on
}

void tst_frmNavora::transfersRun()
{
    QFETCH(QString, item);
    QFETCH(int, tab);
    QFETCH(QString, message);
    app_->window.Space().Link().SetTimeout(20ms);
    app_->port.Open();
    app_->window.Space().Link().SetConnected(true);
    SetTab(tab);
    if (item == u"mnuDelRoute")
        app_->ui.ExpectQuestion("Are you sure you want to delete all routes in the GPS?",
                                Answer::Yes);
    QAction* action =
        item.startsWith(u"tbr") ? app_->window.ToolbarButton(item.mid(3)) : app_->Item(item);
    action->trigger();
    QTEST(QString::fromLatin1(app_->port.transmitted).section("\r\n", 0, 0), "sent");
    QCOMPARE(app_->ui.MessageTexts(), message.isNull() ? QStringList() : QStringList{message});
    QVERIFY(app_->ui.AllScriptUsed() && !app_->window.Space().Busy());
}

void tst_frmNavora::nothingToSaveAsksForNoFile()
{
    for (const char* item : {"mnuSave", "mnuExportGpx"}) {
        QString startedIn;
        AnswerFileDialog(app_->dir.filePath("never"), &startedIn);
        app_->Item(item)->trigger();
        QApplication::processEvents(); // the dialog answer nobody asked for
        QVERIFY(startedIn.isEmpty() && !QFile::exists(app_->dir.filePath("never")));
    }
    QCOMPARE(app_->ui.MessageTexts(), QStringList(2, "There is nothing to save!"));
}

// The open and save dialogs start in the folder the last one was left in, also after a
// restart.
void tst_frmNavora::fileDialogsStartInTheLastFolder()
{
    QTemporaryDir keep; // the settings, across a restart
    Restart(keep.path());
    QTemporaryDir data;
    const QString track = data.filePath("track.txt");
    QVERIFY(QFile::copy(QStringLiteral(NAVORA_TEST_DATA "/files/track.txt"), track));
    app_->window.Space().State().currentDatumCode = QStringLiteral("WGS84");
    QString startedIn;
    SetTab(2);
    AnswerFileDialog(track, &startedIn);
    app_->Item("mnuLoad")->trigger();
    QCOMPARE(app_->Data().track.Count(), 2);
    QVERIFY(startedIn != data.path());

    const QString copy = data.filePath("copy.txt");
    AnswerFileDialog(copy, &startedIn);
    app_->window.ToolbarButton("SaveFile")->trigger();
    QCOMPARE(startedIn, data.path());
    QVERIFY(QFile::exists(copy));

    Restart(keep.path());
    AnswerFileDialog(copy, &startedIn);
    startedIn.clear();
    app_->Item("mnuLoad")->trigger();
    QCOMPARE(startedIn, data.path());
}

// Export GPX... writes all three lists (here only waypoints have rows) and Import GPX... brings
// them back after its question, leaving the lists the file has nothing for.
void tst_frmNavora::gpxExportThenImport()
{
    QString startedIn;
    app_->Data().waypoints.AddRow(
        {"HOME", "5130.500", "N", "00012.345", "W", "0000123", "M", "MY HOUSE", "c"});
    const QString path = app_->dir.filePath("lists.gpx");
    AnswerFileDialog(path, &startedIn);
    app_->Item("mnuExportGpx")->trigger();
    QVERIFY(QFile::exists(path));

    app_->Data().waypoints.Clear();
    app_->Data().track.AddRow({"0001", "TRAK01", "5130.500", "N", "00012.345", "W"});
    app_->ui.ExpectQuestion("Import " + QDir::toNativeSeparators(path) +
                                "?\r\n\r\nIt replaces\r\n  the waypoint list with 1 row\r\n"
                                "Lists not named here stay as they are.",
                            Answer::Yes);
    AnswerFileDialog(path, &startedIn);
    app_->Item("mnuImportGpx")->trigger();
    QVERIFY(app_->ui.AllScriptUsed());
    QCOMPARE(Column(app_->Data().waypoints, WaypointColumn::Description), QStringList{"MY HOUSE"});
    QCOMPARE(app_->Data().track.Count(), 1);
}

// Shutdown stores the outer size of a window neither maximized nor minimized; started and closed
// again and again, the window keeps the size it was given, frame and all.
void tst_frmNavora::windowSize()
{
    QTemporaryDir keep; // the settings, across the restarts
    Restart(keep.path());
    app_->window.Startup();
    app_->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&app_->window));
    app_->window.resize(700, 500);
    QVERIFY(app_->window.Shutdown());
    const QRect outer = app_->window.frameGeometry();
    QCOMPARE(app_->store.Read(SettingsKey::Width),
             QString::number(PixelsToTwips(outer.width(), app_->window.logicalDpiX())));
    QCOMPARE(app_->store.Read(SettingsKey::Height),
             QString::number(PixelsToTwips(outer.height(), app_->window.logicalDpiY())));
    app_->store.Write(SettingsKey::Width, "1234");
    for (void (QWidget::*show)() : {&QWidget::showMaximized, &QWidget::showMinimized}) {
        (app_->window.*show)();
        QVERIFY(app_->window.Shutdown());
        QCOMPARE(app_->store.Read(SettingsKey::Width), QStringLiteral("1234"));
    }

    app_->store.Write(SettingsKey::Height, "7080");
    app_->store.Write(SettingsKey::Width, "9000");
    for (int run = 0; run < 10; ++run) { // ten starts and exits keep the size
        Restart(keep.path());
        app_->window.Startup();
        app_->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&app_->window));
        QTest::qWait(20);
        app_->window.close();
        QCOMPARE(app_->store.Read(SettingsKey::Height), QStringLiteral("7080"));
        QCOMPARE(app_->store.Read(SettingsKey::Width), QStringLiteral("9000"));
    }
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
    app_->Item("mnuFileExit")->trigger();
    QVERIFY(app_->window.isVisible());
    QVERIFY(port.IsOpen());
    QVERIFY(app_->store.Read(SettingsKey::Height).isEmpty());

    app_->ui.ExpectQuestion("Data cannot be sent", Answer::Ignore);
    app_->window.close();
    QVERIFY(!app_->window.isVisible());
    QVERIFY(!port.IsOpen());
    QVERIFY(app_->ui.AllScriptUsed());
}

QTEST_MAIN(tst_frmNavora)
#include "tst_frmNavora.moc"
