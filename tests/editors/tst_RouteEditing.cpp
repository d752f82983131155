#include "workspace/RouteEditing.h"

#include <QtTest>

class tst_RouteEditing : public QObject
{
    Q_OBJECT
private slots:
    void editorFor_data();
    void editorFor();
    void build_data();
    void build();
};

void tst_RouteEditing::editorFor_data()
{
    QTest::addColumn<QList<int>>("used"); // routes with waypoints; 3 is A, B, C named TOWN
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown"); // "route locked numbers | name | filled boxes", or "none"
    QTest::newRow("routes 1, 2 and 4 in use")
        << QList<int>{1, 2, 4} << -1
        << "03 new 03 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20 |  | ";
    QTest::newRow("existing route") << QList<int>{3} << 1 << "03 locked 03 | TOWN | A B C";
    QTest::newRow("its name row") << QList<int>{3} << 0 << "03 locked 03 | TOWN | A B C";
    QTest::newRow("no such row") << QList<int>{3} << 9 << "none";
}

void tst_RouteEditing::editorFor()
{
    QFETCH(QList<int>, used);
    QFETCH(int, row);
    RouteStore routes;
    for (int route : used)
        routes.ReplaceRoute(route, route == 3 ? "TOWN" : "R", {"A", "B", "C"});
    // A name alone does not take a number.
    routes.SetName(5, "ONLY A NAME");
    const std::optional<RouteEditorContent> content = RouteEditorFor(routes, row);
    QString shown = QStringLiteral("none");
    if (content) {
        QCOMPARE(int(content->boxes.size()), 31); // a box for each point a route holds
        QStringList filled = content->boxes;
        filled.removeAll(QString());
        shown = content->route + (content->locked ? " locked " : " new ") +
                content->numbers.join(u' ') + " | " + content->name + " | " + filled.join(u' ');
    }
    QTEST(shown, "shown");
}

void tst_RouteEditing::build_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("desc");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("built"); // "route:name=points", or "none"
    // clang-format off
    QTest::newRow("empty boxes closed up") << "3" << "TRIP" << QStringList{"A", "", "C", " "} << "3:TRIP=A,C";
    QTest::newRow("empty first box") << "07" << "" << QStringList{"", "PUB", "WORK"} << "7:07 PUB -> WORK=PUB,WORK";
    QTest::newRow("upper case") << "20" << "to the pub" << QStringList{"home", "pub"} << "20:TO THE PUB=HOME,PUB";
    QTest::newRow("route 0") << "00" << "" << QStringList{"A"} << "none";
    QTest::newRow("not a number") << "x1" << "" << QStringList{"A"} << "none";
    QTest::newRow("no number") << "" << "" << QStringList{"A"} << "none";
    // clang-format on
}

void tst_RouteEditing::build()
{
    QFETCH(QString, route);
    QFETCH(QString, desc);
    QFETCH(QStringList, boxes);
    const std::optional<RouteEdit> edit = BuildRouteEdit(route, desc, boxes);
    QTEST(edit ? QString::number(edit->route) + u':' + edit->name + u'=' + edit->points.join(u',')
               : QStringLiteral("none"),
          "built");
}

QTEST_GUILESS_MAIN(tst_RouteEditing)
#include "tst_RouteEditing.moc"
