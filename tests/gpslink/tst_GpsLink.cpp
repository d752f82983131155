#include "gpslink/Connection.h"
#include "gpslink/GpsLink.h"
#include "gpslink/Platform.h"
#include "gpslink/QtSerialStream.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ScriptedInteraction.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString kVersion = QStringLiteral("$PMGNCMD,VERSION*28");
const QString kHandOn = QStringLiteral("$PMGNCMD,HANDON*70");
const QString kTon = QStringLiteral("$PMGNCMD,TON*27");

// The program's side of a link: the real port class on `device`, a scripted
// user and a short time-out.
struct Host
{
    explicit Host(const QString& device, const QString& settings = QStringLiteral("4800,n,8,1"))
    {
        port.SetPort(device);
        port.SetSettings(settings);
        port.SetHandshakingNone();
    }
    QtSerialStream port;
    ScriptedInteraction ui;
    // Long enough for a loaded machine to answer, short enough for a silent receiver.
    GpsLink link{port, ui, 500ms};
    QList<bool> looks;
    ApplyConnectedLook look = [this](bool connected) { looks << connected; };
};

// A pseudo-terminal the test itself drives as the receiver.
struct Terminal
{
    Terminal() { pty = OpenPseudoTerminal(nullptr); }
    ~Terminal()
    {
        if (pty)
            ClosePseudoTerminal(*pty);
    }
    void Send(const QByteArray& bytes)
    {
        WritePseudoTerminal(*pty, bytes.constData(), bytes.size());
    }
    std::optional<PseudoTerminal> pty;
};

} // namespace

class tst_GpsLink : public QObject
{
    Q_OBJECT
private slots:
    void connect_data();
    void connect();
    void cancelWhileConnecting();
    void disconnect();
    void portThatCannotOpen();
    void hangUpIsOnePortError();
    void portErrorAnswer_data();
    void portErrorAnswer();
    void connectAgainAfterPortErrorCancel();
    void receive_data();
    void receive();
    void partialLineIsLostAtTimeout();
    void monitorEcho();
};

void tst_GpsLink::connect_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("notSent");

    const QString s4800 = QStringLiteral("4800,n,8,1");
    QTest::newRow("silent") << QStringList{"--silent"} << s4800
                            << QStringList{ConnectionText::NoResponse} << false
                            << QStringList{kVersion, kVersion, kVersion, kVersion}
                            << QStringList{kHandOn};
    QTest::newRow("standard output")
        << QStringList{"--nmea"} << s4800 << QStringList{ConnectionText::NmeaOutput} << false
        << QStringList{} << QStringList{kVersion};
    QTest::newRow("version only") << QStringList{} << s4800 << QStringList{} << true
                                  << QStringList{kVersion, kHandOn} << QStringList{kTon};
    QTest::newRow("acknowledgement then version")
        << QStringList{"--acks-on"} << s4800 << QStringList{} << true
        << QStringList{kVersion, "$PMGNCSM,"} << QStringList{kHandOn};
    QTest::newRow("late answer to the fourth request")
        << QStringList{"--acks-on", "--ignore-version", "3"} << s4800 << QStringList{} << true
        << QStringList{kVersion, kVersion, kVersion, kVersion, "$PMGNCSM,"} << QStringList{kHandOn};
    QTest::newRow("unsupported model")
        << QStringList{"--model", "030"} << s4800 << QStringList{ConnectionText::Unsupported}
        << true << QStringList{kHandOn} << QStringList{};
    QTest::newRow("model 023") << QStringList{"--model", "023"} << s4800 << QStringList{} << true
                               << QStringList{kHandOn} << QStringList{};
    QTest::newRow("9600 baud") << QStringList{} << QStringLiteral("9600,n,8,1") << QStringList{}
                               << true << QStringList{kTon, kVersion} << QStringList{};
    QTest::newRow("stray bytes") << QStringList{"--noise", "--acks-on"} << s4800 << QStringList{}
                                 << true << QStringList{kVersion} << QStringList{kHandOn};
}

