#include "coords/GridComponent.h"
#include "coords/dlgGrid.h"
#include "tests/support/ScriptedInteraction.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

struct Fixture
{
    explicit Fixture(const QString& grid, bool useSheetId = true)
    {
        state.currentGrid = grid;
        state.useSheetId = useSheetId;
        SetGrid(grid, ui, source);
        dialog.ApplyGrid(grid, useSheetId);
        dialog.SetEditorFields(&fields);
    }
    ProgramState state;
    ScriptedInteraction ui;
    GridComponent component;
    GridComponentSource source = [this]() -> GridComponent& { return component; };
    dlgGrid dialog{state, ui, source};
    EditorPositionFields fields{0, 0, QStringLiteral("keep"), {}, {}, {}};
};

QString Texts(const EditorPositionFields& f)
{
    return QStringList({QString::number(f.optNS), QString::number(f.optWE), f.txtLat, f.TxtLatMin,
                        f.txtLon, f.txtLonMin})
        .join(u' ');
}

// Shows the dialog with a reference typed in: "TG 51409 13177", "34H 259583 6245888".
void Enter(Fixture& f, const QString& reference)
{
    const QStringList parts = reference.split(u' ');
    QString sheet = parts[0];
    if (f.state.currentGrid == u"UTM" && !sheet.isEmpty() && sheet.back().isLetter()) {
        f.dialog.txtLetter->setText(sheet.back());
        sheet.chop(1);
    }
    f.dialog.txtSheet->setText(sheet);
    f.dialog.txtEast->setText(parts[1]);
    f.dialog.txtNorth->setText(parts[2]);
    f.dialog.show();
}

// Label3 and which boxes show and take typing, e.g. "Zone letter sheet typed".
QString Layout(const dlgGrid& d)
{
    QStringList parts{d.Label3->text()};
    if (d.txtLetter->isVisibleTo(&d))
        parts << QStringLiteral("letter");
    if (d.txtSheet->isVisibleTo(&d))
        parts << QStringLiteral("sheet");
    if (d.txtSheet->isEnabled() && d.txtSheet->focusPolicy() != Qt::NoFocus)
        parts << QStringLiteral("typed");
    return parts.join(u' ').trimmed();
}

} // namespace

class tst_dlgGrid : public QObject
{
    Q_OBJECT
private slots:
    void keyFilters_data();
    void keyFilters();
    void confirm_data();
    void confirm();
    void leavingABoxValidates();
    void selectGrid_data();
    void selectGrid();
    void positionTexts();
    void cleanupTestCase() { selection_.reset(); }

private:
    // One dialog for every grid in turn.
    std::unique_ptr<Fixture> selection_;
};

void tst_dlgGrid::keyFilters_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("band letters, I O Y A dropped") << "UTM" << "txtLetter" << "iOyAc" << "C";
    QTest::newRow("British square") << "OSGB" << "txtSheet" << "tI1g" << "TG";
    QTest::newRow("UTM zone digits only") << "UTM" << "txtSheet" << "a3b0" << "30";
    QTest::newRow("easting digits, at most 6") << "OSNI" << "txtEast" << "99x99%99'9" << "999999";
    QTest::newRow("northing digits, at most 7") << "OSGB" << "txtNorth" << "-12 345.678" << "1234567";
    // clang-format on
}

void tst_dlgGrid::keyFilters()
{
    QFETCH(QString, grid);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f(grid);
    QLineEdit* edit = f.dialog.findChild<QLineEdit*>(box);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), shown.chopped(1));
}

void tst_dlgGrid::confirm_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("reference"); // UTM: zone and band letter, then the figures
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("position"); // "keep" without a message: Cancel; empty: unchecked
    const QString east = QStringLiteral("Easting value out of range");
    const QString north = QStringLiteral("Northing value out of range");
    const QString zone = QStringLiteral("Zone value out of range");
    const QString keep = QStringLiteral("keep");
    // clang-format off
    QTest::newRow("British limits accepted") << "OSGB" << " 700000 1300000" << "" << "";
    QTest::newRow("easting past the limit") << "OSGB" << " 700001 1" << east << keep;
    QTest::newRow("northing past the limit") << "OSGB" << " 1 1300001" << north << keep;
    QTest::newRow("within a square") << "OSGB" << "TG 99999 99999" << "" << "";
    QTest::newRow("past a square") << "OSGB" << "TG 1 100000" << north << keep;
    QTest::newRow("empty easting") << "OSNI" << "  1" << east << keep;
    QTest::newRow("empty northing first") << "UTM" << "30U 500000 " << north << keep;
    QTest::newRow("UTM easting past 900 km") << "UTM" << "31N 999999 9999999" << east << keep;
    QTest::newRow("UTM easting below 100 km") << "UTM" << "31N 99999 1" << east << keep;
    QTest::newRow("north of 9400 km") << "UTM" << "31N 500000 9400001" << north << keep;
    QTest::newRow("UTM limits accepted") << "UTM" << "31X 900000 9400000" << "" << "";
    QTest::newRow("south below 1000 km") << "UTM" << "34H 500000 999999" << north << keep;
    QTest::newRow("south at 10000 km") << "UTM" << "34C 100000 10000000" << "" << "";
    QTest::newRow("Irish have no limit") << "OSNI" << " 999999 9999999" << "" << "";
    QTest::newRow("Cape Town") << "UTM" << "34H 259583 6245888" << "" << "1 1 33 54.000 018 24.000";
    QTest::newRow("Cancel changes nothing") << "UTM" << "34H 259583 6245888" << "" << keep;
    QTest::newRow("empty zone") << "UTM" << "H 259583 6245888" << zone << keep;
    QTest::newRow("zone 61") << "UTM" << "61H 259583 6245888" << zone << keep;
    QTest::newRow("no band letter") << "UTM" << "34 259583 6245888" << "Band letter out of range" << keep;
    // clang-format on
}

