#include "FileTestSupport.h"
#include "app/TextNumber.h"
#include "files/FileWriter.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

class tst_FileWriter : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void stampIsZeroPadded();
    void examplesByteForByte_data();
    void examplesByteForByte();
    void lineRules_data();
    void lineRules();
    void routeRules();
    void loadThenSaveGivesTheSameFile_data();
    void loadThenSaveGivesTheSameFile();
    void randomListsSurviveARoundTrip();
    void newFile();
    void existingFile_data();
    void existingFile();
    void appendKeepsTheLastLineApart();
    void failedSaveIsReported_data();
    void failedSaveIsReported();
    void failedWriteLeavesTheFileWhole_data();
    void failedWriteLeavesTheFileWhole();

private:
    QString Data(const char* name) const
    {
        return QStringLiteral(NAVORA_TEST_DATA "/files/") + QLatin1String(name);
    }
    void FillExamples();

    QTemporaryDir dir_;
    Lists lists_;
    ReaderState reader_;
};

namespace {

const SaveStamp kStamp{QStringLiteral("06/01/2024"), QStringLiteral("10:15:00")};

QDateTime ExampleMoment()
{
    return QDateTime(QDate(2024, 6, 1), QTime(10, 15, 0));
}

} // namespace

void tst_FileWriter::init()
{
    lists_.waypoints.Clear();
    lists_.routes.Clear();
    lists_.track.Clear();
    lists_.routeTable.ClearRouteTable();
}

void tst_FileWriter::FillExamples()
{
    lists_.waypoints.AddRow(
        {"HOME", "5130.500", "N", "00012.345", "W", "0000123", "M", "MY HOUSE", "a"});
    lists_.waypoints.AddRow(
        {"CHURCH", "5129.870", "N", "00010.200", "W", "0000098", "M", "ST MARYS", "c"});
    RouteTable& table = lists_.routeTable;
    table.SetSlot(1, 0, "TOWN");
    table.SetSlot(1, 1, "HOME  ");
    table.SetSlot(1, 2, "CHURCH");
    table.SetSlot(2, 1, "XYZ   ");
    lists_.track.AddRow(
        {"0001", "TRAK01", "5130.500", "N", "00012.345", "W", "0000123", "M", "10:15:00 ", "A"});
    lists_.track.AddRow(
        {"0002", "TRAK01", "5130.510", "N", "00012.360", "W", "0000124", "M", "10:15:10 ", "A"});
}

void tst_FileWriter::stampIsZeroPadded()
{
    const SaveStamp stamp = StampOf(QDateTime(QDate(987, 3, 4), QTime(7, 8, 9)));
    QCOMPARE(stamp.date, QStringLiteral("03/04/0987"));
    QCOMPARE(stamp.time, QStringLiteral("07:08:09"));
    QCOMPARE(StampOf(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58))).time,
             QStringLiteral("23:59:58"));
}

void tst_FileWriter::examplesByteForByte_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::newRow("waypoints") << 1 << Data("waypoints.txt");
    QTest::newRow("routes") << 2 << Data("routes.txt");
    QTest::newRow("track") << 3 << Data("track.txt");
}

void tst_FileWriter::examplesByteForByte()
{
    QFETCH(int, kind);
    QFETCH(QString, file);
    FillExamples();
    QCOMPARE(FileText(ListKind(kind), lists_, kStamp), ReadBytes(file));
}