void tst_GpsLink::connect()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, settings);
    Simulator sim(arguments);
    QVERIFY(!sim.Device().isEmpty());
    Host host(sim.Device(), settings);

    ConnectToggle(host.link, host.look);

    QFETCH(QStringList, messages);
    QFETCH(bool, connected);
    QCOMPARE(host.ui.MessageTexts(), messages);
    for (const auto& shown : host.ui.messages) {
        QCOMPARE(shown.icon, MessageIcon::None);
        QCOMPARE(shown.title, QStringLiteral("Navora"));
    }
    QCOMPARE(host.port.IsOpen(), connected);
    QCOMPARE(host.ui.cancelWindowTexts, QStringList{ConnectionText::Connecting});
    QVERIFY(!host.ui.cancelWindowShown);
    QVERIFY(host.link.Cancelled());
    QCOMPARE(host.looks, connected ? QList<bool>{true} : QList<bool>{});
    if (connected) {
        QCOMPARE(host.ui.status[StatusPanel::Status], ConnectionText::Connected);
        QVERIFY(host.ui.status[StatusPanel::Settings].startsWith(ConnectionText::Detected));
        QCOMPARE(host.ui.status[StatusPanel::Settings],
                 ConnectionText::Detected + host.link.GpsVersion());
    }

    // What the receiver got, in order, as a subsequence of everything it got.
    QFETCH(QStringList, sent);
    QFETCH(QStringList, notSent);
    const QStringList received = sim.Received();
    qsizetype from = 0;
    for (const QString& line : sent) {
        while (from < received.size() && !received[from].startsWith(line))
            ++from;
        QVERIFY2(from < received.size(), qPrintable(line + " missing in " + received.join(' ')));
        ++from;
    }
    for (const QString& line : notSent)
        QVERIFY2(!received.contains(line), qPrintable(line));
    if (!sent.contains(kVersion))
        return;
    QCOMPARE(received.count(kVersion), sent.count(kVersion));
}

void tst_GpsLink::cancelWhileConnecting()
{
    Simulator sim({"--silent"});
    Host host(sim.Device());
    QTimer::singleShot(100ms, &host.link, [&] { host.link.SetCancelled(true); });

    ConnectToggle(host.link, host.look);

    QVERIFY(!host.port.IsOpen());
    QVERIFY(host.ui.messages.empty());
    QVERIFY(!host.ui.cancelWindowShown);
    QVERIFY(host.looks.isEmpty());
    QVERIFY(!sim.Received().contains(kVersion));
}

void tst_GpsLink::disconnect()
{
    Simulator sim({});
    Host host(sim.Device());
    ConnectToggle(host.link, host.look);
    QVERIFY(host.port.IsOpen());

    ConnectToggle(host.link, host.look);

    QVERIFY(!host.port.IsOpen());
    QCOMPARE(host.looks, (QList<bool>{true, false}));
    QCOMPARE(host.ui.status[StatusPanel::Status], ConnectionText::Disconnected);
    QCOMPARE(host.ui.status[StatusPanel::Settings], "Settings: " + sim.Device() + ",4800,n,8,1");
    QTRY_VERIFY(sim.Received().contains(QStringLiteral("$PMGNCMD,HANDOFF*3E")));
    QVERIFY(host.link.Cancelled());
}

void tst_GpsLink::portThatCannotOpen()
{
    Host host(QStringLiteral("/dev/navora-no-such-port"));
    ConnectToggle(host.link, host.look);

    QCOMPARE(host.ui.messages.size(), std::size_t(1));
    QCOMPARE(host.ui.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(!host.ui.messages[0].text.isEmpty());
    QVERIFY(!host.port.IsOpen());
    QVERIFY(!host.ui.cancelWindowShown);
    QVERIFY(host.link.Cancelled());
}

void tst_GpsLink::hangUpIsOnePortError()
{
    // The receiver answers the version request, then goes away.
    Simulator sim({"--hangup-after", "1"});
    Host host(sim.Device());
    QObject::connect(&host.port, &SerialStream::PortError, &host.link,
                     [&](const QString& text) { ReportPortError(host.link, text); });
    host.ui.ExpectQuestion(QStringLiteral("Unknown error or event"), Answer::Ok);

    ConnectToggle(host.link, host.look);
    // Repeats of the error would arrive from the event loop.
    QTest::qWait(200);

    QVERIFY(!host.port.IsOpen());
    QCOMPARE(host.ui.questionsAsked.size(), std::size_t(1));
    QCOMPARE(host.ui.questionsAsked[0].title, ConnectionText::PortErrorTitle);
    QCOMPARE(host.ui.questionsAsked[0].icon, MessageIcon::Exclamation);
    QVERIFY(host.ui.unexpected.isEmpty());
    QCOMPARE(host.ui.status[StatusPanel::Status], QStringLiteral("Status: Unknown error or event"));
    QVERIFY(host.ui.messages.empty());
    QVERIFY(host.looks.isEmpty());
}

void tst_GpsLink::portErrorAnswer_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("stillOpen");
    QTest::newRow("OK ignores") << Answer::Ok << true;
    QTest::newRow("Cancel closes the port") << Answer::Cancel << false;
}

