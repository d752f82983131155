#include "files/GpxFile.h"
#include "files/GpxReader.h"
#include "files/ReceiverText.h"
#include "tests/files/FileTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class tst_Gpx : public QObject
{
    Q_OBJECT
private slots:
    void receiverNames_data();
    void receiverNames();
    void exportThenImportKeepsEveryCell();
    void missingRouteWaypointLeftOut();
    void heights_data();
    void heights();
    void otherProgramsFile();
    void routesBeyondTheReceiver();
    void badInput_data();
    void badInput();

private:
    QString Write(const QString& name, const QByteArray& bytes);
    QTemporaryDir dir_;
};

namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QByteArray Gpx(const QByteArray& body)
{
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n" +
           body + "\n</gpx>\n";
}

ProgramState Heights(int mode)
{
    ProgramState state;
    state.heightsMode = HeightsMode(mode);
    return state;
}

// Lists whose cells take every way GPX has to carry them: a height in feet, more decimals than
// three, a zero position south and west, an empty height, a lower-case description, an icon
// outside "a" to "t", padded route points, routes without names shown both ways, a name GPX
// writes in other characters, track rows sorted by height, without time or track name.
void Fill(Lists& lists)
{
    lists.waypoints.AddRows({
        {"HOME", "5130.500", "N", "00012.345", "W", "0000123", "M", "MY HOUSE", "a"},
        {"CHURCH", "5129.870", "N", "00010.200", "W", "0000404", "F", "ST MARYS", "c"},
        {"OPERA", "3351.425", "S", "15112.899", "E", "-000004", "M", "Sydney Opera", "k"},
        {"ZERO", "0000.000", "S", "00000.000", "W", "", "M", "", "t"},
        {"FINE", "5130.2500", "N", "00012.3456", "W", "00010", "M", "MORE DECIMALS", "b"},
        {"ODD", "1000.000", "N", "01000.000", "E", "0000001", "M", "", "xyz"},
    });
    lists.routes.StartRoute(1, QStringLiteral("TOWN"));
    lists.routes.AddPoint(1, QStringLiteral("HOME  "));
    lists.routes.AddPoint(1, QStringLiteral("CHURCH"));
    lists.routes.StartRoute(2, std::nullopt);
    lists.routes.AddPoint(2, QStringLiteral("OPERA"));
    lists.routes.AddPoint(2, QStringLiteral("ZERO"));
    lists.routes.ReplaceRoute(5, QStringLiteral("05 HOME -> FINE"), {"HOME", "FINE"});
    lists.routes.ReplaceRoute(7, QString(), {"ODD"});
    lists.track.AddRows({
        {"0001", "TRAK01 ", "5130.500", "N", "00012.345", "W", "0000123", "M", "10:15:00 ", "A"},
        {"0002", "TRAK01 ", "5130.510", "N", "00012.360", "W", "00010", "M", "10:15:10 ", "V"},
        {"0009", "", "5130.520", "N", "00012.370", "W", "0000404", "F", "", "A"},
        {"0004", "DAY2", "3351.425", "S", "15112.899", "E", "-000004", "M", "23:59:59 ", "A"},
    });
}

// Every row of the three lists.
QStringList All(const Lists& lists)
{
    return Rows(lists.waypoints) + Rows(lists.routes.List()) + Rows(lists.track);
}

} // namespace

QString tst_Gpx::Write(const QString& name, const QByteArray& bytes)
{
    const QString path = dir_.filePath(name);
    return WriteBytes(path, bytes) ? path : QString();
}

void tst_Gpx::receiverNames_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("kept") << QStringList{"HOME", "TOM'S", "A-B_C"}
                          << QStringList{"HOME", "TOM'S", "A-B_C"};
    QTest::newRow("upper case and accents")
        << QStringList{"café", "Straße", "Øre"} << QStringList{"CAFE", "STRASS", "ORE"};
    QTest::newRow("shortened") << QStringList{"Waypoint 123", "St Mary", "GC1A2B3"}
                               << QStringList{"WYP123", "STMARY", "GC12B3"};
    QTest::newRow("unique, valid names first") << QStringList{"home", "HOME", "Home!", "HOME"}
                                               << QStringList{"HOME1", "HOME", "HOME2", "HOME3"};
    QTest::newRow("short or nothing left")
        << QStringList{"A", "AB", "", "★"} << QStringList{"A01", "AB1", "WPT", "WPT1"};
}

