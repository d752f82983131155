#include "model/ListModel.h"
#include "tests/support/ListTexts.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

namespace {

// Three waypoints whose names and latitudes sort in different orders.
void AddWaypoints(ListModel& list)
{
    list.AddRow({"BRIDGE", "5130.250", "N", "00007.500", "W", "12", "M", "", "c"});
    list.AddRow({"ALPHA", "0010.000", "S", "00100.000", "E", "3", "M", "", "a"});
    list.AddRow({"CAFE", "0009.500", "N", "00007.500", "W", "7", "M", "", "t"});
}

} // namespace

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    void headerClicks_data();
    void headerClicks();
    void trackSortsByNumber_data();
    void trackSortsByNumber();
    void routeListNeverSorts();
    void selectionFollowsSortedRows();
    void addRows();
};

// A click on kReload clears the list and adds the same rows again, as a load or a download does.
constexpr int kReload = 100;

void tst_ListModel::headerClicks_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<Qt::SortOrder>("order");
    const auto row = [](const char* name, const QList<int>& clicks, const QStringList& names,
                        Qt::SortOrder order) { QTest::newRow(name) << clicks << names << order; };
    const Qt::SortOrder up = Qt::AscendingOrder, down = Qt::DescendingOrder;
    // Name is the sort column from the start, so its first click flips.
    row("first click on Name", {0}, {"CAFE", "BRIDGE", "ALPHA"}, down);
    row("first click on Latitude", {1}, {"CAFE", "ALPHA", "BRIDGE"}, up);
    // Heights by their numbers: 12 > 7 > 3, where text would put "7" first.
    row("Altitude twice", {5, 5}, {"BRIDGE", "CAFE", "ALPHA"}, down);
    row("back to Name starts ascending", {1, 1, 0}, {"ALPHA", "BRIDGE", "CAFE"}, up);
    // Equal texts keep the order they had.
    row("Longitude, two equal", {3}, {"BRIDGE", "CAFE", "ALPHA"}, up);
    row("outside the columns", {9, -1}, {"BRIDGE", "ALPHA", "CAFE"}, up);
    // Reloaded rows stand in their own order: the old sort column's next click sorts ascending.
    row("reloaded list is unsorted", {0, kReload, 0}, {"ALPHA", "BRIDGE", "CAFE"}, up);
}

void tst_ListModel::headerClicks()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, names);
    QFETCH(Qt::SortOrder, order);
    ListModel list(ListKind::Waypoints);
    AddWaypoints(list);
    for (int column : clicks) {
        if (column == kReload) {
            list.Clear();
            AddWaypoints(list);
        } else {
            list.SortByColumn(column);
        }
    }
    QCOMPARE(Column(list, WaypointColumn::Name), names);
    QCOMPARE(list.SortOrder(), order);
    // The rows move whole: each name keeps its own icon.
    for (int row = 0; row < list.Count(); ++row)
        QCOMPARE(list.IconKey(row), list.Text(row, WaypointColumn::Icon));
}

void tst_ListModel::trackSortsByNumber_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("sorted");
    // Past 9999 points the numbers outgrow their four digits.
    QTest::newRow("Point #") << int(TrackColumn::Point)
                             << QStringList{"99990", "9999", "10000", "0002", "99989"}
                             << QStringList{"0002", "9999", "10000", "99989", "99990"};
    QTest::newRow("Altitude, signs and decimals")
        << int(TrackColumn::Altitude)
        << QStringList{"0000123", "-000012", "45.5", "", "0000045", "1e3", "  7"}
        << QStringList{"-000012", "", "  7", "0000045", "45.5", "0000123", "1e3"};
}

void tst_ListModel::trackSortsByNumber()
{
    QFETCH(int, column);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, sorted);
    ListModel track(ListKind::Track);
    for (const QString& cell : cells) {
        QStringList row(TrackColumn::Count);
        row[column] = cell;
        track.AddRow(row);
    }
    track.SortByColumn(column);
    if (column == TrackColumn::Point) // already the sort column: the first click flips
        track.SortByColumn(column);
    QCOMPARE(Column(track, column), sorted);
}

void tst_ListModel::routeListNeverSorts()
{
    ListModel routes(ListKind::Routes);
    routes.AddRows({{"02", "======", "R02"},
                    {"02", "01", "B"},
                    {"02", "02", "A"},
                    {"01", "======", "R01"},
                    {"01", "01", "C"}});
    const QStringList before = Column(routes, RouteColumn::Name);
    QSignalSpy layout(&routes, &QAbstractItemModel::layoutChanged);
    for (int column : {0, 0, 1, 2})
        routes.SortByColumn(column);
    QCOMPARE(Column(routes, RouteColumn::Name), before);
    QCOMPARE(layout.count(), 0);
}

void tst_ListModel::selectionFollowsSortedRows()
{
    ListModel list(ListKind::Waypoints);
    AddWaypoints(list);
    QItemSelectionModel selection(&list);
    // ALPHA (row 1) is selected and current, as a view would have it.
    selection.setCurrentIndex(list.index(1, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.SetSelected(1, true);

    for (int column : {1, 1, 0}) // ends ALPHA, BRIDGE, CAFE
        list.SortByColumn(column);
    QCOMPARE(list.Text(0, WaypointColumn::Name), QStringLiteral("ALPHA"));
    QVERIFY(list.IsSelected(0) && !list.IsSelected(1) && !list.IsSelected(2));
    QVERIFY(selection.isRowSelected(0, {}) && !selection.isRowSelected(1, {}));
    QCOMPARE(selection.currentIndex().row(), 0);
}

void tst_ListModel::addRows()
{
    ListModel waypoints(ListKind::Waypoints);
    waypoints.AddRow({"FIRST"});
    QSignalSpy inserted(&waypoints, &QAbstractItemModel::rowsInserted);
    waypoints.AddRows({{"SHORT", "5130.250"}, {"FULL", "1", "N", "2", "E", "3", "F", "d", "k"}});
    waypoints.AddRows({});
    // One insertion for both rows, none for an empty batch.
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).mid(1), (QVariantList{1, 2}));
    QCOMPARE(waypoints.Text(1, WaypointColumn::Description), QString());
    QCOMPARE(waypoints.IconKey(2), QStringLiteral("k"));

    // The track's ninth column is a time, not an icon letter.
    ListModel track(ListKind::Track);
    track.AddRows(
        {{"0001", "TRAK01", "5130.250", "N", "00007.500", "W", "0", "M", "12:00:00 ", "A"}});
    QCOMPARE(track.IconKey(0), QString());
}

QTEST_GUILESS_MAIN(tst_ListModel)
#include "tst_ListModel.moc"
