#include "FileTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class tst_FileReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void examples_data();
    void examples();
    void records_data();
    void records();
    void routeNumberCarriesAcrossLoads();
    void fileWithoutRecords_data();
    void fileWithoutRecords();
    void datumWarning_data();
    void datumWarning();
    void invalidRecords_data();
    void invalidRecords();

private:
    QString Temp(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("in%1.txt").arg(++files_));
        if (!WriteBytes(path, bytes))
            qFatal("cannot write test file");
        return path;
    }

    QTemporaryDir dir_;
    int files_ = 0;
    Lists lists_;
    ReaderState reader_;
};

void tst_FileReader::init()
{
    for (ListModel* list : {&lists_.waypoints, &lists_.routes, &lists_.track})
        list->Clear();
    lists_.routeTable.ClearRouteTable();
    lists_.routeTable.SetSlot(7, 1, QStringLiteral("OLD")); // a route load clears it
    reader_ = {};
}

void tst_FileReader::examples_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("rows");
    const QString data = QStringLiteral(NAVORA_TEST_DATA "/files/");
    QTest::newRow("waypoints") << 1 << data + "waypoints.txt" << 0
                               << QStringList{"HOME|5130.500|N|00012.345|W|0000123|M|MY HOUSE|a",
                                              "CHURCH|5129.870|N|00010.200|W|0000098|M|ST MARYS|c"};
    QTest::newRow("waypoints in feet")
        << 1 << data + "waypoints.txt" << 1
        << QStringList{"HOME|5130.500|N|00012.345|W|0000404|F|MY HOUSE|a",
                       "CHURCH|5129.870|N|00010.200|W|0000322|F|ST MARYS|c"};
    QTest::newRow("waypoints in metres")
        << 1 << data + "waypoints.txt" << 2
        << QStringList{"HOME|5130.500|N|00012.345|W|0000123|M|MY HOUSE|a",
                       "CHURCH|5129.870|N|00010.200|W|0000098|M|ST MARYS|c"};
    QTest::newRow("routes") << 2 << data + "routes.txt" << 0
                            << QStringList{"01|======|TOWN", "01|01|HOME  ", "01|02|CHURCH",
                                           "02|======|===================", "02|01|XYZ   "};
    QTest::newRow("track") << 3 << data + "track.txt" << 0
                           << QStringList{
                                  "0001|TRAK01|5130.500|N|00012.345|W|0000123|M|10:15:00 |A",
                                  "0002|TRAK01|5130.510|N|00012.360|W|0000124|M|10:15:10 |A"};
}

void tst_FileReader::examples()
{
    QFETCH(int, kind);
    QFETCH(QString, file);
    QFETCH(int, mode);
    QFETCH(QStringList, rows);
    ScriptedInteraction ui;
    ProgramState state = Wgs84State();
    state.heightsMode = HeightsMode(mode);
    Load(ListKind(kind), file, lists_, ui, reader_, state);
    QCOMPARE(Rows(lists_.Of(ListKind(kind))), rows);
    QCOMPARE(ui.status[StatusPanel::Settings], QString::number(rows.size()) + " Records read");
    QVERIFY(ui.messages.empty() && ui.unexpected.isEmpty());
    if (kind == 1)
        QCOMPARE(lists_.waypoints.IconKey(1), QStringLiteral("c"));
    if (kind == 2) {
        const RouteTable& table = lists_.routeTable;
        QCOMPARE((QStringList{table.Slot(1, 0), table.Slot(1, 1), table.Slot(1, 2),
                              table.Slot(1, 3), table.Slot(2, 0), table.Slot(2, 1)}),
                 (QStringList{"TOWN", "HOME  ", "CHURCH", "", "", "XYZ   "}));
        QVERIFY(!table.RouteExists(7));
    }
}

