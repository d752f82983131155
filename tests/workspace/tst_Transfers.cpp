// The transfers end to end against the simulated receiver, as the window and
// navora-cli run them: the sentences on the wire, what the receiver then
// holds, the ways a user can end them, and every fault the receiver can have
// against every transfer, with the message the user sees, the rows the lists
// keep and no wait past the link's time-outs.

#include "gpslink/Connection.h"
#include "gpslink/Deletion.h"
#include "gpslink/Download.h"
#include "gpslink/Drain.h"
#include "gpslink/QtSerialStream.h"
#include "gpslink/Sentence.h"
#include "gpslink/Upload.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/support/ListTexts.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/Workspace.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

constexpr auto kTimeout = 300ms;
// Several time-outs and the slow line's own time, far below any wait that does not end.
constexpr qint64 kLongestMs = 5000;

const QString kEnd = QStringLiteral("$PMGNCMD,END*3D");
const QString kHangUp = QStringLiteral("Unknown error or event");

// The receiver's memory, and the same as lists: what the uploads send and the downloads replace.
const QStringList kMemory = {"$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a",
                             "$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,c",
                             "$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,,f",
                             "$PMGNRTE,3,1,m,03,HOME TO WORK",
                             "$PMGNRTE,3,2,c,03,HOME,PUB",
                             "$PMGNRTE,3,3,c,03,WORK",
                             "$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A",
                             "$PMGNTRK,5130.300,N,00012.400,W,00012,M,123530.00,A",
                             "$PMGNTRK,5130.350,N,00012.450,W,00014,M,123600.00,A"};
const QStringList kWaypoints = {"HOME|5130.250|N|00012.345|W|0000010|M||a",
                                "PUB|5131.000|N|00013.000|W|0000020|M|THE BELL|c",
                                "WORK|5132.500|N|00014.125|W|0000030|M||f"};
const QStringList kRoutes = {"03|HOME TO WORK|HOME,PUB,WORK"};
const QStringList kTrack = {"0001|TRAK01|5130.250|N|00012.345|W|00010|M|12:34:56 |A",
                            "0002|TRAK01|5130.300|N|00012.400|W|00012|M|12:35:30 |A",
                            "0003|TRAK01|5130.350|N|00012.450|W|00014|M|12:36:00 |A"};

// A workspace on the real port class, talking to navora-gpssim with a scripted user.
struct SimulatedSpace
{
    explicit SimulatedSpace(const QStringList& arguments, const QStringList& memory = kMemory)
        : sim(arguments, memory.join(u'\n') + u'\n')
    {
        port.SetPort(sim.Device());
        space.Link().SetTimeout(kTimeout);
    }
    // Opens the port as a connection would, without the handshake: the
    // simulator must start with acknowledgements on.
    bool OpenWithoutHandshake()
    {
        if (port.Open())
            return false;
        space.Link().SetConnected(true);
        return true;
    }

    Simulator sim;
    QtSerialStream port;
    ScriptedInteraction ui;
    Workspace space{port, ui};
};

// "down", "up" or "delete all" on the list of `kind`.
ExchangeOutcome Run(Workspace& space, const QString& operation, ListKind kind)
{
    if (operation == u"down")
        return space.Download(kind);
    if (operation == u"up")
        return space.Upload(kind);
    return space.DeleteAllInReceiver(kind);
}

} // namespace

class tst_Transfers : public QObject
{
    Q_OBJECT
private slots:
    void sentToTheByte_data();
    void sentToTheByte();
    void askedFirst_data();
    void askedFirst();
    void roundTrip_data();
    void roundTrip();
    void cancel_data();
    void cancel();
    void deleteInTheReceiverToo_data();
    void deleteInTheReceiverToo();
    void drainLimit_data();
    void drainLimit();
    void silentMidway_data();
    void silentMidway();
    void faults_data();
    void faults();
};

