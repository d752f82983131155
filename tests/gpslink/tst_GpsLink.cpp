#include "gpslink/Connection.h"
#include "gpslink/GpsLink.h"
#include "gpslink/Platform.h"
#include "gpslink/ProtocolLog.h"
#include "gpslink/QtSerialStream.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ScriptedInteraction.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString kVersion = QStringLiteral("$PMGNCMD,VERSION*28");
const QString kHandOn = QStringLiteral("$PMGNCMD,HANDON*70");

// The program's side of a link: the real port class on `device`, a scripted user and a time-out
// long enough for a loaded machine to answer, short enough for a silent receiver.
struct Host
{
    explicit Host(const QString& device, const QString& settings = QStringLiteral("4800,n,8,1"))
    {
        port.SetPort(device);
        port.SetSettings(settings);
        port.SetHandshakingNone();
        QObject::connect(&link, &GpsLink::ConnectionChanged, [this](bool c) { looks << c; });
        QObject::connect(&port, &SerialStream::PortError,
                         [this](const QString& text) { ReportPortError(link, ui, text); });
    }
    ExchangeOutcome Toggle() { return ConnectToggle(link, ui); }
    QtSerialStream port;
    ScriptedInteraction ui;
    GpsLink link{port, 500ms};
    // The connection as the window follows it.
    QList<bool> looks;
};

// A pseudo-terminal the test itself drives as the receiver, with the host's port open on it.
struct Terminal
{
    // Only the reads after the last line wait for the time-out.
    Terminal() { host.link.SetTimeout(100ms); }
    ~Terminal()
    {
        host.port.Close();
        if (pty)
            ClosePseudoTerminal(*pty);
    }
    void Send(const QByteArray& bytes) { WritePseudoTerminal(*pty, bytes.data(), bytes.size()); }
    std::optional<PseudoTerminal> pty = OpenPseudoTerminal(nullptr);
    Host host{pty ? pty->devicePath : QString()};
    bool open = pty && !host.port.Open();
};

} // namespace

class tst_GpsLink : public QObject
{
    Q_OBJECT
private slots:
    void connect_data();
    void connect();
    void missingPortStaysDisconnected();
    void portErrors();
    void sendResults_data();
    void sendResults();
    void receive_data();
    void receive();
    void monitorEcho();
    void protocolLog();
};

// `received` is every line the receiver gets.
void tst_GpsLink::connect_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("received");
    const auto row = [](const char* name, const QStringList& arguments, const QStringList& messages,
                        bool connected, const QStringList& received,
                        const QString& settings = QStringLiteral("4800,n,8,1")) {
        QTest::newRow(name) << arguments << settings << messages << connected << received;
    };
    const QString ack = QStringLiteral("$PMGNCSM,1F*12"); // of the version sentence
    row("silent", {"--silent"}, {ConnectionText::NoResponse}, false,
        {kVersion, kVersion, kVersion, kVersion});
    row("standard output", {"--nmea"}, {ConnectionText::NmeaOutput}, false, {});
    row("version only", {}, {}, true, {kVersion, kHandOn});
    row("late answer to the fourth request", {"--acks-on", "--ignore-version", "3"}, {}, true,
        {kVersion, kVersion, kVersion, kVersion, ack});
    row("unsupported model", {"--model", "030"}, {ConnectionText::Unsupported}, true,
        {kVersion, kHandOn});
    row("9600 baud", {}, {}, true, {"$PMGNCMD,TON*27", kVersion, kHandOn},
        QStringLiteral("9600,n,8,1"));
    row("stray bytes", {"--noise", "--acks-on"}, {}, true, {kVersion, ack});
}

void tst_GpsLink::connect()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, settings);
    QFETCH(bool, connected);
    Simulator sim(arguments);
    Host host(sim.Device(), settings);
    QCOMPARE(host.Toggle(), connected ? ExchangeOutcome::Completed : ExchangeOutcome::Failed);

    QTEST(host.ui.MessageTexts(), "messages");
    QCOMPARE(host.port.IsOpen(), connected);
    QCOMPARE(host.ui.cancelWindowTexts, QStringList{ConnectionText::Connecting});
    QCOMPARE(host.looks, connected ? QList<bool>{true} : QList<bool>{});
    QFETCH(QStringList, received);
    QTRY_COMPARE(sim.Received(), received); // the last line may still be on its way
}

