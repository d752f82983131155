// The transfers end to end against the simulated receiver, as the window and
// navora-cli run them: the sentences on the wire, what the receiver then
// holds, and the ways a user can end them.

#include "gpslink/Connection.h"
#include "gpslink/Deletion.h"
#include "gpslink/Download.h"
#include "gpslink/Drain.h"
#include "gpslink/Sentence.h"
#include "gpslink/Upload.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/workspace/SimulatedSpace.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

constexpr auto kTimeout = 300ms;

const QString kEnd = QStringLiteral("$PMGNCMD,END*3D");
const QString kWaypointMemory =
    QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a\n"
                   "$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,,c\n"
                   "$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,,f\n");
const QString kHome = QStringLiteral("HOME|5130.250|N|00012.345|W|0000010|M||a");

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
    void deleteSelectedWaypoints_data();
    void deleteSelectedWaypoints();
    void drainLimit_data();
    void drainLimit();
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
    row("waypoint worked example", 1, {kHome},
        {"$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a*49", kEnd});
    row("route worked example", 2, {"03|HOME TO WORK|HOME,PUB,WORK"},
        {"$PMGNRTE,3,1,m,03,HOME TO WORK*02", "$PMGNRTE,3,2,c,03,HOME,PUB*7E",
         "$PMGNRTE,3,3,c,03,WORK*1A"});
    row("empty waypoint list", 1, {}, {kEnd});
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
    SimulatedSpace s(arguments + QStringList{"--acks-on"}, kWaypointMemory, kTimeout);
    QVERIFY(s.OpenWithoutHandshake());
    Fill(s.space.Data(), ListKind(kind), rows);
    QCOMPARE(s.space.Upload(ListKind(kind)),
             messages.isEmpty() ? ExchangeOutcome::Completed : ExchangeOutcome::Failed);
    QCOMPARE(s.ui.MessageTexts(), messages);
    QVERIFY(s.ui.questionsAsked.empty());
    QFETCH(QStringList, sent);
    // The last line may still be on its way to the receiver.
    QTRY_COMPARE(s.sim.Received(), sent);
}

// Questions before anything is sent: No or Cancel sends nothing. 500 waypoints ask nothing.
void tst_Transfers::askedFirst_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("waypoints");
    QTest::addColumn<QStringList>("routes");
    QTest::addColumn<QString>("question");
    const QString ending = "\r\n\r\nClick OK to upload all the same, or Cancel to upload nothing.";
    const QStringList routes{"03||HOME,NOWHERE", "05|| HOME ,ELSE,ELSE", "07||PUB"};
    QStringList many;
    for (int i = 0; i < 501; ++i)
        many << QStringLiteral("W%1").arg(i);
    QTest::newRow("501 waypoints") << "up" << 1 << many << routes << UploadText::TooManyWaypoints;
    QTest::newRow("500 waypoints") << "up" << 1 << many.mid(1) << routes << QString();
    QTest::newRow("shared names")
        << "up" << 1 << QStringList{"HOME", "PUB", "HOME ", "PUB", "WORK"} << routes
        << "These waypoints share a name, and the GPS keeps only the last waypoint of each "
           "name:\r\nHOME, PUB" +
               ending;
    QTest::newRow("points without their waypoint")
        << "up" << 2 << QStringList{"HOME", "PUB"} << routes
        << "These route points name no waypoint of the waypoint list. The GPS refuses a route "
           "whose waypoints it does not hold:\r\nRoute 03: NOWHERE\r\nRoute 05: ELSE" +
               ending;
    QTest::newRow("delete all routes")
        << "delete all" << 2 << QStringList() << routes << DeletionText::AllRoutes;
}

void tst_Transfers::askedFirst()
{
    QFETCH(QString, operation);
    QFETCH(int, kind);
    QFETCH(QString, question);
    FakeSerialStream port;
    ScriptedInteraction ui;
    Workspace space(port, ui);
    space.Link().SetTimeout(20ms);
    port.Open();
    QFETCH(QStringList, waypoints);
    QFETCH(QStringList, routes);
    Fill(space.Data(), ListKind::Waypoints, waypoints);
    Fill(space.Data(), ListKind::Routes, routes);
    if (!question.isEmpty())
        ui.ExpectQuestion(question, Answer::No);
    const ExchangeOutcome outcome = Run(space, operation, ListKind(kind));
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
    SimulatedSpace s({}, memory.join(u'\n'), kTimeout);
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
    QTRY_COMPARE(MemoryLines(s.sim), uploaded);

    QCOMPARE(s.space.Download(list), ExchangeOutcome::Completed);
    QTEST(Rows(s.space.Data(), list), "again");
    QVERIFY(s.ui.messages.empty() && s.ui.unexpected.isEmpty());
}