void tst_Gpx::receiverNames()
{
    QFETCH(QStringList, names);
    QTEST(UniqueReceiverNames(names), "expected");
}

// Navora's own file reads back to the same rows, every cell, in another program's order of
// things; nothing is asked about but the import, and no point gets a time it never had.
void tst_Gpx::exportThenImportKeepsEveryCell()
{
    Lists lists;
    Fill(lists);
    const QString path = dir_.filePath("all.gpx");
    ScriptedInteraction ui;
    QCOMPARE(SaveGpxFile(path, lists, ui).status, FileStatus::Written);
    QVERIFY(!ReadBytes(path).contains("<time>"));

    Lists back;
    ui.ExpectQuestion("Import " + Shown(path) +
                          "?\r\n\r\nIt replaces\r\n"
                          "  the waypoint list with 6 rows\r\n"
                          "  the route list with 11 rows\r\n"
                          "  the track list with 4 rows",
                      Answer::Yes);
    const FileOutcome outcome = LoadGpxFile(path, back, ProgramState(), ui);
    QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(" | ")));
    QCOMPARE(outcome.status, FileStatus::Read);
    QCOMPARE(outcome.count, 21);
    QCOMPARE(Rows(back.waypoints), Rows(lists.waypoints));
    QCOMPARE(back.waypoints.IconKey(5), QStringLiteral("xyz"));
    QCOMPARE(Rows(back.routes.List()), Rows(lists.routes.List()));
    QCOMPARE(Table(back.routes), Table(lists.routes));
    QCOMPARE(Rows(back.track), Rows(lists.track));
}

// A route point whose waypoint is missing is named and left out, never put at 0,0; Cancel
// keeps the old file.
void tst_Gpx::missingRouteWaypointLeftOut()
{
    Lists lists;
    lists.waypoints.AddRow({"HOME", "5130.500", "N", "00012.345", "W", "0000123", "M", "", "a"});
    lists.routes.ReplaceRoute(2, QStringLiteral("TOWN"), {"HOME", "XYZ"});
    const QString path = Write("route.gpx", "old");
    const QString question = "These points have no place in a GPX file, so " + Shown(path) +
                             " is written without them:\r\n\r\nRoute 02: XYZ is not in the "
                             "waypoint list";
    ScriptedInteraction ui;
    ui.ExpectQuestion(question, Answer::Cancel);
    QCOMPARE(SaveGpxFile(path, lists, ui).status, FileStatus::Cancelled);
    QCOMPARE(ReadBytes(path), QByteArray("old"));
    ui.ExpectQuestion(question, Answer::Ok);
    QCOMPARE(SaveGpxFile(path, lists, ui, GpxSelection::Only(ListKind::Routes)).count, 1);
    const QByteArray written = ReadBytes(path);
    QCOMPARE(written.count("<rtept "), 1);
    QVERIFY(!written.contains("<wpt ") && !written.contains("lat=\"0\""));
    QVERIFY(ui.unexpected.isEmpty());
}

// "ele" is metres; the list gets the unit of the heights mode, or in mode 0 the unit Navora's
// extension names when it agrees with "ele".
void tst_Gpx::heights_data()
{
    QTest::addColumn<QByteArray>("point");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("altitude");
    const QByteArray plain = "<ele>123.1392</ele>";
    const QByteArray feet = plain + "<extensions><navora:row xmlns:navora=\"https://navora.github."
                                    "io/gpx/1\" altitude=\"0000404F\"/></extensions>";
    const QByteArray moved = "<ele>200</ele>" + feet.mid(19);
    QTest::newRow("keep") << plain << 0 << "0000123|M";
    QTest::newRow("metres, Navora's feet") << feet << 2 << "0000123|M";
    QTest::newRow("keep, ele changed since") << moved << 0 << "0000200|M";
    QTest::newRow("feet, half to even") << QByteArray("<ele>0.1524</ele>") << 1 << "0000000|F";
    QTest::newRow("no height") << QByteArray("<ele>high</ele>") << 1 << "0000000|F";
    QTest::newRow("below the sea") << QByteArray("<ele>-12.5</ele>") << 2 << "-000012|M";
}