// One row of a list written alone; `line` is its record line.
void tst_FileWriter::lineRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("short name, long description")
        << 1 << QStringList{"AB", "0000.000", "S", "18000.000",
                            "E",  "0000001",  "F", "DESCRIPTION OF 25 LETTERS",
                            "t"}
        << QByteArray("WP,DM,AB   ,-00.00000, 180.00000,06/01/2024,10:15:00,DESCRIPTION OF 25 LE,t,"
                      "0000001F");
    QTest::newRow("long name is cut")
        << 1 << QStringList{"ABCDEFGH", "0100.000", "N", "00100.000", "E", "0000001", "M", "", "b"}
        << QByteArray("WP,DM,ABCDEF, 01.00000, 001.00000,06/01/2024,10:15:00,                    "
                      ",b,0000001M");
    QTest::newRow("empty track time and altitude")
        << 3 << QStringList{"0001", "T", "0100.000", "N", "00100.000", "W", "", "", "", "V"}
        << QByteArray("TP,DM, 01.00000,-001.00000,06/01/2024,10:15:00,1,0000000M,V,T");
    QTest::newRow("8-bit text") << 1 << QStringList{QString::fromLatin1("CAF\xc9"),
                                                    "0000.000",
                                                    "N",
                                                    "00000.000",
                                                    "E",
                                                    "0",
                                                    "M",
                                                    "",
                                                    "a"}
                                << QByteArray("WP,DM,CAF\xc9  , 00.00000, 000.00000,06/01/2024,"
                                              "10:15:00,                    ,a,0M");
}

void tst_FileWriter::lineRules()
{
    QFETCH(int, kind);
    QFETCH(QStringList, row);
    QFETCH(QByteArray, line);
    lists_.Of(ListKind(kind)).AddRow(row);
    QCOMPARE(FileText(ListKind(kind), lists_, kStamp), "Datum,WGS84,WGS84\r\n" + line + "\r\n");
}

void tst_FileWriter::routeRules()
{
    lists_.waypoints.AddRow({"home", "0100.000", "N", "00100.000", "E", "", "", "LOWER", "a"});
    lists_.waypoints.AddRow({" HOME ", "0200.000", "N", "00200.000", "E", "", "", "FIRST", "a"});
    lists_.waypoints.AddRow({"HOME", "0300.000", "N", "00300.000", "E", "", "", "SECOND", "a"});
    RouteTable& table = lists_.routeTable;
    table.SetSlot(3, 0, "NAMED BUT EMPTY");
    table.SetSlot(3, 2, "GAP");
    table.SetSlot(20, 1, "HOME");
    table.SetSlot(20, 2, "Home  ");
    table.SetSlot(20, 4, "AFTER A GAP");
    table.SetSlot(21, 1, "NEVER");
    QCOMPARE(FileText(ListKind::Routes, lists_, kStamp),
             QByteArray("Datum,WGS84,WGS84\r\n"
                        "RN,20\r\n"
                        "RP,DM,HOME, 02.00000, 002.00000,06/01/2024,10:15:00,FIRST\r\n"
                        "RP,DM,Home  , 00.00000, 000.00000,06/01/2024,10:15:00,\r\n"));
}

void tst_FileWriter::loadThenSaveGivesTheSameFile_data()
{
    examplesByteForByte_data();
}

void tst_FileWriter::loadThenSaveGivesTheSameFile()
{
    QFETCH(int, kind);
    QFETCH(QString, file);
    ScriptedInteraction ui;
    // The route points take their positions from the waypoint list.
    Load(ListKind::Waypoints, Data("waypoints.txt"), lists_, ui, reader_);
    Load(ListKind(kind), file, lists_, ui, reader_);
    QVERIFY(ui.messages.empty());

    const QString saved = dir_.filePath(QStringLiteral("saved%1.txt").arg(kind));
    ui.ExpectFileToSave(saved);
    QCOMPARE(SaveListFile(ListKind(kind), lists_, ui, &ExampleMoment), SaveResult::Saved);
    QCOMPARE(ReadBytes(saved), ReadBytes(file));
}

