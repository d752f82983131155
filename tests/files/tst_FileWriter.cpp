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
    void loadThenSaveGivesTheSameFile_data();
    void loadThenSaveGivesTheSameFile();
    void lineRules_data();
    void lineRules();
    void routeRules();
    void randomListsSurviveARoundTrip();
    void fileDialogs_data();
    void fileDialogs();
    void failedSaveLeavesTheFileWhole_data();
    void failedSaveLeavesTheFileWhole();

private:
    void LoadExamples();

    Lists lists_;
    ReaderState reader_;
};

namespace {

const QString kData = QStringLiteral(NAVORA_TEST_DATA "/files/");

QDateTime ExampleMoment()
{
    return QDateTime(QDate(2024, 6, 1), QTime(10, 15, 0));
}

} // namespace

void tst_FileWriter::init()
{
    for (ListModel* list : {&lists_.waypoints, &lists_.routes, &lists_.track})
        list->Clear();
    lists_.routeTable.ClearRouteTable();
}

void tst_FileWriter::LoadExamples()
{
    ScriptedInteraction ui;
    for (const char* name : {"waypoints.txt", "routes.txt", "track.txt"})
        Load(ListKind(lists_.waypoints.Count() ? (lists_.routes.Count() ? 3 : 2) : 1), kData + name,
             lists_, ui, reader_);
    QVERIFY(ui.messages.empty() && lists_.track.Count() == 2);
}

void tst_FileWriter::loadThenSaveGivesTheSameFile_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::newRow("waypoints") << 1 << kData + "waypoints.txt";
    QTest::newRow("routes") << 2 << kData + "routes.txt";
    QTest::newRow("track") << 3 << kData + "track.txt";
}

void tst_FileWriter::loadThenSaveGivesTheSameFile()
{
    QFETCH(int, kind);
    QFETCH(QString, file);
    LoadExamples(); // the route points take their positions from the waypoints
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    ScriptedInteraction ui;
    ui.ExpectFileToSave(saved);
    QCOMPARE(SaveListFile(ListKind(kind), lists_, ui, &ExampleMoment), SaveResult::Saved);
    QCOMPARE(ReadBytes(saved), ReadBytes(file));
    QVERIFY(ui.fileExistsTexts.isEmpty() && ui.messages.empty());
    QCOMPARE(ui.status[StatusPanel::Settings],
             kind == 3 ? QStringLiteral("2 Trackpoints written to file") : QString());
}

// One row of a list written alone; `line` is its record line.
void tst_FileWriter::lineRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("short name, long description")
        << 1 << "AB|0000.000|S|18000.000|E|0000001|F|DESCRIPTION OF 25 LETTERS|t"
        << QByteArray("WP,DM,AB   ,-00.00000, 180.00000,06/01/2024,10:15:00,DESCRIPTION OF 25 LE,t,"
                      "0000001F");
    QTest::newRow("long name is cut") << 1 << "ABCDEFGH|0100.000|N|00100.000|E|0000001|M||b"
                                      << QByteArray("WP,DM,ABCDEF, 01.00000, 001.00000,06/01/2024,"
                                                    "10:15:00,                    ,b,0000001M");
    QTest::newRow("empty track time and altitude")
        << 3 << "0001|T|0100.000|N|00100.000|W||||V"
        << QByteArray("TP,DM, 01.00000,-001.00000,06/01/2024,10:15:00,1,0000000M,V,T");
    QTest::newRow("8-bit text and beyond")
        << 1 << QString::fromLatin1("CAF\xc9|0000.000|N|00000.000|E|0|M|") + QChar(0x20AC) + "|a"
        << QByteArray(
               "WP,DM,CAF\xc9  , 00.00000, 000.00000,06/01/2024,10:15:00,?                   "
               ",a,0M");
}

void tst_FileWriter::lineRules()
{
    QFETCH(int, kind);
    QFETCH(QString, row);
    QFETCH(QByteArray, line);
    lists_.Of(ListKind(kind)).AddRow(row.split(u'|'));
    QCOMPARE(FileText(ListKind(kind), lists_, StampOf(ExampleMoment())),
             "Datum,WGS84,WGS84\r\n" + line + "\r\n");
}