void tst_GpsLink::portErrorAnswer()
{
    QFETCH(Answer, answer);
    Terminal terminal;
    QVERIFY(terminal.pty);
    Host host(terminal.pty->devicePath);
    QVERIFY(!host.port.Open());
    host.ui.ExpectQuestion(QStringLiteral("Break Received"), answer);

    ReportPortError(host.link, QStringLiteral("Break Received"));

    QTEST(host.port.IsOpen(), "stillOpen");
    QCOMPARE(host.ui.status[StatusPanel::Status], QStringLiteral("Status: Break Received"));
    QVERIFY(host.ui.AllScriptUsed());
}

void tst_GpsLink::connectAgainAfterPortErrorCancel()
{
    Simulator sim({});
    Host host(sim.Device());
    ConnectToggle(host.link, host.look);
    host.ui.ExpectQuestion(QStringLiteral("Overrun Error"), Answer::Cancel);
    ReportPortError(host.link, QStringLiteral("Overrun Error"));
    QVERIFY(!host.port.IsOpen());

    // The window still looks connected; the command finds the port closed.
    ConnectToggle(host.link, host.look);
    QVERIFY(host.port.IsOpen());
    QCOMPARE(host.looks, (QList<bool>{true, true}));
    QCOMPARE(sim.Received().count(kVersion), 2);
}

void tst_GpsLink::receive_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("stray bytes before the sentence")
        << QByteArray("x?\x01$PMGNCMD,END*3D\r\n") << QStringList{"$PMGNCMD,END*3D", ""};
    QTest::newRow("two lines in one piece") << QByteArray("$PMGNCSM,6A*13\r\n$PMGNCMD,END*3D\r\n")
                                            << QStringList{"$PMGNCSM,6A*13", "$PMGNCMD,END*3D", ""};
    QTest::newRow("dollar inside a line") << QByteArray("$AB$CD\r\n") << QStringList{"$AB$CD", ""};
    QTest::newRow("lone LF does not end a line")
        << QByteArray("$AB\nCD\r\n") << QStringList{"$AB\nCD", ""};
    QTest::newRow("endless line is dropped")
        << "$" + QByteArray(GpsLink::kLongestLine + 100, 'A') + "$PMGNCMD,END*3D\r\n"
        << QStringList{"$PMGNCMD,END*3D", ""};
    QTest::newRow("nothing") << QByteArray() << QStringList{""};
}

void tst_GpsLink::receive()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    Terminal terminal;
    QVERIFY(terminal.pty);
    Host host(terminal.pty->devicePath);
    QVERIFY(!host.port.Open());
    terminal.Send(bytes);

    QStringList got;
    for (qsizetype i = 0; i < lines.size(); ++i)
        got << host.link.GpsReceive();
    QCOMPARE(got, lines);
}

void tst_GpsLink::partialLineIsLostAtTimeout()
{
    Terminal terminal;
    QVERIFY(terminal.pty);
    Host host(terminal.pty->devicePath);
    QVERIFY(!host.port.Open());

    terminal.Send("$PMGNCMD,EN");
    QCOMPARE(host.link.GpsReceive(), QString());
    terminal.Send("D*3D\r\n$PMGNCSM,6A*13\r\n");
    QCOMPARE(host.link.GpsReceive(), QStringLiteral("$PMGNCSM,6A*13"));
}

void tst_GpsLink::monitorEcho()
{
    Terminal terminal;
    QVERIFY(terminal.pty);
    Host host(terminal.pty->devicePath);
    QVERIFY(!host.port.Open());
    QStringList echoed;
    QObject::connect(&host.link, &GpsLink::MonitorText, [&](const QString& t) { echoed << t; });

    host.link.GpsSend(kVersion + "\r\n");
    terminal.Send("$PMGNCSM,28*10\r\n");
    host.link.GpsReceive();
    QVERIFY(echoed.isEmpty());

    host.link.SetMonitorOn(true);
    host.link.GpsSend(kVersion + "\r\n");
    terminal.Send("$PMGNCSM,28*10\r\n");
    host.link.GpsReceive();
    host.link.GpsReceive();
    QCOMPARE(echoed,
             (QStringList{"> " + kVersion + "\r\n", "< $PMGNCSM,28*10\r\n", "< Timeout\r\n"}));

    // GpsSend returns once its line has left the port.
    char sent[64] = {};
    QVERIFY(ReadPseudoTerminal(*terminal.pty, sent, sizeof sent - 1) > 0);
    QCOMPARE(QByteArray(sent), (kVersion + "\r\n" + kVersion + "\r\n").toLatin1());
}

QTEST_GUILESS_MAIN(tst_GpsLink)
#include "tst_GpsLink.moc"
