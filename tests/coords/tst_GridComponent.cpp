#include "coords/GridComponent.h"

#include <QtTest>
#include <cmath>
#include <cstdio>
#include <unistd.h>

// The component on its own: the order of its calls, its area checks and its
// silence. The conversions themselves are checked in tst_NationalGrid.
class tst_GridComponent : public QObject
{
    Q_OBJECT
private slots:
    void callsBeforeTheirTime();
    void wrongNameOrArea();
    void outsideArea_data();
    void outsideArea();
    void methodMustMatchArea();
    void edgesOfTheAreaShiftTheDatum();
    void printsNothing();
};

void tst_GridComponent::callsBeforeTheirTime()
{
    GridComponent giq;
    double a = 0, b = 0, c = 0;
    std::int32_t flags = 0;
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetWgs84(52, -1, 0), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetArea(Giq::kAreaBritish), Giq::kOk);
    QCOMPARE(giq.GiqSetWgs84(52, -1, 0), Giq::kNotInitialised);
    QCOMPARE(giq.GiqGetWgs84(a, b, c), Giq::kNotInitialised);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kOk);
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kInvalidCoordinate); // nothing set yet
    QCOMPARE(giq.GiqSetWgs84(52, -1, 12.5), Giq::kOk);
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kOk);
    QCOMPARE(c, 12.5);
    // A new area needs a new initialisation.
    QCOMPARE(giq.GiqSetArea(Giq::kAreaIreland), Giq::kOk);
    QCOMPARE(giq.GiqGetIrishGrid(a, b, c, flags), Giq::kNotInitialised);
}

void tst_GridComponent::wrongNameOrArea()
{
    GridComponent giq;
    QCOMPARE(giq.GiqSetArea(3), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetArea(-1), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetArea(Giq::kAreaNorthernIreland), Giq::kOk);
    QCOMPARE(giq.GiqInit(QStringLiteral("GIQ.5.0")), Giq::kInvalidRegistryKey);
    QCOMPARE(giq.GiqSetIrishGrid(333833, 374093, 0, 0), Giq::kNotInitialised);
}

void tst_GridComponent::outsideArea_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    // clang-format off
    QTest::newRow("Paris, British") << 0 << 48.8566 << 2.3522;
    QTest::newRow("New York, British") << 0 << 40.7128 << -74.006;
    QTest::newRow("Dublin, Northern Ireland") << 1 << 53.35 << -6.26;
    QTest::newRow("London, Irish") << 2 << 51.5 << -0.1;
    // clang-format on
}

void tst_GridComponent::outsideArea()
{
    QFETCH(int, area);
    QFETCH(double, lat);
    QFETCH(double, lon);
    GridComponent giq;
    QCOMPARE(giq.GiqSetArea(area), Giq::kOk);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kOk);
    QCOMPARE(giq.GiqSetWgs84(lat, lon, 0), Giq::kOutsideArea);
}

void tst_GridComponent::methodMustMatchArea()
{
    GridComponent giq;
    std::int32_t flags = 0;
    QCOMPARE(giq.GiqSetArea(Giq::kAreaBritish), Giq::kOk);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kOk);
    QCOMPARE(giq.GiqSetIrishGrid(200000, 250000, 0, 0), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetBritishGrid(651409, 313177, 0, flags), Giq::kOk);
    double a = 0, b = 0, c = 0;
    QCOMPARE(giq.GiqGetIrishGrid(a, b, c, flags), Giq::kAreaNotSet);
    // A grid position whose latitude and longitude fall outside the area.
    QCOMPARE(giq.GiqSetBritishGrid(2000000, 2000000, 0, flags), Giq::kOutsideArea);
    QCOMPARE(giq.GiqSetBritishGrid(qInf(), 0, 0, flags), Giq::kInvalidCoordinate);
    // A failed set leaves nothing behind for the next get.
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kInvalidCoordinate);
}

// Between the edge of the grid's area and the smaller area of its Helmert
// shift (north of Shetland, west of the Scillies) the datum still shifts:
// PROJ states an accuracy, which it does not for a mere "ballpark" offset.
void tst_GridComponent::edgesOfTheAreaShiftTheDatum()
{
    GridComponent giq;
    QCOMPARE(giq.GiqSetArea(Giq::kAreaBritish), Giq::kOk);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kOk);
    for (const auto& [lat, lon] : {std::pair{61.0, -1.0}, {49.76, -8.99}, {52.0, 2.0}}) {
        QCOMPARE(giq.GiqSetWgs84(lat, lon, 0), Giq::kOk);
        QVERIFY2(giq.LastAccuracy() > 0, qPrintable(giq.LastOperation()));
    }
}

// Without its database PROJ cannot build a transformation, and it would say
// so on standard error; the component reports "Invalid data file" instead
// and nothing reaches the terminal.
void tst_GridComponent::printsNothing()
{
    QTemporaryDir empty;
    const QByteArray savedData = qgetenv("PROJ_DATA");
    const QByteArray savedLib = qgetenv("PROJ_LIB");
    qputenv("PROJ_DATA", empty.path().toLocal8Bit());
    qputenv("PROJ_LIB", empty.path().toLocal8Bit());

    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    QTemporaryFile capture;
    QVERIFY(capture.open());
    dup2(capture.handle(), STDERR_FILENO);
    std::int32_t status = 0;
    {
        GridComponent giq;
        giq.GiqSetArea(Giq::kAreaBritish);
        status = giq.GiqInit(Giq::kComponentName);
    }
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    for (const auto& [name, value] : {std::pair{"PROJ_DATA", savedData}, {"PROJ_LIB", savedLib}}) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QCOMPARE(status, Giq::kInvalidDataFile);
    capture.seek(0);
    QCOMPARE(capture.readAll(), QByteArray());
}

QTEST_APPLESS_MAIN(tst_GridComponent)
#include "tst_GridComponent.moc"