void tst_FileWriter::routeRules()
{
    lists_.waypoints.AddRow(QString("home|0100.000|N|00100.000|E|||LOWER|a").split(u'|'));
    lists_.waypoints.AddRow(QString(" HOME |0200.000|N|00200.000|E|||FIRST|a").split(u'|'));
    lists_.waypoints.AddRow(QString("HOME|0300.000|N|00300.000|E|||SECOND|a").split(u'|'));
    RouteTable& table = lists_.routeTable;
    table.SetSlot(3, 0, "NAMED BUT EMPTY");
    table.SetSlot(3, 2, "GAP");
    table.SetSlot(20, 1, "HOME");
    table.SetSlot(20, 2, "Home  ");
    table.SetSlot(20, 4, "AFTER A GAP");
    table.SetSlot(21, 1, "NEVER");
    QCOMPARE(FileText(ListKind::Routes, lists_, StampOf(ExampleMoment())),
             QByteArray("Datum,WGS84,WGS84\r\n"
                        "RN,20\r\n"
                        "RP,DM,HOME, 02.00000, 002.00000,06/01/2024,10:15:00,FIRST\r\n"
                        "RP,DM,Home  , 00.00000, 000.00000,06/01/2024,10:15:00,\r\n"));
}

void tst_FileWriter::randomListsSurviveARoundTrip()
{
    QRandomGenerator random(20240601);
    auto position = [&](int degreeDigits, int maxDegrees, const char* hemispheres) {
        const int thousandths = random.bounded(60000);
        return ZeroPad(random.bounded(maxDegrees), degreeDigits) + ZeroPad(thousandths / 1000, 2) +
               u'.' + ZeroPad(thousandths % 1000, 3) + u'|' + hemispheres[random.bounded(2)];
    };
    Lists written;
    for (int i = 0; i < 300; ++i) {
        written.waypoints.AddRow(QStringList{
            QStringLiteral("W%1").arg(i), position(2, 90, "NS"), position(3, 180, "EW"),
            ZeroPad(random.bounded(9999999), 7) + "|F", QStringLiteral("POINT %1").arg(i * 7),
            QString(QChar('a' + random.bounded(20)))}
                                     .join(u'|')
                                     .split(u'|'));
        written.track.AddRow(QStringList{
            ZeroPad(i + 1, 4), QStringLiteral("TRK%1").arg(i % 3), position(2, 90, "NS"),
            position(3, 180, "EW"), ZeroPad(random.bounded(99999), 7) + "|M",
            QStringLiteral("12:%1:00 ").arg(i % 60, 2, 10, QChar(u'0')), "A"}
                                 .join(u'|')
                                 .split(u'|'));
    }
    for (int route = 1; route <= 20; ++route) {
        written.routeTable.SetSlot(route, 0, QStringLiteral("ROUTE %1").arg(route));
        for (int point = 1; point <= 31; ++point)
            written.routeTable.SetSlot(route, point, ZeroPad(route * 100 + point, 6));
    }
    QTemporaryDir dir;
    for (const ListKind kind : {ListKind::Waypoints, ListKind::Track, ListKind::Routes}) {
        const QString path = dir.filePath(QStringLiteral("random%1.txt").arg(int(kind)));
        ScriptedInteraction ui;
        ui.ExpectFileToSave(path);
        QCOMPARE(SaveListFile(kind, written, ui, &ExampleMoment), SaveResult::Saved);
        Lists read;
        Load(kind, path, read, ui, reader_);
        QVERIFY(ui.unexpected.isEmpty() && ui.messages.empty());
        if (kind != ListKind::Routes) {
            QCOMPARE(Rows(read.Of(kind)), Rows(written.Of(kind)));
            continue;
        }
        QCOMPARE(read.routes.Count(), 20 * 32);
        for (int route = 1; route <= 20; ++route)
            for (int slot = 0; slot < RouteTable::kSlots; ++slot)
                QCOMPARE(read.routeTable.Slot(route, slot), written.routeTable.Slot(route, slot));
    }
}

