// navora-cli run as a user runs it: a process of its own with settings of its
// own, against the simulated receiver on its pseudo-terminal.

#include "coords/GridComponent.h"
#include "coords/GridConversion.h"
#include "coords/GridInput.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/WaypointFields.h"

#include <QDir>
#include <QProcess>
#include <QtTest>
#include <csignal>

namespace {

const QString kTimeout = QStringLiteral("0.5");

struct Ran
{
    int status = -1; // -1 when the process crashed or never ended
    QString out;
    QString err;
};

QString Zeros(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QChar(u'0'));
}

// A receiver full of data: 500 waypoints, 20 routes over them and 2000 track
// points, with every kind of cell the way back changes.
QStringList FullMemory()
{
    QStringList lines;
    for (int i = 0; i < 500; ++i) {
        const bool zero = i == 7; // the zero position in the south-west
        const QString heights[] = {QString::number(i), Zeros(i, 5), QStringLiteral("-30"),
                                   Zeros(i, 7)};
        const QString descriptions[] = {QStringLiteral("summit %1").arg(i),
                                        QStringLiteral("A DESCRIPTION OF 25 CHARS"), QString(),
                                        QStringLiteral("POINT %1").arg(i)};
        lines << QStringLiteral("$PMGNWPL,%1,%2,%3,%4,%5,%6,W%7,%8,%9")
                     .arg(zero ? QStringLiteral("0000.000")
                               : Zeros(i % 90 * 100 + i % 60, 4) + u'.' + Zeros(i * 7 % 1000, 3),
                          zero || i % 2 ? QStringLiteral("S") : QStringLiteral("N"),
                          zero ? QStringLiteral("00000.000")
                               : Zeros(i % 180 * 100 + i * 7 % 60, 5) + u'.' +
                                     Zeros(i * 3 % 1000, 3),
                          zero || i % 3 ? QStringLiteral("W") : QStringLiteral("E"), heights[i % 4],
                          i % 5 ? QStringLiteral("M") : QStringLiteral("F"), Zeros(i, 5),
                          descriptions[i % 4], QString(QChar(u'a' + i % 26)));
    }
    // As the simulator writes its routes: the name first, then two points a line.
    for (int r = 1; r <= 20; ++r) {
        const int points = 11 + r;
        const bool named = r % 4 != 0;
        const int sentences = (points + 1) / 2 + (named ? 1 : 0);
        int number = 1;
        if (named)
            lines << QStringLiteral("$PMGNRTE,%1,%2,m,%3,ROUTE %3")
                         .arg(sentences)
                         .arg(number++)
                         .arg(Zeros(r, 2));
        for (int k = 0; k < points; k += 2) {
            QString line = QStringLiteral("$PMGNRTE,%1,%2,c,%3,W%4")
                               .arg(sentences)
                               .arg(number++)
                               .arg(Zeros(r, 2), Zeros((r * 17 + k) % 500, 5));
            if (k + 1 < points)
                line += QStringLiteral(",W") + Zeros((r * 17 + k + 1) % 500, 5);
            lines << line;
        }
    }
    for (int i = 0; i < 2000; ++i) {
        const QString names[] = {QString(), QStringLiteral("SNOWDON SUMMIT"), QStringLiteral("AB")};
        QString line = QStringLiteral("$PMGNTRK,5304.%1,N,00404.%2,W,%3,M,%4%5%6.%7,%8")
                           .arg(Zeros(i % 1000, 3), Zeros(i * 3 % 1000, 3),
                                i % 7 ? Zeros(100 + i % 900, 5) : QString(),
                                Zeros(10 + i / 3600, 2), Zeros(i / 60 % 60, 2), Zeros(i % 60, 2),
                                i % 2 ? QStringLiteral("50") : QStringLiteral("00"),
                                i % 11 ? QStringLiteral("A") : QStringLiteral("V"));
        if (i % 4)
            line += u',' + names[i % 3] + QStringLiteral(",061226");
        lines << line;
    }
    return lines;
}