// Everything the receiver gets for one upload, and what the user is told.
void tst_Transfers::sentToTheByte_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("messages");
    const auto row = [](const char* name, int kind, const QStringList& rows,
                        const QStringList& sent, const QStringList& messages = {},
                        const QStringList& arguments = {}) {
        QTest::newRow(name) << arguments << kind << rows << sent << messages;
    };
    row("waypoint worked example", 1, {kWaypoints[0]},
        {"$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a*49", kEnd});
    row("route worked example", 2, kRoutes,
        {"$PMGNRTE,3,1,m,03,HOME TO WORK*02", "$PMGNRTE,3,2,c,03,HOME,PUB*7E",
         "$PMGNRTE,3,3,c,03,WORK*1A"});
    // Names padded as a file stores them go without their blanks.
    row("five points", 2, {"12|LOOP|HOME, PUB  ,WORK,HOME,PUB"},
        {Checked("$PMGNRTE,4,1,m,12,LOOP"), Checked("$PMGNRTE,4,2,c,12,HOME,PUB"),
         Checked("$PMGNRTE,4,3,c,12,WORK,HOME"), Checked("$PMGNRTE,4,4,c,12,PUB")});
    row("track row without a time", 3, {"0001|TRAK01|5130.250|N|00012.345|W|00010|M||A"},
        {"$PMGNCMD,DELETE,TRACK*08", Checked("$PMGNCSM,3D"),
         Checked("$PMGNTRK,5130.250,N,00012.345,W,00010,M,,A,TRAK01"), kEnd});
    // Given up after the fifth sending of a sentence misheard every time.
    row("max retries", 2, {"01||HOME,PUB"}, QStringList(5, Checked("$PMGNRTE,1,1,c,01,HOME,PUB")),
        {UploadText::MaxRetries}, {"--wrong-echo", "5"});
    row("a point the receiver lacks", 2, {"03||HOME,NOWHERE"},
        {Checked("$PMGNRTE,1,1,c,03,HOME,NOWHERE"),
         Checked("$PMGNCSM," + SentenceChecksum("$PMGNCMD,UNABLE*"))},
        {"The GPS will not accept route 03\r\nWaypoint is HOME and/or NOWHERE\r\nCheck that "
         "these waypoints are present in the GPS"});
}

void tst_Transfers::sentToTheByte()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, messages);
    SimulatedSpace s(arguments + QStringList{"--acks-on"});
    QVERIFY(s.OpenWithoutHandshake());
    Fill(s.space.Data(), ListKind(kind), rows);
    QCOMPARE(s.space.Upload(ListKind(kind)),
             messages.isEmpty() ? ExchangeOutcome::Completed : ExchangeOutcome::Failed);
    QCOMPARE(s.ui.MessageTexts(), messages);
    QVERIFY(s.ui.questionsAsked.empty());
    QFETCH(QStringList, sent);
    // The last line may still be on its way to the receiver.
    QTRY_COMPARE(s.sim.Received(), sent);
    if (messages.isEmpty()) { // the cancel window counted every data sentence of the total
        const int total = int(sent.filter(QRegularExpression("^\\$PMGN(WPL|RTE|TRK)")).size());
        std::vector<std::pair<int, int>> counted;
        for (int n = 1; n <= total; ++n)
            counted.push_back({n, total});
        QCOMPARE(s.ui.progress, counted);
    }
}

// Questions before an upload sends anything: No sends nothing. 500 waypoints ask nothing.
void tst_Transfers::askedFirst_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("waypoints");
    QTest::addColumn<QString>("question");
    const QString ending = "\r\n\r\nClick OK to upload all the same, or Cancel to upload nothing.";
    QStringList many;
    for (int i = 0; i < 501; ++i)
        many << QStringLiteral("W%1").arg(i);
    QTest::newRow("501 waypoints") << 1 << many << UploadText::TooManyWaypoints;
    QTest::newRow("500 waypoints") << 1 << many.mid(1) << QString();
    QTest::newRow("shared names")
        << 1 << QStringList{"HOME", "PUB", "HOME ", "PUB", "WORK"}
        << "These waypoints share a name, and the GPS keeps only the last waypoint of each "
           "name:\r\nHOME, PUB" +
               ending;
    QTest::newRow("points without their waypoint")
        << 2 << QStringList{"HOME", "PUB"}
        << "These route points name no waypoint of the waypoint list. The GPS refuses a route "
           "whose waypoints it does not hold:\r\nRoute 03: NOWHERE\r\nRoute 05: ELSE" +
               ending;
}

