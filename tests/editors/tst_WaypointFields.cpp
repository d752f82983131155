#include "coords/GridComponent.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/WaypointFields.h"

#include <QtTest>

namespace {

// The fields as "ID LAT LATMIN NS LON LONMIN WE ALT MF DESC ICON", options as digits.
QString Texts(const WaypointFields& f)
{
    const auto n = [](int option) { return QString::number(option); };
    return QStringList{f.txtID,    f.txtLat, f.TxtLatMin, n(f.optNS), f.txtLon,   f.txtLonMin,
                       n(f.optWE), f.txtAlt, n(f.optMF),  f.txtDesc,  f.comboIcon}
        .join(u' ');
}

WaypointFields Filled(const QString& texts)
{
    const QStringList t = texts.split(u' ');
    return {t[0],         t[1], t[2],         t[3].toInt(), t[4],       t[5],
            t[6].toInt(), t[7], t[8].toInt(), t.value(9),   t.value(10)};
}

// The text of each box, in WaypointBox order.
QString WaypointFields::*const kBoxes[] = {&WaypointFields::txtID,     &WaypointFields::txtLat,
                                           &WaypointFields::TxtLatMin, &WaypointFields::txtLon,
                                           &WaypointFields::txtLonMin, &WaypointFields::txtAlt,
                                           &WaypointFields::txtDesc,   &WaypointFields::comboIcon};

const QString kLatRange = QStringLiteral("Latitude range 0-90\r\nFormat: dd mm.mmm");
const QString kLonRange = QStringLiteral("Longitude range 0-180\r\nFormat: ddd mm.mmm");

} // namespace

class tst_WaypointFields : public QObject
{
    Q_OBJECT
private slots:
    void keyFilters_data();
    void keyFilters();
    void fieldChecks_data();
    void fieldChecks();
    void firstFailureWins_data();
    void firstFailureWins();
    void prepare_data();
    void prepare();
    void rowCells_data();
    void rowCells();
    void gridReference_data();
    void gridReference();
};

void tst_WaypointFields::keyFilters_data()
{
    QTest::addColumn<WaypointBox>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    using B = WaypointBox;
    // clang-format off
    QTest::newRow("name upper case") << B::Id << "hello, é" << "HELLO, É";
    QTest::newRow("degrees") << B::Lat << "1a.2-" << "12";
    QTest::newRow("minutes") << B::LonMin << "5.5x-" << "5.5";
    QTest::newRow("altitude") << B::Alt << "-12a.3" << "-123";
    QTest::newRow("icon lower case, a to t") << B::Icon << "CuT1" << "ct";
    // clang-format on
}

void tst_WaypointFields::keyFilters()
{
    QFETCH(WaypointBox, box);
    QFETCH(QString, typed);
    QString kept;
    for (const QChar c : typed) {
        if (const auto k = FilterWaypointKey(box, c))
            kept += *k;
    }
    QTEST(kept, "kept");
    QCOMPARE(FilterWaypointKey(box, QChar(8)), std::optional<QChar>(QChar(8)));
}

