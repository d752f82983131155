#include "coords/Utm.h"

#include <QtTest>

class tst_Utm : public QObject
{
    Q_OBJECT
private slots:
    void constants();
    void referencePoints_data();
    void referencePoints();
    void zoneAndBand_data();
    void zoneAndBand();
    void outsideLatitudes_data();
    void outsideLatitudes();
    void longitude180FoldsToZone1();
    void inverseRefusesWhatGivesNoPosition();
};

void tst_Utm::constants()
{
    QCOMPARE(Utm::kDegToRad, 0.017453292519943278);
    QCOMPARE(Utm::kRadToDeg, 57.29577951308238);
    QCOMPARE(FloorMod(-1, 5), 4.0);
    QVERIFY(qAbs(RadToDeg(AdjustLon(DegToRad(190))) - -170) < 1e-9);
    QVERIFY(qAbs(RadToDeg(AdjustLat(DegToRad(100))) - -80) < 1e-9);
}

void tst_Utm::referencePoints_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("band");
    QTest::addColumn<double>("easting");
    QTest::addColumn<double>("northing");
    // clang-format off
    QTest::newRow("origin") << 0.0 << 0.0 << 31 << "N" << 166021.4 << 0.0;
    QTest::newRow("London") << 51.5 << -0.1 << 30 << "U" << 701277.7 << 5709417.1;
    QTest::newRow("Cape Town") << -33.9 << 18.4 << 34 << "H" << 259583.2 << 6245888.0;
    QTest::newRow("Norway rule") << 60.0 << 5.0 << 32 << "V" << 276979.9 << 6658157.2;
    QTest::newRow("Svalbard rule") << 78.0 << 15.0 << 33 << "X" << 500000.0 << 8658369.6;
    // clang-format on
}

// Forward to 0.1 m, then back through the program's inverse entry point.
void tst_Utm::referencePoints()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(int, zone);
    QFETCH(QString, band);
    QFETCH(double, easting);
    QFETCH(double, northing);
    std::int16_t gotZone = 0;
    QString gotBand;
    double gotEasting = 0;
    double gotNorthing = 0;
    QCOMPARE(UtmFromLatLon(lat, lon, gotZone, gotBand, gotEasting, gotNorthing),
             GeoStatus::Success);
    QCOMPARE(int(gotZone), zone);
    QCOMPARE(gotBand, band);
    QVERIFY2(qAbs(gotEasting - easting) < 0.05, qPrintable(QString::number(gotEasting, 'f', 3)));
    QVERIFY2(qAbs(gotNorthing - northing) < 0.05, qPrintable(QString::number(gotNorthing, 'f', 3)));

    double backLat = 99;
    double backLon = 999;
    QCOMPARE(int(LatLonFromUtm(gotZone, gotBand, gotEasting, gotNorthing, backLat, backLon)), 0);
    QVERIFY2(qAbs(backLat - lat) < 1e-7, qPrintable(QString::number(backLat, 'g', 15)));
    QVERIFY2(qAbs(backLon - lon) < 1e-7, qPrintable(QString::number(backLon, 'g', 15)));
}

void tst_Utm::zoneAndBand_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("band");
    // clang-format off
    QTest::newRow("north edge is X") << 84.0 << 15.0 << 33 << "X";
    QTest::newRow("no Svalbard rule at 84") << 84.0 << 5.0 << 31 << "X";
    QTest::newRow("Svalbard 33E is zone 37") << 80.0 << 33.0 << 37 << "X";
    QTest::newRow("Svalbard ends at 42E") << 80.0 << 42.0 << 38 << "X";
    QTest::newRow("64 opens W") << 64.0 << 5.0 << 31 << "W";
    QTest::newRow("56 opens V, Norway") << 56.0 << 3.0 << 32 << "V";
    QTest::newRow("Norway ends at 64N") << 64.0 << 6.0 << 32 << "W";
    QTest::newRow("zone edge 6E") << 50.0 << 6.0 << 32 << "U";
    QTest::newRow("equator is N") << 0.0 << -0.000001 << 30 << "N";
    QTest::newRow("just south is M") << -0.000001 << 0.0 << 31 << "M";
    QTest::newRow("-8 opens M") << -8.0 << 0.0 << 31 << "M";
    QTest::newRow("south edge is C") << -80.0 << -179.0 << 1 << "C";
    QTest::newRow("longitude folded") << 10.0 << 361.0 << 31 << "P";
    // clang-format on
}

void tst_Utm::zoneAndBand()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(int, zone);
    QFETCH(QString, band);
    UtmZoneRecord record{lat, lon, 0, QString(), 0};
    QCOMPARE(UtmZoneOf(record), GeoStatus::Success);
    QCOMPARE(int(record.zone), zone);
    QCOMPARE(record.band, band);
    QCOMPARE(record.centralMeridian, (zone - 1) * 6 - 180 + 3.0);
}

void tst_Utm::outsideLatitudes_data()
{
    QTest::addColumn<double>("lat");
    // clang-format off
    QTest::newRow("just north") << 84.000001;
    QTest::newRow("just south") << -80.000001;
    QTest::newRow("pole") << 90.0;
    QTest::newRow("not a number") << qQNaN();
    QTest::newRow("infinite") << qInf();
    // clang-format on
}

// The failed forward call leaves zone 0, no band and zero metres.
void tst_Utm::outsideLatitudes()
{
    QFETCH(double, lat);
    UtmZoneRecord record{lat, 0, 0, QString(), 0};
    QCOMPARE(UtmZoneOf(record), GeoStatus::ZoneRange);
    std::int16_t zone = 7;
    QString band = QStringLiteral("Q");
    double easting = 1;
    double northing = 1;
    QCOMPARE(UtmFromLatLon(lat, 0, zone, band, easting, northing), GeoStatus::UtmRange);
    QCOMPARE(int(zone), 0);
    QVERIFY(band.isEmpty());
    QCOMPARE(easting, 0.0);
    QCOMPARE(northing, 0.0);
}

void tst_Utm::longitude180FoldsToZone1()
{
    std::int16_t zone = 0;
    QString band;
    double easting = 0;
    double northing = 0;
    QCOMPARE(UtmFromLatLon(0, 180, zone, band, easting, northing), GeoStatus::Success);
    QCOMPARE(int(zone), 1);
    QVERIFY2(qAbs(easting - 166021.4) < 0.05, qPrintable(QString::number(easting, 'f', 3)));
}

void tst_Utm::inverseRefusesWhatGivesNoPosition()
{
    double lat = 1;
    double lon = 2;
    QCOMPARE(int(LatLonFromUtm(31, QStringLiteral("N"), qQNaN(), 0, lat, lon)),
             int(GeoStatus::UtmRange) - 513);
    QCOMPARE(lat, 0.0); // the wrapper copies back its fresh record
    UtmPosition position;
    position.ellipsoid = 23;
    QCOMPARE(UtmToLatLon(position), GeoStatus::InvalidEllipsoid);
    QCOMPARE(LatLonToUtm(position), GeoStatus::InvalidEllipsoid);
}

QTEST_APPLESS_MAIN(tst_Utm)
#include "tst_Utm.moc"
