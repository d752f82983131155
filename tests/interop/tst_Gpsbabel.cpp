#include "tests/gpslink/Simulator.h"
#include "tests/interop/Programs.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>

// gpsbabel, a host written by others, talks to the simulated receiver over its pseudo-terminal
// as it would to a hand-held on a serial port: what it downloads must be what the receiver holds,
// and what it uploads must be what the receiver then holds.

namespace {

const QStringList kWaypoints = {
    QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,MY HOUSE,a"),
    QStringLiteral("$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,c"),
    QStringLiteral("$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,THE OFFICE,f"),
    QStringLiteral("$PMGNWPL,3351.425,S,15112.899,E,0000004,M,OPERA,SYDNEY OPERA HOUSE,k")};
const QStringList kRoutes = {
    QStringLiteral("$PMGNRTE,3,1,m,03,HOME TO WORK"), QStringLiteral("$PMGNRTE,3,2,c,03,HOME,PUB"),
    QStringLiteral("$PMGNRTE,3,3,c,03,WORK"), QStringLiteral("$PMGNRTE,2,1,c,11,WORK,OPERA"),
    QStringLiteral("$PMGNRTE,2,2,c,11,PUB,HOME")};
const QStringList kTrack = {
    QStringLiteral("$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,061226"),
    QStringLiteral("$PMGNTRK,5130.300,N,00012.400,W,00012,M,123530.00,A,,061226"),
    QStringLiteral("$PMGNTRK,3351.425,S,15112.899,E,00004,M,000005.00,A,,071226")};

QString Lines(const QStringList& lines)
{
    return lines.join(u'\n') + u'\n';
}

// Decimal degrees in the receiver's form: degrees and minutes to three decimals, then the
// hemisphere letter in a field of its own.
QString ReceiverAngle(double degrees, int degreeDigits, char positive, char negative)
{
    long thousandths = std::lround(std::abs(degrees) * 60000);
    const long whole = thousandths / 60000;
    thousandths %= 60000;
    return QStringLiteral("%1%2.%3,%4")
        .arg(whole, degreeDigits, 10, QChar(u'0'))
        .arg(thousandths / 1000, 2, 10, QChar(u'0'))
        .arg(thousandths % 1000, 3, 10, QChar(u'0'))
        .arg(QChar::fromLatin1(degrees < 0 ? negative : positive));
}

// What a GPX file and the receiver's sentences have in common, one line per waypoint, route or
// track point: the sentence without the fields GPX does not carry (icon letters, which the host
// renames by model; validity flags; route and track names, which it drops).
QStringList FromGpx(const QString& gpx)
{
    QStringList lines;
    QXmlStreamReader xml(gpx);
    QString position, route;
    QMap<QString, QString> values;
    const auto height = [&](int digits) {
        return QStringLiteral("%1,M").arg(qRound(values.value("ele").toDouble()), digits, 10,
                                          QChar(u'0'));
    };
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        if (xml.isStartElement()) {
            if (xml.attributes().hasAttribute("lat")) {
                position = ReceiverAngle(xml.attributes().value("lat").toDouble(), 2, 'N', 'S') +
                           u',' +
                           ReceiverAngle(xml.attributes().value("lon").toDouble(), 3, 'E', 'W');
                values.clear();
            } else if (name == QLatin1String("number")) {
                route = QStringLiteral("%1").arg(xml.readElementText().toInt(), 2, 10, QChar(u'0'));
            } else if (QStringList{"ele", "name", "cmt", "time"}.contains(name)) {
                values[name] = xml.readElementText();
            }
        } else if (xml.isEndElement()) {
            const QDateTime time = QDateTime::fromString(values.value("time"), Qt::ISODate);
            if (name == QLatin1String("wpt"))
                lines << "$PMGNWPL," + position + u',' + height(7) + u',' + values["name"] + u',' +
                             values["cmt"];
            else if (name == QLatin1String("rtept"))
                route += u',' + values["name"];
            else if (name == QLatin1String("rte"))
                lines << "$PMGNRTE," + route;
            else if (name == QLatin1String("trkpt"))
                lines << "$PMGNTRK," + position + u',' + height(5) + u',' +
                             time.toString("hhmmss.00") + u',' + time.toString("ddMMyy");
        }
    }
    if (xml.hasError())
        lines << "unreadable GPX: " + xml.errorString();
    return lines;
}

// The receiver's sentences cut to what FromGpx gives.
QStringList Comparable(const QStringList& sentences)
{
    QStringList lines;
    QMap<QString, QString> routes;
    for (const QString& sentence : sentences) {
        const QStringList f = sentence.split(u',');
        if (f[0] == QLatin1String("$PMGNWPL")) {
            lines << f.mid(0, 9).join(u',');
        } else if (f[0] == QLatin1String("$PMGNTRK")) {
            lines << f.mid(0, 8).join(u',') + u',' + f[10];
        } else if (f[3] == u'c') {
            routes[f[4]] += u',' + f.mid(5).join(u',');
        }
    }
    for (auto it = routes.cbegin(); it != routes.cend(); ++it)
        lines << "$PMGNRTE," + it.key() + it.value();
    return lines;
}

} // namespace