// The message names the port the user asked for.
void tst_GpsLink::missingPortStaysDisconnected()
{
    QTemporaryDir dir;
    Host host(dir.filePath("no-such-device"));
    QCOMPARE(host.Toggle(), ExchangeOutcome::Failed);
    QCOMPARE(host.ui.messages.size(), size_t(1));
    QCOMPARE(host.ui.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(host.ui.messages[0].text.startsWith(dir.filePath("no-such-device") + ": "));
    QVERIFY(!host.port.IsOpen() && !host.ui.cancelWindowShown && host.looks.isEmpty());
}

// OK ignores a port error and keeps the connection; Cancel closes the port, and the link is
// disconnected with it.
void tst_GpsLink::portErrors()
{
    Simulator sim({});
    Host host(sim.Device());
    host.Toggle();
    host.ui.ExpectQuestion(QStringLiteral("Break Received"), Answer::Ok);
    ReportPortError(host.link, host.ui, QStringLiteral("Break Received"));
    QVERIFY(host.port.IsOpen() && host.link.Connected());
    QCOMPARE(host.ui.status[StatusPanel::Status], QStringLiteral("Status: Break Received"));
    QCOMPARE(host.ui.questionsAsked[0].title, ConnectionText::PortErrorTitle);
    QCOMPARE(host.ui.questionsAsked[0].icon, MessageIcon::Exclamation);
    QCOMPARE(host.ui.beeps, 1);
    host.ui.ExpectQuestion(QStringLiteral("Overrun Error"), Answer::Cancel);
    ReportPortError(host.link, host.ui, QStringLiteral("Overrun Error"));
    QVERIFY(!host.port.IsOpen() && !host.link.Connected());
    QVERIFY(host.ui.AllScriptUsed());
    QCOMPARE(host.looks, (QList<bool>{true, false}));
}

// A send says what became of its sentence; `during` happens while it waits for the port.
void tst_GpsLink::sendResults_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("hold");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("during");
    QTest::addColumn<SendStatus>("status");
    QTest::addColumn<QString>("said"); // SendFailureText
    const QString none;
    // clang-format off
    QTest::newRow("sent") << true << false << none << none << SendStatus::Sent << none;
    QTest::newRow("write refused") << true << false << "Device gone" << none << SendStatus::WriteFailed << "Device gone";
    QTest::newRow("never leaves the port") << true << true << none << none << SendStatus::TimedOut << "Com1: Data cannot be sent";
    QTest::newRow("port closes while waiting") << true << true << none << "close" << SendStatus::PortClosed << none;
    QTest::newRow("cancel stops the wait") << true << true << none << "cancel" << SendStatus::Sent << none;
    // clang-format on
}

void tst_GpsLink::sendResults()
{
    QFETCH(bool, open);
    QFETCH(bool, hold);
    QFETCH(QString, refusal);
    QFETCH(QString, during);
    FakeSerialStream port;
    GpsLink link(port, 50ms);
    link.SetCancelled(false);
    if (open)
        port.Open();
    port.holdOutput = hold;
    if (!refusal.isEmpty())
        port.writeError = refusal;
    QTimer::singleShot(10ms, &link, [&] {
        if (during == u"close")
            port.Close();
        else if (during == u"cancel")
            link.SetCancelled(true);
    });
    const SendResult result = link.GpsSend(kVersion + "\r\n");
    QTEST(result.status, "status");
    QTEST(SendFailureText(port, result), "said");
    QCOMPARE(port.transmitted.isEmpty(), hold || !open || !refusal.isEmpty());
    // A read on a closed port does not wait for a line that cannot come.
    QCOMPARE(link.GpsReceive().status,
             port.IsOpen() ? ReceiveStatus::TimedOut : ReceiveStatus::PortClosed);
}

