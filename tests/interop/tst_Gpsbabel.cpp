#include "files/PositionText.h"
#include "tests/gpslink/Simulator.h"
#include "tests/interop/Programs.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

// gpsbabel, a host written by others, talks to the simulated receiver over its pseudo-terminal
// as it would to a hand-held on a serial port: what it downloads must be what the receiver holds,
// and what it uploads must be what the receiver then holds.

namespace {

const QStringList kWaypoints = {
    "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,MY HOUSE,a",
    "$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,c",
    "$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,THE OFFICE,f",
    "$PMGNWPL,3351.425,S,15112.899,E,0000004,M,OPERA,SYDNEY OPERA HOUSE,k"};
const QStringList kRoutes = {"$PMGNRTE,3,1,m,03,HOME TO WORK", "$PMGNRTE,3,2,c,03,HOME,PUB",
                             "$PMGNRTE,3,3,c,03,WORK", "$PMGNRTE,2,1,c,11,WORK,OPERA",
                             "$PMGNRTE,2,2,c,11,PUB,HOME"};
const QStringList kTrack = {"$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,061226",
                            "$PMGNTRK,5130.300,N,00012.400,W,00012,M,123530.00,A,,061226",
                            "$PMGNTRK,3351.425,S,15112.899,E,00004,M,000005.00,A,,071226"};
// What the receiver uploaded to holds before.
const QString kStale = QStringLiteral("$PMGNWPL,5000.000,N,00100.000,E,0000001,M,STALE,,a");

QString Lines(const QStringList& lines)
{
    return lines.join(u'\n') + u'\n';
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
    // In the receiver's form, the hemisphere letter in a field of its own.
    const auto angle = [](QStringView degrees, bool latitude) {
        QString text = DecimalDegreesToGpsText(degrees, latitude);
        return text.insert(text.size() - 1, u',');
    };
    const auto height = [&](int digits) {
        return QStringLiteral("%1,M").arg(qRound(values.value("ele").toDouble()), digits, 10,
                                          QChar(u'0'));
    };
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        if (xml.isStartElement()) {
            if (xml.attributes().hasAttribute("lat")) {
                position = angle(xml.attributes().value("lat"), true) + u',' +
                           angle(xml.attributes().value("lon"), false);
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

private:
    QTemporaryDir dir_;
};

void tst_Gpsbabel::initTestCase()
{
    REQUIRE_PROGRAM("gpsbabel", "gpsbabel");
    QVERIFY(dir_.isValid());
}

// Each kind goes down to a GPX file from a receiver holding all three, is compared with what the
// receiver holds, and goes up again, written by `output`, to a receiver holding one stale
// waypoint, whose memory file is then compared with `uploaded`. `heard` is a sentence the
// receiver must have got from this host on the way.
void tst_Gpsbabel::roundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QStringList>("uploaded");
    const auto row = [](const char* name, const char* kind, const char* model, const char* output,
                        const char* heard, const QStringList& uploaded) {
        QTest::newRow(name) << kind << model << output << heard << uploaded;
    };

    // It switches acknowledgements on for uploads only; "nukewpt" empties the receiver's
    // waypoints first.
    row("waypoints", "-w", "025", "magellan,nukewpt=1", "^\\$PMGNCMD,HANDON\\*", kWaypoints);
    // gpsbabel reads routes with waypoint icons for models 019 to 025; 037 gives plain names, as
    // this receiver sends them. It uploads routes as name and icon pairs after their waypoints,
    // and keeps no route names. The icons are read by model 037's table and written by 025's, so
    // they change on the way.
    row("routes", "-r", "037", "magellan", "^\\$PMGNRTE,\\d+,\\d+,c,\\d+,[A-Z]+,[a-t],",
        {kStale, "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,MY HOUSE,a",
         "$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,m",
         "$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,THE OFFICE,a",
         "$PMGNWPL,3351.425,S,15112.899,E,0000004,M,OPERA,SYDNEY OPERA HOUSE,a",
         "$PMGNRTE,2,1,c,03,HOME,PUB", "$PMGNRTE,2,2,c,03,WORK", "$PMGNRTE,2,1,c,11,WORK,OPERA",
         "$PMGNRTE,2,2,c,11,PUB,HOME"});
    // It asks for the track with "$PMGNCMD,TRACK,2".
    row("track", "-t", "025", "magellan", "^\\$PMGNCMD,TRACK,2\\*", QStringList{kStale} + kTrack);
}

void tst_Gpsbabel::roundTrip()
{
    QFETCH(QString, kind);
    QFETCH(QString, model);
    QFETCH(QString, output);
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

    Simulator target({}, Lines({kStale}));
    QVERIFY(!target.Device().isEmpty());
    const QString failure =
        RunProgram("gpsbabel", {kind, "-i", "gpx", "-f", gpx, "-o", output, "-F", target.Device()});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // Stopped, the receiver writes out what it has not saved yet.
    target.Process().terminate();
    QVERIFY(target.Process().waitForFinished(30000));
    QCOMPARE(target.Memory(), Lines(uploaded));
    received += target.Received();
    QVERIFY2(!received.filter(QRegularExpression(heard)).isEmpty(), qPrintable(heard));
}

QTEST_GUILESS_MAIN(tst_Gpsbabel)
#include "tst_Gpsbabel.moc"
