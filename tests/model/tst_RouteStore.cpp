#include "model/RouteStore.h"
#include "tests/support/ListTexts.h"

#include <QTest>

namespace {

// Runs "start 1 TOWN", "start 2" (no name), "add 1 HOME", "name 2 N", "replace 1 N A,B" and
// "remove 1" on the store; the steps the store refused, by their text.
QStringList Run(RouteStore& store, const QStringList& steps)
{
    QStringList refused;
    for (const QString& step : steps) {
        const QStringList w = step.split(u' ');
        const int route = w.value(1).toInt();
        bool done = true;
        if (w[0] == u"start")
            done = store.StartRoute(route, w.size() > 2 ? std::optional(w[2]) : std::nullopt);
        else if (w[0] == u"add")
            done = store.AddPoint(route, w.value(2));
        else if (w[0] == u"name")
            done = store.SetName(route, w.value(2));
        else if (w[0] == u"replace")
            done =
                store.ReplaceRoute(route, w.value(2), w.value(3).split(u',', Qt::SkipEmptyParts));
        else
            store.RemoveRoute(route);
        if (!done)
            refused << step;
    }
    return refused;
}

// The list's rows as "Id Num Name", then every route as "route:name=points".
QStringList Contents(const RouteStore& store)
{
    QStringList out;
    const ListModel& list = store.List();
    for (int row = 0; row < list.Count(); ++row)
        out << QStringList{list.Text(row, 0), list.Text(row, 1), list.Text(row, 2)}.join(u' ');
    for (int route = 0; route <= 22; ++route) {
        if (!store.Name(route).isEmpty() || store.Exists(route))
            out << QStringLiteral("%1:%2=").arg(route).arg(store.Name(route)) +
                       store.Points(route).join(u',');
    }
    return out;
}

} // namespace

class tst_RouteStore : public QObject
{
    Q_OBJECT
private slots:
    void rowsShowTheRoutes_data();
    void rowsShowTheRoutes();
};

void tst_RouteStore::rowsShowTheRoutes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("contents");
    QTest::addColumn<QStringList>("refused");
    const auto row = [](const char* name, const QStringList& steps, const QStringList& contents,
                        const QStringList& refused = {}) {
        QTest::newRow(name) << steps << contents << refused;
    };
    row("a file: named and nameless routes",
        {"start 1 TOWN", "add 1 HOME", "add 1 CHURCH", "start 2", "add 2 XYZ"},
        {"01 ====== TOWN", "01 01 HOME", "01 02 CHURCH",
         "02 ====== ===================", "02 01 XYZ", "1:TOWN=HOME,CHURCH", "2:=XYZ"});
    row("a route named again starts afresh at the end",
        {"start 1 A", "add 1 P", "add 1 Q", "start 2 B", "add 2 R", "start 1 C", "add 1 S"},
        {"02 ====== B", "02 01 R", "01 ====== C", "01 01 S", "1:C=S", "2:B=R"});
    row("a download: points before the name, rows apart",
        {"add 2 A", "add 3 X", "add 2 B", "name 2 N", "name 2 M"},
        {"02 01 A", "03 01 X", "02 02 B", "02 ====== M", "2:M=A,B", "3:=X"});
    const QStringList refused{"start 0 Z", "start 21 Z", "add 0 A",       "add 21 A",
                              "name 22 N", "add 20",     "replace 21 R A"};
    row("numbers outside 1 to 20 and blank names are refused",
        (refused.first(5) << "start 20 LAST") + refused.sliced(5), {"20 ====== LAST", "20:LAST="},
        refused);
    QStringList full{"start 5 FULL"}, rows{"05 ====== FULL"}, points;
    for (int i = 1; i <= 32; ++i) {
        full << QStringLiteral("add 5 W%1").arg(i);
        if (i <= 31) {
            rows << QStringLiteral("05 %1 W%2").arg(i, 2, 10, QChar(u'0')).arg(i);
            points << QStringLiteral("W%1").arg(i);
        }
    }
    row("a route holds 31 waypoints", full, rows << "5:FULL=" + points.join(u','), {"add 5 W32"});
    row("the editor rewrites a route at the end",
        {"start 1 A", "add 1 P", "start 2 B", "add 2 Q", "replace 1 NEW X,Y"},
        {"02 ====== B", "02 01 Q", "01 ====== NEW", "01 01 X", "01 02 Y", "1:NEW=X,Y", "2:B=Q"});
    row("a rewrite without waypoints keeps only the name",
        {"start 1 A", "add 1 P", "replace 1 KEPT"}, {"1:KEPT="});
    row("removing route 1 leaves route 10",
        {"start 1 A", "add 1 P", "start 10 B", "add 10 Q", "add 1 R", "remove 1"},
        {"10 ====== B", "10 01 Q", "10:B=Q"});
}

void tst_RouteStore::rowsShowTheRoutes()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, contents);
    RouteStore store;
    QTEST(Run(store, steps), "refused");
    QCOMPARE(Contents(store), contents);
    store.Clear();
    QCOMPARE(Contents(store), QStringList());
}

QTEST_GUILESS_MAIN(tst_RouteStore)
#include "tst_RouteStore.moc"
