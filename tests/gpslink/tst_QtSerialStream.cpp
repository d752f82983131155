#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"

#include <QtTest>

class tst_QtSerialStream : public QObject
{
    Q_OBJECT
private slots:
    void portNames_data();
    void portNames();
    void settings();
    void openAndClose();
    void deniedPortSaysHowToGetIn();
    void lineErrors();
};

void tst_QtSerialStream::portNames_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("device"); // empty: refused
    QTest::addColumn<QString>("label");
    const auto row = [](const QString& port, const QString& device, const QString& label) {
        QTest::newRow(port.isEmpty() ? "empty" : qPrintable(port)) << port << device << label;
    };
    row("1", "/dev/ttyS0", "Com1 (/dev/ttyS0)");
    row("16", "/dev/ttyS15", "Com16 (/dev/ttyS15)");
    row("Com3", "/dev/ttyS2", "Com3 (/dev/ttyS2)");
    row("/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0");
    row("0", "", "");
    row("17", "", "");
    row("ttyS0", "", "");
    row("", "", "");
}

void tst_QtSerialStream::portNames()
{
    QFETCH(QString, port);
    QFETCH(QString, device);
    QCOMPARE(DeviceForPort(port).value_or(QString()), device);
    QtSerialStream stream;
    const bool refused = device.isEmpty();
    QCOMPARE(stream.SetPort(port),
             refused ? std::optional<QString>(QStringLiteral("Invalid Port Number"))
                     : std::nullopt);
    QCOMPARE(stream.DevicePath(), refused ? QStringLiteral("/dev/ttyS0") : device);
    if (!refused)
        QTEST(stream.PortLabel(), "label");
}

void tst_QtSerialStream::settings()
{
    QtSerialStream stream;
    QCOMPARE(stream.Settings(), QStringLiteral("4800,n,8,1"));
    QVERIFY(!stream.SetSettings(QStringLiteral("9600,e,7,2")));
    for (const char* refused : {",n,8,1", "4800,x,8,1", "4800,n,9,1", "4800,n,8,3"})
        QVERIFY2(stream.SetSettings(QString::fromLatin1(refused)), refused);
    QCOMPARE(stream.Settings(), QStringLiteral("9600,e,7,2"));
}

void tst_QtSerialStream::openAndClose()
{
    auto pty = OpenPseudoTerminal(nullptr);
    QVERIFY(pty);
    QtSerialStream stream;
    QtSerialStream second;
    QVERIFY(!stream.SetPort(pty->devicePath));
    second.SetPort(pty->devicePath);
    // Failures name the port.
    QCOMPARE(stream.Write("$PMGNCMD,STOP*6A\r\n"),
             std::optional<QString>(
                 pty->devicePath + QStringLiteral(": Operation valid only when the port is open")));
    QVERIFY(!stream.Open());
    // While open, the port stays as it is and a second opening of the device fails.
    QVERIFY(stream.SetPort(QStringLiteral("2")));
    QCOMPARE(stream.DevicePath(), pty->devicePath);
    QVERIFY(!stream.SetSettings(QStringLiteral("9600,n,8,1")));
    QVERIFY(second.Open().value_or(QString()).startsWith(pty->devicePath + QStringLiteral(": ")));
    QVERIFY(!second.IsOpen());
    QVERIFY(!stream.Close());
    QVERIFY(!stream.IsOpen());
    QVERIFY(!second.Open());
    second.Close();
    ClosePseudoTerminal(*pty);
}

// A device the user may not open says which one, and how to get the right.
void tst_QtSerialStream::deniedPortSaysHowToGetIn()
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile file(device);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::Permissions()));
    if (QFileInfo(device).isReadable())
        QSKIP("this user may open any file");
    QtSerialStream stream;
    QVERIFY(!stream.SetPort(device));
    const QString text = stream.Open().value_or(QString());
    QVERIFY2(text.startsWith(device + QStringLiteral(": ")), qPrintable(text));
#ifdef Q_OS_LINUX
    QVERIFY2(
        text.endsWith(QStringLiteral("\r\nAdd yourself to the dialout group, then log in again.")),
        qPrintable(text));
#endif
}

void tst_QtSerialStream::lineErrors()
{
    // Counted from: 2 breaks, 1 framing, 0 overrun, 5 parity, 0 buffer overruns.
    const auto texts = [](const LineErrorCounts& now) {
        return LineErrorTexts(LineErrorCounts{2, 1, 0, 5, 0}, now).join(u'|');
    };
    QCOMPARE(texts({2, 1, 0, 5, 0}), QString());
    QCOMPARE(texts({3, 1, 0, 5, 0}), QStringLiteral("Break Received"));
    QCOMPARE(texts({2, 9, 0, 5, 0}), QString()); // framing errors have no text
    QCOMPARE(texts({2, 1, 4, 6, 0}), QStringLiteral("Overrun Error|Parity Error"));
    QCOMPARE(texts({2, 1, 0, 5, 1}), QStringLiteral("Receive Buffer Overflow"));
    QCOMPARE(texts({0, 0, 0, 0, 0}), QString()); // counters reset by the driver
}

QTEST_GUILESS_MAIN(tst_QtSerialStream)
#include "tst_QtSerialStream.moc"