// `before` is the file's content before the save (none: no such file),
// `answer` the file-exists answer, `after` what the file then holds, with
// "%" standing for the saved waypoint example.
void tst_FileWriter::fileDialogs_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << FileExistsAnswer::Cancel << QByteArray("%");
    QTest::newRow("append") << QByteArray("%") << FileExistsAnswer::Append << QByteArray("%%");
    QTest::newRow("append after a last line without line end")
        << QByteArray("old") << FileExistsAnswer::Append << QByteArray("old\r\n%");
    QTest::newRow("append to an empty file")
        << QByteArray("") << FileExistsAnswer::Append << QByteArray("%");
    QTest::newRow("overwrite") << QByteArray("old\r\n") << FileExistsAnswer::Overwrite
                               << QByteArray("%");
    QTest::newRow("cancel") << QByteArray("old\r\n") << FileExistsAnswer::Cancel
                            << QByteArray("old\r\n");
}

void tst_FileWriter::fileDialogs()
{
    QFETCH(QByteArray, before);
    QFETCH(FileExistsAnswer, answer);
    QFETCH(QByteArray, after);
    LoadExamples();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("exists.txt"));
    const QByteArray example = ReadBytes(kData + "waypoints.txt");
    if (!before.isNull())
        QVERIFY(WriteBytes(path, QByteArray(before).replace("%", example)));
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    if (!before.isNull())
        ui.ExpectFileExists(answer);
    SaveListFile(ListKind::Waypoints, lists_, ui, &ExampleMoment);
    QVERIFY(ui.AllScriptUsed() && ui.unexpected.isEmpty() && ui.messages.empty());
    QCOMPARE(ui.fileExistsTexts,
             before.isNull() ? QStringList() : QStringList{path + "\n already exists!\n"});
    const qsizetype parts = after.count('%');
    QCOMPARE(ReadBytes(path), after.replace("%", example));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"exists.txt"});

    // Read back, an appended file gives the records of every part.
    ScriptedInteraction reading;
    Load(ListKind::Waypoints, path, lists_, reading, reader_);
    QCOMPARE(lists_.waypoints.Count(), parts ? int(parts) * 2 : 2);
}

// A save that cannot be done is reported and leaves an existing file whole.
void tst_FileWriter::failedSaveLeavesTheFileWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("no such folder") << "missing/file.txt" << FileExistsAnswer::Overwrite << false;
    QTest::newRow("a folder") << "" << FileExistsAnswer::Overwrite << false;
#ifdef Q_OS_UNIX
    QTest::newRow("disk full, append") << "old.txt" << FileExistsAnswer::Append << true;
    QTest::newRow("disk full, overwrite") << "old.txt" << FileExistsAnswer::Overwrite << true;
#endif
}

void tst_FileWriter::failedSaveLeavesTheFileWhole()
{
    QFETCH(QString, name);
    QFETCH(FileExistsAnswer, answer);
    QFETCH(bool, diskFull);
    for (int i = 0; i < 2000; ++i)
        lists_.track.AddRow(QString("|T|5130.500|N|00012.345|W|1|M||A").split(u'|'));
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QByteArray old = ReadBytes(kData + "track.txt");
    if (diskFull)
        QVERIFY(WriteBytes(path, old));
    ScriptedInteraction ui;
    ui.ExpectFileToSave(path);
    ui.ExpectFileExists(answer);
    SaveResult result;
    if (diskFull) {
#ifdef Q_OS_UNIX
        // Files may not grow past a few hundred bytes, like a disk that fills
        // up in the middle of the save (this holds for root as well).
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = rlim_t(old.size() + 300);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        result = SaveListFile(ListKind::Track, lists_, ui, &ExampleMoment);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
#endif
    } else {
        result = SaveListFile(ListKind::Track, lists_, ui, &ExampleMoment);
    }
    QCOMPARE(result, SaveResult::Failed);
    QCOMPARE(ui.messages.size(), size_t(1));
    QVERIFY(ui.messages.front().text.startsWith(QFileInfo(path).absoluteFilePath() +
                                                "\r\n could not be written: "));
    QCOMPARE(ui.messages.front().icon, MessageIcon::Exclamation);
    QVERIFY(ui.status.empty()); // no count for a save that failed
    if (diskFull) {
        QCOMPARE(ReadBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.txt"});
    }
}

QTEST_GUILESS_MAIN(tst_FileWriter)
#include "tst_FileWriter.moc"
