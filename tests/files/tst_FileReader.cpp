#include "FileTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

class tst_FileReader : public QObject
{
    Q_OBJECT
private slots:
    void load_data();
    void load();
};

static QString Temp(const QByteArray& bytes)
{
    static QTemporaryDir dir;
    static int files = 0;
    const QString path = dir.filePath(QString::number(++files));
    return WriteBytes(path, bytes) ? path : QString();
}

static QStringList Read(ListKind kind, Lists& lists)
{
    QStringList read = Rows(lists.Of(kind));
    read.replaceInStrings(QRegularExpression("^KEEP\\|*$"), "KEEP");
    return kind == ListKind::Routes ? read + Table(lists.routes) : read;
}

// `rows`: the list (it held "KEEP") and route table after loading `path`; `counted`: the count
// reported (-1: none); `said`: messages, and invalid lines asked about ("c": answered Cancel).
void tst_FileReader::load_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<int>("mode");
    auto Row = [](const char* name, int kind, const QString& path, const QStringList& rows,
                  int counted, const QStringList& said = {}, int mode = 0) {
        QTest::newRow(name) << kind << path << rows << counted << said << mode;
    };
    const QString data = QStringLiteral(NAVORA_TEST_DATA "/files/");
    auto At0 = [](const char* name, const char* height, const char* rest = "X|a") {
        return QString::fromLatin1(name) + "|0000.000|N|00000.000|E|" + height + u'|' + rest;
    };
    Row("routes", 2, data + "routes.txt",
        {"01|======|TOWN", "01|01|HOME  ", "01|02|CHURCH", "02|======|===================",
         "02|01|XYZ   ", "1.0=TOWN", "1.1=HOME  ", "1.2=CHURCH", "2.1=XYZ   "},
        5);
    Row("degrees, 9 fields, lower-case keyword", 1, Temp("wp,D,Home,51.5,-0.20575,x,x,desc,B"),
        {"HOME|5130.000|N|00012.345|W|0000000|M|DESC|b"}, 1);
    Row("seconds form, long keyword, blanks", 1,
        Temp("WayPoint,dms, abc ,-51.3030,0.2030,d,t, a long description text ,  D  ,12f"),
        {"ABC|5130.500|S|00020.500|E|0000012|F|A LONG DESCRIPTION T|d"}, 1);
    Row("metres to feet", 1, Temp("WP,DM,A,0,0,d,t,x,a,0000123M"), {At0("A", "0000404|F")}, 1, {},
        1);
    Row("feet to metres; a height without unit", 1,
        Temp("WP,DM,A,0,0,d,t,x,a,1000F\nWP,DM,B,0,0,d,t,x,a,42"),
        {At0("A", "0000305|M"), At0("B", "0000042|M")}, 2, {}, 2);
    Row("short records: a row without description stays, uncounted", 1,
        Temp("WP,DM,A,0,0,d,t\nWP,DM,B,0\n WP,DM,C,0,0,d,t,x,a"), {At0("A", "0000000|M", "|a")}, 0);
    Row("8-bit letters keep their case within the file's characters", 1,
        Temp("WP,DM,caf\xe9 \xff,0,0,d,t,\xb5m,a"),
        {QString::fromLatin1("CAF\xc9 \xff|0000.000|N|00000.000|E|0000000|M|\xb5M|a")}, 1);
    Row("track: blank before keyword, 11 fields, cut name, short record", 3,
        Temp(" tp,DM, 51.30500,-000.12345,d,12:00:00,0,0000123F,V,TRACK1,extra\n"
             "trackpoint,d,-51.5,10.5,d,t,0,,A,LONGTRACKNAME\nTP,DM,0,0,d,t,0,0000001M"),
        {"0001||5130.500|N|00012.345|W|0000123|F|12:00:00|V",
         "0002|LONGTR|5130.000|S|01030.000|E|||t|A", "0003||0000.000|N|00000.000|E|0000001|M|t|"},
        2, {}, 1);
    // A route number the store cannot hold is refused, and so are its points.
    Row("routes: 4 fields, number halves to even, not a number", 2,
        Temp("RN,3,LONG,NAME\nrp,DM,A\n routename, 2.5 ,N\nRN,x1\nRP,DM,B"),
        {"03|======|===================", "03|01|A     ", "02|======|N", "2.0=N", "3.1=A     "}, 3,
        {"4", "5"});
    Row("routes: the route number carries across loads", 2,
        Temp("RN,05,FIRST\r\n") + "\n" + Temp("RP,DM,A\r\nRP,DM,B\r\nRN,06\r\n"),
        {"05|01|A     ", "05|02|B     ", "06|======|===================", "5.1=A     ",
         "5.2=B     "},
        3);
    Row("routes: a point before any name, route 22", 2,
        Temp("RP,DM,A\nRN,22\nRP,DM,B\nRN,20\nRP,DM,\nRP,DM, \nRP"),
        {"20|======|==================="}, 1, {"1", "2", "3", "5", "6", "7"});
    QByteArray longRoute = "RN,07,LONG\r\n";
    QStringList longRows{"07|======|LONG"}, longTable{"7.0=LONG"};
    for (int i = 1; i <= 33; ++i) {
        const QString name = QStringLiteral("W%1").arg(i).leftJustified(6);
        longRoute += "RP,DM," + name.toLatin1() + "\r\n";
        if (i <= 31) {
            longRows << QStringLiteral("07|%1|").arg(i, 2, 10, QChar(u'0')) + name;
            longTable << QStringLiteral("7.%1=").arg(i) + name;
        }
    }
    Row("routes: a point beyond the 31st", 2, Temp(longRoute + "RN,08\r\nRP,DM,X\r\n"),
        longRows + longTable, 32, {"33c"});

    const QString a = At0("A", "0000000|M");
    const QString datum = "WARNING: The datum in this file (NAD27)\rdoes not match the datum "
                          "set in Navora (WGS84)";
    Row("datum differs twice in an appended track file", 3,
        Temp("DATUM,NAD27\r\nTP,DM,0,0,d,t,1,0M,A\r\nDatum,NAD27\r\n"),
        {"0001||0000.000|N|00000.000|E|0|M|t|A"}, 1, {datum, datum});
    Row("datum differs in case only", 1, Temp("datum,wgs84,x\r\nWP,DM,A,0,0,d,t,x\r\n"), {a}, 1);

    const QString noWaypoints = Temp("Datum,NAD27,NAD27\r\n WP,DM,A,0,0\r\nRN,01\r\n");
    const QString noRoutes = Temp("WP,DM,A,0,0\r\nrn\r\n");
    const QString noTrack = Temp("Datum,NAD27,NAD27\r\n TP,DM,0,0\r\n");
    const QString none = "\r\n does not contain any ";
    Row("no waypoints, datum not checked", 1, noWaypoints, {"KEEP"}, -1,
        {noWaypoints + none + "Waypoint information!"});
    Row("no routes", 2, noRoutes, {"KEEP"}, -1, {noRoutes + none + "route information!"});
    Row("no track", 3, noTrack, {"KEEP"}, -1, {noTrack + none + "track information!"});
    // A missing file says so, not that it holds no waypoints.
    QFile gone(noTrack + "-gone");
    QVERIFY(!gone.open(QIODevice::ReadOnly));
    Row("no such file", 1, gone.fileName(), {"KEEP"}, -1,
        {gone.fileName() + "\r\n could not be read: " + gone.errorString()});

    const QByteArray good = "WP,DM,A,0,0,d,t,x\n";
    const QByteArray bad = "WP,DM,B,95,0,d,t,x\r\nWP,DM,C,0,181,d,t,x\r\n";
    Row("out of range, OK", 1, Temp(good + bad + good), {a, a}, 2, {"2", "3"});
    Row("out of range, Cancel", 1, Temp(good + bad + good), {a}, 1, {"2c"});
    Row("unsupported formats", 1, Temp(good + "WP,utm,0,0,d,t,1,0M,A\r\nWP,DMM\r\n"), {a}, 1,
        {"2", "Unsupported message format: utm", "3", "Unsupported message format: DMM"});
    const QByteArray comments = QByteArray("comment\r\n").repeated(40000);
    Row("line numbers past 32767", 1, Temp(good + comments + bad.left(20)), {a}, 1, {"40002"});
    Row("megabyte line, then a record", 1,
        Temp(good + "WP,DM," + QByteArray(2 * 1024 * 1024, 'x') + "\r\n" + good), {a, a}, 2, {"2"});
    static const char nul[] = "WP,DM,N\0L,0\0,0,d,t,x\nWP\0,DM\n";
    Row("NUL bytes", 1, Temp(QByteArray(nul, sizeof nul - 1) + good),
        {QString::fromLatin1("N\0L", 3) + a.mid(1), a}, 2);
    // Lone CR, CR CR LF, LF and CR LF each end one line; no CR stays in a field.
    Row("line ends of every kind", 1,
        Temp("WP,DM,A,0,0,d,t,x,b\rWP,DM,B,0,0,d,t,x,c\r\r\nWP,DM,C,0,0,d,t,x,d\n"
             "WP,DM,D,0,0,d,t,x,e\r\nWP,DM,E,0,0,d,t,x,f\r"),
        {At0("A", "0000000|M", "X|b"), At0("B", "0000000|M", "X|c"), At0("C", "0000000|M", "X|d"),
         At0("D", "0000000|M", "X|e"), At0("E", "0000000|M", "X|f")},
        5);
    // Line numbers count the lines the user sees: two lone CRs make an empty
    // line, CR CR LF makes none.
    Row("line numbers with CR line ends", 1,
        Temp(good.chopped(1) + "\r\r" + bad.left(18) + "\r\r\n" + good), {a, a}, 2, {"3"});
    // The file is read in pieces: a line end split between two of them is still one.
    for (const auto& [name, at, end] :
         {std::tuple{"CR | LF", 65535, "\r\n"}, std::tuple{"CR CR | LF", 65534, "\r\r\n"},
          std::tuple{"CR | CR LF", 65535, "\r\r\n"}}) {
        QByteArray filler;
        while (filler.size() + 100 <= at)
            filler += QByteArray(98, 'x') + "\r\n";
        filler += QByteArray(at - filler.size(), 'x');
        Row(name, 1, Temp(filler + end + bad.left(20)), {}, 0, {"657"});
    }
    Row("UTF-8 byte-order mark before the first record", 1,
        Temp("\xEF\xBB\xBFWP,DM,CAF\xC3\x89,0,0,d,t,\xC3\xA9t\xC3\xA9\r\n"),
        {QString::fromUtf8("CAF\xC3\x89|0000.000|N|00000.000|E|0000000|M|\xC3\x89T\xC3\x89|a")}, 1);
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    Row("every byte value", 1, Temp(good + all), {a}, 1);
}