void tst_WaypointFields::fieldChecks_data()
{
    QTest::addColumn<WaypointBox>("box");
    QTest::addColumn<QString>("degrees"); // the degrees box the minutes are checked against
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rewritten");
    QTest::addColumn<QStringList>("messages");
    using B = WaypointBox;
    const QString latMin = QStringLiteral("Minute range 0-59.999\r\nFormat: dd mm.mmm");
    const QString lonMin = QStringLiteral("Minute range 0-59.999\r\nFormat: ddd mm.mmm");
    const QString shortId = QStringLiteral("Waypoint ID must be 3-6 characters");
    const QString badId = QStringLiteral("Waypoint name contains illegal characters");
    const QStringList none;
    // clang-format off
    QTest::newRow("degrees padded") << B::Lat << "" << "7" << "07" << none;
    QTest::newRow("empty degrees") << B::Lon << "" << "" << "000" << none;
    QTest::newRow("latitude 90") << B::Lat << "" << "90" << "90" << none;
    QTest::newRow("longitude 181") << B::Lon << "" << "181" << "181" << QStringList{kLonRange};
    QTest::newRow("minutes 5.5") << B::LatMin << "51" << "5.5" << "05.500" << none;
    QTest::newRow("minutes 59.999") << B::LatMin << "51" << "59.999" << "59.999" << none;
    QTest::newRow("minutes 60") << B::LatMin << "51" << "60" << "60" << QStringList{latMin};
    QTest::newRow("longitude minutes 60") << B::LonMin << "10" << "60" << "60" << QStringList{lonMin};
    QTest::newRow("90 degrees exactly") << B::LatMin << "90" << "00.000" << "00.000" << none;
    QTest::newRow("past 90 degrees") << B::LatMin << "90" << "00.001" << "00.001" << QStringList{kLatRange};
    QTest::newRow("past 180 degrees") << B::LonMin << "180" << "0.001" << "0.001" << QStringList{kLonRange};
    QTest::newRow("negative altitude") << B::Alt << "" << "-5" << "-000005" << none;
    QTest::newRow("rounded altitude") << B::Alt << "" << "12.5" << "0000013" << none;
    QTest::newRow("empty altitude") << B::Alt << "" << "" << "" << QStringList{"Invalid number"};
    QTest::newRow("minus inside") << B::Alt << "" << "12-3" << "12-3" << QStringList{"Invalid number"};
    QTest::newRow("name with +") << B::Id << "" << "A+B" << "A+B" << QStringList{badId};
    QTest::newRow("both name messages") << B::Id << "" << "a+" << "A+" << QStringList{shortId, badId};
    QTest::newRow("apostrophe") << B::Id << "" << "tom's" << "TOM'S" << none;
    QTest::newRow("comma in a description") << B::Desc << "" << "a,b" << "A,B" << QStringList{"Description contains illegal characters"};
    QTest::newRow("icon t") << B::Icon << "" << "t" << "t" << none;
    QTest::newRow("icon u") << B::Icon << "" << "u" << "u" << QStringList{"Valid icon letters are 'a' to 't'"};
    // clang-format on
}

void tst_WaypointFields::fieldChecks()
{
    QFETCH(WaypointBox, box);
    QFETCH(QString, degrees);
    QFETCH(QString, text);
    WaypointFields fields;
    fields.txtLat = fields.txtLon = degrees;
    fields.*kBoxes[int(box)] = text;
    QTEST(CheckWaypointField(box, fields), "messages");
    QTEST(fields.*kBoxes[int(box)], "rewritten");
}

void tst_WaypointFields::firstFailureWins_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<bool>("saving"); // OK's own check, name first
    QTest::addColumn<int>("failing"); // a WaypointBox, -1 for none
    QTest::addColumn<QString>("after");
    // clang-format off
    QTest::newRow("all pass, rewritten") << "HOME 5 5.5 0 1 1 1 -5 0 desc a" << true << -1 << "HOME 05 05.500 0 001 01.000 1 -000005 0 DESC a";
    QTest::newRow("name not among them") << "AB 51 0 0 0 0 0 0 0 x a" << false << -1 << "AB 51 00.000 0 000 00.000 0 0000000 0 X a";
    QTest::newRow("altitude before icon") << "HOME 1 0 0 0 0 0 x 0 x z" << false << int(WaypointBox::Alt) << "HOME 01 00.000 0 000 00.000 0 x 0 x z";
    QTest::newRow("icon last") << "HOME 1 0 0 0 0 0 1 0 x z" << false << int(WaypointBox::Icon) << "HOME 01 00.000 0 000 00.000 0 0000001 0 X z";
    // clang-format on
}

void tst_WaypointFields::firstFailureWins()
{
    QFETCH(QString, fields);
    QFETCH(bool, saving);
    QFETCH(int, failing);
    WaypointFields f = Filled(fields);
    const std::optional<FieldFailure> failure =
        saving ? ValidateForSaving(f) : ValidateAllFields(f);
    QCOMPARE(failure ? int(failure->box) : -1, failing);
    QTEST(Texts(f), "after");
}

void tst_WaypointFields::prepare_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("after");
    const QString fresh = QStringLiteral("x x x -1 x x -1 x -1 x ");
    // clang-format off
    QTest::newRow("first new waypoint") << fresh << -1 << "   0   0 0 0  a";
    QTest::newRow("earlier choices stay") << "A 1 2 1 3 4 1 5 1 D k" << -1 << "   1   1 0 1  k";
    QTest::newRow("existing row") << fresh << 0 << "HOME 51 30.250 1 000 12.345 1 -000012 1 PUB c";
    QTest::newRow("a row past the end is new") << fresh << 1 << "   0   0 0 0  a";
    // clang-format on
}