void tst_Transfers::askedFirst()
{
    QFETCH(int, kind);
    QFETCH(QStringList, waypoints);
    QFETCH(QString, question);
    FakeSerialStream port;
    ScriptedInteraction ui;
    Workspace space(port, ui);
    space.Link().SetTimeout(20ms);
    port.Open();
    Fill(space.Data(), ListKind::Waypoints, waypoints);
    Fill(space.Data(), ListKind::Routes, {"03||HOME,NOWHERE", "05|| HOME ,ELSE,ELSE", "07||PUB"});
    if (!question.isEmpty())
        ui.ExpectQuestion(question, Answer::No);
    const ExchangeOutcome outcome = space.Upload(ListKind(kind));
    QVERIFY2(ui.AllScriptUsed() && ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join("|")));
    // Unanswered, the first sentence sent gets no further.
    QCOMPARE(outcome, question.isEmpty() ? ExchangeOutcome::Failed : ExchangeOutcome::Declined);
    QCOMPARE(port.transmitted.isEmpty(), !question.isEmpty());
}

// The receiver's memory goes down into a list, up again into the emptied receiver and down once
// more. What changes on the way is the protocol's doing, and only that:
// - a waypoint icon outside "a" to "t" comes down as "a";
// - a track point's date is not kept in the list and not sent, so the name that comes down with
//   a date (cut or padded to seven characters) goes up and comes back down as "TRAK01";
// - a track point's time keeps whole seconds: ".50" goes up as ".00";
// - a track point without a height comes down as "0000000" metres and goes up so.
void tst_Transfers::roundTrip_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("memory");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("uploaded"); // what the receiver then holds
    QTest::addColumn<QStringList>("again");    // the rows of the last download
    const QStringList waypoints{
        "$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,MY HOUSE,a",
        "$PMGNWPL,3351.425,S,15112.899,E,0000004,M,OPERA,SYDNEY OPERA HOUSE,k",
        "$PMGNWPL,5132.500,N,00014.125,W,-000030,F,WORK,,z"};
    const QStringList waypointRows{"HOME|5130.250|N|00012.345|W|0000010|M|MY HOUSE|a",
                                   "OPERA|3351.425|S|15112.899|E|0000004|M|SYDNEY OPERA HOUSE|k",
                                   "WORK|5132.500|N|00014.125|W|-000030|F||a"};
    QStringList iconA = waypoints;
    iconA.last().back() = u'a';
    QTest::newRow("waypoints") << 1 << waypoints << waypointRows << iconA << waypointRows;

    const QStringList routes =
        waypoints + QStringList{"$PMGNRTE,1,1,c,01,WORK,HOME", "$PMGNRTE,3,1,m,03,HOME TO WORK",
                                "$PMGNRTE,3,2,c,03,HOME,OPERA", "$PMGNRTE,3,3,c,03,WORK"};
    const QStringList routeRows{"01||WORK,HOME", "03|HOME TO WORK|HOME,OPERA,WORK"};
    QTest::newRow("routes") << 2 << routes << routeRows << routes << routeRows;

    const QStringList track{"$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.50,A,,061226",
                            "$PMGNTRK,5130.300,N,00012.400,W,,M,123530.00,A,SNOWDON SUMMIT,061226",
                            "$PMGNTRK,3351.425,S,15112.899,E,00004,M,000005.00,V"};
    QTest::newRow("track")
        << 3 << track
        << QStringList{"0001|       |5130.250|N|00012.345|W|00010|M|12:34:56 |A",
                       "0002|SNOWDON|5130.300|N|00012.400|W|0000000|M|12:35:30 |A",
                       "0003|TRAK01|3351.425|S|15112.899|E|00004|M|00:00:05 |V"}
        << QStringList{"$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,       ",
                       "$PMGNTRK,5130.300,N,00012.400,W,0000000,M,123530.00,A,SNOWDON",
                       "$PMGNTRK,3351.425,S,15112.899,E,00004,M,000005.00,V,TRAK01"}
        << QStringList{"0001|TRAK01|5130.250|N|00012.345|W|00010|M|12:34:56 |A",
                       "0002|TRAK01|5130.300|N|00012.400|W|0000000|M|12:35:30 |A",
                       "0003|TRAK01|3351.425|S|15112.899|E|00004|M|00:00:05 |V"};
}

