#include "gpslink/Sentence.h"
#include "tests/gpslink/Simulator.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

namespace {

QString Finished(const QString& text)
{
    return text.endsWith(u'*') ? FinishSentence(text).chopped(2) : text;
}

// The simulator with the host's end of its device opened as a serial port.
class Receiver : public Simulator
{
public:
    using Simulator::Simulator;
    bool Open()
    {
        port.setPortName(Device());
        return !Device().isEmpty() && port.open(QIODevice::ReadWrite);
    }
    // Sends `text` with CR LF; a body ending in "*" gets its checksum first.
    void Send(const QString& text)
    {
        lastSent = Finished(text);
        port.write((lastSent + "\r\n").toLatin1());
        port.waitForBytesWritten(1000);
    }
    // The next line from its "$", without CR LF; empty after `ms` of silence.
    QString ReadLine(int ms)
    {
        const QDeadlineTimer deadline(ms);
        qsizetype end;
        while ((end = buffer.indexOf("\r\n")) < 0) {
            if (deadline.hasExpired() || (!port.waitForReadyRead(int(deadline.remainingTime())) &&
                                          port.bytesAvailable() == 0))
                return QString();
            buffer += port.readAll();
        }
        const QByteArray line = buffer.left(end);
        buffer.remove(0, end + 2);
        const qsizetype dollar = line.indexOf('$');
        strayBytes = dollar < 0 ? line.size() : dollar;
        return lastReceived = QString::fromLatin1(line.mid(qMax<qsizetype>(dollar, 0)));
    }

    QSerialPort port;
    QByteArray buffer;
    QString lastSent, lastReceived;
    qsizetype strayBytes = 0;
};

constexpr int kAnswerMs = 3000;
// Shorter than the 1 s resend time, so a slow machine is not taken for a missing acknowledgement.
constexpr int kSilenceMs = 450;

const QString kHome = QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a");
const QString kPub = QStringLiteral("$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,c");
const QString kWork = QStringLiteral("$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,,f");
const QString kPoint =
    QStringLiteral("$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,061226");
const QString kRoute = QStringLiteral("$PMGNRTE,3,1,m,03,HOME TO WORK\n$PMGNRTE,3,2,c,03,HOME,PUB\n"
                                      "$PMGNRTE,3,3,c,03,WORK\n");

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
    void lineRate_data();
    void lineRate();
    void lifetime();
};

