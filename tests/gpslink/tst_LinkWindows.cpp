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
#include "tests/support/MainWindow.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class tst_LinkWindows : public QObject
{
    Q_OBJECT
private slots:
    void monitorLog();
    void cancelWindow();
    void mainWindowFollowsTheLink();
    void closedWhileConnecting();
};

namespace {

// The main window on the real port class, with a time-out a loaded machine can answer in.
struct Window : MainWindow<QtSerialStream>
{
    Window() { window.Space().Link().SetTimeout(std::chrono::milliseconds(500)); }
};

} // namespace

// The window shows the last 16,000 characters, trimmed from the front, and Save... writes every
// line; keys cannot edit the log and Ctrl+C copies; the Close button keeps the log, the close
// box drops it.
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
    int lines = 0;
    for (; monitor.Log().size() <= 16000; ++lines)
        monitor.ShowData(line.arg(lines, 4, 10, QChar(u'0')));
    const QString before = monitor.Log();
    monitor.ShowData(QStringLiteral("> last\r\n"));
    const QString after = monitor.Log();
    QCOMPARE(after, before.mid(4096) + QStringLiteral("> last\n"));
    QCOMPARE(monitor.txtTerm->textCursor().position(), after.size());

    QTemporaryDir dir;
    QSignalSpy saved(&monitor, &frmMonitor::LogSaved);
    monitor.SaveLog(dir.filePath(QStringLiteral("monitor.log")));
    QVERIFY(saved.wait());
    QCOMPARE(saved.front(), QVariantList({dir.filePath(QStringLiteral("monitor.log")), QString()}));
    QFile file(dir.filePath(QStringLiteral("monitor.log")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList written = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(written.size(), lines + 1);
    QVERIFY(written.front().endsWith(QStringLiteral(",NAME0000,,a*00")));
    QVERIFY(written.back().endsWith(QStringLiteral(" > last")));

    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTextCursor cursor = monitor.txtTerm->textCursor();
    cursor.setPosition(after.size() - 5);
    cursor.setPosition(after.size() - 1, QTextCursor::KeepAnchor);
    monitor.txtTerm->setTextCursor(cursor);
    monitor.txtTerm->setReadOnly(false); // the filter alone must hold
    QTest::keyClick(monitor.txtTerm, Qt::Key_A);
    QTest::keyClick(monitor.txtTerm, Qt::Key_Backspace);
    QTest::keyClick(monitor.txtTerm, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(monitor.Log(), after);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("pasted"));
    QTest::keyClick(monitor.txtTerm, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("last"));

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

// The main window is disabled for as long as the cancel window shows; it shows how far a
// transfer is, its Cancel button and close box cancel, and the exchange hides it once it has
// stopped, giving the keyboard back to the control that had it.
void tst_LinkWindows::cancelWindow()
{
    QWidget main;
    auto* list = new QLineEdit(&main); // where the user was
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    list->setFocus();
    FakeSerialStream port;
    GpsLink link(port);
    MessageBoxInteraction ui(&main, {});
    ui.SetLink(link);
    {
        ExchangeFrame frame(link, ui, QStringLiteral("Downloading the track. Please wait..."));
        frmCancel* window = ui.CancelWindow();
        QVERIFY(!main.isEnabled() && window && window->isVisible());
        QCOMPARE(window->Label1->text(), QStringLiteral("Downloading the track. Please wait..."));
        ui.ShowProgress(12, 500); // an upload knows its total
        QCOMPARE(window->lblProgress->text(), QStringLiteral("12 of 500"));
        QVERIFY(window->prgProgress->isVisible() && window->prgProgress->maximum() == 500 &&
                window->prgProgress->value() == 12);
        ui.ShowProgress(7, 0); // a download counts
        QCOMPARE(window->lblProgress->text(), QStringLiteral("7 received"));
        QVERIFY(window->lblProgress->isVisible() && !window->prgProgress->isVisible());
        for (const bool closeBox : {true, false}) {
            link.SetCancelled(false);
            closeBox ? void(window->close()) : window->Command1->click();
            QVERIFY(link.Cancelled() && window->isVisible());
        }
    }
    QVERIFY(main.isEnabled() && !ui.CancelWindow()->isVisible());
    QCOMPARE(main.focusWidget(), list); // the keyboard goes on where it was
}

// The log menu opens the monitor on the handshake, and Save... pressed meanwhile does not hold
// it up: the file dialog is still open when it ends, and the saved log holds it whole. The
// receiver going away leaves the window looking disconnected; once it is back Connect connects
// again, Disconnect's sentences are logged too, and closing the monitor turns the log off.
void tst_LinkWindows::mainWindowFollowsTheLink()
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("gps"));
    auto sim = std::make_unique<Simulator>(QStringList{"--link", device});
    Window w;
    w.port.SetPort(device);
    QAction* open = w.Item("mnuOpenGPS");
    QAction* log = w.Item("mnuOpenLog");
    QAction* button = w.window.ToolbarButton(QStringLiteral("OpenGPS"));
    auto* download = w.window.findChild<QMenu*>(QStringLiteral("mnuDown"));
    log->trigger();
    QVERIFY(w.window.Space().Link().MonitorOn() && log->isChecked());
    frmMonitor* monitor = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        monitor = monitor ? monitor : qobject_cast<frmMonitor*>(widget);
    QVERIFY(monitor && monitor->isVisible());
    QPointer<QFileDialog> dialog;
    bool pressed = false;
    connect(&w.window.Space().Link(), &GpsLink::MonitorText, this, [&] {
        if (!pressed && w.window.Space().Busy()) {
            pressed = true;
            monitor->btnSave->click();
            dialog = monitor->findChild<QFileDialog*>();
        }
    });
    // Had the dialog held the handshake up, this closes it so that the test ends.
    QTimer::singleShot(60000, &w.window, [monitor] {
        if (auto* held = monitor->findChild<QFileDialog*>())
            held->reject();
    });
    open->trigger();
    QVERIFY2(dialog && dialog->isVisible(), "the exchange waited for the file dialog");
    QCOMPARE(open->text(), QStringLiteral("Disconnect from GPS"));
    QCOMPARE(button->text(), QStringLiteral("Disconn"));
    QVERIFY(download->menuAction()->isEnabled());
    QCOMPARE(w.ui.status[StatusPanel::Settings], QStringLiteral("Detected: MAP 410 4.02"));
    QVERIFY(monitor->Log().contains(QStringLiteral("> $PMGNCMD,VERSION*28\n< $PMGNVER,")));
    QSignalSpy saved(monitor, &frmMonitor::LogSaved);
    dialog->setDirectory(dir.path());
    static_cast<QDialog*>(dialog.data())->accept();
    QVERIFY(saved.wait());
    QCOMPARE(saved.front().back().toString(), QString());
    QVERIFY(saved.front().front().toString().startsWith(dir.path()));
    QFile file(saved.front().front().toString());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    QVERIFY(written.contains(QStringLiteral(" > $PMGNCMD,VERSION*28\n")));
    QVERIFY(written.contains(QStringLiteral(" > $PMGNCMD,HANDON*")));

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
    QCOMPARE(w.ui.status[StatusPanel::Status], ConnectionText::Connected);
    w.window.tbrToolBar_ButtonClick(button);
    QVERIFY(!w.port.IsOpen());
    QVERIFY(monitor->Log().contains(QStringLiteral("> $PMGNCMD,HANDOFF*3E\n< $PMGNCSM,3E*")));
    monitor->close();
    QVERIFY(!w.window.Space().Link().MonitorOn() && !log->isChecked());
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
    QVERIFY(!w.store.Read(SettingsKey::Height).isEmpty());
    QVERIFY(!w.ui.MessageTexts().contains(ConnectionText::NoResponse));
}

QTEST_MAIN(tst_LinkWindows)
#include "tst_LinkWindows.moc"
