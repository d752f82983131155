#include "coords/GridComponent.h"
#include "gpslink/Platform.h"

#include <QtTest>
#include <cstdio>

class tst_GridComponent : public QObject
{
    Q_OBJECT
private slots:
    void statusCodes();
    void outsideArea();
    void edgesOfTheAreaShiftTheDatum();
    void printsNothing();
};

// Calls in the wrong order, for the wrong area or with a position off the grid.
void tst_GridComponent::statusCodes()
{
    GridComponent giq;
    double a = 0, b = 0, c = 0;
    std::int32_t flags = 0;
    QCOMPARE(giq.GiqSetArea(3), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetWgs84(52, -1, 0), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetArea(Giq::kAreaBritish), Giq::kOk);
    QCOMPARE(giq.GiqSetWgs84(52, -1, 0), Giq::kNotInitialised);
    QCOMPARE(giq.GiqInit(QStringLiteral("GIQ.5.0")), Giq::kInvalidRegistryKey);
    QCOMPARE(giq.GiqSetWgs84(52, -1, 0), Giq::kNotInitialised);
    QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kOk);
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kInvalidCoordinate); // nothing set yet
    QCOMPARE(giq.GiqSetWgs84(52, -1, 12.5), Giq::kOk);
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kOk);
    QCOMPARE(c, 12.5);
    QCOMPARE(giq.GiqSetIrishGrid(200000, 250000, 0, 0), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqGetIrishGrid(a, b, c, flags), Giq::kAreaNotSet);
    QCOMPARE(giq.GiqSetBritishGrid(2000000, 2000000, 0, flags), Giq::kOutsideArea);
    QCOMPARE(giq.GiqSetBritishGrid(qInf(), 0, 0, flags), Giq::kInvalidCoordinate);
    // A failed set leaves nothing behind for the next get.
    QCOMPARE(giq.GiqGetBritishGrid(a, b, c, flags), Giq::kInvalidCoordinate);
    // A new area needs a new initialisation.
    QCOMPARE(giq.GiqSetArea(Giq::kAreaIreland), Giq::kOk);
    QCOMPARE(giq.GiqGetIrishGrid(a, b, c, flags), Giq::kNotInitialised);
}

void tst_GridComponent::outsideArea()
{
    for (const auto& [area, lat, lon] : {std::tuple{Giq::kAreaBritish, 40.7, -74.0},
                                         {Giq::kAreaNorthernIreland, 53.35, -6.26},
                                         {Giq::kAreaIreland, 51.5, -0.1}}) {
        GridComponent giq;
        QCOMPARE(giq.GiqSetArea(area), Giq::kOk);
        QCOMPARE(giq.GiqInit(Giq::kComponentName), Giq::kOk);
        QCOMPARE(giq.GiqSetWgs84(lat, lon, 0), Giq::kOutsideArea);
    }
}

// North of Shetland and west of the Scillies, outside the area of the Helmert
// shift, the datum still shifts: PROJ states no accuracy for a mere offset.
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

// Without its database PROJ would complain on standard error; the component
// reports "Invalid data file" instead and nothing reaches the terminal.
void tst_GridComponent::printsNothing()
{
    QTemporaryDir empty;
    const QByteArray data = qgetenv("PROJ_DATA"), lib = qgetenv("PROJ_LIB");
    qputenv("PROJ_DATA", empty.path().toLocal8Bit());
    qputenv("PROJ_LIB", empty.path().toLocal8Bit());
    QTemporaryFile capture;
    QVERIFY(capture.open());
    const int saved = RedirectStandardError(capture.handle());
    if (saved < 0)
        QSKIP("this system cannot capture standard error");
    std::int32_t status = 0;
    {
        GridComponent giq;
        giq.GiqSetArea(Giq::kAreaBritish);
        status = giq.GiqInit(Giq::kComponentName);
    }
    RestoreStandardError(saved);
    for (const auto& [name, value] : {std::pair{"PROJ_DATA", data}, {"PROJ_LIB", lib}}) {
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