// Each script line: "> text" sends (a body ending in "*" gets its checksum), "> ack" acknowledges
// the last line received; "< text" expects that line next, "< ack" the acknowledgement of the
// last line sent, "< wrong" an acknowledgement echoing anything else; "." expects silence; "~"
// checks that stray bytes came before the last line; "<nmea" expects a standard sentence, "<...
// text" that line after at most four others. `stored`, unless null, is the memory file's content at
// the end.
void tst_GpsSim::exchange_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("memory");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("stored");
    const auto row = [](const char* name, const QStringList& arguments, const QString& memory,
                        const QStringList& script, const QString& stored = QString()) {
        QTest::newRow(name) << arguments << memory << script << stored;
    };
    const QString version = QStringLiteral("< $PMGNVER,025,4.02,MAP 410*");
    const QString acks = QStringLiteral("--acks-on");

    row("acknowledgements only from HANDON to HANDOFF", {}, {},
        {"> $PMGNXYZ,1,2*", ".", "> $PMGNCMD,HANDON*", ".", "> $PMGNCMD,VERSION*28",
         "< $PMGNCSM,28*", version, "> ack", "> $PMGNCMD,TON*", "< $PMGNCSM,27*", "> $PMGNXYZ,1,2*",
         "< ack", "> $PMGNCMD,HANDOFF*", "< $PMGNCSM,3E*", "> $PMGNCMD,VERSION*28", version, "."});
    row("bad checksum answered with the checksum heard, nothing taken; unknown commands", {}, {},
        {"> $PMGNCMD,VERSION*29", "> $PMGNCMD,VERSION", ".", "> " + kHome + "*00", "< $PMGNCSM,49*",
         "> $PMGNCMD,FLY*", "< $PMGNCMD,UNABLE*", "> $PMGNCMD,HANDON*", "> $PMGNCMD,VERSION*29",
         "< $PMGNCSM,28*", "> $PMGNCMD,DELETE,EVERYTHING*", "< $PMGNCMD,UNABLE*", "."},
        QStringLiteral(""));
    row("model, name and software, noise",
        {"--noise", "--model", "030", "--model-name", "GPS 315", "--software", "1.10"}, {},
        {"> $PMGNCMD,VERSION*28", "< $PMGNVER,030,1.10,GPS 315*", "~"});
    row("standard output until STOP", {"--nmea"}, {},
        {"<nmea", "<nmea", "<nmea", "> $PMGNCMD,STOP*6A", "> $PMGNCMD,VERSION*28",
         "<... " + version.mid(2), "."});

    const QString two = Lines({kHome, kWork});
    row("waypoint download, acknowledged and resent", {acks}, two,
        {"> $PMGNCMD,WAYPOINT*71", "< $PMGNCSM,71*", "< " + kHome + "*", "< " + kHome + "*",
         "> ack", "< " + kWork + "*", "> $PMGNCSM,00*", "< " + kWork + "*", "> ack",
         "< $PMGNCMD,END*3D", "> ack", "."},
        two);
    row("what other hosts send: track layout, route icons, delete waypoints, NMEA off", {acks},
        two + Lines({kPoint}),
        {"> $PMGNCMD,TRACK,2*", "< ack", "< " + kPoint + "*", "> ack", "< $PMGNCMD,END*3D", "> ack",
         "> $PMGNRTE,2,1,c,03,HOME,a,WORK,f*", "< ack", "> $PMGNRTE,2,2,c,03,HOME,a*", "< ack",
         "> $PMGNCMD,DELETE,WAYPOINT*", "< ack", "< $PMGNCMD,END*3D", "> ack",
         "> $PMGNCMD,NMEAOFF*", "< ack", "> $PMGNCMD,FLY*", "< $PMGNCMD,UNABLE*", "."},
        QStringLiteral("$PMGNRTE,2,1,c,03,HOME,WORK\n$PMGNRTE,2,2,c,03,HOME\n") + Lines({kPoint}));
    const QString point2 =
        QStringLiteral("$PMGNTRK,5131.000,N,00013.000,W,00020,M,123500.00,A,TRAK01");
    const QString moved = QStringLiteral("$PMGNWPL,5130.000,N,00012.000,W,0000015,M,HOME,MOVED,b");
    row("a waypoint replaces the one of its name; track points are added", {}, Lines({kPoint}),
        {"> " + kHome + "*", "< $PMGNCSM,49*", "> " + kWork + "*", "< ack", "> " + moved + "*",
         "< ack", "> " + point2 + "*", "< ack", "> $PMGNCMD,END*3D", "."},
        Lines({moved, kWork, kPoint, point2}));
    const QString commented = "# my receiver\n" + Lines({kHome});
    row("end without a change keeps the file as written", {}, commented, {"> $PMGNCMD,END*3D", "."},
        commented);
    const QString three = Lines({kHome, kPub, kWork});
    row("resent route sentences replace what they repeat", {acks}, three,
        {"> $PMGNRTE,3,1,m,03,HOME TO WORK*", "< ack", "> $PMGNRTE,3,2,c,03,HOME,PUB*", "< ack",
         "> $PMGNRTE,3,2,c,03,HOME,PUB*", "< ack", "> $PMGNRTE,3,3,c,03,WORK*", "< ack",
         "> $PMGNRTE,3,3,c,03,WORK*", "< ack", "."},
        three + kRoute);
    row("a misheard sentence is not taken; a track point resent is stored once",
        {"--wrong-echo", "1"}, {},
        {"> " + kPoint + "*", "< wrong", "> " + kPoint + "*", "< ack", "> " + kPoint + "*", "< ack",
         "> " + point2 + "*", "< ack", "> $PMGNCMD,END*3D", "."},
        Lines({kPoint, point2}));

    QStringList full;
    for (int i = 1; i <= 500; ++i)
        full << QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,00010,M,W%1,,a")
                    .arg(i, 3, 10, QChar(u'0'));
    const QString extra = QStringLiteral("$PMGNWPL,5200.000,N,00100.000,E,00050,M,W501,,b");
    const QString replaced = QString(extra).replace("W501", "W500");
    const QString before = Lines(full);
    full.last() = replaced;
    row("501st waypoint refused", {}, before,
        {"> " + extra + "*", "< $PMGNCMD,UNABLE*", "> " + replaced + "*", "< ack",
         "> $PMGNCMD,END*3D"},
        Lines(full));
}

