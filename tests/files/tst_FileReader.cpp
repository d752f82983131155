#include "FileTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_FileReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void waypointExample();
    void waypointExampleHeights_data();
    void waypointExampleHeights();
    void routeExample();
    void trackExample();
    void waypointRecords_data();
    void waypointRecords();
    void trackRecords_data();
    void trackRecords();
    void routeRecords_data();
    void routeRecords();
    void routeNumberCarriesAcrossLoads();
    void fileWithoutRecords_data();
    void fileWithoutRecords();
    void cancelledDialogChangesNothing();
    void datumWarning_data();
    void datumWarning();
    void invalidRecordQuestion();
    void unsupportedFormat();
    void lineNumbersPast32767();
    void hostileBytes_data();
    void hostileBytes();

private:
    QString Data(const char* name) const
    {
        return QStringLiteral(NAVORA_TEST_DATA "/files/") + QLatin1String(name);
    }
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
    lists_.waypoints.Clear();
    lists_.routes.Clear();
    lists_.track.Clear();
    lists_.routeTable.ClearRouteTable();
    reader_ = {};
}

void tst_FileReader::waypointExample()
{
    ScriptedInteraction ui;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    Load(ListKind::Waypoints, Data("waypoints.txt"), lists_, ui, reader_, state);
    QCOMPARE(Rows(lists_.waypoints),
             (QList<QStringList>{
                 {"HOME", "5130.500", "N", "00012.345", "W", "0000123", "M", "MY HOUSE", "a"},
                 {"CHURCH", "5129.870", "N", "00010.200", "W", "0000098", "M", "ST MARYS", "c"}}));
    QCOMPARE(lists_.waypoints.IconKey(1), QStringLiteral("c"));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("2 Records read"));
    QVERIFY(ui.messages.empty());
    QVERIFY(ui.unexpected.isEmpty());
}

void tst_FileReader::waypointExampleHeights_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("home");
    QTest::addColumn<QStringList>("church");
    QTest::newRow("feet") << 1 << QStringList{"0000404", "F"} << QStringList{"0000322", "F"};
    QTest::newRow("metres") << 2 << QStringList{"0000123", "M"} << QStringList{"0000098", "M"};
}

void tst_FileReader::waypointExampleHeights()
{
    QFETCH(int, mode);
    QFETCH(QStringList, home);
    QFETCH(QStringList, church);
    ScriptedInteraction ui;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    state.heightsMode = HeightsMode(mode);
    Load(ListKind::Waypoints, Data("waypoints.txt"), lists_, ui, reader_, state);
    QCOMPARE(Rows(lists_.waypoints).at(0).mid(WaypointColumn::Altitude, 2), home);
    QCOMPARE(Rows(lists_.waypoints).at(1).mid(WaypointColumn::Altitude, 2), church);
}

void tst_FileReader::routeExample()
{
    ScriptedInteraction ui;
    lists_.routeTable.SetSlot(7, 1, QStringLiteral("OLD")); // cleared by the load
    Load(ListKind::Routes, Data("routes.txt"), lists_, ui, reader_);
    QCOMPARE(Rows(lists_.routes), (QList<QStringList>{{"01", "======", "TOWN"},
                                                      {"01", "01", "HOME  "},
                                                      {"01", "02", "CHURCH"},
                                                      {"02", "======", "==================="},
                                                      {"02", "01", "XYZ   "}}));
    const RouteTable& table = lists_.routeTable;
    QCOMPARE((QStringList{table.Slot(1, 0), table.Slot(1, 1), table.Slot(1, 2), table.Slot(1, 3)}),
             (QStringList{"TOWN", "HOME  ", "CHURCH", ""}));
    QCOMPARE((QStringList{table.Slot(2, 0), table.Slot(2, 1)}), (QStringList{"", "XYZ   "}));
    QVERIFY(!table.RouteExists(7));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("5 Records read"));
    QVERIFY(ui.messages.empty());
}

void tst_FileReader::trackExample()
{
    ScriptedInteraction ui;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("wgs84");
    Load(ListKind::Track, Data("track.txt"), lists_, ui, reader_, state);
    QCOMPARE(Rows(lists_.track),
             (QList<QStringList>{{"0001", "TRAK01", "5130.500", "N", "00012.345", "W", "0000123",
                                  "M", "10:15:00 ", "A"},
                                 {"0002", "TRAK01", "5130.510", "N", "00012.360", "W", "0000124",
                                  "M", "10:15:10 ", "A"}}));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("2 Records read"));
    QVERIFY(ui.messages.empty());
}

