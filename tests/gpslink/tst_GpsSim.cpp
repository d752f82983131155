#include "gpslink/Platform.h"
#include "gpslink/Sentence.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// navora-gpssim started with a memory file and a log of its own, and the
// host's end of its device opened as a serial port.
class SimulatedReceiver
{
public:
    SimulatedReceiver(const QStringList& arguments, const QString& memory = QString())
    {
        if (!memory.isNull())
            WriteFile(MemoryPath(), memory.toLatin1());
        process_.setProgram(QStringLiteral(NAVORA_GPSSIM));
        process_.setArguments(arguments + QStringList{QStringLiteral("--memory"), MemoryPath(),
                                                      QStringLiteral("--log"), LogPath()});
        process_.start();
        if (process_.waitForStarted() && process_.waitForReadyRead(10000))
            device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        port_.setPortName(device_);
    }
    ~SimulatedReceiver()
    {
        port_.close();
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }

    bool Open() { return !device_.isEmpty() && port_.open(QIODevice::ReadWrite); }
    void Close() { port_.close(); }

    // Sends `text` with CR LF; a body ending in "*" gets its checksum first.
    void Send(const QString& text)
    {
        lastSent_ = text.endsWith(u'*') ? FinishSentence(text) : text + QStringLiteral("\r\n");
        port_.write(lastSent_.toLatin1());
        port_.waitForBytesWritten(1000);
        lastSent_.chop(2);
    }

    // The next line from its "$", without CR LF; empty after `ms` of silence.
    QString ReadLine(int ms)
    {
        const QDeadlineTimer deadline(ms);
        for (;;) {
            const qsizetype end = buffer_.indexOf("\r\n");
            if (end >= 0) {
                QByteArray line = buffer_.left(end);
                buffer_.remove(0, end + 2);
                const qsizetype dollar = line.indexOf('$');
                strayBytes_ = dollar < 0 ? line.size() : dollar;
                lastReceived_ = QString::fromLatin1(line.mid(qMax<qsizetype>(dollar, 0)));
                return lastReceived_;
            }
            if (deadline.hasExpired())
                return QString();
            if (!port_.waitForReadyRead(int(deadline.remainingTime())) &&
                port_.bytesAvailable() == 0)
                return QString();
            buffer_ += port_.readAll();
        }
    }

    QString Device() const { return device_; }
    QString LastSent() const { return lastSent_; }
    QString LastReceived() const { return lastReceived_; }
    qsizetype StrayBytes() const { return strayBytes_; }
    QSerialPort& Port() { return port_; }
    QProcess& Process() { return process_; }
    QString MemoryPath() const { return dir_.filePath(QStringLiteral("memory.txt")); }
    QString Memory() const { return QString::fromLatin1(ReadFile(MemoryPath())); }
    QStringList Received() const
    {
        return QString::fromLatin1(ReadFile(LogPath())).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    QString LogPath() const { return dir_.filePath(QStringLiteral("received.log")); }
    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QProcess process_;
    QSerialPort port_;
    QString device_;
    QByteArray buffer_;
    QString lastSent_;
    QString lastReceived_;
    qsizetype strayBytes_ = 0;
};

constexpr int kAnswerMs = 3000;
// Long enough for any answer to arrive, and shorter than the 1 s resend time
// the scripts use, so a slow test is not mistaken for a missing
// acknowledgement.
constexpr int kSilenceMs = 450;

QString Finished(const QString& text)
{
    return text.endsWith(u'*') ? FinishSentence(text).chopped(2) : text;
}

const QString kHome = QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a");
const QString kPub = QStringLiteral("$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,c");
const QString kWork = QStringLiteral("$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,,f");
const QString kPoint =
    QStringLiteral("$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,061226");

QString Lines(const QStringList& lines)
{
    return lines.isEmpty() ? QStringLiteral("") : lines.join(u'\n') + u'\n';
}

} // namespace

class tst_GpsSim : public QObject
{
    Q_OBJECT
private slots:
    void exchange_data();
    void exchange();
    void receivedLinesAreLogged();
    void deviceSurvivesReopening();
    void hangupClosesTheDevice();
    void nmeaStreamsUntilStop();
    void terminationSavesAndRemovesLink();
    void sampleMemoryIsConsistent();
    void pseudoTerminalHasNoErrorCounters();
};

