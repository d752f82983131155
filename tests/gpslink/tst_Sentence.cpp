#include "gpslink/Sentence.h"

#include "app/ListKind.h"

#include <QtTest>

class tst_Sentence : public QObject
{
    Q_OBJECT
private slots:
    void checksum_data();
    void checksum();
    void storedCommandsCarryTheirChecksum();
    void type_data();
    void type();
    void acknowledgement();
    void waypointCells();
    void waypointIconAndFeet();
    void routeSentences();
    void trackCells();
    void versionSentence();
    void shortLinesAreRejected_data();
    void shortLinesAreRejected();
};

void tst_Sentence::checksum_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("checksum");
    QTest::newRow("abc") << "$abc*"
                         << "60";
    QTest::newRow("empty") << ""
                           << "00";
    QTest::newRow("two characters") << "$*"
                                    << "00";
    QTest::newRow("stop") << "$PMGNCMD,STOP*"
                          << "6A";
    QTest::newRow("version") << "$PMGNCMD,VERSION*"
                             << "28";
    QTest::newRow("waypoint request") << "$PMGNCMD,WAYPOINT*"
                                      << "71";
    QTest::newRow("delete waypoints") << "$PMGNCMD,DELETE,WAYPOINTS*"
                                      << "17";
    QTest::newRow("end") << "$PMGNCMD,END*"
                         << "3D";
    QTest::newRow("ton") << "$PMGNCMD,TON*"
                         << "27";
    QTest::newRow("handon") << "$PMGNCMD,HANDON*"
                            << "70";
    QTest::newRow("handoff") << "$PMGNCMD,HANDOFF*"
                             << "3E";
    QTest::newRow("route request") << "$PMGNCMD,ROUTE*"
                                   << "2B";
    QTest::newRow("track request") << "$PMGNCMD,TRACK*"
                                   << "3D";
    QTest::newRow("delete routes") << "$PMGNCMD,DELETE,ROUTES*"
                                   << "4D";
    QTest::newRow("delete track") << "$PMGNCMD,DELETE,TRACK*"
                                  << "08";
    QTest::newRow("waypoint") << "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a*"
                              << "49";
    QTest::newRow("route name") << "$PMGNRTE,3,1,m,03,HOME TO WORK*"
                                << "02";
    QTest::newRow("8-bit character") << QString(QChar(0xE9)).prepend(u'$').append(u'*') << "E9";
}

void tst_Sentence::checksum()
{
    QFETCH(QString, body);
    QFETCH(QString, checksum);
    QCOMPARE(SentenceChecksum(body), checksum);
}

void tst_Sentence::storedCommandsCarryTheirChecksum()
{
    for (const QString& literal : {Command::Stop, Command::Version, Command::Waypoint,
                                   Command::DeleteWaypoints, Command::End}) {
        const qsizetype star = literal.indexOf(u'*');
        QCOMPARE(SentenceChecksum(literal.left(star + 1)), literal.mid(star + 1));
        QCOMPARE(SentenceType(literal), QStringLiteral("CMD"));
    }
    QCOMPARE(FinishSentence(Command::HandOnBody), QStringLiteral("$PMGNCMD,HANDON*70\r\n"));
}

void tst_Sentence::type_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("type");
    QTest::newRow("command") << "$PMGNCMD,END*3D"
                             << "CMD";
    QTest::newRow("acknowledgement") << "$PMGNCSM,49*68"
                                     << "CSM";
    QTest::newRow("lower-case checksum") << "$PMGNCSM,6A*1f"
                                         << "INV";
    QTest::newRow("waypoint") << "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a*49"
                              << "WPL";
    QTest::newRow("waypoint without star") << "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a"
                                           << "INV";
    QTest::newRow("waypoint with one digit")
        << "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a*4"
        << "INV";
    QTest::newRow("wrong checksum") << "$PMGNCMD,END*3E"
                                    << "INV";
    QTest::newRow("standard output, bad checksum") << "$GPGGA,123519,4807.038,N*00"
                                                   << "NME";
    QTest::newRow("unknown address") << "$PMGNXYZ,1*" + SentenceChecksum("$PMGNXYZ,1*") << "INV";
    QTest::newRow("empty") << ""
                           << "INV";
    QTest::newRow("noise") << "hello"
                           << "INV";
    QTest::newRow("lower-case address")
        << "$pmgncmd,END*" + SentenceChecksum("$pmgncmd,END*") << "INV";
}

void tst_Sentence::type()
{
    QFETCH(QString, line);
    QFETCH(QString, type);
    QCOMPARE(SentenceType(line), type);
}

void tst_Sentence::acknowledgement()
{
    const QString waypoint = "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a*49";
    QCOMPARE(Acknowledgement(waypoint), QStringLiteral("$PMGNCSM,49*68\r\n"));
    QCOMPARE(AcknowledgementFromTail(waypoint), Acknowledgement(waypoint));
    QCOMPARE(AcknowledgementFromTail(Command::End), QStringLiteral("$PMGNCSM,3D*12\r\n"));
    QCOMPARE(SentenceType(Acknowledgement(Command::End).trimmed()), QStringLiteral("CSM"));
    QCOMPARE(CommandText(Command::End).left(3), QStringLiteral("END"));
}

