#include "app/ReportView.h"
#include "app/ToolbarPictures.h"
#include "app/WaypointIcons.h"
#include "model/ListModel.h"

#include <QHeaderView>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A waypoint list below a tab strip in a shown, active window, as the main
// window holds it. The tab strip comes first, so it would have the focus if
// the list did not take it.
struct Shown
{
    ListModel list{ListKind::Waypoints};
    QWidget window;
    ReportView* view = nullptr;

    explicit Shown(int rows)
    {
        for (int i = 0; i < rows; ++i)
            list.AddRow({QStringLiteral("WP%1").arg(i)});
        auto* layout = new QVBoxLayout(&window);
        auto* tabs = new QTabBar(&window);
        tabs->addTab(QStringLiteral("Waypoints"));
        layout->addWidget(tabs);
        view = new ReportView(list, QAbstractItemView::ExtendedSelection, &window);
        layout->addWidget(view);
        window.resize(600, 300);
        window.show();
        window.activateWindow();
    }
};

} // namespace

class tst_ReportView : public QObject
{
    Q_OBJECT
private slots:
    void arrowKeysSelect_data();
    void arrowKeysSelect();
    void focusFrameShown();
    void sortArrowFollowsList();
    void picturesSharpAtTwiceTheResolution();
};

void tst_ReportView::arrowKeysSelect_data()
{
    QTest::addColumn<bool>("rowsBeforeShow");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("selected");

    // The first row is current from the start, so the keys move from it.
    // Rows that arrive while the list has the focus, as after a file load:
    QTest::newRow("loaded, down") << false << QList<int>{Qt::Key_Down} << QList<int>{1};
    QTest::newRow("loaded, up") << false << QList<int>{Qt::Key_Up} << QList<int>{0};
    QTest::newRow("loaded, end") << false << QList<int>{Qt::Key_End} << QList<int>{3};
    QTest::newRow("loaded, space") << false << QList<int>{Qt::Key_Space} << QList<int>{0};
    // Rows already there when the window opens:
    QTest::newRow("listed, down, up")
        << true << QList<int>{Qt::Key_Down, Qt::Key_Up} << QList<int>{0};
    QTest::newRow("listed, page down") << true << QList<int>{Qt::Key_PageDown} << QList<int>{3};
}

void tst_ReportView::arrowKeysSelect()
{
    QFETCH(bool, rowsBeforeShow);
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, selected);

    Shown shown(rowsBeforeShow ? 4 : 0);
    QVERIFY(QTest::qWaitForWindowActive(&shown.window));
    QVERIFY(shown.view->hasFocus());
    if (!rowsBeforeShow)
        shown.list.AddRows({{"A"}, {"B"}, {"C"}, {"D"}});
    for (int key : keys)
        QTest::keyClick(shown.view, Qt::Key(key));
    QCOMPARE(SelectedRows(shown.list), selected);
}

void tst_ReportView::focusFrameShown()
{
    Shown shown(3);
    QVERIFY(QTest::qWaitForWindowActive(&shown.window));
    QTest::keyClick(shown.view, Qt::Key_Down);
    QCOMPARE(shown.view->currentIndex().row(), 1);

    // Row 1 is selected in both pictures; only the focus tells them apart,
    // and it frames the whole row, not one cell.
    const auto rowPicture = [&] {
        const QRect row = shown.view->visualRect(shown.list.index(1, 0))
                              .united(shown.view->visualRect(shown.list.index(1, 4)));
        return shown.view->viewport()->grab(row).toImage();
    };
    const QImage focused = rowPicture();
    shown.view->clearFocus();
    QVERIFY(!shown.view->hasFocus());
    const QImage unfocused = rowPicture();
    QCOMPARE(focused.size(), unfocused.size());
    QRect differing;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) != unfocused.pixel(x, y))
                differing |= QRect(x, y, 1, 1);
        }
    }
    QCOMPARE(differing, focused.rect());
}

void tst_ReportView::sortArrowFollowsList()
{
    Shown shown(3);
    QHeaderView* header = shown.view->horizontalHeader();
    QVERIFY(!header->isSortIndicatorShown());
    shown.list.SortByColumn(WaypointColumn::Latitude);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), WaypointColumn::Latitude);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // A load replaces the rows in the file's order.
    shown.list.Clear();
    shown.list.AddRows({{"B"}, {"A"}});
    QVERIFY(!header->isSortIndicatorShown());
}

void tst_ReportView::picturesSharpAtTwiceTheResolution()
{
    // Drawn for the screen's resolution, not a small picture blown up.
    for (const QString& key : WaypointIconKeys()) {
        const QPixmap pixmap =
            WaypointIcon(key).pixmap(QSize(kWaypointIconSize, kWaypointIconSize), 2.0);
        QCOMPARE(pixmap.size(), QSize(2 * kWaypointIconSize, 2 * kWaypointIconSize));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    }
    const QPixmap toolbar = ToolbarIcon(ToolbarPicture::Save).pixmap(QSize(24, 24), 2.0);
    QCOMPARE(toolbar.size(), QSize(48, 48));
    // The small form is still there for a plain screen.
    QCOMPARE(WaypointIcon("a").pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
}

QTEST_MAIN(tst_ReportView)
#include "tst_ReportView.moc"