void tst_GpsSim::exchange()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, memory);
    QFETCH(QStringList, script);
    QFETCH(QString, stored);
    Receiver receiver(arguments + QStringList{"--resend-seconds", "1"}, memory);
    QVERIFY2(receiver.Open(), qPrintable(receiver.port.errorString()));
    for (const QString& step : script) {
        if (step == QLatin1String("> ack")) {
            receiver.Send(Acknowledgement(receiver.lastReceived).chopped(2));
        } else if (step.startsWith(QLatin1String("> "))) {
            receiver.Send(step.mid(2));
        } else if (step == QLatin1String(".")) {
            const QString line = receiver.ReadLine(kSilenceMs);
            QVERIFY2(line.isEmpty(), qPrintable("unexpected: " + line));
        } else if (step == QLatin1String("~")) {
            QVERIFY(receiver.strayBytes > 0);
        } else {
            QString line = receiver.ReadLine(kAnswerMs);
            const QByteArray context = (step + " got " + line).toLatin1();
            const QString wanted = Finished(step.mid(step.indexOf(u' ') + 1));
            if (step == QLatin1String("< ack")) {
                QCOMPARE(line, Acknowledgement(receiver.lastSent).chopped(2));
            } else if (step == QLatin1String("< wrong")) {
                QVERIFY2(SentenceType(line) == QLatin1String("CSM") &&
                             line != Acknowledgement(receiver.lastSent).chopped(2),
                         context);
            } else if (step == QLatin1String("<nmea")) {
                QVERIFY2(line.startsWith("$GP") && Finished(line.chopped(2)) == line, context);
            } else if (step.startsWith(QLatin1String("<... "))) {
                for (int skipped = 0; line != wanted && ++skipped < 5;)
                    line = receiver.ReadLine(kAnswerMs);
                QCOMPARE(line, wanted);
            } else {
                QCOMPARE(line, wanted);
            }
        }
    }
    if (!stored.isNull()) {
        if (receiver.Memory() != stored)
            receiver.ReadLine(kSilenceMs); // a save may still be on its way
        QCOMPARE(receiver.Memory(), stored);
    }
}

// At a given speed a sentence and its answers take at least the time the line needs to carry
// them, ten bits a byte, in both directions. Only this lower bound is checked: a busy machine makes
// the exchange slower, never faster.
void tst_GpsSim::lineRate_data()
{
    QTest::addColumn<QString>("memory");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<int>("answers");
    const QString long1 = QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,LONG,%1,a")
                              .arg(QString(90, u'X'));
    QTest::newRow("to the receiver: a long waypoint, a short acknowledgement")
        << QString() << long1 + u'*' << 1;
    QTest::newRow("from the receiver: a short request, a long waypoint and the end")
        << Lines({long1}) << QStringLiteral("$PMGNCMD,WAYPOINT*") << 2;
}

void tst_GpsSim::lineRate()
{
    QFETCH(QString, memory);
    QFETCH(QString, sent);
    QFETCH(int, answers);
    constexpr int kBaud = 4800;
    Receiver receiver({"--baud", QString::number(kBaud)}, memory);
    QVERIFY2(receiver.Open(), qPrintable(receiver.port.errorString()));
    QElapsedTimer clock;
    clock.start();
    receiver.Send(sent);
    qsizetype bytes = receiver.lastSent.size() + 2;
    for (int i = 0; i < answers; ++i) {
        const QString line = receiver.ReadLine(kAnswerMs);
        QVERIFY(!line.isEmpty());
        bytes += line.size() + 2;
    }
    const qint64 lineMs = bytes * 10 * 1000 / kBaud;
    QVERIFY2(clock.elapsed() >= lineMs - 1,
             qPrintable(QStringLiteral("%1 bytes in %2 ms").arg(bytes).arg(clock.elapsed())));
}

// Terminated before its delayed save, the simulator saves on the way out and removes its link.
void tst_GpsSim::lifetime()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("gps"));
    Receiver receiver({"--link", link});
    QCOMPARE(QFileInfo(link).symLinkTarget(), receiver.Device());
    QVERIFY2(receiver.Open(), qPrintable(receiver.port.errorString()));
    receiver.Send(kHome + u'*');
    QCOMPARE(receiver.ReadLine(kAnswerMs), QStringLiteral("$PMGNCSM,49*68"));
    receiver.Process().terminate();
    QVERIFY(receiver.Process().waitForFinished(kAnswerMs));
    QCOMPARE(receiver.Process().exitCode(), 0);
    QCOMPARE(receiver.Memory(), Lines({kHome}));
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(tst_GpsSim)
#include "tst_GpsSim.moc"