void tst_Sentence::waypointCells()
{
    const auto cells =
        WaypointCells("$PMGNWPL,5130.250,N,00012.345,W,00100,M,HOME,MY HOUSE,c*00", false);
    QVERIFY(cells);
    QCOMPARE(*cells, (QStringList{"HOME", "5130.250", "N", "00012.345", "W", "00100", "M",
                                  "MY HOUSE", "c"}));
}

void tst_Sentence::waypointIconAndFeet()
{
    const QString head = "$PMGNWPL,5130.250,N,00012.345,W,00100,M,HOME,,";
    QCOMPARE(WaypointCells(head + "*12", false)->at(WaypointColumn::Icon), QStringLiteral("a"));
    QCOMPARE(WaypointCells(head + "B*12", false)->at(WaypointColumn::Icon), QStringLiteral("a"));
    QCOMPARE(WaypointCells(head + "z*12", false)->at(WaypointColumn::Icon), QStringLiteral("a"));
    QCOMPARE(WaypointCells(head + "u*12", false)->at(WaypointColumn::Icon), QStringLiteral("a"));
    QCOMPARE(WaypointCells(head + "t*12", false)->at(WaypointColumn::Icon), QStringLiteral("t"));

    const auto feet = WaypointCells(head + "a*12", true);
    QCOMPARE(feet->at(WaypointColumn::Altitude), QStringLiteral("328"));
    QCOMPARE(feet->at(WaypointColumn::MF), QStringLiteral("F"));
}

void tst_Sentence::routeSentences()
{
    const auto c = ParseRouteSentence("$PMGNRTE,3,2,c,03,HOME,PUB*7E");
    QVERIFY(c);
    QCOMPARE(c->kind, QStringLiteral("c"));
    QCOMPARE(c->routeNumber, 3);
    QCOMPARE(c->first, QStringLiteral("HOME"));
    QCOMPARE(c->second, QStringLiteral("PUB"));

    const auto single = ParseRouteSentence("$PMGNRTE,3,3,c,03,WORK,*1A");
    QVERIFY(single);
    QVERIFY(single->second.isEmpty());

    const auto m = ParseRouteSentence("$PMGNRTE,3,1,m,03,HOME TO WORK*02");
    QVERIFY(m);
    QCOMPARE(m->kind, QStringLiteral("m"));
    QCOMPARE(m->first, QStringLiteral("HOME TO WORK"));
}

void tst_Sentence::trackCells()
{
    const auto cells =
        TrackCells("$PMGNTRK,5130.500,N,00012.345,W,00050,M,161504.00,A,ELEVENLETTR,060124*00", 7,
                   "09:00:00 ");
    QVERIFY(cells);
    QCOMPARE(*cells, (QStringList{"0007", "ELEVENL", "5130.500", "N", "00012.345", "W", "00050",
                                  "M", "16:15:04 ", "A"}));

    const auto bare = TrackCells("$PMGNTRK,5130.500,N,00012.345,W,,M,,A*00", 1, "09:00:00 ");
    QCOMPARE(bare->at(TrackColumn::TrackName), QStringLiteral("TRAK01"));
    QCOMPARE(bare->at(TrackColumn::Altitude), QStringLiteral("0000000"));
    QCOMPARE(bare->at(TrackColumn::MF), QStringLiteral("M"));
    QCOMPARE(bare->at(TrackColumn::Time), QStringLiteral("09:00:00 "));

    const auto named = TrackCells("$PMGNTRK,5130.500,N,00012.345,W,,M,,A,AB*00", 1, "x");
    QCOMPARE(named->at(TrackColumn::TrackName), QStringLiteral("TRAK01"));
    const auto shortName = TrackCells("$PMGNTRK,5130.500,N,00012.345,W,,M,,A,AB,060124*00", 1, "x");
    QCOMPARE(shortName->at(TrackColumn::TrackName), QStringLiteral("AB     "));
}

void tst_Sentence::versionSentence()
{
    const auto version = ParseVersionSentence("$PMGNVER,025,4.02,MAP 410*4B");
    QVERIFY(version);
    QCOMPARE(version->modelCode, QStringLiteral("025"));
    QCOMPARE(version->display, QStringLiteral("MAP 410 4.02"));
}

void tst_Sentence::shortLinesAreRejected_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("line");
    QTest::newRow("waypoint of nine fields") << 0 << "$PMGNWPL,5130.250,N,00012.345,W,0,M,HOME*00";
    QTest::newRow("c route of six fields") << 1 << "$PMGNRTE,1,1,c,01,HOME*00";
    QTest::newRow("m route of five fields") << 1 << "$PMGNRTE,1,1,m,01*00";
    QTest::newRow("track of eight fields") << 2 << "$PMGNTRK,5130.500,N,00012.345,W,,M,*00";
    QTest::newRow("version of three fields") << 3 << "$PMGNVER,025,4.02*00";
    QTest::newRow("empty") << 0 << "";
}

void tst_Sentence::shortLinesAreRejected()
{
    QFETCH(int, kind);
    QFETCH(QString, line);
    switch (kind) {
    case 0:
        QVERIFY(!WaypointCells(line, true));
        break;
    case 1:
        QVERIFY(!ParseRouteSentence(line));
        break;
    case 2:
        QVERIFY(!TrackCells(line, 1, "x"));
        break;
    default:
        QVERIFY(!ParseVersionSentence(line));
    }
}

QTEST_GUILESS_MAIN(tst_Sentence)
#include "tst_Sentence.moc"