void tst_Transfers::roundTrip()
{
    QFETCH(int, kind);
    QFETCH(QStringList, memory);
    const ListKind list = ListKind(kind);
    SimulatedSpace s({}, memory);
    // Connected as a user connects.
    QCOMPARE(s.space.ConnectToggle(), ExchangeOutcome::Completed);
    QCOMPARE(s.space.Download(list), ExchangeOutcome::Completed);
    QTEST(Rows(s.space.Data(), list), "rows");

    // The track upload empties the receiver's track itself.
    if (list != ListKind::Track) {
        s.ui.ExpectQuestion(list == ListKind::Routes ? DeletionText::AllRoutes
                                                     : DeletionText::AllWaypoints,
                            Answer::Yes);
        QCOMPARE(s.space.DeleteAllInReceiver(list), ExchangeOutcome::Completed);
    }
    QCOMPARE(s.space.Upload(list), ExchangeOutcome::Completed);
    QFETCH(QStringList, uploaded);
    QTRY_COMPARE(s.sim.Memory().split(u'\n', Qt::SkipEmptyParts), uploaded);

    QCOMPARE(s.space.Download(list), ExchangeOutcome::Completed);
    QTEST(Rows(s.space.Data(), list), "again");
    QVERIFY(s.ui.messages.empty() && s.ui.unexpected.isEmpty());
}

// Cancel pressed as an upload reports `cancelAt`: the upload is closed, a route upload with the
// route it was sending. (A download cancelled, the receiver stopped and drained, is navora-cli's
// Ctrl+C test.)
void tst_Transfers::cancel_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("waypoints") << 1 << kWaypoints
                               << QStringList{Checked(kMemory[0]), Checked(kMemory[1]), kEnd};
    QTest::newRow("routes") << 2 << QStringList{"01||HOME,PUB,WORK", "02||WORK,HOME"}
                            << QStringList{Checked("$PMGNRTE,2,1,c,01,HOME,PUB"),
                                           Checked("$PMGNRTE,2,2,c,01,WORK")};
}

void tst_Transfers::cancel()
{
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    SimulatedSpace s({"--acks-on"});
    QVERIFY(s.OpenWithoutHandshake());
    Fill(s.space.Data(), ListKind(kind), rows);
    const int cancelAt = kind == 2 ? 1 : 2;
    s.ui.onProgress = [&](int done) {
        if (done == cancelAt)
            s.space.Cancel();
    };
    QCOMPARE(s.space.Upload(ListKind(kind)), ExchangeOutcome::Cancelled);
    QCOMPARE(Rows(s.space.Data(), ListKind(kind)), rows);
    QVERIFY(s.ui.messages.empty() && !s.space.Busy());
    QFETCH(QStringList, sent);
    QTRY_COMPARE(s.sim.Received(), sent);
}

// Delete on a list while connected asks whether the receiver's copy goes too, and a Yes deletes
// it there in the command's one exchange: the selected waypoints last first, by the first six
// letters of their names.
void tst_Transfers::deleteInTheReceiverToo_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("gone"); // what the receiver no longer holds
    QTest::newRow("waypoints") << 1 << Answer::Yes << QStringList{"PUB"}
                               << QStringList{Checked("$PMGNDWP,WORKPL,"),
                                              Checked("$PMGNDWP,HOME,")}
                               << "M,HOME,";
    QTest::newRow("waypoints, in the list only")
        << 1 << Answer::No << QStringList{"PUB"} << QStringList() << QString();
    QTest::newRow("route") << 2 << Answer::Yes << QStringList() << QStringList{"$PMGNDRT,02*78"}
                           << "$PMGNRTE";
    QTest::newRow("track") << 3 << Answer::Yes << QStringList()
                           << QStringList{"$PMGNCMD,DELETE,TRACK*08", Checked("$PMGNCSM,3D")}
                           << "$PMGNTRK";
}