// One record after the datum line; `row` is what the list then holds (empty
// when nothing is added) and `counted` whether the record was counted.
void tst_FileReader::waypointRecords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<bool>("counted");
    QTest::newRow("degrees, lower-case keyword, 9 fields")
        << QByteArray("wp,D,Home,51.5,-0.20575,x,x,desc,B") << 0
        << QStringList{"HOME", "5130.000", "N", "00012.345", "W", "0000000", "M", "DESC", "b"}
        << true;
    QTest::newRow("9 fields in feet mode")
        << QByteArray("WP,DM,ABC,10.00000,010.00000,d,t,x,c") << 1
        << QStringList{"ABC", "1000.000", "N", "01000.000", "E", "0000000", "F", "X", "c"} << true;
    QTest::newRow("8 fields get icon a")
        << QByteArray("WP,DM,ABC,10.00000,010.00000,d,t,x") << 0
        << QStringList{"ABC", "1000.000", "N", "01000.000", "E", "0000000", "M", "X", "a"} << true;
    QTest::newRow("seconds form, long keyword")
        << QByteArray("WayPoint,dms, abc ,-51.3030,0.2030,d,t, a long description text ,  D  ,12f")
        << 0 << QStringList{"ABC", "5130.500", "S", "00020.500",
                            "E",   "0000012",  "F", "A LONG DESCRIPTION T",
                            "d"}
        << true;
    QTest::newRow("feet to metres")
        << QByteArray("WP,DM,ABC,0,0,d,t,x,a,1000F") << 2
        << QStringList{"ABC", "0000.000", "N", "00000.000", "E", "0000305", "M", "X", "a"} << true;
    QTest::newRow("unitless height in metres mode")
        << QByteArray("WP,DM,ABC,0,0,d,t,x,a,42") << 2
        << QStringList{"ABC", "0000.000", "N", "00000.000", "E", "0000042", "M", "X", "a"} << true;
    QTest::newRow("no description: row kept, not counted")
        << QByteArray("WP,DM,ABC,0,0,d,t") << 0
        << QStringList{"ABC", "0000.000", "N", "00000.000", "E", "0000000", "M", "", "a"} << false;
    QTest::newRow("too short for a position")
        << QByteArray("WP,DM,ABC,0") << 0 << QStringList{} << false;
    QTest::newRow("blank before the keyword is skipped")
        << QByteArray(" WP,DM,ABC,0,0,d,t,x,a") << 0 << QStringList{} << false;
    QTest::newRow("8-bit name keeps its letters")
        << QByteArray("WP,DM,caf\xe9 \xff,0,0,d,t,\xb5m,a") << 0
        << QStringList{QString::fromLatin1("CAF\xc9 \xff"),
                       "0000.000",
                       "N",
                       "00000.000",
                       "E",
                       "0000000",
                       "M",
                       QString::fromLatin1("\xb5M"),
                       "a"}
        << true;
}

void tst_FileReader::waypointRecords()
{
    QFETCH(QByteArray, line);
    QFETCH(int, mode);
    QFETCH(QStringList, row);
    QFETCH(bool, counted);
    ScriptedInteraction ui;
    ProgramState state;
    state.heightsMode = HeightsMode(mode);
    // A first record makes sure the pre-scan passes whatever the line is.
    Load(ListKind::Waypoints, Temp("WP,DM,FIRST,0,0,d,t,x,a\r\n" + line + "\r\n"), lists_, ui,
         reader_, state);
    QCOMPARE(lists_.waypoints.Count(), row.isEmpty() ? 1 : 2);
    if (!row.isEmpty()) {
        QCOMPARE(Rows(lists_.waypoints).at(1), row);
        QCOMPARE(lists_.waypoints.IconKey(1), row.at(WaypointColumn::Icon));
    }
    QCOMPARE(reader_.recordsRead, counted ? 2 : 1);
    QVERIFY(ui.unexpected.isEmpty());
}

