#include "app/frmNavora.h"
#include "gpslink/GpsLink.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/frmCancel.h"
#include "gpslink/frmMonitor.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"

#include <QApplication>
#include <QClipboard>
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
    void mainWindowConnectsAndLogs();
};

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
    ScriptedInteraction ui;
    GpsLink link(port, ui);
    frmCancel window(link);
    window.ShowActivity(QStringLiteral("Connecting to GPS..."));
    for (const bool closeBox : {true, false}) {
        link.SetCancelled(false);
        closeBox ? void(window.close()) : window.Command1->click();
        QVERIFY(link.Cancelled());
        QVERIFY(window.isVisible());
    }
}

void tst_LinkWindows::mainWindowConnectsAndLogs()
{
    Simulator sim({});
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("navora.ini")), QSettings::IniFormat);
    SettingsStore settings(store);
    QtSerialStream port;
    port.SetPort(sim.Device());
    ScriptedInteraction ui;
    frmNavora window(settings, port, &ui);
    window.Link().SetTimeout(std::chrono::milliseconds(500));
    auto* open = window.findChild<QAction*>(QStringLiteral("mnuOpenGPS"));
    auto* log = window.findChild<QAction*>(QStringLiteral("mnuOpenLog"));

    log->trigger();
    QVERIFY(window.Link().MonitorOn() && log->isChecked());
    open->trigger();
    QVERIFY(port.IsOpen());
    QCOMPARE(open->text(), QStringLiteral("Disconnect from GPS"));
    frmMonitor* monitor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        monitor = monitor ? monitor : qobject_cast<frmMonitor*>(w);
    QVERIFY(monitor && monitor->isVisible());
    QVERIFY(monitor->Log().contains(QStringLiteral("> $PMGNCMD,VERSION*28\n< $PMGNVER,")));

    window.tbrToolBar_ButtonClick(window.ToolbarButton(QStringLiteral("OpenGPS")));
    QVERIFY(!port.IsOpen());
    QVERIFY(monitor->Log().contains(QStringLiteral("> $PMGNCMD,HANDOFF*3E\n< $PMGNCSM,3E*")));

    monitor->close();
    QVERIFY(!window.Link().MonitorOn() && !log->isChecked());
}

QTEST_MAIN(tst_LinkWindows)
#include "tst_LinkWindows.moc"
