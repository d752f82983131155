#include "app/frmNavora.h"
#include "gpslink/GpsLink.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/frmCancel.h"
#include "gpslink/frmMonitor.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_LinkWindows : public QObject
{
    Q_OBJECT
private slots:
    void logIsTrimmedFromTheFront();
    void keysCannotEditTheLog_data();
    void keysCannotEditTheLog();
    void ctrlCCopies();
    void closeKeepsTheLogCloseBoxDropsIt();
    void cancelSetsCancelled();
    void mainWindowConnectsAndLogs();
};

void tst_LinkWindows::logIsTrimmedFromTheFront()
{
    frmMonitor monitor;
    monitor.ShowMonitor();
    const QString line =
        QStringLiteral("< $PMGNWPL,5213.123,N,00012.345,W,0000012,M,NAME%1,,a*00\r\n");
    int n = 0;
    while (monitor.Log().size() <= frmMonitor::kLogLimit)
        monitor.ShowData(line.arg(n++, 4, 10, QChar(u'0')));
    const QString before = monitor.Log();
    monitor.ShowData(QStringLiteral("> last\r\n"));

    const QString after = monitor.Log();
    QCOMPARE(after, before.mid(frmMonitor::kLogTrim) + QStringLiteral("> last\n"));
    QCOMPARE(monitor.txtTerm->textCursor().position(), after.size());
    QCOMPARE(monitor.txtTerm->palette().color(QPalette::Text), QColor(0, 0, 255));
}

void tst_LinkWindows::keysCannotEditTheLog_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier);
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier);
    QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier);
}

void tst_LinkWindows::keysCannotEditTheLog()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    frmMonitor monitor;
    monitor.ShowMonitor();
    monitor.ShowData(QStringLiteral("> $PMGNCMD,VERSION*28\r\n"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    monitor.txtTerm->setReadOnly(false); // the filter alone must hold
    QTest::keyClick(monitor.txtTerm, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(monitor.Log(), QStringLiteral("> $PMGNCMD,VERSION*28\n"));
    QCOMPARE(monitor.txtTerm->textCursor().position(), monitor.Log().size());
    QVERIFY(!monitor.txtTerm->textCursor().hasSelection());
}

void tst_LinkWindows::ctrlCCopies()
{
    frmMonitor monitor;
    monitor.ShowMonitor();
    monitor.ShowData(QStringLiteral("< Timeout\r\n"));
    QApplication::clipboard()->clear();
    QTextCursor cursor = monitor.txtTerm->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    monitor.txtTerm->setTextCursor(cursor);
    QTest::keyClick(monitor.txtTerm, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Timeout"));
}

void tst_LinkWindows::closeKeepsTheLogCloseBoxDropsIt()
{
    frmMonitor monitor;
    int requests = 0;
    QObject::connect(&monitor, &frmMonitor::CloseRequested, [&] {
        ++requests;
        monitor.hide();
    });
    monitor.ShowMonitor();
    monitor.ShowData(QStringLiteral("< Timeout\r\n"));

    monitor.btnClose->click();
    QVERIFY(!monitor.isVisible());
    monitor.ShowMonitor();
    QCOMPARE(monitor.Log(), QStringLiteral("< Timeout\n"));

    monitor.close();
    QVERIFY(!monitor.isVisible());
    monitor.ShowMonitor();
    QCOMPARE(monitor.Log(), QString());
    QCOMPARE(requests, 2);
}

void tst_LinkWindows::cancelSetsCancelled()
{
    QtSerialStream port;
    ScriptedInteraction ui;
    GpsLink link(port, ui);
    frmCancel window(link);
    link.SetCancelled(false);
    window.ShowActivity(QStringLiteral("Connecting to GPS..."));
    QCOMPARE(window.Label1->text(), QStringLiteral("Connecting to GPS..."));
    QVERIFY(window.isVisible());

    window.close(); // the close box does not take it away mid-exchange
    QVERIFY(window.isVisible());
    QVERIFY(link.Cancelled());

    link.SetCancelled(false);
    window.Command1->click();
    QVERIFY(link.Cancelled());
    QVERIFY(window.isVisible()); // the exchange hides it when it has stopped
}

void tst_LinkWindows::mainWindowConnectsAndLogs()
{
    Simulator sim({});
    QVERIFY(!sim.Device().isEmpty());
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
    QVERIFY(open->isEnabled() && log->isEnabled());

    log->trigger();
    QVERIFY(window.Link().MonitorOn() && log->isChecked());
    open->trigger();
    QVERIFY(port.IsOpen());
    QCOMPARE(open->text(), QStringLiteral("Disconnect from GPS"));
    QCOMPARE(ui.status[StatusPanel::Status], QStringLiteral("Status: Connected"));
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
