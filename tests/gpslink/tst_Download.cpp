#include "gpslink/Download.h"
#include "gpslink/Sentence.h"
#include "tests/support/ListTexts.h"

#include <QtTest>

namespace {

// A route's "c" sentences naming `count` points, two at a time.
QStringList RoutePoints(int route, int count)
{
    QStringList lines;
    for (int i = 1; i <= count; i += 2)
        lines << Checked(QStringLiteral("$PMGNRTE,9,1,c,%1,P%2,%3")
                             .arg(route)
                             .arg(i)
                             .arg(i < count ? QStringLiteral("P%1").arg(i + 1) : QString()));
    return lines;
}

} // namespace

// What each received line does to the lists, apart from the link.
class tst_Download : public QObject
{
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
};

void tst_Download::lines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("meanings"); // D data, E end, S skipped, I invalid
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("progress");
    const QString wpl = "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a";
    const QString end = "$PMGNCMD,END*3D";
    const QString ack = Checked("$PMGNCSM,71");
    const QString home = "HOME|5130.250|N|00012.345|W|0000010|M||a";

    QTest::newRow("waypoint, other command, end")
        << 1 << QStringList{Checked(wpl), Checked("$PMGNCMD,NMEAOFF"), end} << "DSE"
        << QStringList{home} << "Waypoints downloaded: 1";
    QTest::newRow("acknowledgement amid waypoints")
        << 1 << QStringList{ack} << "I" << QStringList{} << "Waypoints downloaded: 0";

    QTest::newRow("name before points, points continue, end")
        << 2
        << QStringList{Checked("$PMGNRTE,3,1,m,05,TO WORK"), Checked("$PMGNRTE,3,2,c,05,HOME,PUB"),
                       Checked("$PMGNRTE,3,3,c,5,WORK,"), end}
        << "DDDE" << QStringList{"05|TO WORK|HOME,PUB,WORK"} << "Route Download Complete";
    // Icon letters after names are passed over; blank names and other kinds add nothing.
    QTest::newRow("icons, blanks, other kinds")
        << 2
        << QStringList{Checked("$PMGNRTE,3,1,c,1,KESWCK,b,SKIDAW,k"),
                       Checked("$PMGNRTE,3,2,c,1,,HELVEL,k"), Checked("$PMGNRTE,3,3,x,1,HOME")}
        << "DDD" << QStringList{"01||KESWCK,SKIDAW,HELVEL"} << "Downloading Route: 1";
    for (const char* number : {"00", "21", "-3", "1e300"})
        QTest::addRow("route %s", number)
            << 2 << QStringList{Checked(QStringLiteral("$PMGNRTE,1,1,c,%1,HOME,").arg(number))}
            << "I" << QStringList{} << "Downloading Route: -1";
    QStringList thirtyOne;
    for (int i = 1; i <= 31; ++i)
        thirtyOne << QStringLiteral("P%1").arg(i);
    QTest::newRow("a 32nd point") << 2 << RoutePoints(7, 31) + RoutePoints(7, 2)
                                  << QString(16, u'D') + "I"
                                  << QStringList{"07||" + thirtyOne.join(u',')}
                                  << "Downloading Route: 7";

    const QString trk = "$PMGNTRK,5130.500,N,00012.345,W,";
    QTest::newRow("track: time, fallback, name with date, acknowledgement")
        << 3
        << QStringList{Checked(trk + "00050,M,161504.50,A"), ack,
                       Checked(trk + ",M,,V,CASTLETON,060124"), end}
        << "DSDE"
        << QStringList{"0001|TRAK01|5130.500|N|00012.345|W|00050|M|16:15:04 |A",
                       "0002|CASTLET|5130.500|N|00012.345|W|0000000|M|09:08:07 |V"}
        << "Trackpoints downloaded: 2";
}

void tst_Download::lines()
{
    QFETCH(int, kind);
    QFETCH(QStringList, lines);
    Lists lists;
    // What was there goes once the download starts.
    Fill(lists, ListKind::Waypoints, {"OLD"});
    Fill(lists, ListKind::Routes, {"01|OLD|A"});
    Fill(lists, ListKind::Track, {"0001"});
    DownloadLines download(ListKind(kind), lists, false, "09:08:07 ");
    download.EmptyTarget();
    QString meanings;
    for (const QString& line : lines)
        meanings += QStringLiteral("DESI")[int(download.Take(line))];
    QTEST(meanings, "meanings");
    QTEST(Rows(lists, ListKind(kind)), "rows");
    QTEST(download.Progress(), "progress");
    // The route list shows exactly the routes held, each within 1 to 20 and 31 points.
    int routeRows = 0;
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route)
        routeRows += lists.routes.PointCount(route) + (lists.routes.Name(route).isEmpty() ? 0 : 1);
    QCOMPARE(lists.routes.List().Count(), routeRows);
    for (int kept = 1; kept <= 3; ++kept)
        QCOMPARE(lists.Of(ListKind(kept)).Count() > 0 || kept == kind, true);
}

QTEST_GUILESS_MAIN(tst_Download)
#include "tst_Download.moc"
