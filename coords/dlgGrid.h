#pragma once

#include "coords/GridInput.h"
#include "coords/NationalGrid.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The grid reference dialog: the user types a reference in the current grid
// and OK writes the matching latitude and longitude into the waypoint
// editor's position fields. The main window holds the one dialog; OK and
// Cancel hide it, and its layout stays as last applied.
class dlgGrid : public QDialog
{
    Q_OBJECT
public:
    // `component` hands out the grid component of the national grids.
    dlgGrid(const ProgramState& state, UserInteraction& ui, GridComponentSource component,
            QWidget* parent = nullptr);

    // The layout of `grid`, as start-up and the properties dialog apply it:
    // Label3, the band-letter box, and txtSheet for the grid and the
    // square-letter setting. A grid outside the four names leaves the layout
    // as it is.
    void ApplyGrid(const QString& grid, bool useSheetId);

    // The editor's fields that OK replaces; nothing is written while unset.
    void SetEditorFields(EditorPositionFields* fields) { fields_ = fields; }
    // Shows the dialog modally over the editor's fields.
    int Ask(EditorPositionFields& fields);

    QLineEdit* txtLetter;
    QLineEdit* txtSheet;
    QLineEdit* txtNorth;
    QLineEdit* txtEast;
    QPushButton* CancelButton;
    QPushButton* OKButton;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* Label1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OKButton_Click();
    void CancelButton_Click();
    bool FilterKey(QLineEdit* box, QKeyEvent* key);
    // Shows the box's message and keeps the focus in it; false when invalid.
    bool ValidateField(QLineEdit* box);
    void ApplySheetState(const QString& grid, bool useSheetId);

    const ProgramState& state_;
    UserInteraction& ui_;
    GridComponentSource component_;
    QWidget* sheetColumn_ = nullptr;
    EditorPositionFields* fields_ = nullptr;
    bool validating_ = false;
};