void tst_Transfers::deleteInTheReceiverToo()
{
    QFETCH(int, kind);
    QFETCH(Answer, answer);
    QFETCH(QString, gone);
    const ListKind list = ListKind(kind);
    SimulatedSpace s({"--acks-on"});
    QVERIFY(s.OpenWithoutHandshake());
    Lists& lists = s.space.Data();
    Fill(lists, ListKind::Waypoints,
         {kWaypoints[0], kWaypoints[1], "WORKPLACE|5132.500|N|00014.125|W|0000030|M||f"});
    Fill(lists, ListKind::Routes, kRoutes);
    Fill(lists, ListKind::Track, kTrack);
    if (list == ListKind::Routes)
        s.ui.ExpectQuestion("Are you sure you want to delete this route?", Answer::Yes);
    if (list == ListKind::Track)
        s.ui.ExpectQuestion("Delete all track points?", Answer::Yes);
    const QString inReceiverToo[] = {DeletionText::WaypointsToo, "Delete route from GPS as well?",
                                     "Delete Track information from GPS as well?"};
    s.ui.ExpectQuestion(inReceiverToo[kind - 1], answer);
    QSignalSpy busy(&s.space, &Workspace::BusyChanged);

    QCOMPARE(s.space.DeleteRows(list, {0, 2}), ExchangeOutcome::Completed);
    QVERIFY(s.ui.AllScriptUsed() && s.ui.unexpected.isEmpty() && s.ui.messages.empty());
    QTEST(Column(lists.Of(list), 0), "left");
    if (list == ListKind::Waypoints)
        QCOMPARE(s.ui.status[StatusPanel::Settings], QStringLiteral("2 waypoints deleted"));
    QCOMPARE(busy.count(), 2);
    QVERIFY(s.space.Connected());
    QFETCH(QStringList, sent);
    QTRY_COMPARE(s.sim.Received(), sent);
    QTRY_VERIFY(gone.isEmpty() || !s.sim.Memory().contains(gone));
    QVERIFY(s.sim.Memory().contains(QStringLiteral("M,PUB,")));
}

// A receiver that never stops talking: every drain gives up after the drain limit.
void tst_Transfers::drainLimit_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("trigger"); // once the program has sent this...
    QTest::addColumn<QString>("reply");   // ...the receiver answers this once...
    QTest::addColumn<QString>("chatter"); // ...and keeps sending this
    QTest::addColumn<QStringList>("messages");
    const QString track = Checked("$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A");
    QTest::newRow("connecting") << "connect"
                                << "VERSION" << Checked("$PMGNVER,025,4.02,MAP 410")
                                << Checked("$PMGNCSM,28") << QStringList{kStillSendingText};
    QTest::newRow("stop after an invalid line")
        << "down"
        << "WAYPOINT" << Checked("$PMGNCSM,71") << track
        << QStringList{"Invalid response recieved", kStillSendingText};
    QTest::newRow("deleting") << "delete all"
                              << "DELETE" << Checked("$PMGNCSM,17") << track
                              << QStringList{kStillSendingText};
}

void tst_Transfers::drainLimit()
{
    QFETCH(QString, command);
    QFETCH(QString, trigger);
    QFETCH(QString, reply);
    QFETCH(QString, chatter);
    FakeSerialStream port;
    ScriptedInteraction ui;
    Workspace space(port, ui);
    space.Link().SetTimeout(200ms);
    space.Link().SetDrainLimit(600ms);
    const bool connecting = command == u"connect";
    if (!connecting) {
        port.Open();
        space.Link().SetConnected(true);
    }
    if (command == u"delete all")
        ui.ExpectQuestion(DeletionText::AllWaypoints, Answer::Yes);
    bool replied = false;
    QTimer receiver;
    QObject::connect(&receiver, &QTimer::timeout, [&] {
        const bool triggered = port.transmitted.contains(trigger.toLatin1());
        if (triggered && !replied)
            port.QueueInput(reply.toLatin1() + "\r\n");
        replied = replied || triggered;
        if (replied || connecting)
            port.QueueInput(chatter.toLatin1() + "\r\n");
    });
    receiver.start(20ms);
    QElapsedTimer clock;
    clock.start();
    const ExchangeOutcome outcome =
        connecting ? space.ConnectToggle() : Run(space, command, ListKind::Waypoints);
    QCOMPARE(outcome, ExchangeOutcome::Failed);
    QTEST(ui.MessageTexts(), "messages");
    // Far below what a receiver that never stops would otherwise cost: for ever.
    QVERIFY(clock.elapsed() < kLongestMs);
    QCOMPARE(port.IsOpen(), !connecting);
}

