// Every fault the simulated receiver can have, against every transfer: the
// message the user sees, the rows the lists keep, and no wait past the
// link's time-outs.

#include "gpslink/Connection.h"
#include "gpslink/Deletion.h"
#include "gpslink/Download.h"
#include "gpslink/Upload.h"
#include "tests/workspace/SimulatedSpace.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

constexpr auto kTimeout = 300ms;
// Several time-outs and the slow line's own time, far below any wait that does not end.
constexpr qint64 kLongestMs = 5000;

const QString kMemory = QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a\n"
                                       "$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,THE BELL,c\n"
                                       "$PMGNWPL,5132.500,N,00014.125,W,0000030,M,WORK,,f\n"
                                       "$PMGNRTE,3,1,m,03,HOME TO WORK\n"
                                       "$PMGNRTE,3,2,c,03,HOME,PUB\n"
                                       "$PMGNRTE,3,3,c,03,WORK\n"
                                       "$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A\n"
                                       "$PMGNTRK,5130.300,N,00012.400,W,00012,M,123530.00,A\n"
                                       "$PMGNTRK,5130.350,N,00012.450,W,00014,M,123600.00,A\n");
// The same as lists: what the uploads send and the downloads replace.
const QStringList kWaypoints = {"HOME|5130.250|N|00012.345|W|0000010|M||a",
                                "PUB|5131.000|N|00013.000|W|0000020|M|THE BELL|c",
                                "WORK|5132.500|N|00014.125|W|0000030|M||f"};
const QStringList kRoutes = {"03|HOME TO WORK|HOME,PUB,WORK"};
const QStringList kTrack = {"0001|TRAK01|5130.250|N|00012.345|W|00010|M|12:34:56 |A",
                            "0002|TRAK01|5130.300|N|00012.400|W|00012|M|12:35:30 |A",
                            "0003|TRAK01|5130.350|N|00012.450|W|00014|M|12:36:00 |A"};
// Rows of each list before and after a whole transfer: the route is its name row and three points.
const QList<int> kAllRows = {3, 4, 3};

const QString kHangUp = QStringLiteral("Unknown error or event");

using O = ExchangeOutcome;

} // namespace

class tst_FaultMatrix : public QObject
{
    Q_OBJECT
private slots:
    void faults_data();
    void faults();
};

void tst_FaultMatrix::faults_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("operation"); // "down", "up" or "delete all"
    QTest::addColumn<int>("kind");
    QTest::addColumn<ExchangeOutcome>("outcome");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("rows"); // rows of the list afterwards
    QTest::addColumn<bool>("hangsUp");

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

    const QStringList silent{"--silent"};
    rows("silent", silent, "down", failed, {unexpected, unexpected, unexpected}, kAllRows);
    rows("silent", silent, "up", failed,
         {{UploadText::NoResponse}, {UploadText::NoResponse}, {UploadText::TrackNoResponse}},
         kAllRows);
    const QList<QStringList> mayHaveFailed{{DeletionText::WaypointsMayHaveFailed},
                                           {DeletionText::RoutesMayHaveFailed},
                                           {DeletionText::TrackMayHaveFailed}};
    rows("silent", silent, "delete all", failed, mayHaveFailed, kAllRows);

    // The second data sentence arrives corrupted; only downloads receive data sentences.
    const QStringList corrupt{"--corrupt-nth", "2"};
    rows("corrupt checksum", corrupt, "down", failed,
         {{"Invalid response recieved"},
          {"Invalid response recieved. Please try again."},
          {"Invalid response recieved"}},
         one);
    rows("corrupt checksum", corrupt, "up", completed, {}, kAllRows);
    rows("corrupt checksum", corrupt, "delete all", completed, {}, kAllRows);

    // The first sentence is misheard: a request or a sentence is sent again; a deletion the
    // receiver did not take never ends.
    const QStringList wrongEcho{"--wrong-echo", "1"};
    rows("wrong echo", wrongEcho, "down", completed, {}, kAllRows);
    rows("wrong echo", wrongEcho, "up", completed, {}, kAllRows);
    rows("wrong echo", wrongEcho, "delete all", failed, mayHaveFailed, kAllRows);

    for (const char* operation : {"down", "up", "delete all"}) {
        rows("noise", {"--noise"}, operation, completed, {}, kAllRows);
        rows("slow line", {"--baud", "4800"}, operation, completed, {}, kAllRows);
    }

    // Gone after the first data sentence, the second acknowledgement, or the acknowledgement
    // of a deletion: the port error alone is shown.
    rows("hang-up", {"--hangup-after", "2"}, "down", failed, {}, one);
    rows("hang-up", {"--hangup-after", "2"}, "up", failed, {}, kAllRows);
    rows("hang-up", {"--hangup-after", "1"}, "delete all", failed, {}, kAllRows);

    // Not a fault of the receiver: the program's port is closed, and nothing is written.
    const QStringList closed{ConnectionText::PortClosed};
    for (const char* operation : {"down", "up", "delete all"})
        rows("port closed", {"closed"}, operation, failed, {closed, closed, closed}, kAllRows);
}

void tst_FaultMatrix::faults()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, operation);
    QFETCH(int, kind);
    QFETCH(bool, hangsUp);
    const ListKind list = ListKind(kind);
    const bool closed = arguments == QStringList{"closed"};
    SimulatedSpace s(closed ? QStringList{"--acks-on"} : arguments + QStringList{"--acks-on"},
                     kMemory, kTimeout);
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
    QCOMPARE(s.space.Connected(), !hangsUp && !closed);
    if (closed)
        QVERIFY(s.sim.Received().isEmpty());
}

QTEST_GUILESS_MAIN(tst_FaultMatrix)
#include "tst_FaultMatrix.moc"
