#include "workspace/PropertySettings.h"

#include <QSet>
#include <QtTest>

namespace {

const std::vector<SerialDevice> kDevices{{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", "FT232R USB UART"}};

} // namespace

class tst_PropertySettings : public QObject
{
    Q_OBJECT
private slots:
    void lists();
    void ports_data();
    void ports();
    void load_data();
    void load();
    void heights_data();
    void heights();
};

void tst_PropertySettings::lists()
{
    // A code of five characters, a blank, the description: the code is what comes before
    // the first blank, and files compare it.
    QSet<QString> codes;
    for (const QString& datum : DatumEntries()) {
        QVERIFY2(datum.size() > 6 && datum.at(5) == u' ' && datum.at(6) != u' ', qPrintable(datum));
        codes.insert(datum.left(5));
    }
    QCOMPARE(codes.size(), 73); // every one of the receiver's datums, once
    QCOMPARE(DatumCodeOf("CAPE  Cape"), std::optional<QString>("CAPE"));
    QCOMPARE(DatumCodeOf("WGS84"), std::nullopt);
    QCOMPARE(PortEntries(kDevices).mid(15),
             QStringList({"Com16", "/dev/ttyACM0", "/dev/ttyUSB0 (FT232R USB UART)"}));
}

void tst_PropertySettings::ports_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("storedAgain");
    const auto row = [](const char* name, const char* stored, const char* shown,
                        const char* again) { QTest::newRow(name) << stored << shown << again; };
    row("Com3", "3", "Com3", "3");
    row("written as Com16", "com16", "Com16", "16");
    row("adapter present", "/dev/ttyUSB0", "/dev/ttyUSB0 (FT232R USB UART)", "/dev/ttyUSB0");
    row("without description", "/dev/ttyACM0", "/dev/ttyACM0", "/dev/ttyACM0");
    row("adapter gone", "/dev/ttyUSB1", "/dev/ttyUSB1", "/dev/ttyUSB1");
    row("no such Com", "17", "17", "17");
}

void tst_PropertySettings::ports()
{
    QFETCH(QString, stored);
    const QString shown = PortEntryText(stored, kDevices);
    QTEST(shown, "shown");
    QTEST(PortSetting(shown), "storedAgain");
}

void tst_PropertySettings::load_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("shown"); // speed, grid option, sheet ticked, sheet enabled
    const auto row = [](const char* name, const char* grid, const char* sheet, const char* shown) {
        QTest::newRow(name) << grid << sheet << shown;
    };
    row("OSGB", "OSGB", "1", "19200 0 1 1");
    row("UTM, squares kept", "UTM", "1", "19200 3 1 0");
    row("OSNI without squares", "OSNI", "0", "19200 1 0 0");
    row("unknown grid", "MGRS", "1", "19200 -1 1 unchanged");
}

void tst_PropertySettings::load()
{
    QFETCH(QString, grid);
    QFETCH(QString, sheet);
    const CurrentProperties current{"/dev/ttyUSB0", "19200,n,8,1",     true, "CAPE  Cape",
                                    sheet,          HeightsMode::Feet, grid};
    const PropertyChoices c = LoadPropertySettings(current, kDevices);
    QCOMPARE(c.port, "/dev/ttyUSB0 (FT232R USB UART)");
    QCOMPARE(c.datum, "CAPE  Cape");
    QVERIFY(c.gridLines);
    QCOMPARE(c.heights, HeightsMode::Feet);
    const QString enabled = c.sheetEnabled ? QString::number(*c.sheetEnabled) : "unchanged";
    QTEST(QStringList({c.speed, QString::number(c.grid), QString::number(c.sheet), enabled})
              .join(u' '),
          "shown");
}

void tst_PropertySettings::heights_data()
{
    QTest::addColumn<HeightsMode>("mode");
    QTest::addColumn<QStringList>("heights"); // altitude and unit of each row
    QTest::addColumn<QStringList>("converted");
    const QStringList mixed{"0000100M", "0000100F", "-000010M"};
    QTest::newRow("to feet") << HeightsMode::Feet << mixed
                             << QStringList{"0000328F", "0000100F", "-000033F"};
    QTest::newRow("back to metres") << HeightsMode::Metres << QStringList{"0000328F", "0000100M"}
                                    << QStringList{"0000100M", "0000100M"};
    QTest::newRow("don't care") << HeightsMode::Keep << mixed << mixed;
}

void tst_PropertySettings::heights()
{
    QFETCH(HeightsMode, mode);
    QFETCH(QStringList, heights);
    ListModel waypoints(ListKind::Waypoints);
    for (const QString& height : heights)
        waypoints.AddRow(
            {"A", "5130.000", "N", "00010.000", "W", height.chopped(1), height.right(1)});
    ConvertWaypointHeights(waypoints, mode);
    QStringList converted;
    for (int row = 0; row < waypoints.Count(); ++row)
        converted << waypoints.Text(row, WaypointColumn::Altitude) +
                         waypoints.Text(row, WaypointColumn::MF);
    QTEST(converted, "converted");
}

QTEST_GUILESS_MAIN(tst_PropertySettings)
#include "tst_PropertySettings.moc"