void tst_FileReader::trackRecords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("blank before keyword, 11 fields, no name")
        << QByteArray(" tp,DM, 51.30500,-000.12345,d,12:00:00,0,0000123F,V,TRACK1,extra")
        << QStringList{"0002", "",        "5130.500", "N",        "00012.345",
                       "W",    "0000123", "F",        "12:00:00", "V"};
    QTest::newRow("name cut to 6, degrees form")
        << QByteArray("trackpoint,d,-51.5,10.5,d,t,0,0000001M,A,LONGTRACKNAME")
        << QStringList{"0002", "LONGTR",  "5130.000", "S", "01030.000",
                       "E",    "0000001", "M",        "t", "A"};
    QTest::newRow("no validity: row kept, time set")
        << QByteArray("TP,DM,0,0,d,t,0,0000001M")
        << QStringList{"0002", "", "0000.000", "N", "00000.000", "E", "0000001", "M", "t", ""};
    QTest::newRow("empty altitude")
        << QByteArray("TP,DM,0,0,d,t,0,,A,T")
        << QStringList{"0002", "T", "0000.000", "N", "00000.000", "E", "", "", "t", "A"};
}

void tst_FileReader::trackRecords()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, row);
    ScriptedInteraction ui;
    Load(ListKind::Track, Temp("TP,DM,0,0,d,t,1,0000000M,A,T\r\n" + line), lists_, ui, reader_);
    QCOMPARE(lists_.track.Count(), 2);
    QCOMPARE(Rows(lists_.track).at(1), row);
    QVERIFY(ui.unexpected.isEmpty());
}

void tst_FileReader::routeRecords_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");       // Id, Num and name of every row, joined by "|"
    QTest::addColumn<QStringList>("tableSlots"); // slots 0 to 2 of the first route
    QTest::addColumn<int>("counted");
    QTest::newRow("four fields: no name") << QByteArray("RN,3,LONG,NAME\r\nrp,DM,A\r\n")
                                          << QStringList{"03|======|===================", "03|01|A"}
                                          << QStringList{"", "A     ", ""} << 2;
    QTest::newRow("number rounded half to even")
        << QByteArray("RN,1\r\n routename, 2.5 ,N\r\nRP,DM,A\r\n")
        << QStringList{"01|======|===================", "02|======|N", "02|01|A"}
        << QStringList{"N", "A     ", ""} << 3;
    QTest::newRow("not a number: skipped")
        << QByteArray("RN,1\r\nRN,x1\r\nRP,DM,A\r\n")
        << QStringList{"01|======|===================", "01|01|A"} << QStringList{"", "A     ", ""}
        << 2;
    QTest::newRow("point before any name")
        << QByteArray("RP,DM,A\r\nRN,01\r\nRP,DM,B\r\n")
        << QStringList{"00|00|A", "01|======|===================", "01|01|B"}
        << QStringList{"", "B     ", ""} << 3;
    QTest::newRow("route 22 is not kept in the table")
        << QByteArray("RN,1\r\nRN,22\r\nRP,DM,A\r\nRP,DM,B\r\n")
        << QStringList{"01|======|===================", "22|======|===================", "22|01|A",
                       "22|01|B"}
        << QStringList{"", "", ""} << 4;
}

void tst_FileReader::routeRecords()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, tableSlots);
    QFETCH(int, counted);
    ScriptedInteraction ui;
    Load(ListKind::Routes, Temp(file), lists_, ui, reader_);
    QStringList shown;
    for (const QStringList& row : Rows(lists_.routes))
        shown << row.join(u'|');
    QCOMPARE(shown, rows);
    const int route = rows.last().left(2).toInt();
    QCOMPARE((QStringList{lists_.routeTable.Slot(route, 0), lists_.routeTable.Slot(route, 1),
                          lists_.routeTable.Slot(route, 2)}),
             tableSlots);
    QCOMPARE(reader_.recordsRead, counted);
    QVERIFY(ui.messages.empty());
}

