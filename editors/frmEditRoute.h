#pragma once

#include "workspace/RouteEditing.h"

#include <QDialog>
#include <QStringListModel>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class Workspace;

// The route editor: a route's number, its name and up to 31 waypoints, each
// box offering every waypoint name of the waypoint list and taking a typed
// one. Every character typed is upper case. OK hands the boxes to the
// workspace, which rewrites the route. The main window holds the one
// editor; OK and Cancel hide it.
class frmEditRoute : public QDialog
{
    Q_OBJECT
public:
    explicit frmEditRoute(Workspace& workspace, QWidget* parent = nullptr);

    // Fills the boxes and shows the editor modally.
    int Edit(const RouteEditorContent& content);
    void Fill(const RouteEditorContent& content);
    // The texts of the waypoint boxes, in route order.
    QStringList Boxes() const;

    QComboBox* Route;
    QLineEdit* Desc;
    std::array<QComboBox*, RouteStore::kMaxPoints> Way{};
    QPushButton* OKButton;
    QPushButton* CancelButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OKButton_Click();
    void CancelButton_Click();

    Workspace& workspace_;
    // The waypoint names, one list every waypoint box shares.
    QStringListModel names_;
};
