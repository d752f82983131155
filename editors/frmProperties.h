#pragma once

#include "workspace/PropertySettings.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QTabWidget;
class SettingsStore;
class Workspace;

// The properties dialog: the serial port and its speed, the receiver's
// datum, grid lines, the unit of waypoint heights and the grid of grid
// references. OK hands the choices to the workspace, which applies and
// stores them; a port that refuses its number or speed keeps the dialog open.
class frmProperties : public QDialog
{
    Q_OBJECT
public:
    frmProperties(Workspace& workspace, SettingsStore& settings, QWidget* parent = nullptr);

    // Shows the current values (LoadPropertySettings) and the dialog,
    // modally; `gridLines` is whether the lists show them now.
    int Edit(bool gridLines);
    void LoadPropertySettings(bool gridLines);

    PropertyChoices Choices() const;
    void ShowChoices(const PropertyChoices& choices);

    QTabWidget* tabSettings;
    QWidget* fraSettings;
    QComboBox* cboPort;
    QComboBox* cboSpeed;
    QComboBox* cboDatum;
    QCheckBox* chkGrid;
    QRadioButton* optHeightMT;
    QRadioButton* optHeightFT;
    QRadioButton* optHeightDC;
    std::array<QRadioButton*, 4> optGrid{};
    QCheckBox* cbSheet;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void optGrid_Click(int index);

    Workspace& workspace_;
    SettingsStore& settings_;
    QButtonGroup* gridGroup_;
};