// A bad field is refused with its message and the dialog stays open; good
// figures pass the checks and OK closes it. Cancel writes nothing.
void tst_dlgGrid::confirm()
{
    QFETCH(QString, grid);
    QFETCH(QString, reference);
    QFETCH(QString, message);
    QFETCH(QString, position);
    Fixture f(grid, !reference.startsWith(u' '));
    Enter(f, reference);
    const bool cancel = message.isEmpty() && position == u"keep";
    (cancel ? f.dialog.CancelButton : f.dialog.OKButton)->click();
    QCOMPARE(f.ui.MessageTexts().filter(u"out of range"),
             message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.dialog.isVisible(), !message.isEmpty());
    if (position == u"keep")
        QCOMPARE(f.fields.txtLat, position);
    else if (!position.isEmpty())
        QCOMPARE(Texts(f.fields), position);
}

void tst_dlgGrid::leavingABoxValidates()
{
    Fixture f(QStringLiteral("OSGB"), false);
    f.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.dialog));
    f.dialog.txtEast->setFocus();
    QTest::keyClicks(f.dialog.txtEast, QStringLiteral("700001"));
    QTest::keyClick(f.dialog.txtEast, Qt::Key_Tab);
    QCOMPARE(f.ui.MessageTexts(), QStringList{QStringLiteral("Easting value out of range")});
    QCOMPARE(QApplication::focusWidget(), f.dialog.txtEast);
    // Cancel is always within reach.
    f.dialog.CancelButton->setFocus(Qt::MouseFocusReason);
    QCOMPARE(f.ui.MessageTexts().size(), 1);
}

void tst_dlgGrid::selectGrid_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<bool>("useSheetId");
    QTest::addColumn<QString>("layout");
    // clang-format off
    QTest::newRow("OSGB without squares") << "OSGB" << false << "Sheet sheet";
    QTest::newRow("UTM") << "UTM" << false << "Zone letter sheet typed";
    QTest::newRow("OSGB with squares") << "OSGB" << true << "Sheet sheet typed";
    QTest::newRow("OSNI") << "OSNI" << true << "";
    QTest::newRow("OSRoI") << "OSRoI" << false << "";
    // clang-format on
}

// Grids applied one after the other to the one dialog, as start-up and the properties
// dialog do; a name outside the four grids then leaves the layout as it is. The caption
// fits, and a grid without the sheet box has no empty column for it.
void tst_dlgGrid::selectGrid()
{
    QFETCH(QString, grid);
    QFETCH(bool, useSheetId);
    QFETCH(QString, layout);
    if (!selection_)
        selection_ = std::make_unique<Fixture>(QStringLiteral("OSGB"));
    ProgramState& state = selection_->state;
    dlgGrid& dialog = selection_->dialog;
    state.currentGrid = grid;
    state.useSheetId = useSheetId;
    dialog.ApplyGrid(grid, useSheetId);
    QCOMPARE(Layout(dialog), layout);
    dialog.ApplyGrid(QStringLiteral("MGRS"), !useSheetId);
    QCOMPARE(Layout(dialog), layout);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.width() > dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()));
    const int left = dialog.layout()->contentsMargins().left();
    QCOMPARE(dialog.txtEast->mapTo(&dialog, QPoint()).x() == left, layout.isEmpty());
    dialog.hide();
    QCOMPARE(selection_->ui.MessageTexts(), QStringList());
}

// Minutes are rounded to three places; minutes that round to 60 carry.
void tst_dlgGrid::positionTexts()
{
    for (const auto& [lat, lon, texts] : {std::tuple{51.9999999, 0.5, "0 1 52 0.000 000 30.000"},
                                          {10.0, -0.5, "0 0 10 00.000 000 30.000"},
                                          {-5.2, -7.99999999, "1 0 05 12.000 008 0.00"},
                                          {0.0, 123.9, "0 1 00 00.000 123 54.000"}}) {
        EditorPositionFields fields;
        WritePosition(lat, lon, fields);
        QCOMPARE(Texts(fields), QString::fromLatin1(texts));
    }
}

QTEST_MAIN(tst_dlgGrid)
#include "tst_dlgGrid.moc"