// What the receiver holds after the backup went down into files and came up
// again, as the protocol and the files change it on the way.
QString RestoredLine(const QString& line)
{
    QStringList f = line.split(u',');
    if (line.startsWith(QStringLiteral("$PMGNWPL"))) {
        const QString& height = f[5];
        f[5] = height.startsWith(u'-') ? u'-' + height.mid(1).rightJustified(6, u'0')
                                       : height.rightJustified(7, u'0');
        f[8] = f[8].toUpper().left(20).trimmed();
        if (f[9] > QStringLiteral("t"))
            f[9] = QStringLiteral("a");
        if (f[1] == u"0000.000" && f[2] == u"S")
            f[2] = QStringLiteral("N");
        if (f[3] == u"00000.000" && f[4] == u"W")
            f[4] = QStringLiteral("E");
    } else if (line.startsWith(QStringLiteral("$PMGNTRK"))) {
        if (f[5].isEmpty())
            f[5] = QStringLiteral("0000000");
        f[7] = f[7].left(6) + QStringLiteral(".00");
        // The track name the download makes, as the file keeps it; no date.
        const QString name =
            f.size() > 10 ? (f[9] + QStringLiteral("      ")).left(6) : QStringLiteral("TRAK01");
        f = f.mid(0, 9) << name;
    }
    return f.join(u',');
}

QStringList Lines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_NavoraCli : public QObject
{
    Q_OBJECT
private slots:
    void usage_data();
    void usage();
    void show_data();
    void show();
    void positions_data();
    void positions();
    void backupAndRestore();
    void interrupted_data();
    void interrupted();
    void declined_data();
    void declined();

private:
    Ran Run(const QStringList& arguments, const QByteArray& input = {});
    void Start(QProcess& process, const QStringList& arguments);

    QTemporaryDir dir_;
};

void tst_NavoraCli::Start(QProcess& process, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir_.path());
    process.start(QStringLiteral(NAVORA_CLI), arguments);
}

Ran tst_NavoraCli::Run(const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    Start(process, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(180000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// A wrong option or command names itself and shows the usage.
void tst_NavoraCli::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    QTest::newRow("option") << QStringList{"--colour", "info"} << "--colour";
    QTest::newRow("command") << QStringList{"backup"} << "backup";
    QTest::newRow("list") << QStringList{"delete", "all"} << "all";
    QTest::newRow("misplaced option") << QStringList{"show", "track", "-i", "x", "-o", "y"} << "-o";
    QTest::newRow("no folder") << QStringList{"download", "all"} << "-d";
    QTest::newRow("half a position")
        << QStringList{"gridref", "--grid", "UTM", "51.5"} << "longitude";
}

void tst_NavoraCli::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    const Ran ran = Run(arguments);
    QCOMPARE(ran.status, 2);
    QVERIFY2(ran.err.contains(named) && ran.err.contains(QStringLiteral("Usage: navora-cli")),
             qPrintable(ran.err));
    QVERIFY(ran.out.isEmpty());
}

// The example files give exactly their rows; Navora's settings are
// read (feet) and never written, and an unset datum says nothing.
void tst_NavoraCli::show_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("rows");
    const QString data = QStringLiteral(NAVORA_TEST_DATA "/files/");
    QTest::newRow("waypoints") << QStringList{"show", "waypoints", "-i", data + "waypoints.txt"}
                               << QByteArray()
                               << QStringList{
                                      "HOME\t5130.500\tN\t00012.345\tW\t0000123\tM\tMY HOUSE\ta",
                                      "CHURCH\t5129.870\tN\t00010.200\tW\t0000098\tM\tST MARYS\tc"};
    QTest::newRow("routes") << QStringList{"show", "routes", "-i", data + "routes.txt"}
                            << QByteArray()
                            << QStringList{"01\t======\tTOWN", "01\t01\tHOME  ", "01\t02\tCHURCH",
                                           "02\t======\t===================", "02\t01\tXYZ   "};
    QTest::newRow("track") << QStringList{"show", "track", "-i", data + "track.txt"} << QByteArray()
                           << QStringList{"0001\tTRAK01\t5130.500\tN\t00012.345\tW\t0000123\tM\t"
                                          "10:15:00 \tA",
                                          "0002\tTRAK01\t5130.510\tN\t00012.360\tW\t0000124\tM\t"
                                          "10:15:10 \tA"};
    QTest::newRow("standard input, heights in feet, below the sea")
        << QStringList{"show", "waypoints", "-i", "-"}
        << QByteArray("WP,DM,DEEP  ,-31.30000, 035.30000,,,DEAD SEA,a,-0430M\r\n")
        << QStringList{"DEEP\t3130.000\tS\t03530.000\tE\t-001411\tF\tDEAD SEA\ta"};
}