// A receiver that falls silent after the first sentence of a download: the list keeps that
// row, the cancel window has counted it, and the route download alone stops the receiver.
void tst_Transfers::silentMidway_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("stops");
    QTest::newRow("waypoints") << 1 << kMemory[0] << "Timed out waiting for response from GPS"
                               << false;
    QTest::newRow("routes") << 2 << kMemory[3] << "Timed out waiting for response from GPS."
                            << true;
    QTest::newRow("track") << 3 << kMemory[6] << "No response from GPS" << false;
}

void tst_Transfers::silentMidway()
{
    QFETCH(int, kind);
    QFETCH(QString, first);
    QFETCH(QString, message);
    FakeSerialStream port;
    ScriptedInteraction ui;
    Workspace space(port, ui);
    space.Link().SetTimeout(200ms);
    port.Open();
    space.Link().SetConnected(true);
    QTimer receiver; // acknowledges the request, sends one sentence, then nothing
    QObject::connect(&receiver, &QTimer::timeout, [&] {
        const qsizetype request = port.transmitted.indexOf("$PMGNCMD,");
        if (request < 0)
            return;
        const QByteArray checksum =
            port.transmitted.mid(port.transmitted.indexOf('*', request) + 1, 2);
        port.QueueInput(Checked("$PMGNCSM," + QString::fromLatin1(checksum)).toLatin1() + "\r\n" +
                        Checked(first).toLatin1() + "\r\n");
        receiver.stop();
    });
    receiver.start(20ms);
    QCOMPARE(space.Download(ListKind(kind)), ExchangeOutcome::Failed);
    QCOMPARE(ui.MessageTexts(), QStringList{message});
    QCOMPARE(space.Data().Of(ListKind(kind)).Count(), 1);
    QCOMPARE(ui.progress, (std::vector<std::pair<int, int>>{{1, 0}}));
    QTEST(port.transmitted.contains("$PMGNCMD,STOP"), "stops");
    QVERIFY(!space.Busy() && !ui.cancelWindowShown);
}

// Each fault of the simulated receiver against each transfer of each list.
void tst_Transfers::faults_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("operation"); // "down", "up" or "delete all"
    QTest::addColumn<int>("kind");
    QTest::addColumn<ExchangeOutcome>("outcome");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("rows"); // rows of the list afterwards
    QTest::addColumn<bool>("hangsUp");

    using O = ExchangeOutcome;
    // One fault against one operation on the three lists, by list.
    const auto rows = [](const char* fault, const QStringList& arguments, const char* operation,
                         const QList<O>& outcomes, const QList<QStringList>& messages,
                         const QList<int>& left) {
        for (int kind = 1; kind <= 3; ++kind) {
            const int i = kind - 1;
            QTest::addRow("%s, %s %d", fault, operation, kind)
                << arguments << QString::fromLatin1(operation) << kind << outcomes[i]
                << messages.value(i) << left[i] << arguments.contains("--hangup-after");
        }
    };
    const QList<O> completed{O::Completed, O::Completed, O::Completed};
    const QList<O> failed{O::Failed, O::Failed, O::Failed};
    const QStringList unexpected{DownloadText::Unexpected};
    const QList<int> one{1, 1, 1};
    // Rows of each list before and after a whole transfer: the route is its name row and three
    // points.
    const QList<int> all{3, 4, 3};

    const QStringList silent{"--silent"};
    rows("silent", silent, "down", failed, {unexpected, unexpected, unexpected}, all);
    rows("silent", silent, "up", failed,
         {{UploadText::NoResponse}, {UploadText::NoResponse}, {UploadText::TrackNoResponse}}, all);
    const QList<QStringList> mayHaveFailed{{DeletionText::WaypointsMayHaveFailed},
                                           {DeletionText::RoutesMayHaveFailed},
                                           {DeletionText::TrackMayHaveFailed}};
    rows("silent", silent, "delete all", failed, mayHaveFailed, all);

    // The second data sentence arrives corrupted.
    const QStringList corrupt{"--corrupt-nth", "2"};
    rows("corrupt checksum", corrupt, "down", failed,
         {{"Invalid response recieved"},
          {"Invalid response recieved. Please try again."},
          {"Invalid response recieved"}},
         one);

    // The first sentence is misheard: a request or a sentence is sent again; a deletion the
    // receiver did not take never ends.
    const QStringList wrongEcho{"--wrong-echo", "1"};
    rows("wrong echo", wrongEcho, "down", completed, {}, all);
    rows("wrong echo", wrongEcho, "up", completed, {}, all);
    rows("wrong echo", wrongEcho, "delete all", failed, mayHaveFailed, all);

    for (const char* operation : {"down", "up", "delete all"}) {
        rows("noise", {"--noise"}, operation, completed, {}, all);
        rows("slow line", {"--baud", "4800"}, operation, completed, {}, all);
    }

    // Gone after the first data sentence, the second acknowledgement, or the acknowledgement
    // of a deletion: the port error alone is shown.
    rows("hang-up", {"--hangup-after", "2"}, "down", failed, {}, one);
    rows("hang-up", {"--hangup-after", "2"}, "up", failed, {}, all);
    rows("hang-up", {"--hangup-after", "1"}, "delete all", failed, {}, all);

    // Not a fault of the receiver: the program's port is closed, and nothing is written.
    const QStringList closed{ConnectionText::PortClosed};
    for (const char* operation : {"down", "up", "delete all"})
        rows("port closed", {"closed"}, operation, failed, {closed, closed, closed}, all);
}

