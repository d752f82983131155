#include "gpslink/Sentence.h"

#include "model/ListKind.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The parts of a split line joined by "|", or "none" when the line is refused.
QString Joined(const std::optional<QStringList>& cells)
{
    return cells ? cells->join(u'|') : QStringLiteral("none");
}

} // namespace

class tst_Sentence : public QObject
{
    Q_OBJECT
private slots:
    void checksum();
    void type_data();
    void type();
    void fieldSplitters();
};

void tst_Sentence::checksum()
{
    QCOMPARE(SentenceChecksum(u"$abc*"_s), u"60"_s);
    QCOMPARE(SentenceChecksum(u""_s), u"00"_s);
    QCOMPARE(SentenceChecksum(u"$\u00e9*"_s), u"E9"_s);
}

void tst_Sentence::type_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("type");
    const QString waypoint = "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a";
    const auto row = [](const char* name, const QString& line, const char* type) {
        QTest::newRow(name) << line << type;
    };
    row("command", "$PMGNCMD,END*3D", "CMD");
    row("acknowledgement", "$PMGNCSM,49*68", "CSM");
    row("lower-case checksum", "$PMGNCSM,6A*1f", "INV");
    row("waypoint", waypoint + "*49", "WPL");
    row("waypoint without star", waypoint, "INV");
    row("waypoint with one digit", waypoint + "*4", "INV");
    row("wrong checksum", "$PMGNCMD,END*3E", "INV");
    row("standard output, bad checksum", "$GPGGA,123519,4807.038,N*00", "NME");
    row("unknown address", FinishSentence("$PMGNXYZ,1*").trimmed(), "INV");
    row("lower-case address", FinishSentence("$pmgncmd,END*").trimmed(), "INV");
    row("empty", "", "INV");
}

void tst_Sentence::type()
{
    QFETCH(QString, line);
    QTEST(SentenceType(line), "type");
}

void tst_Sentence::fieldSplitters()
{
    const QString wpl = "$PMGNWPL,5130.250,N,00012.345,W,00100,M,HOME,";
    QCOMPARE(Joined(WaypointCells(wpl + ",t*12", true)), u"HOME|5130.250|N|00012.345|W|328|F||t"_s);
    // Icons outside "a" to "t" become "a".
    for (const QString icon : {"", "B", "z", "u"})
        QCOMPARE(WaypointCells(wpl + "," + icon + "*12", false)->at(WaypointColumn::Icon), u"a"_s);
    QCOMPARE(Joined(WaypointCells("$PMGNWPL,5130.250,N,00012.345,W,0,M,HOME*00", true)), u"none"_s);
    QCOMPARE(Joined(WaypointCells("", true)), u"none"_s);
    // A height too great for any number of feet is a garbled line.
    QCOMPARE(Joined(WaypointCells(
                 "$PMGNWPL,5130.250,N,00012.345,W," + QString(40, u'6') + ",M,HOME,,a*00", true)),
             u"none"_s);

    // Downloads and the handshake take the others; these are refused.
    QVERIFY(!ParseRouteSentence("$PMGNRTE,1,1,c,01,HOME*00"));
    QVERIFY(!ParseRouteSentence("$PMGNRTE,1,1,m,01*00"));
    QVERIFY(!ParseVersionSentence("$PMGNVER,025,4.02*00"));

    const QString trk = "$PMGNTRK,5130.500,N,00012.345,W,";
    // A name counts only with a date after it.
    QCOMPARE(TrackCells(trk + ",M,,A,AB*00", 1, "x")->at(TrackColumn::TrackName), u"TRAK01"_s);
    QCOMPARE(Joined(TrackCells(trk + ",M,*00", 1, "x")), u"none"_s);
}

QTEST_GUILESS_MAIN(tst_Sentence)
#include "tst_Sentence.moc"