// Each script line: "> text" sends (a body ending in "*" gets its checksum),
// "> ack" acknowledges the last line received; "< text" expects that line
// next, "< ack" the acknowledgement of the last line sent, "<bad text" a line
// starting with text whose checksum is wrong, "<not text" a line of the same
// type that differs from it; "." expects silence; "~" checks that stray bytes
// came before the last line. `stored`, unless null, is the memory file's
// content at the end.
void tst_GpsSim::exchange_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("memory");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("stored");

    const QString version = QStringLiteral("$PMGNVER,025,4.02,MAP 410*");
    const QString acks = QStringLiteral("--acks-on");
    const QStringList quick{QStringLiteral("--resend-seconds"), QStringLiteral("1")};
    const QString none;

    QTest::newRow("version, acknowledgements off")
        << quick << none << QStringList{"> $PMGNCMD,VERSION*28", "< " + version, "."} << none;
    QTest::newRow("version, acknowledgements on")
        << quick + QStringList{acks} << none
        << QStringList{"> $PMGNCMD,VERSION*28", "< $PMGNCSM,28*", "< " + version, "> ack", "."}
        << none;
    QTest::newRow("handon unacknowledged, handoff acknowledged")
        << quick << none
        << QStringList{"> $PMGNCMD,HANDON*",
                       ".",
                       "> $PMGNCMD,VERSION*28",
                       "< $PMGNCSM,28*",
                       "< " + version,
                       "> ack",
                       "> $PMGNCMD,HANDOFF*",
                       "< $PMGNCSM,3E*",
                       "> $PMGNCMD,VERSION*28",
                       "< " + version,
                       "."}
        << none;
    QTest::newRow("model, name and software")
        << QStringList{"--model", "030", "--model-name", "GPS 315", "--software", "1.10"} << none
        << QStringList{"> $PMGNCMD,VERSION*28", "< $PMGNVER,030,1.10,GPS 315*"} << none;
    QTest::newRow("speed command") << quick + QStringList{acks} << none
                                   << QStringList{"> $PMGNCMD,TON*", "< $PMGNCSM,27*"} << none;
    QTest::newRow("bad checksum ignored")
        << quick << none << QStringList{"> $PMGNCMD,VERSION*29", "> $PMGNCMD,VERSION", "."} << none;
    QTest::newRow("version commands ignored")
        << QStringList{"--ignore-version", "2"} << none
        << QStringList{"> $PMGNCMD,VERSION*28", ".",           "> $PMGNCMD,VERSION*28", ".",
                       "> $PMGNCMD,VERSION*28", "< " + version}
        << none;
    QTest::newRow("silent") << QStringList{"--silent"} << none
                            << QStringList{"> $PMGNCMD,VERSION*28", "."} << none;
    QTest::newRow("noise") << QStringList{"--noise"} << none
                           << QStringList{"> $PMGNCMD,VERSION*28", "< " + version, "~"} << none;
    QTest::newRow("unknown sentence, acknowledgements on")
        << quick + QStringList{acks} << none << QStringList{"> $PMGNXYZ,1,2*", "< ack"} << none;
    QTest::newRow("unknown sentence, acknowledgements off")
        << quick << none << QStringList{"> $PMGNXYZ,1,2*", "."} << none;

    const QString twoWaypoints = Lines({kHome, kWork});
    QTest::newRow("waypoint download, acknowledged and resent")
        << quick + QStringList{acks} << twoWaypoints
        << QStringList{"> $PMGNCMD,WAYPOINT*71",
                       "< $PMGNCSM,71*",
                       "< " + kHome + "*",
                       "< " + kHome + "*",
                       "> ack",
                       "< " + kWork + "*",
                       "> $PMGNCSM,00*",
                       "< " + kWork + "*",
                       "> ack",
                       "< $PMGNCMD,END*3D",
                       "> ack",
                       "."}
        << twoWaypoints;
    QTest::newRow("waypoint download abandoned after four sendings")
        << quick + QStringList{acks} << Lines({kHome})
        << QStringList{"> $PMGNCMD,WAYPOINT*71",
                       "< $PMGNCSM,71*",
                       "< " + kHome + "*",
                       "< " + kHome + "*",
                       "< " + kHome + "*",
                       "< " + kHome + "*",
                       "."}
        << none;
    QTest::newRow("waypoint download streams without acknowledgements")
        << quick << twoWaypoints
        << QStringList{"> $PMGNCMD,WAYPOINT*71", "< " + kHome + "*", "< " + kWork + "*",
                       "< $PMGNCMD,END*3D", "."}
        << none;
    QTest::newRow("stop ends a download")
        << quick + QStringList{acks} << twoWaypoints
        << QStringList{"> $PMGNCMD,WAYPOINT*71", "< $PMGNCSM,71*", "< " + kHome + "*",
                       "> $PMGNCMD,STOP*6A",     "< $PMGNCSM,6A*", "."}
        << none;
    const QString route = QStringLiteral("$PMGNRTE,3,1,m,03,HOME TO WORK\n"
                                         "$PMGNRTE,3,2,c,03,HOME,PUB\n"
                                         "$PMGNRTE,3,3,c,03,WORK\n");
    QTest::newRow("route and track download")
        << quick << Lines({kHome, kPub, kWork}) + route + Lines({kPoint})
        << QStringList{"> $PMGNCMD,ROUTE*",
                       "< $PMGNRTE,3,1,m,03,HOME TO WORK*",
                       "< $PMGNRTE,3,2,c,03,HOME,PUB*",
                       "< $PMGNRTE,3,3,c,03,WORK,*",
                       "< $PMGNCMD,END*3D",
                       "> $PMGNCMD,TRACK*",
                       "< " + kPoint + "*",
                       "< $PMGNCMD,END*3D"}
        << none;
    QTest::newRow("second data sentence corrupted")
        << QStringList{"--corrupt-nth", "2"} << Lines({kHome, kPub, kWork})
        << QStringList{"> $PMGNCMD,WAYPOINT*71", "< " + kHome + "*", "<bad " + kPub,
                       "< " + kWork + "*", "< $PMGNCMD,END*3D"}
        << none;

    const QString homeMoved =
        QStringLiteral("$PMGNWPL,5130.000,N,00012.000,W,0000015,M,HOME,MOVED,b");
    QTest::newRow("waypoint upload")
        << quick << none
        << QStringList{"> " + kHome + "*",     "< $PMGNCSM,49*", "> " + kWork + "*",  "< ack",
                       "> " + homeMoved + "*", "< ack",          "> $PMGNCMD,END*3D", "."}
        << Lines({homeMoved, kWork});
    const QString commented = QStringLiteral("# my receiver\n") + Lines({kHome});
    QTest::newRow("end without a change keeps the file as written")
        << quick << commented << QStringList{"> $PMGNCMD,END*3D", "."} << commented;
    QTest::newRow("first acknowledgement echoes wrong")
        << quick + QStringList{"--wrong-echo", "1"} << none
        << QStringList{"> " + kHome + "*", "<not $PMGNCSM,49*", "> " + kHome + "*",
                       "< $PMGNCSM,49*"}
        << none;
    QTest::newRow("route upload") << quick + QStringList{acks} << Lines({kHome, kPub, kWork})
                                  << QStringList{"> $PMGNRTE,3,1,m,03,HOME TO WORK*",
                                                 "< $PMGNCSM,02*",
                                                 "> $PMGNRTE,3,2,c,03,HOME,PUB*",
                                                 "< $PMGNCSM,7E*",
                                                 "> $PMGNRTE,3,3,c,03,WORK*",
                                                 "< $PMGNCSM,1A*",
                                                 "."}
                                  << Lines({kHome, kPub, kWork}) + route;
    QTest::newRow("route naming an unknown waypoint")
        << quick << Lines({kHome, kWork})
        << QStringList{"> $PMGNRTE,3,1,m,03,HOME TO WORK*",
                       "< ack",
                       "> $PMGNRTE,3,2,c,03,HOME,PUB*",
                       "< $PMGNCMD,UNABLE*",
                       "> ack",
                       "."}
        << Lines({kHome, kWork});
    QTest::newRow("track upload appends")
        << quick << Lines({kPoint})
        << QStringList{"> $PMGNTRK,5131.000,N,00013.000,W,00020,M,123500.00,A,TRAK01*", "< ack",
                       "> $PMGNCMD,END*3D"}
        << Lines({kPoint, "$PMGNTRK,5131.000,N,00013.000,W,00020,M,123500.00,A,TRAK01"});
    QTest::newRow("single deletions")
        << quick << Lines({kHome, kWork}) + "$PMGNRTE,1,1,c,01,HOME,WORK\n$PMGNRTE,1,1,c,02,WORK\n"
        << QStringList{"> $PMGNDWP,HOME,*", "< ack", "> $PMGNDRT,00*", "< ack"}
        << Lines({kWork, "$PMGNRTE,1,1,c,02,WORK"});
    QTest::newRow("delete all routes")
        << quick << Lines({kHome, kPub, kWork}) + route + Lines({kPoint})
        << QStringList{"> $PMGNCMD,DELETE,ROUTES*", "< $PMGNCMD,END*3D"}
        << Lines({kHome, kPub, kWork, kPoint});
    QTest::newRow("delete all waypoints and the track, acknowledgements on")
        << quick + QStringList{acks} << Lines({kHome, kPoint})
        << QStringList{"> $PMGNCMD,DELETE,WAYPOINTS*17",
                       "< $PMGNCSM,17*",
                       "< $PMGNCMD,END*3D",
                       "> ack",
                       "> $PMGNCMD,DELETE,TRACK*",
                       "< ack",
                       "< $PMGNCMD,END*3D",
                       "> ack",
                       "."}
        << QStringLiteral("");

    QStringList full;
    for (int i = 1; i <= 500; ++i)
        full << QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,00010,M,W%1,,a")
                    .arg(i, 3, 10, QLatin1Char('0'));
    const QString replaced = QStringLiteral("$PMGNWPL,5200.000,N,00100.000,E,00050,M,W500,,b");
    const QString extra = QStringLiteral("$PMGNWPL,5200.000,N,00100.000,E,00050,M,W501,,b");
    QStringList fullAfter = full;
    fullAfter.last() = replaced;
    QTest::newRow("501st waypoint refused")
        << quick << Lines(full)
        << QStringList{"> " + extra + "*", "< $PMGNCMD,UNABLE*", "> " + replaced + "*", "< ack",
                       "> $PMGNCMD,END*3D"}
        << Lines(fullAfter);
}

