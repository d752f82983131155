#include "coords/Geodesy.h"
#include "coords/Utm.h"

#include <QtTest>
#include <map>

class tst_Geodesy : public QObject
{
    Q_OBJECT
private slots:
    void ellipsoids_data();
    void ellipsoids();
    void datums_data();
    void datums();
    void datumsPerEllipsoid();
    void indexOutsideTable_data();
    void indexOutsideTable();
    void indexIsRoundedHalfToEven();
    void getEllipsoid_data();
    void getEllipsoid();
};

void tst_Geodesy::ellipsoids_data()
{
    QTest::addColumn<double>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("major");
    QTest::addColumn<double>("minor");
    QTest::newRow("first") << 1.0 << "Airy" << 6377563.396 << 6356256.909;
    QTest::newRow("NAD27 spelling") << 5.0 << "Clark 1866 - NAD27" << 6378206.4 << 6356583.8;
    QTest::newRow("Clarke 1880") << 6.0 << "Clarke 1880" << 6378249.145 << 6356514.87;
    QTest::newRow("International") << 16.0 << "International" << 6378388.0 << 6356911.946;
    QTest::newRow("South American") << 18.0 << "South American 1969" << 6378160.0 << 6356774.719;
    QTest::newRow("last") << 22.0 << "WGS-84" << 6378137.0 << 6356752.314;
}

void tst_Geodesy::ellipsoids()
{
    QFETCH(double, index);
    QFETCH(QString, name);
    QFETCH(double, major);
    QFETCH(double, minor);
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(geodesy.ename(index).value_or(QString()), name);
    QCOMPARE(geodesy.eMajor(index).value_or(0), major);
    QCOMPARE(geodesy.eMinor(index).value_or(0), minor);
}

void tst_Geodesy::datums_data()
{
    QTest::addColumn<double>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ellipsoid");
    QTest::newRow("first") << 1.0 << "Adindan" << 6;
    QTest::newRow("asterisk kept") << 30.0 << "*Finland Hayford" << 16;
    QTest::newRow("Ireland") << 39.0 << "Ireland 1965" << 2;
    QTest::newRow("Britain as spelt") << 75.0 << "Ord Survey G. Britian 1936" << 1;
    QTest::newRow("same text as ellipsoid 18") << 90.0 << "South American 1969" << 18;
    QTest::newRow("WGS 1984") << 102.0 << "WGS 1984" << 22;
    QTest::newRow("last") << 103.0 << "Zanderij" << 16;
}

void tst_Geodesy::datums()
{
    QFETCH(double, index);
    QFETCH(QString, name);
    QFETCH(int, ellipsoid);
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(geodesy.dName(index).value_or(QString()), name);
    QCOMPARE(int(geodesy.dNumber(index).value_or(0)), ellipsoid);
}

// A row slipped by one while the table was typed would move a datum to the
// wrong ellipsoid; the counts per ellipsoid catch that.
void tst_Geodesy::datumsPerEllipsoid()
{
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(int(geodesy.Choices()), 22);
    QCOMPARE(int(geodesy.DChoices()), 103);
    std::map<int, int> counts;
    for (int i = 1; i <= geodesy.DChoices(); ++i)
        ++counts[geodesy.dNumber(i).value_or(0)];
    const std::map<int, int> expected = {
        {1, 1},  {2, 1},  {3, 3},   {4, 4},  {5, 19}, {6, 15}, {7, 3},  {8, 1},  {10, 1}, {13, 1},
        {14, 1}, {15, 1}, {16, 46}, {17, 1}, {18, 1}, {19, 1}, {20, 1}, {21, 1}, {22, 1}};
    QCOMPARE(counts, expected);
}

void tst_Geodesy::indexOutsideTable_data()
{
    QTest::addColumn<double>("ellipsoidIndex");
    QTest::addColumn<double>("datumIndex");
    QTest::newRow("zero") << 0.0 << 0.0;
    QTest::newRow("one past the end") << 23.0 << 104.0;
    QTest::newRow("negative") << -1.0 << -5.0;
    QTest::newRow("rounds below 1") << 0.5 << 0.5;
    QTest::newRow("rounds past the end") << 22.6 << 103.5;
    QTest::newRow("not a number") << qQNaN() << qQNaN();
    QTest::newRow("huge") << 1e300 << -1e300;
}

void tst_Geodesy::indexOutsideTable()
{
    QFETCH(double, ellipsoidIndex);
    QFETCH(double, datumIndex);
    const Geodesy& geodesy = SharedGeodesy();
    QVERIFY(!geodesy.eMajor(ellipsoidIndex));
    QVERIFY(!geodesy.eMinor(ellipsoidIndex));
    QVERIFY(!geodesy.ename(ellipsoidIndex));
    QVERIFY(!geodesy.dName(datumIndex));
    QVERIFY(!geodesy.dNumber(datumIndex));
}

void tst_Geodesy::indexIsRoundedHalfToEven()
{
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(geodesy.ename(1.5).value_or(QString()), QStringLiteral("Airy Modified")); // 2
    QCOMPARE(geodesy.ename(2.5).value_or(QString()), QStringLiteral("Airy Modified")); // 2
    QCOMPARE(geodesy.ename(21.6).value_or(QString()), QStringLiteral("WGS-84"));       // 22
    QCOMPARE(geodesy.dName(102.5).value_or(QString()), QStringLiteral("WGS 1984"));    // 102
}

void tst_Geodesy::getEllipsoid_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("major");
    QTest::newRow("WGS-84") << 22 << 513 << 6378137.0;
    QTest::newRow("Airy") << 1 << 513 << 6377563.396;
    QTest::newRow("zero") << 0 << 520 << -1.0;
    QTest::newRow("23") << 23 << 520 << -1.0;
    QTest::newRow("negative") << -32768 << 520 << -1.0;
}

void tst_Geodesy::getEllipsoid()
{
    QFETCH(int, number);
    QFETCH(int, status);
    QFETCH(double, major);
    EllipsoidParams record{-1, -1, QStringLiteral("untouched")};
    QCOMPARE(int(GetEllipsoid(record, std::int16_t(number))), status);
    QCOMPARE(record.semiMajor, major);
    if (status == 520) {
        QCOMPARE(record.name, QStringLiteral("untouched"));
    } else {
        QCOMPARE(record.semiMinor, *SharedGeodesy().eMinor(number));
        QCOMPARE(record.name, *SharedGeodesy().ename(number));
    }
}

QTEST_APPLESS_MAIN(tst_Geodesy)
#include "tst_Geodesy.moc"
