#include "app/MessageBoxInteraction.h"
#include "app/frmNavora.h"
#include "gpslink/Connection.h"
#include "gpslink/ExchangeFrame.h"
#include "gpslink/GpsLink.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/frmCancel.h"
#include "gpslink/frmMonitor.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_LinkWindows : public QObject
{
    Q_OBJECT
private slots:
    void monitorLog();
    void keys_data();
    void keys();
    void cancelSetsCancelled();
    void cancelWindowDisablesTheMainWindow_data();
    void cancelWindowDisablesTheMainWindow();
    void mainWindowConnectsAndLogs();
    void hangUpThenConnectAgain();
    void closedWhileConnecting();
};

namespace {

// The main window with a scripted user on the real port class and a settings file of its own.
struct Window
{
    Window() { window.Space().Link().SetTimeout(std::chrono::milliseconds(500)); }
    QAction* Item(const char* name)
    {
        return window.findChild<QAction*>(QString::fromLatin1(name));
    }
    QTemporaryDir dir;
    QSettings store{dir.filePath(QStringLiteral("navora.ini")), QSettings::IniFormat};
    SettingsStore settings{store};
    QtSerialStream port;
    ScriptedInteraction ui;
    frmNavora window{settings, port, &ui};
};

} // namespace

// The log is trimmed from the front; the Close button keeps it, the close box drops it.
void tst_LinkWindows::monitorLog()
{
    frmMonitor monitor;
    int requests = 0;
    QObject::connect(&monitor, &frmMonitor::CloseRequested, [&] {
        ++requests;
        monitor.hide();
    });
    monitor.ShowMonitor();
    const QString line = "< $PMGNWPL,5213.123,N,00012.345,W,0000012,M,NAME%1,,a*00\r\n";
    for (int n = 0; monitor.Log().size() <= 16000; ++n)
        monitor.ShowData(line.arg(n, 4, 10, QChar(u'0')));
    const QString before = monitor.Log();
    monitor.ShowData(QStringLiteral("> last\r\n"));
    const QString after = monitor.Log();
    QCOMPARE(after, before.mid(4096) + QStringLiteral("> last\n"));
    QCOMPARE(monitor.txtTerm->textCursor().position(), after.size());

    monitor.btnClose->click();
    QVERIFY(!monitor.isVisible());
    monitor.ShowMonitor();
    QCOMPARE(monitor.Log(), after);
    monitor.close();
    QVERIFY(!monitor.isVisible());
    monitor.ShowMonitor();
    QCOMPARE(monitor.Log(), QString());
    QCOMPARE(requests, 2);
}

// Keys cannot edit the log; Ctrl+C copies the selection.
void tst_LinkWindows::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << "pasted";
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << "pasted";
    QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier) << "pasted";
    QTest::newRow("copy") << int(Qt::Key_C) << int(Qt::ControlModifier) << "PMGNCMD";
}