void tst_NavoraCli::show()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    const QString settings = dir_.filePath(QStringLiteral("config/Navora/Navora.conf"));
    QDir().mkpath(QFileInfo(settings).path());
    const QByteArray stored =
        "[Properties]\nWaypointHeights=" + QByteArray(input.isEmpty() ? "0" : "1") + "\n";
    WriteFile(settings, stored);
    const Ran ran = Run(arguments, input);
    QCOMPARE(ran.err, QString());
    QCOMPARE(ran.status, 0);
    QTEST(Lines(ran.out), "rows");
    QCOMPARE(ReadFile(settings), stored);
    QFile::remove(settings);
}

// gridref gives what the waypoint editor's grid button gives for the same
// position, latlon what the grid reference dialog writes into the editor for
// the reference, and the one undoes the other; London gives the references
// it is known by.
void tst_NavoraCli::positions_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<bool>("sheet");
    QTest::addColumn<QStringList>("editor"); // degrees, minutes, N/S, degrees, minutes, W/E
    QTest::addColumn<QString>("known");      // the reference, when known
    const QStringList london{"51", "30.000", "N", "000", "06.000", "W"};
    QTest::newRow("OSGB with letters") << "OSGB" << true << london << "TQ 31979 79607";
    QTest::newRow("OSGB figures") << "OSGB" << false
                                  << QStringList{"57", "07.002", "N", "003", "38.640", "W"}
                                  << QString();
    QTest::newRow("OSNI") << "OSNI" << false
                          << QStringList{"54", "10.800", "N", "005", "55.248", "W"} << QString();
    QTest::newRow("OSRoI") << "OSRoI" << false
                           << QStringList{"51", "59.958", "N", "009", "44.550", "W"} << QString();
    QTest::newRow("UTM north-west") << "UTM" << false << london << "30 U 701278 5709417";
    QTest::newRow("UTM south-east")
        << "UTM" << false << QStringList{"33", "51.425", "S", "151", "12.899", "E"} << QString();
}

void tst_NavoraCli::positions()
{
    QFETCH(QString, grid);
    QFETCH(bool, sheet);
    QFETCH(QStringList, editor);
    WaypointFields fields;
    fields.txtLat = editor[0];
    fields.TxtLatMin = editor[1];
    fields.optNS = editor[2] == u"N" ? 0 : 1;
    fields.txtLon = editor[3];
    fields.txtLonMin = editor[4];
    fields.optWE = editor[5] == u"W" ? 0 : 1;
    fields.txtAlt = QStringLiteral("0");
    ScriptedInteraction ui;
    GridComponent component;
    const GridComponentSource source = [&]() -> GridComponent& { return component; };
    SetGrid(grid, ui, source);
    const GridStart start = GridReferenceForEditor(fields, grid, sheet, source, ui);
    QCOMPARE(start.kind, GridStart::Kind::Reference);
    const GridReference& reference = start.reference;

    double latitude = editor[0].toDouble() + editor[1].toDouble() / 60;
    double longitude = editor[3].toDouble() + editor[4].toDouble() / 60;
    latitude = fields.optNS == 1 ? -latitude : latitude;
    longitude = fields.optWE == 0 ? -longitude : longitude;
    const QStringList options =
        QStringList{"--grid", grid} + (sheet ? QStringList{"--sheet"} : QStringList());
    const Ran forward =
        Run(QStringList{"gridref"} + options +
            QStringList{QString::number(latitude, 'g', 17), QString::number(longitude, 'g', 17)});
    QCOMPARE(forward.status, 0);
    QStringList words{reference.east, reference.north};
    if (grid == u"UTM")
        words = QStringList{reference.sheet, reference.band} + words;
    else if (sheet)
        words.prepend(reference.sheet);
    QCOMPARE(forward.out, words.join(u' ') + u'\n');
    QFETCH(QString, known);
    if (!known.isEmpty())
        QCOMPARE(forward.out, known + u'\n');

    // The reference as typed into the dialog, its letters and figures run together.
    const Ran back = Run(QStringList{"latlon"} + options + QStringList{words.join(QString())});
    QCOMPARE(back.status, 0);
    // A reference with square letters is known by them, --sheet or not.
    if (sheet)
        QCOMPARE(Run(QStringList{"latlon", "--grid", grid} + words).out, back.out);
    const PositionFromReference position = ReferenceToPosition(grid, sheet, source, ui, reference);
    QCOMPARE(position.status, ReferenceStatus::Converted);
    EditorPositionFields written;
    WritePosition(position.latitude, position.longitude, written);
    const QStringList out = back.out.split(u' ');
    QCOMPARE(out.size(), 6);
    QCOMPARE(out.mid(2).join(u' '),
             QStringLiteral("%1%2 %3 %4%5 %6\n")
                 .arg(written.txtLat, written.TxtLatMin,
                      QString::fromLatin1(written.optNS ? "S" : "N"), written.txtLon,
                      written.txtLonMin, QString::fromLatin1(written.optWE ? "E" : "W")));
    QCOMPARE(out[0], QString::number(position.latitude, 'f', 6));
    QCOMPARE(out[1], QString::number(position.longitude, 'f', 6));
    // Whole metres of the reference are a few millionths of a degree.
    QVERIFY(qAbs(out[0].toDouble() - latitude) < 2e-5);
    QVERIFY(qAbs(out[1].toDouble() - longitude) < 2e-5);
    QVERIFY(ui.messages.empty());
}

