#include "app/frmNavora.h"
#include "gpslink/GpsLink.h"
#include "gpslink/ProtocolLog.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/frmMonitor.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/MainWindow.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

class tst_MonitorLog : public QObject
{
    Q_OBJECT
private slots:
    void lineForm();
    void keepsTheLastMegabytes();
    void savingDoesNotHoldUpAnExchange();
};

namespace {

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

// The moment reads back to the millisecond; the text keeps its direction mark, loses its line
// end, and a break inside it cannot split the line.
void tst_MonitorLog::lineForm()
{
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(1781179392345);
    const QString line = ProtocolLogLine(moment, u"< $PMGNCSM,28*1C\r\n");
    const QRegularExpression form(
        QStringLiteral(R"(^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d)) (.*)$)"));
    const QRegularExpressionMatch match = form.match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    QCOMPARE(QDateTime::fromString(match.captured(1), Qt::ISODateWithMs), moment);
    QCOMPARE(match.captured(3), QStringLiteral("< $PMGNCSM,28*1C"));
    QVERIFY(ProtocolLogLine(moment, u"< A\rB\n").endsWith(QStringLiteral(" < A B")));
}

void tst_MonitorLog::keepsTheLastMegabytes()
{
    ProtocolLog log;
    const QString line = QStringLiteral("< $PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,"
                                        "061226*6B\r\n");
    const int lines = int(ProtocolLog::kLimit / line.size()) + 1000;
    for (int i = 0; i < lines; ++i)
        log.Add(line + QString::number(i));
    const std::vector<ProtocolLog::Entry> entries = log.Entries();
    QVERIFY(log.Dropped() > 0);
    QCOMPARE(qint64(entries.size()) + log.Dropped(), qint64(lines));
    QVERIFY(entries.back().text.endsWith(QString::number(lines - 1)));
    QVERIFY(entries.front().text.endsWith(QString::number(log.Dropped())));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trimmed.log"));
    QCOMPARE(SaveProtocolLog(path, entries, log.Dropped()), std::nullopt);
    const QStringList saved = FileLines(path);
    QCOMPARE(saved.size(), qsizetype(entries.size()) + 1);
    QCOMPARE(saved.front(), QStringLiteral("(%1 earlier lines are not in this log, which keeps the "
                                           "last 4 MB)")
                                .arg(log.Dropped()));
    QVERIFY(SaveProtocolLog(dir.filePath(QStringLiteral("no/such/folder.log")), entries, 0));
}

// Save... pressed while the receiver is being connected: the exchange finishes with the file
// dialog still open, and the saved log holds the whole exchange.
void tst_MonitorLog::savingDoesNotHoldUpAnExchange()
{
    Simulator sim({});
    QVERIFY(!sim.Device().isEmpty());
    QTemporaryDir dir;
    MainWindow<QtSerialStream> w;
    frmNavora& window = w.window;
    window.Space().Link().SetTimeout(std::chrono::milliseconds(500));
    w.port.SetPort(sim.Device());
    window.mnuOpenLog_Click();
    frmMonitor* monitor = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        monitor = monitor ? monitor : qobject_cast<frmMonitor*>(widget);
    QVERIFY(monitor);

    QPointer<QFileDialog> dialog;
    connect(&window.Space().Link(), &GpsLink::MonitorText, this, [&] {
        if (!dialog && window.Space().Busy()) {
            monitor->btnSave->click();
            dialog = monitor->findChild<QFileDialog*>();
        }
    });
    // Had the dialog held the exchange up, this closes it so that the test ends.
    QTimer::singleShot(60000, this, [&] {
        if (dialog)
            dialog->reject();
    });
    window.mnuOpenGPS_Click();
    QVERIFY(window.Space().Connected());
    QVERIFY2(dialog && dialog->isVisible(), "the exchange waited for the file dialog");

    QSignalSpy saved(monitor, &frmMonitor::LogSaved);
    dialog->setDirectory(dir.path());
    static_cast<QDialog*>(dialog.data())->accept();
    QVERIFY(saved.wait());
    QCOMPARE(saved.front().back().toString(), QString());
    QVERIFY(saved.front().front().toString().startsWith(dir.path()));
    const QString log = FileLines(saved.front().front().toString()).join(u'\n');
    QVERIFY(log.contains(QStringLiteral(" > $PMGNCMD,VERSION*28\n")));
    QVERIFY(log.contains(QStringLiteral(" > $PMGNCMD,HANDON*")));
    window.mnuOpenGPS_Click();
}

QTEST_MAIN(tst_MonitorLog)
#include "tst_MonitorLog.moc"