void tst_LinkWindows::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    frmMonitor monitor;
    monitor.ShowMonitor();
    monitor.ShowData(QStringLiteral("> $PMGNCMD,VERSION*28\r\n"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTextCursor cursor = monitor.txtTerm->textCursor();
    cursor.setPosition(3);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    monitor.txtTerm->setTextCursor(cursor);
    monitor.txtTerm->setReadOnly(false); // the filter alone must hold
    QTest::keyClick(monitor.txtTerm, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(monitor.Log(), QStringLiteral("> $PMGNCMD,VERSION*28\n"));
    QTEST(QApplication::clipboard()->text(), "clipboard");
}

// The Cancel button and the close box cancel; the exchange hides the window when it has stopped.
void tst_LinkWindows::cancelSetsCancelled()
{
    QtSerialStream port;
    GpsLink link(port);
    frmCancel window(link);
    window.ShowActivity(QStringLiteral("Connecting to GPS..."));
    for (const bool closeBox : {true, false}) {
        link.SetCancelled(false);
        closeBox ? void(window.close()) : window.Command1->click();
        QVERIFY(link.Cancelled());
        QVERIFY(window.isVisible());
    }
}

// The main window is disabled for as long as the cancel window shows, however the exchange
// ends.
void tst_LinkWindows::cancelWindowDisablesTheMainWindow_data()
{
    QTest::addColumn<bool>("throws");
    QTest::newRow("exchange returns") << false;
    QTest::newRow("exchange throws") << true;
}

void tst_LinkWindows::cancelWindowDisablesTheMainWindow()
{
    QFETCH(bool, throws);
    QWidget main;
    main.show();
    FakeSerialStream port;
    GpsLink link(port);
    MessageBoxInteraction ui(&main, {});
    ui.SetLink(link);
    bool disabled = false, shown = false;
    QString text;
    try {
        ExchangeFrame frame(link, ui, QStringLiteral("Downloading the track. Please wait..."));
        disabled = !main.isEnabled();
        shown = ui.CancelWindow() && ui.CancelWindow()->isVisible();
        text = shown ? ui.CancelWindow()->Label1->text() : QString();
        if (throws)
            throw std::runtime_error("unexpected");
    } catch (const std::runtime_error&) {
    }
    QVERIFY(disabled && shown);
    QCOMPARE(text, QStringLiteral("Downloading the track. Please wait..."));
    QVERIFY(main.isEnabled());
    QVERIFY(!ui.CancelWindow()->isVisible());
}

void tst_LinkWindows::mainWindowConnectsAndLogs()
{
    Simulator sim({});
    Window w;
    w.port.SetPort(sim.Device());
    QAction* open = w.Item("mnuOpenGPS");
    QAction* log = w.Item("mnuOpenLog");

    log->trigger();
    QVERIFY(w.window.Space().Link().MonitorOn() && log->isChecked());
    open->trigger();
    QVERIFY(w.port.IsOpen());
    QCOMPARE(open->text(), QStringLiteral("Disconnect from GPS"));
    frmMonitor* monitor = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        monitor = monitor ? monitor : qobject_cast<frmMonitor*>(widget);
    QVERIFY(monitor && monitor->isVisible());
    QVERIFY(monitor->Log().contains(QStringLiteral("> $PMGNCMD,VERSION*28\n< $PMGNVER,")));

    w.window.tbrToolBar_ButtonClick(w.window.ToolbarButton(QStringLiteral("OpenGPS")));
    QVERIFY(!w.port.IsOpen());
    QVERIFY(monitor->Log().contains(QStringLiteral("> $PMGNCMD,HANDOFF*3E\n< $PMGNCSM,3E*")));

    monitor->close();
    QVERIFY(!w.window.Space().Link().MonitorOn() && !log->isChecked());
}

// The receiver goes away while connected: after the port error the window looks
// disconnected, and Connect connects to the receiver once it is back.
void tst_LinkWindows::hangUpThenConnectAgain()
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("gps"));
    auto sim = std::make_unique<Simulator>(QStringList{"--link", device});
    Window w;
    w.port.SetPort(device);
    QAction* open = w.Item("mnuOpenGPS");
    QAction* button = w.window.ToolbarButton(QStringLiteral("OpenGPS"));
    auto* download = w.window.findChild<QMenu*>(QStringLiteral("mnuDown"));
    open->trigger();
    QCOMPARE(button->text(), QStringLiteral("Disconn"));
    QVERIFY(download->menuAction()->isEnabled());

    w.ui.ExpectQuestion(QStringLiteral("Unknown error or event"), Answer::Ok);
    sim.reset();
    QTRY_COMPARE(open->text(), QStringLiteral("Connect to GPS"));
    QCOMPARE(button->text(), QStringLiteral("Connect"));
    QVERIFY(!download->menuAction()->isEnabled());
    QCOMPARE(w.ui.status[StatusPanel::Status], ConnectionText::Disconnected);
    QCOMPARE(w.ui.status[StatusPanel::Settings], "Settings: " + device + ",4800,n,8,1");
    QVERIFY(w.ui.AllScriptUsed());

    sim = std::make_unique<Simulator>(QStringList{"--link", device});
    open->trigger();
    QCOMPARE(button->text(), QStringLiteral("Disconn"));
    QCOMPARE(w.ui.status[StatusPanel::Status], ConnectionText::Connected);
    QVERIFY(w.ui.unexpected.isEmpty());
}

// Closing the window while a connect runs cancels it; once it has ended the usual shutdown
// runs, the last window closes and the program's event loop ends.
void tst_LinkWindows::closedWhileConnecting()
{
    Simulator sim({"--silent"});
    Window w;
    w.port.SetPort(sim.Device());
    w.window.Startup();
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    bool stayedWhileBusy = false;
    QTimer::singleShot(0, &w.window, [&] { w.Item("mnuOpenGPS")->trigger(); });
    QTimer::singleShot(std::chrono::milliseconds(300), &w.window, [&] {
        w.window.close();
        stayedWhileBusy = w.window.isVisible() && w.window.Space().Busy();
    });
    // A loop that does not end would stop here; this ends it with a failure instead.
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(std::chrono::seconds(60));
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(stayedWhileBusy);
    QVERIFY(!w.window.isVisible());
    QVERIFY(!w.port.IsOpen());
    QVERIFY(!w.settings.Read(SettingsKey::Height).isEmpty());
    QVERIFY(!w.ui.MessageTexts().contains(ConnectionText::NoResponse));
}

QTEST_MAIN(tst_LinkWindows)
#include "tst_LinkWindows.moc"