// The backup of a full receiver, everything deleted, the backup restored and
// read back: the receiver holds what it held, changed only as the protocol
// and the files change it.
void tst_NavoraCli::backupAndRestore()
{
    const QStringList memory = FullMemory();
    // The receiver named as a user in its folder would name it.
    Simulator sim({"--link", dir_.filePath(QStringLiteral("gps"))}, memory.join(u'\n') + u'\n');
    const QStringList port{"--port", "gps", "--timeout", kTimeout};
    const QString backup = dir_.filePath(QStringLiteral("backup"));

    const QString log = dir_.filePath(QStringLiteral("traffic.log"));
    Ran ran = Run(port + QStringList{"--log", log, "download", "all", "-d", backup});
    QCOMPARE(ran.status, 0);
    QVERIFY2(ran.err.isEmpty(), qPrintable(ran.err));
    // The traffic as the monitor's Save... keeps it: the moment to the millisecond, then the line.
    const QStringList traffic = Lines(QString::fromUtf8(ReadFile(log)));
    QVERIFY(!traffic.filter(QStringLiteral(" > $PMGNCMD,WAYPOINT*71")).isEmpty());
    const QRegularExpression form(QStringLiteral(
        R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d) [<>] (\$PMGN[A-Z]{3},.*|Timeout)$)"));
    for (const QString& line : traffic)
        QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
    // A GPX file keeps the waypoints' cells as the receiver sent them, but for
    // the icons Navora does not know.
    const QString gpx = dir_.filePath(QStringLiteral("waypoints.gpx"));
    QCOMPARE(Run(port + QStringList{"download", "waypoints", "-o", gpx}).status, 0);
    ran = Run({"--yes", "show", "waypoints", "-i", gpx});
    QCOMPARE(ran.status, 0);
    QStringList held;
    for (const QString& line : memory.filter(QStringLiteral("$PMGNWPL,"))) {
        const QStringList f = line.split(u',');
        const QString icon = f[9] > QStringLiteral("t") ? QStringLiteral("a") : f[9];
        held << QStringList{f[7], f[1], f[2], f[3], f[4], f[5], f[6], f[8], icon}.join(u'\t');
    }
    QCOMPARE(Lines(ran.out), held);
    for (const char* kind : {"waypoints", "routes", "track"}) {
        ran = Run(port + QStringList{"--yes", "delete", kind});
        QCOMPARE(ran.status, 0);
    }
    QTRY_VERIFY(sim.Memory().trimmed().isEmpty());

    ran = Run(port + QStringList{"upload", "all", "-d", backup, "--verify"});
    QCOMPARE(ran.status, 0);
    QCOMPARE(ran.out, QString());
    QCOMPARE(Lines(ran.err), (QStringList{"Read back: the GPS holds the waypoints as sent.",
                                          "Read back: the GPS holds the routes as sent.",
                                          "Read back: the GPS holds the track points as sent."}));
    QStringList restored;
    for (const QString& line : memory)
        restored << RestoredLine(line);
    QTRY_COMPARE(Lines(sim.Memory()), restored);
}

// Ctrl+C during a download: the receiver is stopped and drained, the rows
// received go to FILE.partial and FILE stays as it was. A second Ctrl+C ends
// at once, with nothing written.
void tst_NavoraCli::interrupted_data()
{
    QTest::addColumn<int>("presses");
    QTest::newRow("once") << 1;
    QTest::newRow("twice") << 2;
}

