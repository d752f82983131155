#include "gpslink/Connection.h"
#include "tests/support/FakeSerialStream.h"
#include "tests/workspace/SimulatedSpace.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString kData = QStringLiteral(NAVORA_TEST_DATA "/files/");
const QString kPortSettings = QStringLiteral("Settings: Com1,4800,n,8,1");

// A workspace over a port in memory, with the WGS84 datum set.
struct Space
{
    Space() { space.State().currentDatumCode = QStringLiteral("WGS84"); }
    FakeSerialStream port;
    ScriptedInteraction ui;
    Workspace space{port, ui};
    QTemporaryDir dir;
};

// A receiver's memory: two waypoints, route 3 over them and one track point.
const QString kMemory =
    QStringLiteral("$PMGNWPL,5130.250,N,00012.345,W,0000010,M,HOME,,a\n"
                   "$PMGNWPL,5131.000,N,00013.000,W,0000020,M,PUB,,c\n"
                   "$PMGNRTE,3,1,m,03,HOME TO PUB\n"
                   "$PMGNRTE,3,2,c,03,HOME,PUB\n"
                   "$PMGNTRK,5130.250,N,00012.345,W,00010,M,123456.00,A,,061226\n");

} // namespace

class tst_Workspace : public QObject
{
    Q_OBJECT
private slots:
    void statusPanelTellsTheTruth_data();
    void statusPanelTellsTheTruth();
    void rowToEdit_data();
    void rowToEdit();
    void busyRefusesEveryCommand();
    void deleteInTheReceiverToo_data();
    void deleteInTheReceiverToo();
};

// Steps: "load KIND FILE", "save KIND FILE" (a file of the test's folder; "no/f.txt" cannot be
// written), "delete KIND" (answered Yes). After each step, its outcome and the Settings panel.
void tst_Workspace::statusPanelTellsTheTruth_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<FileStatus>>("outcomes");
    QTest::addColumn<QStringList>("panels");
    using F = FileStatus;
    const QString read2 = QStringLiteral("2 Records read");
    const QString written2 = QStringLiteral("2 Trackpoints written to file");
    QTest::newRow("load, then save")
        << QStringList{"load 3 track.txt", "save 3 a.txt", "save 1 b.txt"}
        << QList<F>{F::Read, F::Written, F::NothingToSave}
        << QStringList{read2, written2, written2};
    QTest::newRow("a failed save leaves no count")
        << QStringList{"load 3 track.txt", "save 3 a.txt", "save 3 no/f.txt"}
        << QList<F>{F::Read, F::Written, F::Failed} << QStringList{read2, written2, kPortSettings};
    QTest::newRow("an emptied list leaves no count")
        << QStringList{"load 3 track.txt", "delete 3"} << QList<F>{F::Read, F::Read}
        << QStringList{read2, kPortSettings};
    QTest::newRow("another list's change keeps the count")
        << QStringList{"load 2 routes.txt", "delete 3", "delete 2"}
        << QList<F>{F::Read, F::Read, F::Read}
        << QStringList{"5 Records read", "5 Records read", kPortSettings};
    QTest::newRow("a file of another kind leaves no count")
        << QStringList{"load 3 track.txt", "load 1 track.txt"} << QList<F>{F::Read, F::NotThatKind}
        << QStringList{read2, kPortSettings};
}

void tst_Workspace::statusPanelTellsTheTruth()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<FileStatus>, outcomes);
    QFETCH(QStringList, panels);
    Space s;
    s.space.Data().track.AddRow({"0001"}); // a list to delete before anything is loaded
    for (int i = 0; i < steps.size(); ++i) {
        const QStringList w = steps[i].split(u' ');
        const ListKind kind = ListKind(w[1].toInt());
        FileStatus status = FileStatus::Read;
        if (w[0] == u"load") {
            status = s.space.LoadFile(kind, kData + w[2]).status;
        } else if (w[0] == u"save") {
            status = s.space.SaveFile(kind, s.dir.filePath(w[2])).status;
        } else {
            s.ui.ExpectQuestion(kind == ListKind::Track
                                    ? QStringLiteral("Delete all track points?")
                                    : QStringLiteral("Are you sure you want to delete this route?"),
                                Answer::Yes);
            QCOMPARE(s.space.DeleteRows(kind, {0}), ExchangeOutcome::Completed);
        }
        QCOMPARE(status, outcomes[i]);
        QCOMPARE(s.ui.status[StatusPanel::Settings], panels[i]);
    }
    QVERIFY(s.ui.AllScriptUsed() && s.ui.unexpected.isEmpty());
}

void tst_Workspace::rowToEdit_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("row"); // -2: none
    QTest::addColumn<bool>("refused");
    QTest::newRow("waypoint, none selected: a new one") << 1 << QList<int>{} << -1 << false;
    QTest::newRow("waypoint, one selected") << 1 << QList<int>{2} << 2 << false;
    QTest::newRow("waypoints, two selected") << 1 << QList<int>{0, 2} << -2 << true;
    QTest::newRow("route, none selected: a new one") << 2 << QList<int>{} << -1 << false;
    QTest::newRow("routes: the last selected") << 2 << QList<int>{4, 1} << 4 << false;
    QTest::newRow("track: never") << 3 << QList<int>{1} << -2 << false;
}

