#include "coords/dlgGrid.h"
#include "tests/support/ScriptedInteraction.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The grid reference dialog offscreen: what the boxes let through, what they
// say when left or confirmed with bad figures, how each grid lays them out,
// and what OK writes into the editor's fields.
class tst_dlgGrid : public QObject
{
    Q_OBJECT
private slots:
    void keyFilters_data();
    void keyFilters();
    void validation_data();
    void validation();
    void leavingABoxValidates();
    void layoutPerGrid_data();
    void layoutPerGrid();
    void startupSelectsTheStoredGrid();
    void sheetReferenceConverts();
    void utmReference_data();
    void utmReference();
    void positionTexts_data();
    void positionTexts();
};

namespace {

struct Fixture
{
    explicit Fixture(const QString& grid, bool useSheetId = true)
    {
        state.currentGrid = grid;
        state.useSheetId = useSheetId;
        SetGrid(grid, selection, ui);
        dialog.ApplyGrid(grid, useSheetId, selection);
        dialog.SetEditorFields(&fields);
    }
    ProgramState state;
    ScriptedInteraction ui;
    GridSelection selection;
    dlgGrid dialog{state, ui};
    EditorPositionFields fields{0,
                                0,
                                QStringLiteral("keep"),
                                QStringLiteral("keep"),
                                QStringLiteral("keep"),
                                QStringLiteral("keep")};
};

QLineEdit* Box(dlgGrid& dialog, const QString& name)
{
    return dialog.findChild<QLineEdit*>(name);
}

} // namespace

void tst_dlgGrid::keyFilters_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("band letters, I O Y A dropped") << "UTM" << "txtLetter" << "iOyAc" << "C";
    QTest::newRow("band letter X") << "UTM" << "txtLetter" << "x" << "X";
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
    QLineEdit* edit = Box(f.dialog, box);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), shown.chopped(1));
}

void tst_dlgGrid::validation_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<bool>("useSheetId");
    QTest::addColumn<QString>("east");
    QTest::addColumn<QString>("north");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("British limits accepted") << "OSGB" << false << "700000" << "1300000" << "";
    QTest::newRow("easting past the limit") << "OSGB" << false << "700001" << "1" << "Easting value out of range";
    QTest::newRow("northing past the limit") << "OSGB" << false << "1" << "1300001" << "Northing value out of range";
    QTest::newRow("within a square") << "OSGB" << true << "99999" << "99999" << "";
    QTest::newRow("past a square") << "OSGB" << true << "1" << "100000" << "Northing value out of range";
    QTest::newRow("empty easting") << "OSNI" << false << "" << "1" << "Easting value out of range";
    QTest::newRow("empty northing first") << "UTM" << false << "1" << "" << "Northing value out of range";
    QTest::newRow("Irish have no limit") << "OSNI" << false << "999999" << "9999999" << "";
    // clang-format on
}

// OK refuses a bad field with its message and stays open; good figures pass
// the checks (whatever the conversion then makes of them).
void tst_dlgGrid::validation()
{
    QFETCH(QString, grid);
    QFETCH(bool, useSheetId);
    QFETCH(QString, east);
    QFETCH(QString, north);
    QFETCH(QString, message);
    Fixture f(grid, useSheetId);
    f.dialog.show();
    f.dialog.txtSheet->setText(grid == u"UTM" ? QStringLiteral("30") : QStringLiteral("TG"));
    f.dialog.txtLetter->setText(QStringLiteral("U"));
    f.dialog.txtEast->setText(east);
    f.dialog.txtNorth->setText(north);
    f.dialog.OKButton->click();
    const QStringList shown = f.ui.MessageTexts();
    if (message.isEmpty()) {
        QVERIFY2(!shown.contains(QStringLiteral("Easting value out of range")) &&
                     !shown.contains(QStringLiteral("Northing value out of range")),
                 qPrintable(shown.join(u'|')));
        QVERIFY(!f.dialog.isVisible());
    } else {
        QCOMPARE(shown, QStringList{message});
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.fields.txtLat, QStringLiteral("keep"));
    }
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