void tst_Gpx::heights()
{
    QFETCH(QByteArray, point);
    QFETCH(int, mode);
    const QString path = Write(QStringLiteral("heights.gpx"),
                               Gpx("<wpt lat=\"51.5\" lon=\"-0.2\"><name>ABC</name>" + point +
                                   "</wpt><trk><trkseg><trkpt lat=\"1\" lon=\"2\">" + point +
                                   "</trkpt></trkseg></trk>"));
    Lists lists;
    ScriptedInteraction yes;
    yes.agreeable = true;
    QCOMPARE(LoadGpxFile(path, lists, Heights(mode), yes).status, FileStatus::Read);
    const QString waypoint = lists.waypoints.Text(0, WaypointColumn::Altitude) + u'|' +
                             lists.waypoints.Text(0, WaypointColumn::MF);
    const QString track =
        lists.track.Text(0, TrackColumn::Altitude) + u'|' + lists.track.Text(0, TrackColumn::MF);
    QTEST(waypoint, "altitude");
    QTEST(track, "altitude");
}

// A planner's GPX 1.0 file: names made receiver names and listed before anything changes,
// route points among the waypoints, heights in feet, several tracks and segments in order.
void tst_Gpx::otherProgramsFile()
{
    const QString path = QStringLiteral(NAVORA_TEST_DATA "/gpx/planner.gpx");
    const QString question = "Import " + Shown(path) +
                             "?\r\n\r\nIt replaces\r\n"
                             "  the waypoint list with 5 rows (1 of them from route points)\r\n"
                             "  the route list with 4 rows\r\n"
                             "  the track list with 4 rows\r\n\r\n"
                             "These waypoint names change to names the receiver takes:\r\n"
                             "  Old Mill Lane -> OLDMLL\r\n"
                             "  home -> HOME1\r\n"
                             "  Sydney Opera House -> SYDNOH\r\n"
                             "  Bridge -> BRIDGE\r\n\r\n"
                             "Not kept, as the lists have no place for it:\r\n"
                             "  time\r\n"
                             "  url\r\n"
                             "  the part of descriptions beyond 20 characters\r\n"
                             "  sym other than the icon letters a to t\r\n"
                             "  the dates of track points (the track keeps their time of day)\r\n"
                             "  names, comments and symbols of track points";
    Lists lists;
    Fill(lists);
    const QStringList before = All(lists);
    ScriptedInteraction ui;
    ui.ExpectQuestion(question, Answer::No);
    QCOMPARE(LoadGpxFile(path, lists, Heights(1), ui).status, FileStatus::Cancelled);
    QCOMPARE(All(lists), before);

    ui.ExpectQuestion(question, Answer::Yes);
    QCOMPARE(LoadGpxFile(path, lists, Heights(1), ui).count, 13);
    QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(" | ")));
    QCOMPARE(Rows(lists.waypoints),
             QStringList({"OLDMLL|5130.500|N|00012.345|W|0000117|F|CAFE BY THE RIVER OP|a",
                          "HOME|5130.000|N|00006.000|W|0000000|F|HOME|c",
                          "HOME1|5130.600|N|00006.600|W|0000000|F||a",
                          "SYDNOH|3351.425|S|15112.899|E|0000013|F||a",
                          "BRIDGE|5131.200|N|00007.800|W|0000000|F||a"}));
    QCOMPARE(Table(lists.routes),
             QStringList({"1.0=ALONG THE RIVER", "1.1=OLDMLL", "1.2=BRIDGE", "1.3=HOME"}));
    QCOMPARE(Rows(lists.track),
             QStringList({"0001|MORNING|5130.000|N|00006.000|W|0000033|F|09:00:00 |A",
                          "0002|MORNING|5130.006|N|00006.012|W|0000038|F|07:00:10 |A",
                          "0003|MORNING|5130.018|N|00006.024|W|0000000|F||V",
                          "0004|TRAK01|0000.000|N|00000.000|E|-000007|F||A"}));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("13 Records read"));
}