// A file of one list kind; `rows` is what the list then holds and `counted`
// what the status panel counts.
void tst_FileReader::records_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QStringList>("tableSlots");
    QTest::newRow("degrees, 9 fields, lower-case keyword")
        << 1 << 0 << QByteArray("wp,D,Home,51.5,-0.20575,x,x,desc,B")
        << QStringList{"HOME|5130.000|N|00012.345|W|0000000|M|DESC|b"} << 1 << QStringList{};
    QTest::newRow("8 fields in feet mode")
        << 1 << 1 << QByteArray("WP,DM,ABC,10.00000,010.00000,d,t,x")
        << QStringList{"ABC|1000.000|N|01000.000|E|0000000|F|X|a"} << 1 << QStringList{};
    QTest::newRow("seconds form, long keyword, blanks")
        << 1 << 0
        << QByteArray("WayPoint,dms, abc ,-51.3030,0.2030,d,t, a long description text ,  D  ,12f")
        << QStringList{"ABC|5130.500|S|00020.500|E|0000012|F|A LONG DESCRIPTION T|d"} << 1
        << QStringList{};
    QTest::newRow("feet to metres; a height without unit")
        << 1 << 2 << QByteArray("WP,DM,A,0,0,d,t,x,a,1000F\nWP,DM,B,0,0,d,t,x,a,42")
        << QStringList{"A|0000.000|N|00000.000|E|0000305|M|X|a",
                       "B|0000.000|N|00000.000|E|0000042|M|X|a"}
        << 2 << QStringList{};
    QTest::newRow("short records: a row without description stays, uncounted")
        << 1 << 0 << QByteArray("WP,DM,A,0,0,d,t\nWP,DM,B,0\n WP,DM,C,0,0,d,t,x,a")
        << QStringList{"A|0000.000|N|00000.000|E|0000000|M||a"} << 0 << QStringList{};
    QTest::newRow("8-bit letters keep their case within the file's characters")
        << 1 << 0 << QByteArray("WP,DM,caf\xe9 \xff,0,0,d,t,\xb5m,a")
        << QStringList{QString::fromLatin1("CAF\xc9 \xff|0000.000|N|00000.000|E|0000000|M|\xb5M|a")}
        << 1 << QStringList{};
    QTest::newRow("track: blank before keyword, 11 fields, cut name, short record")
        << 3 << 1
        << QByteArray(" tp,DM, 51.30500,-000.12345,d,12:00:00,0,0000123F,V,TRACK1,extra\n"
                      "trackpoint,d,-51.5,10.5,d,t,0,,A,LONGTRACKNAME\nTP,DM,0,0,d,t,0,0000001M")
        << QStringList{"0001||5130.500|N|00012.345|W|0000123|F|12:00:00|V",
                       "0002|LONGTR|5130.000|S|01030.000|E|||t|A",
                       "0003||0000.000|N|00000.000|E|0000001|M|t|"}
        << 2 << QStringList{};
    QTest::newRow("routes: 4 fields, number halves to even, not a number")
        << 2 << 0 << QByteArray("RN,3,LONG,NAME\nrp,DM,A\n routename, 2.5 ,N\nRN,x1\nRP,DM,B")
        << QStringList{"03|======|===================", "03|01|A", "02|======|N", "02|01|B"} << 4
        << QStringList{"3.0=", "3.1=A     ", "2.0=N", "2.1=B     ", "7.1="};
    QTest::newRow("routes: a point before any name, route 22")
        << 2 << 0 << QByteArray("RP,DM,A\nRN,22\nRP,DM,B\nRP,DM,C")
        << QStringList{"00|00|A", "22|======|===================", "22|01|B", "22|01|C"} << 4
        << QStringList{"22.1=", "0.0="};
}

