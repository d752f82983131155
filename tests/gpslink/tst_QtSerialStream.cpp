#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"

#include <QtTest>

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
    void writeToClosedPortFails();
};

void tst_QtSerialStream::portNames_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("device"); // empty: refused
    QTest::addColumn<QString>("label");
    QTest::newRow("1") << "1"
                       << "/dev/ttyS0"
                       << "Com1 (/dev/ttyS0)";
    QTest::newRow("16") << "16"
                        << "/dev/ttyS15"
                        << "Com16 (/dev/ttyS15)";
    QTest::newRow("Com3") << "Com3"
                          << "/dev/ttyS2"
                          << "Com3 (/dev/ttyS2)";
    QTest::newRow("USB adapter") << "/dev/ttyUSB0"
                                 << "/dev/ttyUSB0"
                                 << "/dev/ttyUSB0";
    QTest::newRow("pseudo-terminal") << "/dev/pts/7"
                                     << "/dev/pts/7"
                                     << "/dev/pts/7";
    QTest::newRow("0") << "0"
                       << ""
                       << "";
    QTest::newRow("17") << "17"
                        << ""
                        << "";
    QTest::newRow("word") << "ttyS0"
                          << ""
                          << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
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
    QTest::newRow("19200") << "19200,n,8,1" << true;
    QTest::newRow("even parity, 7 bits, 2 stop") << "9600,e,7,2" << true;
    QTest::newRow("no speed") << ",n,8,1" << false;
    QTest::newRow("bad parity") << "4800,x,8,1" << false;
    QTest::newRow("9 data bits") << "4800,n,9,1" << false;
    QTest::newRow("3 stop bits") << "4800,n,8,3" << false;
    QTest::newRow("missing field") << "4800,n,8" << false;
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

void tst_QtSerialStream::writeToClosedPortFails()
{
    QtSerialStream stream;
    QCOMPARE(stream.Write("$PMGNCMD,STOP*6A\r\n"),
             std::optional<QString>(QStringLiteral("Operation valid only when the port is open")));
    QCOMPARE(stream.BytesToWrite(), 0);
}

QTEST_GUILESS_MAIN(tst_QtSerialStream)
#include "tst_QtSerialStream.moc"
