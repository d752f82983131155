#include "gpslink/ExchangeFrame.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ScriptedInteraction.h"

#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

class tst_ExchangeFrame : public QObject
{
    Q_OBJECT
private slots:
    void everyWayOut_data();
    void everyWayOut();
};

// However an exchange ends, the frame leaves the link free, Cancelled set and the cancel
// window hidden; the link is disconnected exactly when the port went meanwhile. While it
// runs, a second frame is refused and changes nothing.
void tst_ExchangeFrame::everyWayOut_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("activity");
    for (const char* way : {"success", "failure", "cancel", "port gone", "exception"}) {
        QTest::addRow("%s, cancel window", way) << way << "Downloading Routes. Please wait...";
        QTest::addRow("%s, no cancel window", way) << way << QString();
    }
}

void tst_ExchangeFrame::everyWayOut()
{
    QFETCH(QString, way);
    QFETCH(QString, activity);
    FakeSerialStream port;
    port.Open();
    ScriptedInteraction ui;
    GpsLink link(port);
    link.SetConnected(true);
    QSignalSpy busy(&link, &GpsLink::BusyChanged);

    struct
    {
        bool started = false, busy = false, cancelled = true, shown = false;
        bool secondStarted = true, stillBusy = false, stillShown = false;
    } inside;
    const auto exchange = [&]() -> ExchangeOutcome {
        ExchangeFrame frame(link, ui, activity);
        inside.started = frame.Started();
        inside.busy = link.Busy();
        inside.cancelled = link.Cancelled();
        inside.shown = ui.cancelWindowShown;
        {
            ExchangeFrame second(link, ui, QStringLiteral("Connecting to GPS..."));
            inside.secondStarted = second.Started();
        }
        inside.stillBusy = link.Busy();
        inside.stillShown = ui.cancelWindowShown;
        if (way == u"cancel") {
            link.SetCancelled(true);
            return ExchangeOutcome::Cancelled;
        }
        if (way == u"port gone") {
            port.Close();
            return ExchangeOutcome::Failed;
        }
        if (way == u"exception")
            throw std::runtime_error("unexpected");
        return way == u"failure" ? ExchangeOutcome::Failed : ExchangeOutcome::Completed;
    };
    bool threw = false;
    try {
        exchange();
    } catch (const std::runtime_error&) {
        threw = true;
    }

    QCOMPARE(threw, way == u"exception");
    QVERIFY(inside.started && inside.busy && !inside.cancelled);
    QCOMPARE(inside.shown, !activity.isEmpty());
    QVERIFY(!inside.secondStarted && inside.stillBusy);
    QCOMPARE(inside.stillShown, !activity.isEmpty());
    QCOMPARE(ui.cancelWindowTexts, activity.isEmpty() ? QStringList() : QStringList{activity});
    QVERIFY(!link.Busy() && link.Cancelled() && !ui.cancelWindowShown);
    QCOMPARE(busy.count(), 2);
    QCOMPARE(link.Connected(), way != u"port gone");
}

QTEST_GUILESS_MAIN(tst_ExchangeFrame)
#include "tst_ExchangeFrame.moc"