void tst_GpsSim::exchange()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, memory);
    QFETCH(QStringList, script);
    QFETCH(QString, stored);

    SimulatedReceiver receiver(arguments, memory);
    QVERIFY2(receiver.Open(), qPrintable(receiver.Port().errorString()));
    for (const QString& step : script) {
        if (step == QLatin1String("> ack")) {
            receiver.Send(Acknowledgement(receiver.LastReceived()).chopped(2));
        } else if (step.startsWith(QLatin1String("> "))) {
            receiver.Send(step.mid(2));
        } else if (step == QLatin1String(".")) {
            const QString line = receiver.ReadLine(kSilenceMs);
            QVERIFY2(line.isEmpty(), qPrintable(QStringLiteral("unexpected: ") + line));
        } else if (step == QLatin1String("~")) {
            QVERIFY(receiver.StrayBytes() > 0);
        } else {
            const QString line = receiver.ReadLine(kAnswerMs);
            const QString context = step + QStringLiteral(" got ") + line;
            if (step == QLatin1String("< ack")) {
                QCOMPARE(line, Acknowledgement(receiver.LastSent()).chopped(2));
            } else if (step.startsWith(QLatin1String("<bad "))) {
                QVERIFY2(line.startsWith(step.mid(5) + u'*'), qPrintable(context));
                QVERIFY2(SentenceType(line) == QLatin1String("INV"), qPrintable(context));
            } else if (step.startsWith(QLatin1String("<not "))) {
                const QString unwanted = Finished(step.mid(5));
                QVERIFY2(line != unwanted, qPrintable(context));
                QVERIFY2(SentenceType(line) == SentenceType(unwanted), qPrintable(context));
            } else {
                QCOMPARE(line, Finished(step.mid(2)));
            }
        }
    }
    if (!stored.isNull()) {
        if (receiver.Memory() != stored)
            receiver.ReadLine(kSilenceMs); // a save may still be on its way
        QCOMPARE(receiver.Memory(), stored);
    }
}

