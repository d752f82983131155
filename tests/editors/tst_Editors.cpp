#include "app/ReportView.h"
#include "app/frmNavora.h"
#include "coords/dlgGrid.h"
#include "editors/frmEditRoute.h"
#include "editors/frmEditWay.h"
#include "editors/frmProperties.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ListTexts.h"
#include "tests/support/MainWindow.h"
#include "workspace/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>
#include <functional>

namespace {

// The main window started and shown; with `badPort` the stored port cannot be used and
// start-up stops there.
struct App : MainWindow<FakeSerialStream>
{
    explicit App(bool badPort = false)
    {
        store.Write(SettingsKey::Datum, "WGS84 World Geodetic System");
        if (badPort) {
            store.Write(SettingsKey::CommPort, "99");
            port.portError = QStringLiteral("Invalid Port Number");
        }
        window.Startup();
        port.portError.reset();
        window.show();
    }
    ListModel& Waypoints() { return window.Space().List(ListKind::Waypoints); }
};

// Runs `act` on the modal dialog of type T once the event loop shows it; `shown` says it did.
// The dialog is looked for until it shows, since the route editor lets events run before.
template <typename T> void WhenShown(bool& shown, std::function<void(T&)> act)
{
    shown = false;
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, &shown, act, tries = 0]() mutable {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 200)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog)
            return;
        shown = true;
        // Offscreen, a dialog opened from a click may leave the main window active.
        dialog->activateWindow();
        if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }))
            qWarning("the dialog did not become active");
        act(*dialog);
    });
    timer->start();
}

void Press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

// Each key to the widget that has the focus when it is pressed: "\t" is Tab, "\r" Return.
void Keys(const char* keys)
{
    for (; *keys; ++keys)
        QTest::keyClick(QApplication::focusWidget(), *keys);
}

void ClickButton(frmNavora& window, const QString& key)
{
    QToolBar* bar = window.findChild<QToolBar*>("tbrToolBar");
    QTest::mouseClick(bar->widgetForAction(window.ToolbarButton(key)), Qt::LeftButton);
}

} // namespace

class tst_Editors : public QObject
{
    Q_OBJECT
private slots:
    void newWaypointByKeyboard();
    void doubleClickAndGridButton();
    void routeEditorTypesUpperCase();
    void setupAppliesAndRefreshesPanels();
};

// New, then the boxes in tab order with their filters and Enter for OK. OK checks the name
// even when it was never left; a box that fails as it is left keeps the focus.
void tst_Editors::newWaypointByKeyboard()
{
    App app;
    bool shown = false;
    WhenShown<frmEditWay>(shown, [](frmEditWay& editor) {
        QCOMPARE(QApplication::focusWidget(), editor.txtID);
        Keys("ab\r");
        QCOMPARE(QApplication::focusWidget(), editor.txtID);
        Keys("home\t9x1\t");
        QCOMPARE(QApplication::focusWidget(), editor.txtLat);
        Keys("5\t30.5\t\t0\t12.345\t"); // N and W, as chosen; then the arrow turns W to E
        Press(Qt::Key_Right);
        Keys("\t-5\t\tgarden\t"); // metres, as chosen
        QCOMPARE(QApplication::focusWidget(), editor.comboIcon);
        Keys("C\r");
    });
    ClickButton(app.window, "Insert");
    QVERIFY(shown);
    QCOMPARE(app.ui.MessageTexts(), (QStringList{"Waypoint ID must be 3-6 characters",
                                                 "Latitude range 0-90\r\nFormat: dd mm.mmm"}));
    QCOMPARE(Rows(app.Waypoints()), QStringList{"HOME|0530.500|N|00012.345|E|-000005|M|GARDEN|c"});
    QCOMPARE(app.Waypoints().IconKey(0), "c");
}