void tst_dlgGrid::layoutPerGrid_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<bool>("useSheetId");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("letterShown");
    QTest::addColumn<bool>("sheetShown");
    QTest::addColumn<bool>("sheetEnabled");
    // clang-format off
    QTest::newRow("OSGB with squares") << "OSGB" << true << "Sheet" << false << true << true;
    QTest::newRow("OSGB without") << "OSGB" << false << "Sheet" << false << true << false;
    QTest::newRow("OSNI") << "OSNI" << true << "" << false << false << false;
    QTest::newRow("OSRoI") << "OSRoI" << false << "" << false << false << false;
    QTest::newRow("UTM") << "UTM" << false << "Zone" << true << true << true;
    // clang-format on
}

void tst_dlgGrid::layoutPerGrid()
{
    QFETCH(QString, grid);
    QFETCH(bool, useSheetId);
    QFETCH(QString, label);
    QFETCH(bool, letterShown);
    QFETCH(bool, sheetShown);
    QFETCH(bool, sheetEnabled);
    Fixture f(QStringLiteral("UTM"));
    f.state.currentGrid = grid;
    f.state.useSheetId = useSheetId;
    SetGrid(grid, f.selection, f.ui);
    f.dialog.ApplyGrid(grid, useSheetId, f.selection);
    QCOMPARE(f.dialog.findChild<QLabel*>(QStringLiteral("Label3"))->text(), label);
    QCOMPARE(f.dialog.txtLetter->isVisibleTo(&f.dialog), letterShown);
    QCOMPARE(f.dialog.txtSheet->isVisibleTo(&f.dialog), sheetShown);
    QCOMPARE(f.dialog.txtSheet->isEnabled(), sheetEnabled);
    QCOMPARE(f.dialog.txtSheet->focusPolicy() != Qt::NoFocus, sheetEnabled);
    // A name outside the four grids leaves everything as it was.
    f.dialog.ApplyGrid(QStringLiteral("MGRS"), !useSheetId, GridSelection{});
    QCOMPARE(f.dialog.txtSheet->isEnabled(), sheetEnabled);
    QCOMPARE(f.dialog.Label3->text(), label);
}

// What start-up runs last: the shared selection and the one dialog follow.
void tst_dlgGrid::startupSelectsTheStoredGrid()
{
    ProgramState state;
    state.currentGrid = QStringLiteral("OSGB");
    state.useSheetId = false;
    ScriptedInteraction ui;
    SelectGrid(state.currentGrid, state, ui, nullptr);
    dlgGrid& dialog = SharedGridDialog(state, ui, nullptr);
    QCOMPARE(SharedGridSelection().gridButtonCaption, QStringLiteral("OSGB"));
    QVERIFY(!dialog.txtSheet->isEnabled());
    state.currentGrid = QStringLiteral("UTM");
    SelectGrid(state.currentGrid, state, ui, nullptr);
    QCOMPARE(&SharedGridDialog(state, ui, nullptr), &dialog);
    QCOMPARE(dialog.Label3->text(), QStringLiteral("Zone"));
    QVERIFY(dialog.txtSheet->isEnabled() && dialog.txtLetter->isVisibleTo(&dialog));
    QCOMPARE(ui.MessageTexts(), QStringList());
}