// 22 routes, one of 33 points: the receiver's 20 are kept, the others named; the long route
// keeps 31 points, and every point stays a waypoint.
void tst_Gpx::routesBeyondTheReceiver()
{
    QByteArray body;
    for (int r = 1; r <= 22; ++r) {
        body += "<rte><name>R" + QByteArray::number(r) + "</name>";
        for (int p = 0; p < (r == 3 ? 33 : 1); ++p)
            body += "<rtept lat=\"" + QByteArray::number(r) + "\" lon=\"" + QByteArray::number(p) +
                    "\"><name>P" + QByteArray::number(r * 100 + p) + "</name></rtept>";
        body += "</rte>";
    }
    Lists lists;
    ScriptedInteraction ui;
    ui.agreeable = true;
    QCOMPARE(LoadGpxFile(Write("routes.gpx", Gpx(body)), lists, ProgramState(), ui).status,
             FileStatus::Read);
    const QStringList shown = ui.listed;
    QCOMPARE(shown.mid(shown.indexOf("The receiver holds 20 routes; these are left out:"), 6),
             QStringList({"The receiver holds 20 routes; these are left out:", "  R21", "  R22",
                          QString(), "A route holds 31 points; these keep their first 31:",
                          "  Route 03 R3: 33 points"}));
    QVERIFY(lists.routes.Exists(20) && lists.routes.PointCount(3) == 31);
    QCOMPARE(lists.waypoints.Count(), 21 + 33);
}

// Whatever is wrong with a file, the user is told and every list stays as it was.
void tst_Gpx::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<FileStatus>("status");
    QTest::addColumn<QString>("problem");
    const QByteArray point = "<wpt lat=\"51\" lon=\"0\"><name>ABC</name></wpt>";
    QTest::newRow("a text file") << QByteArray("Datum,WGS84,WGS84\r\nWP,DM,A\r\n")
                                 << FileStatus::NotThatKind << " is not a GPX file.";
    QTest::newRow("empty") << QByteArray() << FileStatus::NotThatKind << " is not a GPX file.";
    QTest::newRow("another XML") << QByteArray("<html><body/></html>") << FileStatus::NotThatKind
                                 << " is not a GPX file.";
    QTest::newRow("truncated") << Gpx(point).left(120) << FileStatus::Failed
                               << " ends before its GPX data does at line 3";
    QTest::newRow("not well-formed") << Gpx(point).replace("</name>", "</nam>")
                                     << FileStatus::Failed << " is not a well-formed GPX file";
    QTest::newRow("entities")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><gpx>&b;</gpx>")
        << FileStatus::Failed << " holds a DOCTYPE declaration";
    QTest::newRow("external entity")
        << "<!DOCTYPE gpx SYSTEM \"http://example.invalid/gpx.dtd\">" + Gpx(point)
        << FileStatus::Failed << " holds a DOCTYPE declaration";
    QTest::newRow("latitude beyond the pole")
        << Gpx(point + "<wpt lat=\"90.5\" lon=\"0\"/>") << FileStatus::Failed
        << " holds a position out of range at line 3: latitude \"90.5\", longitude \"0\".";
    QTest::newRow("longitude beyond the date line")
        << Gpx("<trk><trkseg><trkpt lat=\"1\" lon=\"-181\"/></trkseg></trk>") << FileStatus::Failed
        << "latitude \"1\", longitude \"-181\".";
    QTest::newRow("no longitude") << Gpx("<rte><rtept lat=\"1\"/></rte>") << FileStatus::Failed
                                  << "latitude \"1\", longitude \"\".";
    QTest::newRow("one huge piece")
        << Gpx("<!--" + QByteArray(kLargestPiece + 100000, 'x') + "-->" + point)
        << FileStatus::Failed << " holds one piece of more than 8 MB at line 3";
    QTest::newRow("nothing for the lists")
        << Gpx("<metadata><name>empty</name></metadata>") << FileStatus::NotThatKind
        << " does not contain any waypoints, routes or track points!";
}

void tst_Gpx::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    const QString path = Write(QStringLiteral("bad.gpx"), bytes);
    Lists lists;
    Fill(lists);
    const QStringList before = All(lists);
    ScriptedInteraction ui;
    QTEST(LoadGpxFile(path, lists, ProgramState(), ui).status, "status");
    QCOMPARE(ui.messages.size(), size_t(1));
    QVERIFY2(ui.messages[0].text.startsWith(Shown(path) + "\r\n") &&
                 ui.messages[0].text.contains(problem),
             qPrintable(ui.messages[0].text));
    QVERIFY(ui.questionsAsked.empty());
    QCOMPARE(All(lists), before);
}

QTEST_GUILESS_MAIN(tst_Gpx)
#include "tst_Gpx.moc"