void tst_FileReader::routeNumberCarriesAcrossLoads()
{
    ScriptedInteraction ui;
    Load(ListKind::Routes, Temp("RN,05,FIRST\r\n"), lists_, ui, reader_);
    Load(ListKind::Routes, Temp("RP,DM,A\r\nRP,DM,B\r\nRN,06\r\n"), lists_, ui, reader_);
    QCOMPARE(lists_.routes.Count(), 3);
    QCOMPARE(lists_.routes.Text(1, RouteColumn::Id), QStringLiteral("05"));
    QCOMPARE(lists_.routes.Text(1, RouteColumn::Num), QStringLiteral("02"));
    QCOMPARE(lists_.routeTable.Slot(5, 2), QStringLiteral("B     "));
    QVERIFY(lists_.routeTable.Slot(5, 0).isEmpty()); // the table was cleared in between
}

void tst_FileReader::fileWithoutRecords_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("waypoints") << 1 << QByteArray("Datum,NAD27,NAD27\r\nRN,01\r\n")
                               << " does not contain any Waypoint information!";
    QTest::newRow("waypoint after a blank")
        << 1 << QByteArray(" WP,DM,A,0,0\r\n") << " does not contain any Waypoint information!";
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
    ScriptedInteraction ui;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    Lists& lists = lists_;
    lists.Of(ListKind(kind)).AddRow({"KEEP"});
    const QString path = Temp(bytes);
    Load(ListKind(kind), path, lists, ui, reader_, state);
    QCOMPARE(ui.MessageTexts(), QStringList{path + "\r\n" + message});
    QCOMPARE(ui.messages.front().title, QStringLiteral("Navora"));
    QCOMPARE(lists.Of(ListKind(kind)).Count(), 1);
    QVERIFY(ui.status.empty());

    // A file that is not there says the same.
    ScriptedInteraction missing;
    Load(ListKind(kind), path + "-gone", lists, missing, reader_, state);
    QCOMPARE(missing.MessageTexts(), QStringList{path + "-gone\r\n" + message});
}

void tst_FileReader::cancelledDialogChangesNothing()
{
    ScriptedInteraction ui;
    lists_.waypoints.AddRow({"KEEP"});
    reader_.recordsRead = 9;
    Load(ListKind::Waypoints, QString(), lists_, ui, reader_);
    QCOMPARE(lists_.waypoints.Count(), 1);
    QCOMPARE(reader_.recordsRead, 9);
    QVERIFY(ui.messages.empty() && ui.status.empty());
}

void tst_FileReader::datumWarning_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("messages");
    const QString warning =
        QStringLiteral("WARNING: The datum in this file (NAD27)\rdoes not match "
                       "the datum set in Navora (WGS84)");
    QTest::newRow("waypoints") << 1 << QByteArray("Datum,NAD27,NAD27\r\nWP,DM,A,0,0,d,t,x\r\n")
                               << QStringList{warning};
    QTest::newRow("track") << 3 << QByteArray("DATUM,NAD27\r\nTP,DM,0,0,d,t,1,0M,A\r\n")
                           << QStringList{warning};
    QTest::newRow("case differs only")
        << 1 << QByteArray("datum,wgs84,x\r\nWP,DM,A,0,0,d,t,x\r\n") << QStringList{};
    QTest::newRow("appended file warns twice")
        << 3 << QByteArray("Datum,NAD27\r\nTP,DM,0,0,d,t,1,0M,A\r\nDatum,NAD27\r\n")
        << QStringList{warning, warning};
    QTest::newRow("routes are not checked")
        << 2 << QByteArray("Datum,NAD27,NAD27\r\nRN,01\r\n") << QStringList{};
}

void tst_FileReader::datumWarning()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, messages);
    ScriptedInteraction ui;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    Load(ListKind(kind), Temp(bytes), lists_, ui, reader_, state);
    QCOMPARE(ui.MessageTexts(), messages);
    for (const ScriptedInteraction::Shown& shown : ui.messages) {
        QCOMPARE(shown.title, QStringLiteral("Navora - Datum"));
        QCOMPARE(shown.icon, MessageIcon::Exclamation);
    }
    QCOMPARE(lists_.Of(ListKind(kind)).Count(), 1); // reading went on
}