void tst_FileReader::records()
{
    QFETCH(int, kind);
    QFETCH(int, mode);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    QFETCH(int, counted);
    QFETCH(QStringList, tableSlots);
    ScriptedInteraction ui;
    ProgramState state = Wgs84State();
    state.heightsMode = HeightsMode(mode);
    // The first line lets the pre-scan pass whatever follows.
    // The first line passes the pre-scan, which looks at the start of lines
    // only, and is no record.
    const QByteArray first[] = {"", "waypoints", "routenames", "trackpoints"};
    Load(ListKind(kind), Temp(first[kind] + "\r\n" + file), lists_, ui, reader_, state);
    QCOMPARE(Rows(lists_.Of(ListKind(kind))), rows);
    QCOMPARE(reader_.recordsRead, counted);
    QVERIFY(ui.messages.empty() && ui.unexpected.isEmpty());
    for (const QString& slot : tableSlots) { // "route.slot=text"
        const QStringList parts = slot.split(QRegularExpression("[.=]"));
        QCOMPARE(lists_.routeTable.Slot(parts[0].toInt(), parts[1].toInt()), parts[2]);
    }
}

void tst_FileReader::routeNumberCarriesAcrossLoads()
{
    ScriptedInteraction ui;
    Load(ListKind::Routes, Temp("RN,05,FIRST\r\n"), lists_, ui, reader_);
    Load(ListKind::Routes, Temp("RP,DM,A\r\nRP,DM,B\r\nRN,06\r\n"), lists_, ui, reader_);
    QCOMPARE(Rows(lists_.routes),
             (QStringList{"05|01|A", "05|02|B", "06|======|==================="}));
    QCOMPARE(lists_.routeTable.Slot(5, 2), QStringLiteral("B     "));
    QVERIFY(lists_.routeTable.Slot(5, 0).isEmpty()); // the table was cleared in between
}

void tst_FileReader::fileWithoutRecords_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("waypoints, datum not checked")
        << 1 << QByteArray("Datum,NAD27,NAD27\r\n WP,DM,A,0,0\r\nRN,01\r\n")
        << " does not contain any Waypoint information!";
    QTest::newRow("routes") << 2 << QByteArray("WP,DM,A,0,0\r\nrn\r\n")
                            << " does not contain any route information!";
    QTest::newRow("track") << 3 << QByteArray("Datum,NAD27,NAD27\r\n TP,DM,0,0\r\n")
                           << " does not contain any track information!";
}

void tst_FileReader::fileWithoutRecords()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    lists_.Of(ListKind(kind)).AddRow({"KEEP"});
    const QString path = Temp(bytes);
    for (const QString& chosen : {path, path + "-gone"}) {
        ScriptedInteraction ui;
        Load(ListKind(kind), chosen, lists_, ui, reader_);
        QCOMPARE(ui.MessageTexts(), QStringList{chosen + "\r\n" + message});
        QCOMPARE(ui.messages.front().title, QStringLiteral("Navora"));
        QVERIFY(ui.status.empty());
    }
    QCOMPARE(lists_.Of(ListKind(kind)).Count(), 1);

    // A cancelled dialog: nothing at all.
    ScriptedInteraction cancel;
    Load(ListKind(kind), QString(), lists_, cancel, reader_);
    QVERIFY(cancel.messages.empty() && cancel.status.empty());
    QCOMPARE(lists_.Of(ListKind(kind)).Count(), 1);
}

void tst_FileReader::datumWarning_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("warnings");
    QTest::newRow("waypoints") << 1 << QByteArray("Datum,NAD27,NAD27\r\nWP,DM,A,0,0,d,t,x\r\n")
                               << 1;
    QTest::newRow("appended track file")
        << 3 << QByteArray("DATUM,NAD27\r\nTP,DM,0,0,d,t,1,0M,A\r\nDatum,NAD27\r\n") << 2;
    QTest::newRow("case differs only")
        << 1 << QByteArray("datum,wgs84,x\r\nWP,DM,A,0,0,d,t,x\r\n") << 0;
    QTest::newRow("routes are not checked")
        << 2 << QByteArray("Datum,NAD27,NAD27\r\nRN,01\r\n") << 0;
}

