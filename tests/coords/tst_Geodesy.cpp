#include "coords/Geodesy.h"
#include "coords/Utm.h"

#include <QtTest>

class tst_Geodesy : public QObject
{
    Q_OBJECT
private slots:
    void entries();
    void getEllipsoid();
};

void tst_Geodesy::entries()
{
    const Geodesy& geodesy = SharedGeodesy();
    QCOMPARE(*geodesy.ename(2.5), QStringLiteral("Airy Modified"));             // 2.5 rounds to 2
    QCOMPARE(*geodesy.dName(75), QStringLiteral("Ord Survey G. Britian 1936")); // sic
    QCOMPARE(*geodesy.dName(103), QStringLiteral("Zanderij"));                  // the last
    // Indexes outside the tables, also after rounding, give nothing.
    const double nan = qQNaN();
    const std::pair<double, double> outside[] = {{0, 0},        {23, 104},  {0.5, 0.5},
                                                 {22.6, 103.5}, {nan, nan}, {1e300, -1e300}};
    for (const auto& [e, d] : outside) {
        QVERIFY2(!geodesy.eMajor(e) && !geodesy.eMinor(e) && !geodesy.ename(e),
                 qPrintable(QString::number(e)));
        QVERIFY2(!geodesy.dName(d) && !geodesy.dNumber(d), qPrintable(QString::number(d)));
    }
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
