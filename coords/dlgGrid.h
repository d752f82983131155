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
// editor's position fields. It exists once and is hidden, not destroyed, by
// OK and Cancel; its layout stays as last applied.
class dlgGrid : public QDialog
{
    Q_OBJECT
public:
    dlgGrid(const ProgramState& state, UserInteraction& ui,
            GridComponentSource component = DefaultGridComponent, QWidget* parent = nullptr);

    // Label3 and the band-letter box, as SetGrid prepared them.
    void ApplySelection(const GridSelection& selection);
    // txtSheet for the grid and the square-letter setting.
    void ApplySheetState(const QString& grid, bool useSheetId);
    // Both, as start-up and the properties dialog apply them. A grid outside
    // the four names leaves the layout as it is.
    void ApplyGrid(const QString& grid, bool useSheetId, const GridSelection& selection);

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
    enum class Outcome
    {
        Converted,
        Failed,
        StayOpen
    };
    Outcome Convert(double& latitude, double& longitude);

    const ProgramState& state_;
    UserInteraction& ui_;
    GridComponentSource component_;
    EditorPositionFields* fields_ = nullptr;
    bool validating_ = false;
};

// The program's one grid dialog, created on first use.
dlgGrid& SharedGridDialog(const ProgramState& state, UserInteraction& ui, QWidget* parent);

// Selects the grid stored as the current one, as start-up and the properties
// dialog do: SetGrid on the shared selection, then the dialog's layout.
void SelectGrid(const QString& grid, const ProgramState& state, UserInteraction& ui,
                QWidget* parent);
