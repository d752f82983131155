#include "coords/Geodesy.h"
#include "coords/Utm.h"

#include <QtTest>
#include <map>

class tst_Geodesy : public QObject
{
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void datumsPerEllipsoid();
    void indexOutsideTable_data();
    void indexOutsideTable();
    void getEllipsoid();
};

void tst_Geodesy::rows_data()
{
    QTest::addColumn<double>("index");
    QTest::addColumn<QString>("ellipsoid");
    QTest::addColumn<double>("major");
    QTest::addColumn<double>("minor");
    QTest::addColumn<QString>("datum");
    QTest::addColumn<int>("datumEllipsoid");
    // clang-format off
    QTest::newRow("1") << 1.0 << "Airy" << 6377563.396 << 6356256.909 << "Adindan" << 6;
    QTest::newRow("5, as spelt") << 5.0 << "Clark 1866 - NAD27" << 6378206.4 << 6356583.8 << "ARC 1950" << 6;
    QTest::newRow("6") << 6.0 << "Clarke 1880" << 6378249.145 << 6356514.87 << "ARC 1960" << 6;
    QTest::newRow("18") << 18.0 << "South American 1969" << 6378160.0 << 6356774.719 << "Canto Astro 1966" << 16;
    QTest::newRow("22") << 22.0 << "WGS-84" << 6378137.0 << 6356752.314 << "Chatham 1971" << 16;
    QTest::newRow("2.5 rounds to 2") << 2.5 << "Airy Modified" << 6377340.189 << 6356034.448 << "Afgooye" << 17;
    QTest::newRow("21.6 rounds to 22") << 21.6 << "WGS-84" << 6378137.0 << 6356752.314 << "Chatham 1971" << 16;
    // clang-format on
}

void tst_Geodesy::rows()
{
    QFETCH(double, index);
    QFETCH(QString, ellipsoid);
    QFETCH(double, major);
    QFETCH(double, minor);
    QFETCH(QString, datum);
    QFETCH(int, datumEllipsoid);
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(geodesy.ename(index).value_or(QString()), ellipsoid);
    QCOMPARE(geodesy.eMajor(index).value_or(0), major);
    QCOMPARE(geodesy.eMinor(index).value_or(0), minor);
    QCOMPARE(geodesy.dName(index).value_or(QString()), datum);
    QCOMPARE(int(geodesy.dNumber(index).value_or(0)), datumEllipsoid);
}

// A row slipped while the table was typed would move datums to the wrong
// ellipsoid; the counts per ellipsoid and a few names across it catch that.
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
    QCOMPARE(*geodesy.dName(30), QStringLiteral("*Finland Hayford"));
    QCOMPARE(*geodesy.dName(75), QStringLiteral("Ord Survey G. Britian 1936"));
    QCOMPARE(*geodesy.dName(90), *geodesy.ename(18));
    QCOMPARE(*geodesy.dName(102), QStringLiteral("WGS 1984"));
    QCOMPARE(int(*geodesy.dNumber(102)), 22);
    QCOMPARE(*geodesy.dName(103), QStringLiteral("Zanderij"));
}

void tst_Geodesy::indexOutsideTable_data()
{
    QTest::addColumn<double>("ellipsoidIndex");
    QTest::addColumn<double>("datumIndex");
    // clang-format off
    QTest::newRow("zero") << 0.0 << 0.0;
    QTest::newRow("one past the end") << 23.0 << 104.0;
    QTest::newRow("rounds below 1") << 0.5 << 0.5;
    QTest::newRow("rounds past the end") << 22.6 << 103.5;
    QTest::newRow("not a number") << qQNaN() << qQNaN();
    QTest::newRow("huge") << 1e300 << -1e300;
    // clang-format on
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

void tst_Geodesy::getEllipsoid()
{
    EllipsoidParams record{-1, -1, QStringLiteral("untouched")};
    for (const std::int16_t bad : {0, 23, -32768})
        QCOMPARE(GetEllipsoid(record, bad), GeoStatus::InvalidEllipsoid);
    QCOMPARE(record.semiMajor, -1.0);
    QCOMPARE(record.name, QStringLiteral("untouched"));
    QCOMPARE(GetEllipsoid(record, 22), GeoStatus::Success);
    QCOMPARE(record.semiMajor, 6378137.0);
    QCOMPARE(record.semiMinor, 6356752.314);
    QCOMPARE(record.name, QStringLiteral("WGS-84"));
}

QTEST_APPLESS_MAIN(tst_Geodesy)
#include "tst_Geodesy.moc"