void tst_GpsSim::receivedLinesAreLogged()
{
    SimulatedReceiver receiver({QStringLiteral("--silent")});
    QVERIFY(receiver.Open());
    receiver.Send(QStringLiteral("$PMGNCMD,TON*"));
    receiver.Send(QStringLiteral("stray$PMGNCMD,VERSION*29"));
    QVERIFY(receiver.ReadLine(kSilenceMs).isEmpty());
    QCOMPARE(receiver.Received(), QStringList({"$PMGNCMD,TON*27", "stray$PMGNCMD,VERSION*29"}));
}

void tst_GpsSim::deviceSurvivesReopening()
{
    SimulatedReceiver receiver({});
    for (int session = 0; session < 3; ++session) {
        QVERIFY2(receiver.Open(), qPrintable(receiver.Port().errorString()));
        receiver.Send(Command::Version);
        QCOMPARE(receiver.ReadLine(kAnswerMs), QStringLiteral("$PMGNVER,025,4.02,MAP 410*1F"));
        receiver.Close();
    }
    QCOMPARE(receiver.Process().state(), QProcess::Running);
}

void tst_GpsSim::hangupClosesTheDevice()
{
    SimulatedReceiver receiver({QStringLiteral("--hangup-after"), QStringLiteral("2")});
    QVERIFY(receiver.Open());
    receiver.Send(Command::Version);
    QVERIFY(!receiver.ReadLine(kAnswerMs).isEmpty());
    receiver.Send(Command::Version);
    QVERIFY(!receiver.ReadLine(kAnswerMs).isEmpty());
    QVERIFY(receiver.Process().waitForFinished(kAnswerMs));
    QCOMPARE(receiver.Process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(receiver.Process().exitCode(), 0);
    QVERIFY(!QFile::exists(receiver.Device()));
}

void tst_GpsSim::nmeaStreamsUntilStop()
{
    SimulatedReceiver receiver({QStringLiteral("--nmea")});
    QVERIFY(receiver.Open());
    QSet<QString> kinds;
    for (int i = 0; i < 4; ++i) {
        const QString line = receiver.ReadLine(kAnswerMs);
        QCOMPARE(SentenceType(line), QStringLiteral("NME"));
        const qsizetype star = line.indexOf(u'*');
        QCOMPARE(line.mid(star + 1), SentenceChecksum(line.left(star + 1)));
        kinds.insert(line.left(6));
    }
    QCOMPARE(kinds, QSet<QString>({"$GPGGA", "$GPRMC"}));
    receiver.Send(Command::Stop);
    int after = 0;
    while (!receiver.ReadLine(kSilenceMs * 2).isEmpty())
        QVERIFY2(++after < 4, "the stream goes on after STOP");
    receiver.Send(Command::Version);
    QCOMPARE(receiver.ReadLine(kAnswerMs).left(8), QStringLiteral("$PMGNVER"));
}

void tst_GpsSim::terminationSavesAndRemovesLink()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("gps"));
    SimulatedReceiver receiver({QStringLiteral("--link"), link});
    QCOMPARE(QFileInfo(link).symLinkTarget(), receiver.Device());
    QVERIFY(receiver.Open());
    receiver.Send(kHome + u'*');
    QCOMPARE(receiver.ReadLine(kAnswerMs), QStringLiteral("$PMGNCSM,49*68"));
    // Terminated before the delayed save: the memory is written on the way out.
    receiver.Process().terminate();
    QVERIFY(receiver.Process().waitForFinished(kAnswerMs));
    QCOMPARE(receiver.Process().exitCode(), 0);
    QCOMPARE(receiver.Memory(), Lines({kHome}));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void tst_GpsSim::sampleMemoryIsConsistent()
{
    QFile sample(QStringLiteral(NAVORA_TEST_DATA "/../../tools/sample-memory.txt"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    SimulatedReceiver receiver({}, QString::fromLatin1(sample.readAll()));
    QVERIFY(receiver.Open());
    QMap<QString, QStringList> received;
    for (const QString& request : {Command::Waypoint, FinishSentence(Command::RouteBody).trimmed(),
                                   FinishSentence(Command::TrackBody).trimmed()}) {
        receiver.Send(request);
        QString line;
        while ((line = receiver.ReadLine(kAnswerMs)) != Command::End) {
            QVERIFY2(!line.isEmpty(), qPrintable(request));
            QVERIFY2(SentenceType(line) != QLatin1String("INV"), qPrintable(line));
            received[SentenceType(line)] << line;
        }
    }
    QSet<QString> names;
    for (const QString& waypoint : received.value(QStringLiteral("WPL"))) {
        const QStringList cells = WaypointCells(waypoint, false).value_or(QStringList());
        QCOMPARE(cells.size(), 9);
        QVERIFY2(QRegularExpression(QStringLiteral("^[A-Z]{6}$")).match(cells[0]).hasMatch(),
                 qPrintable(waypoint));
        names.insert(cells[0]);
    }
    QVERIFY(names.size() >= 25);
    QVERIFY(received.value(QStringLiteral("RTE")).size() >= 3);
    for (const QString& routeLine : received.value(QStringLiteral("RTE"))) {
        const std::optional<RouteSentence> route = ParseRouteSentence(routeLine);
        QVERIFY(route);
        if (route->kind == u'c') {
            QVERIFY2(names.contains(route->first), qPrintable(routeLine));
            QVERIFY2(route->second.isEmpty() || names.contains(route->second),
                     qPrintable(routeLine));
        }
    }
    QVERIFY(received.value(QStringLiteral("TRK")).size() >= 250);
}

void tst_GpsSim::pseudoTerminalHasNoErrorCounters()
{
    SimulatedReceiver receiver({});
    QVERIFY(receiver.Open());
    QVERIFY(!ReadLineErrorCounts(receiver.Port().handle()));
}

QTEST_GUILESS_MAIN(tst_GpsSim)
#include "tst_GpsSim.moc"
