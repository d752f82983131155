#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"

#include <QtTest>

Q_DECLARE_METATYPE(LineErrorCounts)

class tst_QtSerialStream : public QObject
{
    Q_OBJECT
private slots:
    void portNames_data();
    void portNames();
    void settings_data();
    void settings();
    void portChangesOnlyWhileClosed();
    void secondOpenOfOneDeviceFails();
    void lineErrors_data();
    void lineErrors();
};

void tst_QtSerialStream::portNames_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("device"); // empty: refused
    QTest::addColumn<QString>("label");
    const auto row = [](const char* port, const char* device, const char* label) {
        QTest::newRow(*port ? port : "empty")
            << QString::fromLatin1(port) << QString::fromLatin1(device)
            << QString::fromLatin1(label);
    };
    row("1", "/dev/ttyS0", "Com1 (/dev/ttyS0)");
    row("16", "/dev/ttyS15", "Com16 (/dev/ttyS15)");
    row("Com3", "/dev/ttyS2", "Com3 (/dev/ttyS2)");
    row("/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0");
    row("/dev/pts/7", "/dev/pts/7", "/dev/pts/7");
    row("0", "", "");
    row("17", "", "");
    row("ttyS0", "", "");
    row("", "", "");
}

void tst_QtSerialStream::portNames()
{
    QFETCH(QString, port);
    QFETCH(QString, device);
    QFETCH(QString, label);
    QCOMPARE(DeviceForPort(port).value_or(QString()), device);

    QtSerialStream stream;
    const std::optional<QString> error = stream.SetPort(port);
    if (device.isEmpty()) {
        QCOMPARE(error, std::optional<QString>(QStringLiteral("Invalid Port Number")));
        QCOMPARE(stream.DevicePath(), QStringLiteral("/dev/ttyS0"));
        return;
    }
    QVERIFY(!error);
    QCOMPARE(stream.DevicePath(), device);
    QCOMPARE(stream.PortLabel(), label);
}

void tst_QtSerialStream::settings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("valid");
    QTest::newRow("4800") << "4800,n,8,1" << true;
    QTest::newRow("even parity, 7 bits, 2 stop") << "9600,e,7,2" << true;
    QTest::newRow("no speed") << ",n,8,1" << false;
    QTest::newRow("bad parity") << "4800,x,8,1" << false;
    QTest::newRow("9 data bits") << "4800,n,9,1" << false;
    QTest::newRow("3 stop bits") << "4800,n,8,3" << false;
}

void tst_QtSerialStream::settings()
{
    QFETCH(QString, settings);
    QFETCH(bool, valid);
    QtSerialStream stream;
    QCOMPARE(stream.Settings(), QStringLiteral("4800,n,8,1"));
    QCOMPARE(!stream.SetSettings(settings), valid);
    QCOMPARE(stream.Settings(), valid ? settings : QStringLiteral("4800,n,8,1"));
}

void tst_QtSerialStream::portChangesOnlyWhileClosed()
{
    auto pty = OpenPseudoTerminal(nullptr);
    QVERIFY(pty);
    QtSerialStream stream;
    QVERIFY(!stream.SetPort(pty->devicePath));
    QCOMPARE(stream.Write("$PMGNCMD,STOP*6A\r\n"),
             std::optional<QString>(QStringLiteral("Operation valid only when the port is open")));
    QVERIFY(!stream.Open());
    QVERIFY(stream.SetPort(QStringLiteral("2")));
    QCOMPARE(stream.DevicePath(), pty->devicePath);
    QVERIFY(!stream.SetSettings(QStringLiteral("9600,n,8,1")));
    QVERIFY(!stream.Close());
    QVERIFY(!stream.IsOpen());
    ClosePseudoTerminal(*pty);
}

void tst_QtSerialStream::secondOpenOfOneDeviceFails()
{
    auto pty = OpenPseudoTerminal(nullptr);
    QVERIFY(pty);
    QtSerialStream first;
    QtSerialStream second;
    first.SetPort(pty->devicePath);
    second.SetPort(pty->devicePath);
    QVERIFY(!first.Open());
    const std::optional<QString> error = second.Open();
    QVERIFY(error);
    QVERIFY(!error->isEmpty());
    QVERIFY(!second.IsOpen());
    first.Close();
    QVERIFY(!second.Open());
    second.Close();
    ClosePseudoTerminal(*pty);
}

void tst_QtSerialStream::lineErrors_data()
{
    QTest::addColumn<LineErrorCounts>("now");
    QTest::addColumn<QStringList>("texts");
    // Counted from: 2 breaks, 1 framing, 0 overrun, 5 parity, 0 buffer overruns.
    QTest::newRow("nothing new") << LineErrorCounts{2, 1, 0, 5, 0} << QStringList{};
    QTest::newRow("break") << LineErrorCounts{3, 1, 0, 5, 0} << QStringList{"Break Received"};
    QTest::newRow("framing has no text") << LineErrorCounts{2, 9, 0, 5, 0} << QStringList{};
    QTest::newRow("overrun and parity")
        << LineErrorCounts{2, 1, 4, 6, 0} << QStringList{"Overrun Error", "Parity Error"};
    QTest::newRow("buffer overrun")
        << LineErrorCounts{2, 1, 0, 5, 1} << QStringList{"Receive Buffer Overflow"};
    QTest::newRow("counters reset by the driver")
        << LineErrorCounts{0, 0, 0, 0, 0} << QStringList{};
}

void tst_QtSerialStream::lineErrors()
{
    QFETCH(LineErrorCounts, now);
    QTEST(LineErrorTexts(LineErrorCounts{2, 1, 0, 5, 0}, now), "texts");
}

QTEST_GUILESS_MAIN(tst_QtSerialStream)
#include "tst_QtSerialStream.moc"