void tst_FileWriter::randomListsSurviveARoundTrip()
{
    QRandomGenerator random(20240601);
    auto digits = [&](int degreeDigits, int maxDegrees) {
        const int thousandths = random.bounded(60000);
        return ZeroPad(random.bounded(maxDegrees), degreeDigits) + ZeroPad(thousandths / 1000, 2) +
               u'.' + ZeroPad(thousandths % 1000, 3);
    };
    auto pick = [&](const char* letters) { return QString(QChar(letters[random.bounded(2)])); };
    Lists written;
    for (int i = 0; i < 300; ++i) {
        written.waypoints.AddRow({QStringLiteral("W%1").arg(i), digits(2, 90), pick("NS"),
                                  digits(3, 180), pick("EW"), ZeroPad(random.bounded(9999999), 7),
                                  pick("MF"), QStringLiteral("POINT %1").arg(i * 7),
                                  QString(QChar('a' + random.bounded(20)))});
        written.track.AddRow(
            {ZeroPad(i + 1, 4), QStringLiteral("TRK%1").arg(i % 3), digits(2, 90), pick("NS"),
             digits(3, 180), pick("EW"), ZeroPad(random.bounded(99999), 7), pick("MF"),
             QStringLiteral("12:%1:00 ").arg(i % 60, 2, 10, QChar(u'0')), pick("AV")});
    }
    for (int route = 1; route <= 20; ++route) {
        written.routeTable.SetSlot(route, 0, QStringLiteral("ROUTE %1").arg(route));
        for (int point = 1; point <= 31; ++point)
            written.routeTable.SetSlot(route, point, ZeroPad(route * 100 + point, 6));
    }
    for (const ListKind kind : {ListKind::Waypoints, ListKind::Track, ListKind::Routes}) {
        const QString path = dir_.filePath(QStringLiteral("random%1.txt").arg(int(kind)));
        ScriptedInteraction ui;
        ui.ExpectFileToSave(path);
        QCOMPARE(SaveListFile(kind, written, ui, &ExampleMoment), SaveResult::Saved);
        Lists read;
        Load(kind, path, read, ui, reader_);
        QVERIFY(ui.unexpected.isEmpty() && ui.messages.empty());
        if (kind == ListKind::Routes) {
            QCOMPARE(read.routes.Count(), 20 * 32);
            for (int route = 1; route <= 20; ++route)
                for (int slot = 0; slot < RouteTable::kSlots; ++slot)
                    QCOMPARE(read.routeTable.Slot(route, slot),
                             written.routeTable.Slot(route, slot));
        } else {
            QCOMPARE(Rows(read.Of(kind)), Rows(written.Of(kind)));
        }
    }
}

void tst_FileWriter::newFile()
{
    FillExamples();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.txt"));
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    QCOMPARE(SaveListFile(ListKind::Track, lists_, ui, &ExampleMoment), SaveResult::Saved);
    QVERIFY(ui.fileExistsTexts.isEmpty());
    QCOMPARE(ReadBytes(path), ReadBytes(Data("track.txt")));
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("2 Trackpoints written to file"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"new.txt"});

    // The dialog's cancel writes nothing.
    ScriptedInteraction cancel;
    cancel.ExpectFileToSave(QString());
    QCOMPARE(SaveListFile(ListKind::Track, lists_, cancel, &ExampleMoment), SaveResult::Cancelled);
    QVERIFY(cancel.status.empty() && cancel.messages.empty());
}

void tst_FileWriter::existingFile_data()
{
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::addColumn<QByteArray>("after");
    const QByteArray old = "old\r\n";
    const QByteArray records = ReadBytes(Data("waypoints.txt"));
    QTest::newRow("append") << FileExistsAnswer::Append << old + records;
    QTest::newRow("overwrite") << FileExistsAnswer::Overwrite << records;
    QTest::newRow("cancel") << FileExistsAnswer::Cancel << old;
}