// Caister water tower, TG 51409 13177, is ETRS89 52.658004169 N 1.716061769 E
// (Geo::Coordinates::OSGB with OSTN15); PROJ's Helmert shift keeps within 2 m,
// a few thousandths of a minute.
void tst_dlgGrid::sheetReferenceConverts()
{
    Fixture f(QStringLiteral("OSGB"), true);
    f.dialog.show();
    f.dialog.txtSheet->setText(QStringLiteral("TG"));
    f.dialog.txtEast->setText(QStringLiteral("51409"));
    f.dialog.txtNorth->setText(QStringLiteral("13177"));
    f.dialog.OKButton->click();
    QCOMPARE(f.ui.MessageTexts(), QStringList());
    QVERIFY(!f.dialog.isVisible());
    QCOMPARE(f.fields.optNS, 0);
    QCOMPARE(f.fields.optWE, 1);
    QCOMPARE(f.fields.txtLat, QStringLiteral("52"));
    QCOMPARE(f.fields.txtLon, QStringLiteral("001"));
    QVERIFY2(qAbs(f.fields.TxtLatMin.toDouble() - 39.480) < 0.002, qPrintable(f.fields.TxtLatMin));
    QVERIFY2(qAbs(f.fields.txtLonMin.toDouble() - 42.964) < 0.003, qPrintable(f.fields.txtLonMin));
}

void tst_dlgGrid::utmReference_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("band");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("lat");
    const QString none;
    const QString zoneError = QStringLiteral("Zone value out of range");
    // clang-format off
    QTest::newRow("Cape Town") << "34" << "H" << false << none << "33";
    QTest::newRow("Cancel changes nothing") << "34" << "H" << true << none << "keep";
    QTest::newRow("empty zone") << "" << "H" << false << zoneError << "keep";
    QTest::newRow("zone 61") << "61" << "H" << false << zoneError << "keep";
    QTest::newRow("no band letter") << "34" << "" << false << "Band letter out of range" << "keep";
    // clang-format on
}

void tst_dlgGrid::utmReference()
{
    QFETCH(QString, zone);
    QFETCH(QString, band);
    QFETCH(bool, cancel);
    QFETCH(QString, message);
    QFETCH(QString, lat);
    Fixture f(QStringLiteral("UTM"));
    f.dialog.show();
    f.dialog.txtSheet->setText(zone);
    f.dialog.txtLetter->setText(band);
    f.dialog.txtEast->setText(QStringLiteral("259583"));
    f.dialog.txtNorth->setText(QStringLiteral("6245888"));
    (cancel ? f.dialog.CancelButton : f.dialog.OKButton)->click();
    QCOMPARE(f.ui.MessageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.dialog.isVisible(), !message.isEmpty());
    QCOMPARE(f.fields.txtLat, lat);
    if (lat != u"keep") {
        QCOMPARE(f.fields.optNS, 1);
        QCOMPARE(f.fields.TxtLatMin, QStringLiteral("54.000"));
        QCOMPARE(f.fields.txtLon, QStringLiteral("018"));
        QCOMPARE(f.fields.txtLonMin, QStringLiteral("24.000"));
    }
}

void tst_dlgGrid::positionTexts_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<QString>("texts");
    // clang-format off
    QTest::newRow("minutes round up to a degree") << 51.9999999 << 0.5 << "0 1 52 0.000 000 30.000";
    QTest::newRow("west, under a degree") << 10.0 << -0.5 << "0 0 10 00.000 000 30.000";
    QTest::newRow("longitude carry keeps two decimals") << -5.2 << -7.99999999 << "1 0 05 12.000 008 0.00";
    QTest::newRow("three-digit longitude") << 0.0 << 123.9 << "0 1 00 00.000 123 54.000";
    QTest::newRow("origin") << 0.0 << 0.0 << "0 1 00 00.000 000 00.000";
    // clang-format on
}

void tst_dlgGrid::positionTexts()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QString, texts);
    EditorPositionFields fields;
    WritePosition(lat, lon, fields);
    QCOMPARE(QStringList({QString::number(fields.optNS), QString::number(fields.optWE),
                          fields.txtLat, fields.TxtLatMin, fields.txtLon, fields.txtLonMin})
                 .join(u' '),
             texts);
}

QTEST_MAIN(tst_dlgGrid)
#include "tst_dlgGrid.moc"
