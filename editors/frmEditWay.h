#pragma once

#include "workspace/WaypointFields.h"

#include <QDialog>
#include <QIcon>
#include <array>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Workspace;
class dlgGrid;

// The waypoint editor: one waypoint's name, position, altitude, description
// and icon. Each box filters its keys and is checked when the user moves on
// from it; OK checks them all and hands the waypoint to the workspace. The
// grid button fills the grid reference dialog from the position and takes
// back the position typed there. The main window holds the one editor; OK
// and Cancel hide it, and its option buttons keep their last choices.
class frmEditWay : public QDialog
{
    Q_OBJECT
public:
    // The picture of each icon letter, "a" to "t", as the waypoint list draws it.
    using IconPictures = std::function<QIcon(const QString& letter)>;

    frmEditWay(Workspace& workspace, dlgGrid& grid, const IconPictures& pictures,
               QWidget* parent = nullptr);

    // Fills the boxes for `row` of the waypoint list (-1: a new waypoint)
    // and shows the editor modally.
    int Edit(int row);
    void PrepareWaypointEditor(int row);

    // The boxes as text and choices, and back.
    WaypointFields Fields() const;
    void ShowFields(const WaypointFields& fields);

    QLineEdit* txtID;
    QLineEdit* txtLat;
    QLineEdit* TxtLatMin;
    std::array<QRadioButton*, 2> optNS; // "N", "S"
    QLineEdit* txtLon;
    QLineEdit* txtLonMin;
    std::array<QRadioButton*, 2> optWE; // "W", "E"
    QLineEdit* txtAlt;
    std::array<QRadioButton*, 2> optMF; // "m", "f"
    QLineEdit* txtDesc;
    QComboBox* comboIcon;
    QPushButton* cmdGrid;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdGrid_Click();
    std::optional<WaypointBox> BoxOf(const QObject* widget) const;
    QWidget* WidgetOf(WaypointBox box) const;
    bool FilterKey(WaypointBox box, QKeyEvent* key);
    // The check as the user leaves a box; false after its messages.
    bool ValidateBox(WaypointBox box);
    void ShowFailure(const FieldFailure& failure);

    Workspace& workspace_;
    dlgGrid& grid_;
    QString gridName_ = QStringLiteral("OSGB"); // the grid the Grid button converts to
    bool validating_ = false;
};
