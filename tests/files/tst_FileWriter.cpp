#include "FileTestSupport.h"
#include "files/FileWriter.h"
#include "gpslink/Platform.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <vector>

class tst_FileWriter : public QObject
{
    Q_OBJECT
private slots:
    void fileText_data();
    void fileText();
    void save_data();
    void save();
    void positionsReadBack();
};

static const QString kData = QStringLiteral(NAVORA_TEST_DATA "/files/");

static const QDateTime kMoment(QDate(2024, 6, 1), QTime(10, 15, 0));

static const QStringList kExamples{"", "waypoints.txt", "routes.txt", "track.txt"};

// `rows` fill the list of `kind` ("route.0=name", "route.n=waypoint": the routes, waypoints in
// order); `text` follows the datum.
void tst_FileWriter::fileText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QByteArray>("text");
    auto Row = [](const char* name, int kind, const QStringList& rows, const QByteArray& text) {
        QTest::newRow(name) << kind << rows << text;
    };
    Row("short name, long description", 1,
        {"AB|0000.000|S|18000.000|E|0000001|F|DESCRIPTION OF 25 LETTERS|t"},
        "WP,DM,AB   ,-00.00000, 180.00000,06/01/2024,10:15:00,DESCRIPTION OF 25 LE,t,0000001F\r\n");
    Row("long name is cut", 1, {"ABCDEFGH|0100.000|N|00100.000|E|0000001|M||b"},
        "WP,DM,ABCDEF, 01.00000, 001.00000,06/01/2024,10:15:00,                    "
        ",b,0000001M\r\n");
    Row("empty track time and altitude", 3, {"0001|T|0100.000|N|00100.000|W||||V"},
        "TP,DM, 01.00000,-001.00000,06/01/2024,10:15:00,1,0000000M,V,T\r\n");
    Row("8-bit text and beyond", 1,
        {QString::fromLatin1("CAF\xc9|0000.000|N|00000.000|E|0|M|\xb5") + QChar(0x20AC) + "|a"},
        "WP,DM,CAF\xc9  , 00.00000, 000.00000,06/01/2024,10:15:00,\xb5?                  "
        ",a,0M\r\n");
    Row("routes: a name alone is no route, waypoints matched trimmed, any case", 2,
        {"home|0100.000|N|00100.000|E|||LOWER|a", " HOME |0200.000|N|00200.000|E|||FIRST|a",
         "HOME|0300.000|N|00300.000|E|||SECOND|a", "3.0=NAMED BUT EMPTY", "20.1=HOME",
         "20.2=Home  ", "5.0=FIVE", "5.1=ZZ"},
        "RN,05,FIVE\r\nRP,DM,ZZ, 00.00000, 000.00000,06/01/2024,10:15:00,\r\n"
        "RN,20\r\nRP,DM,HOME, 02.00000, 002.00000,06/01/2024,10:15:00,FIRST\r\n"
        "RP,DM,Home  , 00.00000, 000.00000,06/01/2024,10:15:00,\r\n");
}

void tst_FileWriter::fileText()
{
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    QFETCH(QByteArray, text);
    Lists lists;
    for (const QString& row : rows) {
        const QStringList slot = row.split(QRegularExpression("[.=]"));
        if (!row.contains(u'='))
            lists.Of(ListKind(kind == 2 ? 1 : kind)).AddRow(row.split(u'|'));
        else if (slot[1] == u"0")
            lists.routes.SetName(slot[0].toInt(), slot[2]);
        else
            lists.routes.AddPoint(slot[0].toInt(), slot[2]);
    }
    QCOMPARE(FileText(ListKind(kind), lists, StampOf(kMoment)), "Datum,WGS84,WGS84\r\n" + text);
}

// `before` is the file before the save (null: none), `after` what it holds then, "%" standing
// for the example file of `kind`; "full.txt" is on a disk that lets files grow to 100 bytes only.
void tst_FileWriter::save_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::addColumn<FileStatus>("result");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("name");
    auto Row = [](const char* name, int kind, const QByteArray& before, FileExistsAnswer answer,
                  FileStatus result, const QByteArray& after, const QString& file = "f.txt") {
        QTest::newRow(name) << kind << before << answer << result << after << file;
    };
    using A = FileExistsAnswer;
    using R = FileStatus;
    Row("new waypoint file", 1, QByteArray(), A::Cancel, R::Written, "%");
    Row("new route file", 2, QByteArray(), A::Cancel, R::Written, "%");
    Row("new track file", 3, QByteArray(), A::Cancel, R::Written, "%");
    Row("append", 1, "%", A::Append, R::Written, "%%");
    Row("append after a last line without line end", 1, "old", A::Append, R::Written, "old\r\n%");
    Row("append to an empty file", 1, "", A::Append, R::Written, "%");
    Row("overwrite", 3, "old\r\n", A::Overwrite, R::Written, "%");
    Row("cancel", 1, "old\r\n", A::Cancel, R::Cancelled, "old\r\n");
    Row("no such folder", 3, QByteArray(), A::Overwrite, R::Failed, QByteArray(), "no/f.txt");
    Row("a folder", 3, QByteArray(), A::Overwrite, R::Failed, QByteArray(), "");
#ifdef Q_OS_UNIX
    Row("disk full, append", 3, "%", A::Append, R::Failed, "%", "full.txt");
    Row("disk full, overwrite", 3, "%", A::Overwrite, R::Failed, "%", "full.txt");
#endif
}