void tst_Workspace::rowToEdit()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, selected);
    QFETCH(int, row);
    QFETCH(bool, refused);
    Space s;
    const std::optional<int> edited = s.space.RowToEdit(ListKind(kind), selected);
    QCOMPARE(edited.value_or(-2), row);
    if (edited)
        QCOMPARE(s.space.State().editIndex, row);
    const QString refusal(
        "Muliple waypoints selected!\r\nYou can only edit one waypoint at a time");
    QCOMPARE(s.ui.MessageTexts(), refused ? QStringList{refusal} : QStringList{});
}

// While an exchange runs, a second command does nothing: no question, no file, no change.
void tst_Workspace::busyRefusesEveryCommand()
{
    Space s;
    s.port.Open();
    s.space.Link().SetConnected(true);
    s.space.Data().track.AddRows({{"0001"}, {"0002"}});
    QSignalSpy busy(&s.space, &Workspace::BusyChanged);
    {
        ExchangeFrame running(s.space.Link(), s.ui, QStringLiteral("Connecting to GPS..."));
        QVERIFY(s.space.Busy());
        QCOMPARE(s.space.ConnectToggle(), ExchangeOutcome::Busy);
        QCOMPARE(s.space.DeleteRows(ListKind::Track, {0}), ExchangeOutcome::Busy);
        QCOMPARE(s.space.LoadFile(ListKind::Track, kData + "track.txt").status, FileStatus::Busy);
        QCOMPARE(s.space.SaveFile(ListKind::Track, s.dir.filePath("t.txt")).status,
                 FileStatus::Busy);
    }
    QVERIFY(s.ui.questionsAsked.empty() && s.ui.messages.empty());
    QCOMPARE(s.space.Data().track.Count(), 2);
    QVERIFY(!QFile::exists(s.dir.filePath("t.txt")));
    QVERIFY(s.port.IsOpen() && s.space.Connected() && s.port.transmitted.isEmpty());
    QCOMPARE(busy.count(), 2);
    QCOMPARE(s.ui.cancelWindowTexts, QStringList{"Connecting to GPS..."});
}

// Connected, Delete asks whether the receiver's copy goes too, and a Yes deletes it there in
// the command's one exchange.
void tst_Workspace::deleteInTheReceiverToo_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<Answer>("second");
    QTest::addColumn<QString>("sent"); // empty: nothing sent
    QTest::addColumn<QString>("gone"); // the memory lines the receiver no longer has
    QTest::newRow("route, yes") << 2 << Answer::Yes << "$PMGNDRT,02*78"
                                << "$PMGNRTE";
    QTest::newRow("track, yes") << 3 << Answer::Yes << "$PMGNCMD,DELETE,TRACK*08"
                                << "$PMGNTRK";
    QTest::newRow("track, no") << 3 << Answer::No << QString() << QString();
}

void tst_Workspace::deleteInTheReceiverToo()
{
    QFETCH(int, kind);
    QFETCH(Answer, second);
    QFETCH(QString, sent);
    QFETCH(QString, gone);
    SimulatedSpace s({"--acks-on"}, kMemory, 300ms);
    QVERIFY(s.OpenWithoutHandshake());
    Fill(s.space.Data(), ListKind::Routes, {"03|HOME TO PUB|HOME,PUB"});
    s.space.Data().track.AddRow({"0001"});
    const bool route = ListKind(kind) == ListKind::Routes;
    s.ui.ExpectQuestion(route ? "Are you sure you want to delete this route?"
                              : "Delete all track points?",
                        Answer::Yes);
    s.ui.ExpectQuestion(route ? "Delete route from GPS as well?"
                              : "Delete Track information from GPS as well?",
                        second);
    QSignalSpy busy(&s.space, &Workspace::BusyChanged);

    QCOMPARE(s.space.DeleteRows(ListKind(kind), {0}), ExchangeOutcome::Completed);
    QVERIFY(s.ui.AllScriptUsed() && s.ui.unexpected.isEmpty() && s.ui.messages.empty());
    QCOMPARE(s.space.List(ListKind(kind)).Count(), 0);
    QCOMPARE(busy.count(), sent.isEmpty() ? 0 : 2);
    QVERIFY(s.space.Connected());
    QTRY_COMPARE(s.sim.Received().value(0), sent);
    QTRY_VERIFY(gone.isEmpty() || !s.sim.Memory().contains(gone));
    QVERIFY(s.sim.Memory().contains(QStringLiteral("$PMGNWPL")));
}

QTEST_GUILESS_MAIN(tst_Workspace)
#include "tst_Workspace.moc"