void tst_FileReader::load()
{
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(QStringList, rows);
    QFETCH(int, counted);
    QFETCH(QStringList, said);
    QFETCH(int, mode);
    Lists lists;
    lists.Of(ListKind(kind)).AddRow({"KEEP"});
    ReaderState reader;
    ScriptedInteraction ui;
    QStringList messages;
    bool cancelled = false;
    for (const QString& line : said) {
        const QRegularExpressionMatch number = QRegularExpression("^(\\d+)(c?)$").match(line);
        if (!number.hasMatch())
            messages << line;
        else
            ui.ExpectQuestion("Invalid format record at line: " + number.captured(1),
                              number.captured(2).isEmpty() ? Answer::Ok : Answer::Cancel);
        cancelled = cancelled || number.captured(2) == u"c";
    }
    FileOutcome outcome;
    for (const QString& file : path.split(u'\n')) // one load after the other
        outcome = Load(ListKind(kind), file, lists, ui, reader, mode);
    if (counted < 0) {
        QCOMPARE(outcome.status,
                 path.endsWith("-gone") ? FileStatus::Failed : FileStatus::NotThatKind);
        QCOMPARE(outcome.message, messages.last());
    } else {
        QCOMPARE(outcome.status, cancelled ? FileStatus::Cancelled : FileStatus::Read);
        QCOMPARE(outcome.count, counted);
    }
    QCOMPARE(Read(ListKind(kind), lists), rows);
    // Rows replaced by a load stand in the file's order, not sorted.
    QCOMPARE(lists.Of(ListKind(kind)).SortColumn(), rows.value(0) == u"KEEP" ? 0 : -1);
    QCOMPARE(ui.MessageTexts(), messages);
    for (const ScriptedInteraction::Shown& shown : ui.messages)
        QCOMPARE(shown.title, shown.text.startsWith(u'W') ? "Navora - Datum" : "Navora");
    QCOMPARE(ui.status[StatusPanel::Settings],
             counted < 0 ? QString() : QString::number(counted) + " Records read");
    QVERIFY(ui.AllScriptUsed() && ui.unexpected.isEmpty());
}

QTEST_GUILESS_MAIN(tst_FileReader)
#include "tst_FileReader.moc"