void tst_FileWriter::save()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, before);
    QFETCH(FileExistsAnswer, answer);
    QFETCH(FileStatus, result);
    QFETCH(QByteArray, after);
    QFETCH(QString, name);
    Lists lists; // route points take their positions from the waypoints
    ReaderState reader;
    ScriptedInteraction ui;
    for (int loaded = 1; loaded <= 3; ++loaded)
        Load(ListKind(loaded), kData + kExamples[loaded], lists, ui, reader);
    const QByteArray example = ReadBytes(kData + kExamples[kind]);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!before.isNull())
        QVERIFY(WriteBytes(path, before.replace("%", example)));
    ui.ExpectFileExists(answer);
    const bool diskFull = name == u"full.txt";
    if (diskFull && !LimitFileSize(100))
        QSKIP("this system cannot play a full disk");
    const FileOutcome saved = SaveListFile(ListKind(kind), path, lists, ui, kMoment);
    if (diskFull)
        LimitFileSize(std::nullopt);
    QCOMPARE(saved.status, result);
    // Every record but the datum line, in the file the save wrote.
    if (result == FileStatus::Written && before.isNull())
        QCOMPARE(saved.count, ReadBytes(path).count('\n') - 1);
    QVERIFY(ui.unexpected.isEmpty());
    QCOMPARE(ui.fileExistsTexts,
             before.isNull() ? QStringList() : QStringList{path + "\n already exists!\n"});
    const QString failed = QFileInfo(path).absoluteFilePath() + "\r\n could not be written: ";
    QCOMPARE(ui.MessageTexts().replaceInStrings(QRegularExpression(": .*$"), ": "),
             result == FileStatus::Failed ? QStringList{failed} : QStringList());
    QCOMPARE(ReadBytes(path), after.replace("%", example));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             after.isNull() ? QStringList() : QStringList{name});
}

// Every position in range, whatever decimals of minutes it carries, is read back from the file
// it is saved to, minutes that round up to 60 carrying into the degrees. The sweep walks each
// degree in steps of a little under 0.3 minutes, and around 0, 30 and 60 minutes where the
// rounding carries. Waypoints, routes and track share the position code both ways.
void tst_FileWriter::positionsReadBack()
{
    for (const int decimals : {3, 5}) {
        const long long scale = decimals == 3 ? 1000 : 100000; // units of a minute
        const long long step = scale / 1000, perDegree = 60 * scale;
        std::vector<long long> minutes; // within a degree
        for (long long m = 0; m < perDegree; m += 299 * step + decimals - 3)
            minutes.push_back(m);
        for (const long long edge : {0LL, 30 * scale, perDegree}) {
            for (long long d = -2 * step; d <= 2 * step; d += std::max(1LL, step / 2))
                if (edge + d >= 0 && edge + d < perDegree)
                    minutes.push_back(edge + d);
        }
        // The text of `units`, and what the file gives back: thousandths, halves to even.
        const auto text = [&](long long units, int degreeDigits, long long unit, int places) {
            return QStringLiteral("%1%2.%3")
                .arg(units / (60 * unit), degreeDigits, 10, QChar(u'0'))
                .arg(units % (60 * unit) / unit, 2, 10, QChar(u'0'))
                .arg(units % unit, places, 10, QChar(u'0'));
        };
        const auto readBack = [&](long long units, int degreeDigits) {
            long long thousandths = units / step;
            const long long rest = units % step;
            if (2 * rest > step || (2 * rest == step && thousandths % 2 == 1))
                ++thousandths;
            return text(thousandths, degreeDigits, 1000, 3);
        };
        QStringList expected;
        std::vector<QStringList> rows;
        for (int degree = 0; degree <= 180; ++degree) {
            for (size_t i = 0; i < minutes.size(); ++i) {
                const long long lon = degree * perDegree + minutes[i];
                // Latitudes walk their own range at the same time.
                const long long lat = (degree % 91) * perDegree + minutes[(i * 7) % minutes.size()];
                if (lon > 180 * perDegree || lat > 90 * perDegree)
                    continue;
                const QString ns = i % 2 ? "S" : "N", we = i % 3 ? "W" : "E";
                rows.push_back({QString(), text(lat, 2, scale, decimals), ns,
                                text(lon, 3, scale, decimals), we}); // no name
                // Nothing south of or west of zero: that reads back as north and east.
                const QString latBack = readBack(lat, 2), lonBack = readBack(lon, 3);
                expected << latBack + (latBack == "0000.000" ? "N" : ns) + lonBack +
                                (lonBack == "00000.000" ? "E" : we);
            }
        }
        Lists lists;
        lists.waypoints.AddRows(rows);

        QTemporaryDir dir;
        const QString path = dir.filePath("positions.txt");
        QVERIFY(WriteBytes(path, FileText(ListKind::Waypoints, lists, StampOf(kMoment))));
        Lists read;
        ReaderState reader;
        ScriptedInteraction ui; // an invalid record would be a question it does not expect
        Load(ListKind::Waypoints, path, read, ui, reader);
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.value(0)));
        const ListModel& back = read.waypoints;
        QCOMPARE(back.Count(), int(rows.size()));
        for (int row = 0; row < back.Count(); ++row) {
            using namespace WaypointColumn;
            const QString got = back.Text(row, Latitude) + back.Text(row, NS) +
                                back.Text(row, Longitude) + back.Text(row, WE);
            if (got != expected[row])
                QFAIL(qPrintable(rows[size_t(row)].join(u' ') + " -> " + got));
        }
    }
}

QTEST_GUILESS_MAIN(tst_FileWriter)
#include "tst_FileWriter.moc"