void tst_NavoraCli::interrupted()
{
    QFETCH(int, presses);
    QStringList memory = FullMemory().mid(0, 60);
    Simulator sim({"--baud", "4800"}, memory.join(u'\n'));
    const QStringList port{"--port", sim.Device(), "--timeout", kTimeout};
    const QString file = dir_.filePath(QStringLiteral("waypoints.txt"));
    WriteFile(file, "earlier backup\r\n");
    QFile::remove(file + QStringLiteral(".partial"));

    QProcess process;
    Start(process, port + QStringList{"--monitor", "download", "waypoints", "-o", file});
    QByteArray traffic;
    const auto seen = [&](const char* text) {
        traffic += process.readAllStandardError();
        return traffic.contains(text);
    };
    QTRY_VERIFY_WITH_TIMEOUT(seen("< $PMGNWPL"), 60000);
    ::kill(pid_t(process.processId()), SIGINT);
    if (presses == 2) {
        // Signals of one kind do not queue: the second goes once the first is heard.
        QTRY_VERIFY_WITH_TIMEOUT(seen("> $PMGNCMD,STOP"), 30000);
        ::kill(pid_t(process.processId()), SIGINT);
    }
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 130);
    QCOMPARE(ReadFile(file), QByteArray("earlier backup\r\n"));
    const QByteArray partial = ReadFile(file + QStringLiteral(".partial"));
    if (presses == 2) {
        QVERIFY(partial.isEmpty());
        return;
    }
    const int rows = int(partial.count("\r\nWP,"));
    QVERIFY2(rows >= 1 && rows < 60, partial.constData());
    QVERIFY(sim.Received().contains(QStringLiteral("$PMGNCMD,STOP*6A")));
    // Left idle: the next download takes the whole list.
    const Ran again = Run(port + QStringList{"download", "waypoints"});
    QCOMPARE(again.status, 0);
    QCOMPARE(again.out.count(QStringLiteral("\r\nWP,")), 60);
}

// No to a question ends the command with nothing sent: a deletion's
// question, and before the receiver is even connected an invalid record in
// a file and the checks of every list an upload sends.
void tst_NavoraCli::declined_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("unsent"); // what no line sent may contain
    QTest::addColumn<bool>("connected");
    const QByteArray waypoint = "WP,DM,HOME  , 51.30500,-000.12345,,,,a,0000123M\r\n";
    QTest::newRow("deletion") << QStringList{"delete", "waypoints"} << QByteArray() << "DELETE"
                              << true;
    QTest::newRow("more than 500 waypoints")
        << QStringList{"upload", "waypoints", "-i"} << waypoint.repeated(501) << "$" << false;
    // Each file of the backup holds both lists; the waypoints would go first.
    QTest::newRow("a route point that names no waypoint, in a backup")
        << QStringList{"upload", "all", "-d"}
        << waypoint + "RN,01\r\nRP,DM,XYZ   , 00.00000, 000.00000,,,\r\n"
        << "$" << false;
    QTest::newRow("invalid record")
        << QStringList{"upload", "track", "-i"}
        << QByteArray("TP,DM, 91.00000,-000.12345,,10:15:00 ,1,0000123M,A\r\n") << "$" << false;
}

void tst_NavoraCli::declined()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(QString, unsent);
    Simulator sim({}, FullMemory().mid(0, 3).join(u'\n'));
    const QString path = dir_.filePath(QStringLiteral("upload.txt"));
    if (arguments.endsWith(QStringLiteral("-d"))) {
        const QDir backup(dir_.filePath(QStringLiteral("declined")));
        QVERIFY(backup.mkpath(QStringLiteral(".")));
        for (const char* name : {"waypoints.txt", "routes.txt", "track.txt"})
            WriteFile(backup.filePath(QLatin1String(name)), "Datum,WGS84,WGS84\r\n" + file);
        arguments << backup.path();
    } else if (!file.isEmpty()) {
        WriteFile(path, "Datum,WGS84,WGS84\r\n" + file);
        arguments << path;
    }
    const Ran ran = Run(QStringList{"--port", sim.Device(), "--timeout", kTimeout} + arguments);
    QCOMPARE(ran.status, 4);
    QVERIFY2(ran.err.contains(QStringLiteral("Answered ")), qPrintable(ran.err));
    for (const QString& line : sim.Received())
        QVERIFY2(!line.contains(unsent), qPrintable(line));
    QFETCH(bool, connected);
    QCOMPARE(sim.Received().contains(QStringLiteral("$PMGNCMD,VERSION*28")), connected);
}

QTEST_GUILESS_MAIN(tst_NavoraCli)
#include "tst_NavoraCli.moc"