// Cancel pressed as the transfer reports `cancelAt`: the rows received stay, the receiver is
// told to stop or the upload is closed, and a route upload ends with the route it was sending.
void tst_Transfers::cancel_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("left");
    const QStringList waypoints{kHome, "PUB|5131.000|N|00013.000|W|0000020|M||c",
                                "WORK|5132.500|N|00014.125|W|0000030|M||f"};
    QTest::newRow("download")
        << "down" << 1 << QStringList()
        << QStringList{"$PMGNCMD,WAYPOINT*71", Checked("$PMGNCSM,49"),
                       Checked("$PMGNCSM," +
                               SentenceChecksum("$PMGNWPL,5131.000,N,00013.000,W,0000020,"
                                                "M,PUB,,c*")),
                       "$PMGNCMD,STOP*6A",
                       // already on its way when the receiver heard STOP
                       Checked("$PMGNCSM," +
                               SentenceChecksum("$PMGNWPL,5132.500,N,00014.125,W,0000030,"
                                                "M,WORK,,f*"))}
        << 2;
    QTest::newRow("waypoint upload")
        << "up" << 1 << waypoints
        << QStringList{Checked("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a"),
                       Checked("$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,,c"), kEnd}
        << 3;
    QTest::newRow("route upload") << "up" << 2 << QStringList{"01||HOME,PUB,WORK", "02||WORK,HOME"}
                                  << QStringList{Checked("$PMGNRTE,2,1,c,01,HOME,PUB"),
                                                 Checked("$PMGNRTE,2,2,c,01,WORK")}
                                  << 7;
}

void tst_Transfers::cancel()
{
    QFETCH(QString, operation);
    QFETCH(int, kind);
    QFETCH(QStringList, rows);
    SimulatedSpace s({"--acks-on"}, kWaypointMemory, kTimeout);
    QVERIFY(s.OpenWithoutHandshake());
    Fill(s.space.Data(), ListKind(kind), rows);
    const int cancelAt = kind == 2 ? 1 : 2;
    s.ui.onProgress = [&](int done) {
        if (done == cancelAt)
            s.space.Cancel();
    };
    QCOMPARE(Run(s.space, operation, ListKind(kind)), ExchangeOutcome::Cancelled);
    QTEST(s.space.List(ListKind(kind)).Count(), "left");
    QVERIFY(s.ui.messages.empty() && !s.space.Busy());
    QFETCH(QStringList, sent);
    QTRY_COMPARE(s.sim.Received(), sent);
}

// Delete on the waypoint list: the selected rows go, last first, and in the receiver too when
// the user wants it, by the first six letters of their names.
void tst_Transfers::deleteSelectedWaypoints_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("in the receiver too")
        << true << Answer::Yes
        << QStringList{Checked("$PMGNDWP,WORKPL,"), Checked("$PMGNDWP,HOME,")};
    QTest::newRow("disconnected") << false << Answer::Ok << QStringList();
}

void tst_Transfers::deleteSelectedWaypoints()
{
    QFETCH(bool, connected);
    QFETCH(Answer, answer);
    SimulatedSpace s({"--acks-on"}, kWaypointMemory, kTimeout);
    if (connected) {
        QVERIFY(s.OpenWithoutHandshake());
        s.ui.ExpectQuestion(DeletionText::WaypointsToo, answer);
    }
    Fill(s.space.Data(), ListKind::Waypoints,
         {kHome, "PUB|5131.000|N|00013.000|W|0000020|M||c",
          "WORKPLACE|5132.500|N|00014.125|W|0000030|M||f"});
    QCOMPARE(s.space.DeleteRows(ListKind::Waypoints, {0, 2}), ExchangeOutcome::Completed);
    QCOMPARE(Column(s.space.Data().waypoints, WaypointColumn::Name), QStringList{"PUB"});
    QCOMPARE(s.ui.status[StatusPanel::Settings], QStringLiteral("2 waypoints deleted"));
    QCOMPARE(s.ui.cancelWindowTexts, QStringList{DeletionText::DeletingWaypoints});
    QVERIFY(s.ui.AllScriptUsed() && s.ui.unexpected.isEmpty() && !s.ui.cancelWindowShown);
    QFETCH(QStringList, sent);
    QTRY_COMPARE(s.sim.Received(), sent);
    if (!sent.isEmpty())
        QTRY_VERIFY(!s.sim.Memory().contains(",HOME,"));
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
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(port.IsOpen(), !connecting);
}

QTEST_GUILESS_MAIN(tst_Transfers)
#include "tst_Transfers.moc"