// A double-click opens the editor on its row; the grid button fills the grid dialog from the
// position, the dialog's OK writes the position back, and the editor's OK replaces the row.
void tst_Editors::doubleClickAndGridButton()
{
    App app;
    app.window.Space().State().currentGrid = "UTM";
    app.window.Space().SelectGrid("UTM");
    app.window.GridDialog().ApplyGrid("UTM", true);
    app.Waypoints().AddRow({"HOME", "5130.250", "N", "00012.345", "W", "0000010", "M", "", "a"});
    app.Waypoints().AddRow({"CAPE", "3354.000", "S", "01824.000", "E", "0000010", "M", "BAY", "k"});
    ReportView* view = app.window.ListView(ListKind::Waypoints);
    QVERIFY(QTest::qWaitForWindowExposed(&app.window));
    bool shown = false, gridShown = false;
    QString opened, reference;
    WhenShown<frmEditWay>(shown, [&](frmEditWay& editor) {
        opened = editor.txtID->text() + QString::number(editor.optNS[1]->isChecked()) +
                 editor.comboIcon->currentText() + ' ' + editor.cmdGrid->text();
        WhenShown<dlgGrid>(gridShown, [&reference](dlgGrid& grid) {
            reference = grid.txtSheet->text() + grid.txtLetter->text() + ' ' +
                        grid.txtEast->text() + ' ' + grid.txtNorth->text();
            grid.txtEast->setText("259584");
            QTest::mouseClick(grid.OKButton, Qt::LeftButton);
        });
        QTest::mouseClick(editor.cmdGrid, Qt::LeftButton);
        QTRY_COMPARE(QApplication::activeWindow(), &editor);
        editor.txtDesc->end(false);
        QTest::keyClicks(editor.txtDesc, "side");
        QTest::mouseClick(editor.cmdOK, Qt::LeftButton);
    });
    // A double-click, as the mouse makes one: press, release, double-click, release.
    const QPoint second = view->visualRect(view->model()->index(1, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, second);
    QVERIFY(shown && gridShown);
    QCOMPARE(opened, "CAPE1k UTM");
    QCOMPARE(reference, "34H 259583 6245888");
    const QStringList row = Rows(app.Waypoints()).value(1).split(u'|');
    QCOMPARE(row.mid(1, 2) + row.mid(7), QStringList({"3354.000", "S", "BAYSIDE", "k"}));
    QVERIFY(row[3] != "01824.000");
    QCOMPARE(app.ui.MessageTexts(), QStringList());
}

void tst_Editors::routeEditorTypesUpperCase()
{
    App app;
    app.Waypoints().AddRow({"HOME"});
    app.Waypoints().AddRow({"WORK"});
    app.window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(1);
    bool shown = false;
    int offered = 0;
    WhenShown<frmEditRoute>(shown, [&offered](frmEditRoute& editor) {
        QCOMPARE(editor.Route->currentText(), "01");
        offered = editor.Way[30]->count();
        Keys("\ttrip\thome\t\twork\r");
    });
    ClickButton(app.window, "Insert");
    QVERIFY(shown);
    QCOMPARE(offered, 2);
    QCOMPARE(app.ui.cancelWindowTexts.size(), 1);
    const RouteStore& routes = app.window.Space().Routes();
    QCOMPARE(routes.Name(1), "TRIP");
    QCOMPARE(routes.Points(1), QStringList({"HOME", "WORK"}));

    // Detail on the route: its number cannot be changed.
    app.window.ListView(ListKind::Routes)->selectRow(1);
    WhenShown<frmEditRoute>(shown, [](frmEditRoute& editor) {
        QVERIFY(editor.Route->lineEdit()->isReadOnly());
        QCOMPARE(editor.Way[1]->currentText(), "WORK");
        Press(Qt::Key_Escape);
    });
    ClickButton(app.window, "Edit");
    QVERIFY(shown);
}

// A port setting start-up cannot use leaves Setup within reach to mend it; OK applies the
// choices and the panels are written again.
void tst_Editors::setupAppliesAndRefreshesPanels()
{
    App app(true);
    QCOMPARE(app.ui.MessageTexts().size(), 1);
    app.window.ListView(ListKind::Waypoints)->SetGridLines(true);
    bool shown = false;
    WhenShown<frmProperties>(shown, [](frmProperties& dialog) {
        QVERIFY(dialog.chkGrid->isChecked());
        QCOMPARE(dialog.cboPort->currentText(), "Com1");
        QTest::mouseClick(dialog.optGrid[1], Qt::LeftButton);
        QVERIFY(!dialog.cbSheet->isEnabled());
        dialog.cboSpeed->setFocus();
        Press(Qt::Key_Down);
        Press(Qt::Key_Return);
    });
    ClickButton(app.window, "Properties");
    QVERIFY(shown);
    QCOMPARE(app.ui.MessageTexts().last(), PropertyText::SpeedWarning);
    QVERIFY(app.window.ListView(ListKind::Track)->showGrid());
    QCOMPARE(app.ui.status[StatusPanel::Settings], "Settings: Com1,9600,n,8,1");
    QCOMPARE(app.ui.status[StatusPanel::Datum], "WGS84");
    QVERIFY(!app.window.GridDialog().txtSheet->isVisibleTo(&app.window.GridDialog()));
    QCOMPARE(app.store.Read(SettingsKey::CommPort), "1");
    QCOMPARE(app.store.Read(SettingsKey::Grid), "OSNI");
}

QTEST_MAIN(tst_Editors)
#include "tst_Editors.moc"