void tst_FileReader::datumWarning()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, warnings);
    ScriptedInteraction ui;
    Load(ListKind(kind), Temp(bytes), lists_, ui, reader_);
    QCOMPARE(ui.messages.size(), size_t(warnings));
    for (const ScriptedInteraction::Shown& shown : ui.messages) {
        QCOMPARE(shown.text, QStringLiteral("WARNING: The datum in this file (NAD27)\rdoes not "
                                            "match the datum set in Navora (WGS84)"));
        QCOMPARE(shown.title, QStringLiteral("Navora - Datum"));
        QCOMPARE(shown.icon, MessageIcon::Exclamation);
    }
    QCOMPARE(lists_.Of(ListKind(kind)).Count(), 1); // reading went on
}

// Records the reader refuses: each asks "Invalid format record at line: n";
// `answers` holds the line numbers asked about, with "c" for a Cancel answer.
void tst_FileReader::invalidRecords_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("names");
    const QByteArray good = "WP,DM,A,0,0,d,t,x\n";
    const QByteArray bad = "WP,DM,B,95,0,d,t,x\r\nWP,DM,C,0,181,d,t,x\r\n";
    QTest::newRow("out of range, OK")
        << good + bad + good << QStringList{"2", "3"} << QStringList{} << QStringList{"A", "A"};
    QTest::newRow("out of range, Cancel")
        << good + bad + good << QStringList{"2c"} << QStringList{} << QStringList{"A"};
    QTest::newRow("unsupported formats")
        << good + "WP,utm,0,0,d,t,1,0M,A\r\nWP,DMM\r\n"
        << QStringList{"2", "3"}
        << QStringList{"Unsupported message format: utm", "Unsupported message format: DMM"}
        << QStringList{"A"};
    QByteArray comments;
    for (int i = 0; i < 40000; ++i)
        comments += "comment\r\n";
    QTest::newRow("line numbers past 32767")
        << good + comments + bad.left(20) << QStringList{"40002"} << QStringList{}
        << QStringList{"A"};
    QTest::newRow("megabyte line, then a record")
        << good + "WP,DM," + QByteArray(2 * 1024 * 1024, 'x') + "\r\n" + good << QStringList{"2"}
        << QStringList{} << QStringList{"A", "A"};
    QTest::newRow("megabyte line at the end without line end")
        << good + QByteArray(1024 * 1024, '9') << QStringList{"2"} << QStringList{}
        << QStringList{"A"};
    static const char nul[] = "WP,DM,N\0L,0\0,0,d,t,x\nWP\0,DM\n";
    QTest::newRow("NUL bytes") << QByteArray(nul, sizeof nul - 1) + good << QStringList{}
                               << QStringList{} << QStringList{QString::fromLatin1("N\0L", 3), "A"};
    QTest::newRow("line ends of every kind")
        << QByteArray("WP,DM,A,0,0,d,t,x\rWP,DM,B,0,0,d,t,x\r\r\nWP,DM,C,0,0,d,t,x")
        << QStringList{} << QStringList{} << QStringList{"A", "C"};
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QTest::newRow("every byte value")
        << good + all << QStringList{} << QStringList{} << QStringList{"A"};
}

void tst_FileReader::invalidRecords()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, names);
    ScriptedInteraction ui;
    for (const QString& answer : answers) {
        ui.ExpectQuestion("Invalid format record at line: " + QString(answer).remove(u'c'),
                          answer.endsWith(u'c') ? Answer::Cancel : Answer::Ok);
    }
    Load(ListKind::Waypoints, Temp(bytes), lists_, ui, reader_);
    QVERIFY(ui.AllScriptUsed());
    QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'\n')));
    QCOMPARE(ui.MessageTexts(), messages);
    QStringList read;
    for (int r = 0; r < lists_.waypoints.Count(); ++r)
        read << lists_.waypoints.Text(r, WaypointColumn::Name);
    QCOMPARE(read, names);
    QCOMPARE(ui.status[StatusPanel::Settings], QString::number(names.size()) + " Records read");
}

QTEST_GUILESS_MAIN(tst_FileReader)
#include "tst_FileReader.moc"