void tst_Transfers::faults()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, operation);
    QFETCH(int, kind);
    QFETCH(bool, hangsUp);
    const ListKind list = ListKind(kind);
    const bool closed = arguments == QStringList{"closed"};
    // An upload goes to a receiver without that list, so what it stores is what was sent.
    const QString type = QStringList{"$PMGNWPL", "$PMGNRTE", "$PMGNTRK"}[kind - 1];
    QStringList memory = kMemory;
    if (operation == u"up")
        memory.removeIf([&](const QString& line) { return line.startsWith(type); });
    SimulatedSpace s(closed ? QStringList{"--acks-on"} : arguments + QStringList{"--acks-on"},
                     memory);
    QVERIFY(closed || s.OpenWithoutHandshake());
    Lists& lists = s.space.Data();
    Fill(lists, ListKind::Waypoints, kWaypoints);
    Fill(lists, ListKind::Routes, kRoutes);
    Fill(lists, ListKind::Track, kTrack);
    if (operation == u"delete all" && !closed) {
        const QString questions[] = {DeletionText::AllWaypoints, DeletionText::AllRoutes,
                                     DeletionText::Track};
        s.ui.ExpectQuestion(questions[kind - 1], Answer::Yes);
    }
    if (hangsUp)
        s.ui.ExpectQuestion(kHangUp, Answer::Ok);

    QElapsedTimer clock;
    clock.start();
    const ExchangeOutcome outcome = Run(s.space, operation, list);
    QVERIFY2(clock.elapsed() < kLongestMs, qPrintable(QString::number(clock.elapsed())));

    QTEST(outcome, "outcome");
    QTEST(s.ui.MessageTexts(), "messages");
    QTEST(lists.Of(list).Count(), "rows");
    QVERIFY2(s.ui.AllScriptUsed() && s.ui.unexpected.isEmpty(),
             qPrintable(s.ui.unexpected.join(" | ")));
    QVERIFY(!s.space.Busy() && !s.ui.cancelWindowShown);
    // The delete-all commands work without the cancel window.
    QCOMPARE(s.ui.cancelWindowTexts.isEmpty(), operation == u"delete all");
    QCOMPARE(s.space.Connected(), !hangsUp && !closed);
    if (closed)
        QVERIFY(s.sim.Received().isEmpty());
    // Each sentence stored once, however often it had to be sent.
    if (operation == u"up" && outcome == ExchangeOutcome::Completed)
        QTRY_COMPARE(s.sim.Memory().split(u'\n').filter(type).size(), 3);
}

QTEST_GUILESS_MAIN(tst_Transfers)
#include "tst_Transfers.moc"