void tst_FileReader::invalidRecordQuestion()
{
    const QByteArray file = "Datum,WGS84,WGS84\r\nWP,DM,A,0,0,d,t,x\r\nWP,DM,B,95,0,d,t,x\r\n"
                            "WP,DM,C,0,181,d,t,x\r\nWP,DM,D,0,0,d,t,x\r\n";
    ScriptedInteraction goOn;
    goOn.ExpectQuestion(QStringLiteral("Invalid format record at line: 3"), Answer::Ok);
    goOn.ExpectQuestion(QStringLiteral("Invalid format record at line: 4"), Answer::Ok);
    Load(ListKind::Waypoints, Temp(file), lists_, goOn, reader_);
    QVERIFY(goOn.AllScriptUsed() && goOn.unexpected.isEmpty());
    QCOMPARE(lists_.waypoints.Count(), 2);
    QCOMPARE(goOn.status[StatusPanel::Settings], QStringLiteral("2 Records read"));

    ScriptedInteraction stop;
    stop.ExpectQuestion(QStringLiteral("Invalid format record at line: 3"), Answer::Cancel);
    Load(ListKind::Waypoints, Temp(file), lists_, stop, reader_);
    QVERIFY(stop.AllScriptUsed() && stop.unexpected.isEmpty());
    QCOMPARE(lists_.waypoints.Count(), 1); // rows read before stay
    QCOMPARE(stop.status[StatusPanel::Settings], QStringLiteral("1 Records read"));
}

void tst_FileReader::unsupportedFormat()
{
    ScriptedInteraction ui;
    ui.ExpectQuestion(QStringLiteral("Invalid format record at line: 1"), Answer::Ok);
    ui.ExpectQuestion(QStringLiteral("Invalid format record at line: 2"), Answer::Ok);
    Load(ListKind::Track, Temp("TP,utm,0,0,d,t,1,0M,A\r\nTP,DMM\r\n"), lists_, ui, reader_);
    QCOMPARE(ui.MessageTexts(),
             (QStringList{"Unsupported message format: utm", "Unsupported message format: DMM"}));
    QVERIFY(ui.AllScriptUsed() && ui.unexpected.isEmpty());
    QCOMPARE(lists_.track.Count(), 0);
}

void tst_FileReader::lineNumbersPast32767()
{
    QByteArray file = "TP,DM,0,0,d,t,1,0M,A\r\n";
    for (int i = 0; i < 40000; ++i)
        file += "comment\r\n";
    file += "TP,DM,95,0\r\n";
    ScriptedInteraction ui;
    ui.ExpectQuestion(QStringLiteral("Invalid format record at line: 40002"), Answer::Ok);
    Load(ListKind::Track, Temp(file), lists_, ui, reader_);
    QVERIFY(ui.AllScriptUsed() && ui.unexpected.isEmpty());
}

void tst_FileReader::hostileBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("names");
    const QByteArray good = "WP,DM,A,0,0,d,t,x\n";
    QTest::newRow("megabyte line in the middle")
        << good + "WP,DM," + QByteArray(2 * 1024 * 1024, 'x') + "\r\n" + good
        << QStringList{"Invalid format record at line: 2"} << QStringList{"A", "A"};
    QTest::newRow("megabyte line at the end without line end")
        << good + QByteArray(1024 * 1024, '9') << QStringList{"Invalid format record at line: 2"}
        << QStringList{"A"};
    static const char nul[] = "WP,DM,N\0L,0\0,0,d,t,x\nWP\0,DM\n";
    QTest::newRow("NUL bytes") << QByteArray(nul, sizeof nul - 1) + good << QStringList{}
                               << QStringList{QString::fromLatin1("N\0L", 3), "A"};
    QTest::newRow("line ends of every kind")
        << QByteArray("WP,DM,A,0,0,d,t,x\rWP,DM,B,0,0,d,t,x\r\r\nWP,DM,C,0,0,d,t,x")
        << QStringList{} << QStringList{"A", "C"};
    QTest::newRow("all byte values") << good + [] {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        return all;
    }() << QStringList{} << QStringList{"A"};
}

void tst_FileReader::hostileBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, names);
    ScriptedInteraction ui;
    for (const QString& question : questions)
        ui.ExpectQuestion(question, Answer::Ok);
    Load(ListKind::Waypoints, Temp(bytes), lists_, ui, reader_);
    QVERIFY(ui.AllScriptUsed());
    QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(u'\n')));
    QStringList read;
    for (int r = 0; r < lists_.waypoints.Count(); ++r)
        read << lists_.waypoints.Text(r, WaypointColumn::Name);
    QCOMPARE(read, names);
}

QTEST_GUILESS_MAIN(tst_FileReader)
#include "tst_FileReader.moc"