class tst_Gpsbabel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void deleteBeforeUpload();

private:
    QTemporaryDir dir_;
};

void tst_Gpsbabel::initTestCase()
{
    SKIP_WITHOUT("gpsbabel", "gpsbabel");
    QVERIFY(dir_.isValid());
}

// Each kind goes down to a GPX file from a receiver holding all three, is compared with what the
// receiver holds, and goes up again to an empty receiver, whose memory file is then compared with
// `uploaded`. `heard` is a sentence the receiver must have got from this host on the way.
void tst_Gpsbabel::roundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QStringList>("uploaded");

    // It switches acknowledgements on for uploads only.
    QTest::newRow("waypoints") << "-w"
                               << "025"
                               << "^\\$PMGNCMD,HANDON\\*" << kWaypoints;
    // gpsbabel reads routes with waypoint icons for models 019 to 025; 037 gives plain names, as
    // this receiver sends them. It uploads routes as name and icon pairs after their waypoints,
    // and keeps no route names. The icons are read by model 037's table and written by 025's, so
    // they change on the way.
    QTest::newRow("routes")
        << "-r"
        << "037"
        << "^\\$PMGNRTE,\\d+,\\d+,c,\\d+,[A-Z]+,[a-t],"
        << QStringList{
               QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,MY HOUSE,a"),
               QStringLiteral("$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,m"),
               QStringLiteral("$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,THE OFFICE,a"),
               QStringLiteral("$PMGNWPL,3351.425,S,15112.899,E,0000004,M,OPERA,SYDNEY "
                              "OPERA HOUSE,a"),
               QStringLiteral("$PMGNRTE,2,1,c,03,HOME,PUB"),
               QStringLiteral("$PMGNRTE,2,2,c,03,WORK"),
               QStringLiteral("$PMGNRTE,2,1,c,11,WORK,OPERA"),
               QStringLiteral("$PMGNRTE,2,2,c,11,PUB,HOME")};
    // It asks for the track with "$PMGNCMD,TRACK,2".
    QTest::newRow("track") << "-t"
                           << "025"
                           << "^\\$PMGNCMD,TRACK,2\\*" << kTrack;
}

void tst_Gpsbabel::roundTrip()
{
    QFETCH(QString, kind);
    QFETCH(QString, model);
    QFETCH(QString, heard);
    QFETCH(QStringList, uploaded);
    const QString gpx = dir_.filePath(QTest::currentDataTag() + QStringLiteral(".gpx"));
    QStringList received;
    {
        Simulator full({"--model", model}, Lines(kWaypoints + kRoutes + kTrack));
        QVERIFY(!full.Device().isEmpty());
        const QString failure = RunProgram(
            "gpsbabel", {kind, "-i", "magellan", "-f", full.Device(), "-o", "gpx", "-F", gpx});
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        received = full.Received();
    }
    QFile file(gpx);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList kindOnly = Comparable(kind == QLatin1String("-w")   ? kWaypoints
                                            : kind == QLatin1String("-r") ? kRoutes
                                                                          : kTrack);
    QCOMPARE(FromGpx(QString::fromUtf8(file.readAll())), kindOnly);

    Simulator empty({});
    QVERIFY(!empty.Device().isEmpty());
    const QString failure = RunProgram(
        "gpsbabel", {kind, "-i", "gpx", "-f", gpx, "-o", "magellan", "-F", empty.Device()});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // Stopped, the receiver writes out what it has not saved yet.
    empty.Process().terminate();
    QVERIFY(empty.Process().waitForFinished(30000));
    QCOMPARE(empty.Memory(), Lines(uploaded));
    received += empty.Received();
    QVERIFY2(!received.filter(QRegularExpression(heard)).isEmpty(), qPrintable(heard));
}

// gpsbabel's "nukewpt" empties the receiver's waypoints before it uploads.
void tst_Gpsbabel::deleteBeforeUpload()
{
    const QString gpx = dir_.filePath(QStringLiteral("new.gpx"));
    QFile file(gpx);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="navora" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="51.5" lon="-0.1"><ele>12</ele><name>NEW</name><cmt>JUST ADDED</cmt></wpt>
</gpx>
)");
    file.close();
    Simulator receiver({}, Lines(kWaypoints));
    QVERIFY(!receiver.Device().isEmpty());
    const QString failure = RunProgram("gpsbabel", {"-w", "-i", "gpx", "-f", gpx, "-o",
                                                    "magellan,nukewpt=1", "-F", receiver.Device()});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    receiver.Process().terminate();
    QVERIFY(receiver.Process().waitForFinished(30000));
    QVERIFY(receiver.Received().contains(QStringLiteral("$PMGNCMD,DELETE,WAYPOINT*44")));
    QCOMPARE(receiver.Memory(),
             Lines({QStringLiteral("$PMGNWPL,5130.000,N,00006.000,W,0000012,M,NEW,JUST ADDED,a")}));
}

QTEST_GUILESS_MAIN(tst_Gpsbabel)
#include "tst_Gpsbabel.moc"