void tst_FileWriter::existingFile()
{
    QFETCH(FileExistsAnswer, answer);
    QFETCH(QByteArray, after);
    FillExamples();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("exists.txt"));
    QVERIFY(WriteBytes(path, "old\r\n"));
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    ui.ExpectFileExists(answer);
    SaveListFile(ListKind::Waypoints, lists_, ui, &ExampleMoment);
    QCOMPARE(ui.fileExistsTexts, QStringList{path + "\n already exists!\n"});
    QCOMPARE(ReadBytes(path), after);
    QVERIFY(ui.messages.empty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"exists.txt"});
}

void tst_FileWriter::appendKeepsTheLastLineApart()
{
    FillExamples();
    const QString path = dir_.filePath(QStringLiteral("twice.txt"));
    QVERIFY(WriteBytes(path, ReadBytes(Data("waypoints.txt")).chopped(2))); // no final CR LF
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    ui.ExpectFileExists(FileExistsAnswer::Append);
    QCOMPARE(SaveListFile(ListKind::Waypoints, lists_, ui, &ExampleMoment), SaveResult::Saved);
    QCOMPARE(ReadBytes(path), ReadBytes(Data("waypoints.txt")).repeated(2));

    // Read back, both parts come in.
    Lists read;
    Load(ListKind::Waypoints, path, read, ui, reader_);
    QCOMPARE(read.waypoints.Count(), 4);
    QCOMPARE(ui.status[StatusPanel::Settings], QStringLiteral("4 Records read"));
    QFile::remove(path);
}

void tst_FileWriter::failedSaveIsReported_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::newRow("no such folder")
        << QStringLiteral("missing/folder/file.txt") << FileExistsAnswer::Overwrite;
    QTest::newRow("a folder") << QString() << FileExistsAnswer::Overwrite;
    if (QFile::exists(QStringLiteral("/dev/full")))
        QTest::newRow("full device, append")
            << QStringLiteral("/dev/full") << FileExistsAnswer::Append;
}

void tst_FileWriter::failedSaveIsReported()
{
    QFETCH(QString, path);
    QFETCH(FileExistsAnswer, answer);
    if (path.isEmpty())
        path = dir_.path();
    else if (!path.startsWith(u'/'))
        path = dir_.filePath(path);
    FillExamples();
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    ui.ExpectFileExists(answer);
    QCOMPARE(SaveListFile(ListKind::Track, lists_, ui, &ExampleMoment), SaveResult::Failed);
    QCOMPARE(ui.messages.size(), size_t(1));
    QVERIFY(ui.messages.front().text.startsWith(QFileInfo(path).absoluteFilePath() +
                                                "\r\n could not be written: "));
    QCOMPARE(ui.messages.front().icon, MessageIcon::Exclamation);
    QVERIFY(ui.status.empty()); // no count for a save that failed
}

void tst_FileWriter::failedWriteLeavesTheFileWhole_data()
{
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::newRow("append") << FileExistsAnswer::Append;
    QTest::newRow("overwrite") << FileExistsAnswer::Overwrite;
}

void tst_FileWriter::failedWriteLeavesTheFileWhole()
{
#ifdef Q_OS_UNIX
    QFETCH(FileExistsAnswer, answer);
    for (int i = 0; i < 2000; ++i)
        lists_.track.AddRow({"", "T", "5130.500", "N", "00012.345", "W", "1", "M", "", "A"});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    const QByteArray old = ReadBytes(Data("track.txt"));
    QVERIFY(WriteBytes(path, old));

    // Files may not grow past a few hundred bytes, like a disk that fills up
    // in the middle of the save (this holds for root as well).
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = rlim_t(old.size() + 300);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    ui.ExpectFileExists(answer);
    const SaveResult result = SaveListFile(ListKind::Track, lists_, ui, &ExampleMoment);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(result, SaveResult::Failed);
    QCOMPARE(ui.messages.size(), size_t(1));
    QCOMPARE(ReadBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.txt"});
#else
    QSKIP("needs a file size limit");
#endif
}

QTEST_GUILESS_MAIN(tst_FileWriter)
#include "tst_FileWriter.moc"