void tst_WaypointFields::prepare()
{
    QFETCH(QString, before);
    QFETCH(int, row);
    ListModel waypoints(ListKind::Waypoints);
    waypoints.AddRow({"HOME", "5130.250", "S", "00012.345", "E", "-000012", "F", "PUB", "c"});
    WaypointFields f = Filled(before);
    PrepareWaypointEditor(waypoints, row, f);
    QTEST(Texts(f), "after");
}

// The altitude box shows the row's altitude afterwards.
void tst_WaypointFields::rowCells_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<HeightsMode>("mode");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("cells");
    const QString feet = QStringLiteral("HOME 51 30.500 0 000 12.345 0 0001000 1 PUB c");
    const QString keptInFeet = QStringLiteral("HOME 5130.500 N 00012.345 W 0001000 F PUB c");
    // clang-format off
    QTest::newRow("new waypoint keeps metres") << "HOME 51 30.500 0 000 12.345 0 0000100 0 PUB c" << HeightsMode::Feet << false << "HOME 5130.500 N 00012.345 W 0000100 M PUB c";
    QTest::newRow("existing metres to feet") << "HOME 51 30.500 1 000 12.345 1 0000100 0 PUB c" << HeightsMode::Feet << true << "HOME 5130.500 S 00012.345 E 0000328 F PUB c";
    QTest::newRow("existing feet to metres") << feet << HeightsMode::Metres << true << "HOME 5130.500 N 00012.345 W 0000305 M PUB c";
    QTest::newRow("existing, heights kept") << feet << HeightsMode::Keep << true << keptInFeet;
    QTest::newRow("existing already in feet") << feet << HeightsMode::Feet << true << keptInFeet;
    // clang-format on
}

void tst_WaypointFields::rowCells()
{
    QFETCH(QString, fields);
    QFETCH(HeightsMode, mode);
    QFETCH(bool, existing);
    QFETCH(QString, cells);
    WaypointFields f = Filled(fields);
    QCOMPARE(WaypointRowCells(f, mode, existing).join(u' '), cells);
    QCOMPARE(f.txtAlt, cells.section(u' ', 5, 5));
}

void tst_WaypointFields::gridReference_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<bool>("useSheetId");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("start"); // "stop", "blank", or the reference's sheet band east north
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("no position yet") << "UTM" << true << "A   0   0 0 0 x a" << "blank" << "";
    QTest::newRow("only the altitude empty") << "UTM" << true << "A 51 0 0 000 0 0  0 x a" << "stop" << "Incomplete coordinates!";
    QTest::newRow("past 84 north") << "UTM" << true << "A 84 00.001 0 000 0 0 0 0 x a" << "stop" << "These coordinates are outside the valid range for UTM";
    QTest::newRow("49.75 north is outside") << "OSGB" << true << "A 49 45.000 0 001 0 0 0 0 x a" << "stop" << "These coordinates are outside the valid range for OSGB conversion";
    QTest::newRow("greyed square still named") << "OSGB" << false << "A 52 39.480 0 001 42.964 1 0 0 x a" << "TG  6514" << "";
    // clang-format on
}

void tst_WaypointFields::gridReference()
{
    QFETCH(QString, grid);
    QFETCH(bool, useSheetId);
    QFETCH(QString, fields);
    QFETCH(QString, start);
    QFETCH(QString, message);
    ScriptedInteraction ui;
    GridComponent component;
    const GridComponentSource source = [&]() -> GridComponent& { return component; };
    SetGrid(grid, ui, source);
    const GridStart got = GridReferenceForEditor(Filled(fields), grid, useSheetId, source, ui);
    QCOMPARE(ui.MessageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (got.kind == GridStart::Kind::Reference) {
        const GridReference& r = got.reference;
        // Within the few metres the British transformation allows, so the figures are cut.
        const QString text = QStringList{r.sheet, r.band, r.east, r.north}.join(u' ');
        QVERIFY2(text.startsWith(start), qPrintable(text));
    } else {
        QCOMPARE(got.kind == GridStart::Kind::Blank ? QStringLiteral("blank")
                                                    : QStringLiteral("stop"),
                 start);
    }
}

QTEST_GUILESS_MAIN(tst_WaypointFields)
#include "tst_WaypointFields.moc"
