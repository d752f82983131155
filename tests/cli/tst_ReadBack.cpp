// What --verify holds against a receiver's read-back: the changes the
// protocol makes are no differences, anything else is one.

#include "tests/support/ListTexts.h"
#include "workspace/ReadBack.h"

#include <QtTest>

class tst_ReadBack : public QObject
{
    Q_OBJECT
private slots:
    void differences_data();
    void differences();
};

void tst_ReadBack::differences_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("received");
    QTest::addColumn<QStringList>("differences");
    const QString home = QStringLiteral("HOME|5130.250|N|00012.345|W|0000010|M|MY HOUSE|a");
    QTest::newRow("waypoints as the protocol changes them")
        << 1
        << QStringList{"HOME|5130.250|N|00012.345|W|10|M|a long description of 25|z",
                       "WORK|5100.000|N|00012.000|W|0000001|M||b",
                       "WORK|5130.000|N|00012.000|W|0000001|M||b"}
        << QStringList{"OTHER|5000.000|N|00000.000|E|0000000|M||a",
                       "WORK|5130.000|N|00012.000|W|0000001|M||b",
                       "HOME|5130.250|N|00012.345|W|0000010|M|A LONG DESCRIPTION O|a"}
        << QStringList{};
    QTest::newRow("waypoint moved, missing")
        << 1 << QStringList{home, "PUB|5131.000|N|00013.000|W|0000020|M||c"}
        << QStringList{"HOME|5130.251|N|00012.345|W|0000011|F|MY HOUSE|a"}
        << QStringList{"Waypoint HOME: Latitude sent \"5130.250\", the GPS has \"5130.251\"",
                       "Waypoint HOME: Altitude sent \"0000010\", the GPS has \"0000011\"",
                       "Waypoint HOME: MF sent \"M\", the GPS has \"F\"",
                       "Waypoint PUB: not in the GPS"};
    QTest::newRow("routes") << 2 << QStringList{"01|TOWN|HOME  ,PUB", "03||HOME,PUB,WORK"}
                            << QStringList{"01|TOWN|HOME,PUB", "03|LOOP|HOME,WORK", "05||PUB"}
                            << QStringList{"Route 03: name sent \"\", the GPS has \"LOOP\"",
                                           "Route 03: waypoints sent \"HOME, PUB, WORK\", the "
                                           "GPS has \"HOME, WORK\""};
    QTest::newRow("track as the protocol changes it")
        << 3
        << QStringList{"0001|SNOWDON|5130.250|N|00012.345|W|||12:34:56|A",
                       "0002|       |5130.300|N|00012.400|W|00010|M||V"}
        << QStringList{"0001|TRAK01|5130.250|N|00012.345|W|0000000|M|12:34:56 |A",
                       "0002|TRAK01|5130.300|N|00012.400|W|0000010|M|09:00:00 |V"}
        << QStringList{};
    QTest::newRow("track point lost, time and validity changed")
        << 3
        << QStringList{"0001|TRAK01|5130.250|N|00012.345|W|00010|M|12:34:56 |A",
                       "0002|TRAK01|5130.300|N|00012.400|W|00010|M|12:35:00 |A"}
        << QStringList{"0001|TRAK01|5130.250|N|00012.345|W|00010|M|12:34:57 |V"}
        << QStringList{"Track: 2 points sent, the GPS has 1",
                       "Track point 0001: Time sent \"12:34:56 \", the GPS has \"12:34:57 \"",
                       "Track point 0001: fValid sent \"A\", the GPS has \"V\""};
}

void tst_ReadBack::differences()
{
    QFETCH(int, kind);
    QFETCH(QStringList, sent);
    QFETCH(QStringList, received);
    Lists up, down;
    Fill(up, ListKind(kind), sent);
    Fill(down, ListKind(kind), received);
    QTEST(ReadBackDifferences(ListKind(kind), up, down), "differences");
}

QTEST_GUILESS_MAIN(tst_ReadBack)
#include "tst_ReadBack.moc"