// Each piece is sent before one line is read.
void tst_GpsLink::receive_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QStringList>("lines");
    const auto row = [](const char* name, const QByteArrayList& pieces, const QStringList& lines) {
        QTest::newRow(name) << pieces << lines;
    };
    const QByteArray end = "$PMGNCMD,END*3D\r\n";
    row("stray bytes before the sentence", {"x?\x01" + end}, {"$PMGNCMD,END*3D", ""});
    row("two lines in one piece", {"$PMGNCSM,6A*13\r\n" + end},
        {"$PMGNCSM,6A*13", "$PMGNCMD,END*3D", ""});
    row("dollar inside a line", {"$AB$CD\r\n"}, {"$AB$CD"});
    row("lone LF does not end a line", {"$AB\nCD\r\n"}, {"$AB\nCD"});
    row("endless line is dropped", {"$" + QByteArray(GpsLink::kLongestLine + 100, 'A') + end},
        {"$PMGNCMD,END*3D", ""});
    row("partial line is lost at a time-out", {"$PMGNCMD,EN", "D*3D\r\n$PMGNCSM,6A*13\r\n"},
        {"", "$PMGNCSM,6A*13"});
}

void tst_GpsLink::receive()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(QStringList, lines);
    Terminal terminal;
    QVERIFY(terminal.open);
    QStringList got;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i < pieces.size())
            terminal.Send(pieces[i]);
        got << terminal.host.link.GpsReceive().line;
    }
    QCOMPARE(got, lines);
}

void tst_GpsLink::monitorEcho()
{
    Terminal terminal;
    QVERIFY(terminal.open);
    GpsLink& link = terminal.host.link;
    QStringList echoed;
    QObject::connect(&link, &GpsLink::MonitorText, [&](const QString& t) { echoed << t; });

    for (const bool on : {false, true}) {
        link.SetMonitorOn(on);
        link.GpsSend(kVersion + "\r\n");
        terminal.Send("$PMGNCSM,28*10\r\n");
        link.GpsReceive();
    }
    link.GpsReceive();
    QCOMPARE(echoed,
             (QStringList{"> " + kVersion + "\r\n", "< $PMGNCSM,28*10\r\n", "< Timeout\r\n"}));

    // GpsSend returns once its line has left the port.
    char sent[64] = {};
    QVERIFY(ReadPseudoTerminal(*terminal.pty, sent, sizeof sent - 1) > 0);
    QCOMPARE(QByteArray(sent), (kVersion + "\r\n" + kVersion + "\r\n").toLatin1());
}

// A line's moment reads back to the millisecond; the text keeps its direction mark, loses its
// line end, and a break inside it cannot split the line. The log keeps the last megabytes, and
// its saved file says how many lines went before.
void tst_GpsLink::protocolLog()
{
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(1781179392345);
    const QString line = ProtocolLogLine(moment, u"< $PMGNCSM,28*1C\r\n");
    const QRegularExpression form(
        QStringLiteral(R"(^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d)) (.*)$)"));
    const QRegularExpressionMatch match = form.match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    QCOMPARE(QDateTime::fromString(match.captured(1), Qt::ISODateWithMs), moment);
    QCOMPARE(match.captured(3), QStringLiteral("< $PMGNCSM,28*1C"));
    QVERIFY(ProtocolLogLine(moment, u"< A\rB\n").endsWith(QStringLiteral(" < A B")));

    ProtocolLog log;
    const QString text = QStringLiteral("< $PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,"
                                        "061226*6B\r\n");
    const int lines = int(ProtocolLog::kLimit / text.size()) + 1000;
    for (int i = 0; i < lines; ++i)
        log.Add(text + QString::number(i));
    const std::vector<ProtocolLog::Entry> entries = log.Entries();
    QVERIFY(log.Dropped() > 0);
    QCOMPARE(qint64(entries.size()) + log.Dropped(), qint64(lines));
    QVERIFY(entries.back().text.endsWith(QString::number(lines - 1)));
    QVERIFY(entries.front().text.endsWith(QString::number(log.Dropped())));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trimmed.log"));
    QCOMPARE(SaveProtocolLog(path, entries, log.Dropped()), std::nullopt);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList saved = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(saved.size(), qsizetype(entries.size()) + 1);
    QCOMPARE(saved.front(), QStringLiteral("(%1 earlier lines are not in this log, which keeps the "
                                           "last 4 MB)")
                                .arg(log.Dropped()));
    QVERIFY(SaveProtocolLog(dir.filePath(QStringLiteral("no/such/folder.log")), entries, 0));
}

QTEST_GUILESS_MAIN(tst_GpsLink)
#include "tst_GpsLink.moc"
