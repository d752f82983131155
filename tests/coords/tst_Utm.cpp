#include "coords/Utm.h"

#include <QtTest>
#include <cmath>

class tst_Utm : public QObject
{
    Q_OBJECT
private slots:
    void thereAndBack_data();
    void thereAndBack();
    void refused();
    void ellipsoidsOutsideTheTable();
};

void tst_Utm::thereAndBack_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<double>("easting"); // NaN: not checked
    QTest::addColumn<double>("northing");
    const double any = qQNaN();
    // clang-format off
    QTest::newRow("origin") << 0.0 << 0.0 << "31N" << 166021.4 << 0.0;
    QTest::newRow("London") << 51.5 << -0.1 << "30U" << 701277.7 << 5709417.1;
    QTest::newRow("Cape Town") << -33.9 << 18.4 << "34H" << 259583.2 << 6245888.0;
    QTest::newRow("Norway rule") << 60.0 << 5.0 << "32V" << 276979.9 << 6658157.2;
    QTest::newRow("Svalbard rule") << 78.0 << 15.0 << "33X" << 500000.0 << 8658369.6;
    QTest::newRow("longitude 180 is zone 1") << 0.0 << 180.0 << "1N" << 166021.4 << 0.0;
    QTest::newRow("north edge is X, no Svalbard rule") << 84.0 << 10.0 << "32X" << any << any;
    QTest::newRow("Svalbard 33E is zone 37") << 80.0 << 33.0 << "37X" << any << any;
    QTest::newRow("Svalbard ends at 42E") << 80.0 << 42.0 << "38X" << any << any;
    QTest::newRow("64 opens W") << 64.0 << 5.0 << "31W" << any << any;
    QTest::newRow("56 opens V, Norway") << 56.0 << 3.0 << "32V" << any << any;
    QTest::newRow("zone edge 6E") << 50.0 << 6.0 << "32U" << any << any;
    QTest::newRow("equator is N") << 0.0 << -0.000001 << "30N" << any << any;
    QTest::newRow("just south is M") << -0.000001 << 0.0 << "31M" << any << any;
    QTest::newRow("south edge is C") << -80.0 << -179.0 << "1C" << any << any;
    QTest::newRow("longitude folded") << 10.0 << 361.0 << "31P" << any << any;
    // clang-format on
}

// Forward to 0.1 m, then back through the program's inverse entry point.
void tst_Utm::thereAndBack()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QString, zone);
    QFETCH(double, easting);
    QFETCH(double, northing);
    UtmZoneRecord record{lat, lon, 0, QString(), 0};
    QCOMPARE(UtmZoneOf(record), GeoStatus::Success);
    QCOMPARE(QString::number(record.zone) + record.band, zone);
    std::int16_t z = 0;
    QString b;
    double e = 0, n = 0, backLat = 99, backLon = 999;
    QCOMPARE(UtmFromLatLon(lat, lon, z, b, e, n), GeoStatus::Success);
    QCOMPARE(QString::number(z) + b, zone);
    if (!std::isnan(easting))
        QVERIFY2(qAbs(e - easting) < 0.05 && qAbs(n - northing) < 0.05,
                 qPrintable(QStringLiteral("%1 %2").arg(e, 0, 'f', 3).arg(n, 0, 'f', 3)));
    QCOMPARE(int(LatLonFromUtm(z, b, e, n, backLat, backLon)), 0);
    // 6 degrees off the central meridian (Norway, Svalbard): a microdegree.
    const double within = std::isnan(easting) ? 1e-5 : 1e-7;
    QVERIFY2(qAbs(backLat - lat) < within && qAbs(std::remainder(backLon - lon, 360.0)) < within,
             qPrintable(QStringLiteral("%1 %2").arg(backLat, 0, 'g', 15).arg(backLon, 0, 'g', 15)));
}

// A failed forward call leaves zone 0, no band and zero metres.
void tst_Utm::refused()
{
    for (const double lat : {84.000001, -80.000001, 90.0, qQNaN(), qInf()}) {
        UtmZoneRecord record{lat, 0, 0, QString(), 0};
        QCOMPARE(UtmZoneOf(record), GeoStatus::ZoneRange);
        std::int16_t zone = 7;
        QString band = QStringLiteral("Q");
        double e = 1, n = 1;
        QCOMPARE(UtmFromLatLon(lat, 0, zone, band, e, n), GeoStatus::UtmRange);
        QVERIFY(zone == 0 && band.isEmpty() && e == 0 && n == 0);
    }
    double lat = 1, lon = 2;
    QCOMPARE(int(LatLonFromUtm(31, QStringLiteral("N"), qQNaN(), 0, lat, lon)),
             int(GeoStatus::UtmRange) - 513);
    QCOMPARE(lat, 0.0); // the wrapper copies back its fresh record
}

// Indexes outside the tables, also after rounding (halves to even), give nothing, and a record
// asked for with one stays as it was.
void tst_Utm::ellipsoidsOutsideTheTable()
{
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(*geodesy.ename(2.5), QStringLiteral("Airy Modified")); // 2.5 rounds to 2
    const double nan = qQNaN();
    const std::pair<double, double> outside[] = {{0, 0},        {23, 104},  {0.5, 0.5},
                                                 {22.6, 103.5}, {nan, nan}, {1e300, -1e300}};
    for (const auto& [e, d] : outside) {
        QVERIFY2(!geodesy.eMajor(e) && !geodesy.eMinor(e) && !geodesy.ename(e),
                 qPrintable(QString::number(e)));
        QVERIFY2(!geodesy.dName(d) && !geodesy.dNumber(d), qPrintable(QString::number(d)));
    }
    EllipsoidParams record{-1, -1, QStringLiteral("untouched")};
    for (const std::int16_t bad : {0, 23, -32768})
        QCOMPARE(GetEllipsoid(record, bad), GeoStatus::InvalidEllipsoid);
    QVERIFY(record.semiMajor == -1 && record.semiMinor == -1 && record.name == u"untouched");
}

QTEST_APPLESS_MAIN(tst_Utm)
#include "tst_Utm.moc"
