#pragma once

#include "model/ListKind.h"
#include "model/UserInteraction.h"
#include "workspace/Commands.h"
#include "workspace/Settings.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class MessageBoxInteraction;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolBar;
class ReportView;
class SerialStream;
class Workspace;
class dlgGrid;
class frmEditRoute;
class frmEditWay;
class frmMonitor;
class frmProperties;

// The program's one top-level window: a view of one workspace. It shows the
// three lists under a tab strip, follows the workspace's connection and busy
// state in its menus and toolbar, and turns menus, toolbar buttons, tab and
// list clicks into the workspace's commands. Choosing a file is its part.
//
// The settings store and the serial port are handed in. So is the user
// interaction: tests pass a scripted one, the program none, in which case the
// window answers with its own message boxes, panels and cancel window.
class frmNavora : public QMainWindow
{
    Q_OBJECT
public:
    frmNavora(SettingsStore& settings, SerialStream& port, UserInteraction* interaction = nullptr,
              QWidget* parent = nullptr);
    ~frmNavora() override;

    // Start-up: the workspace reads the settings; the window takes its size,
    // the lists their grid lines and the grid dialog its layout. Runs once,
    // before the window is first shown.
    StartupResult Startup();
    // Shutdown: drains and closes the port, then stores the window size when
    // the window is in its normal state. False when the user chose to keep
    // the program open.
    bool Shutdown();

    Workspace& Space() { return *workspace_; }
    UserInteraction& Interaction() { return *interaction_; }
    // The grid reference dialog, the program's one.
    dlgGrid& GridDialog() { return *gridDialog_; }

    // The list shown.
    ListKind CurrentKind() const { return currentKind_; }
    ReportView* ListView(ListKind kind) const { return views_[size_t(int(kind) - 1)]; }
    // A toolbar button by its key ("LoadFile", "OpenGPS", "Insert", ...).
    QAction* ToolbarButton(const QString& key) const;
    QString PanelText(StatusPanel panel) const;
    void SetPanelText(StatusPanel panel, const QString& text);

    // How long shutdown waits for unsent output before asking.
    void SetDrainLimit(std::chrono::milliseconds limit) { drainLimit_ = limit; }

    // Command handlers, one per control event.
    void mnuSave_Click();
    void mnuLoad_Click();
    void mnuImportGpx_Click();
    void mnuExportGpx_Click();
    void mnuFileExit_Click();
    void mnuOpenGPS_Click();
    void mnuOpenLog_Click();
    void mnuAbout_Click();
    void TabStrip1_Click();
    void tbrToolBar_ButtonClick(QAction* button);
    void ListView_ColumnClick(ListKind kind, int column);
    void DeleteRecords();
    void mnuComm_Click();
    void InsertRecord();
    // Detail, and a double-click on list `kind`.
    void EditRecord(ListKind kind);
    // The editors for `row` of their list, -1 for a new record.
    void OpenWaypointEditor(int row);
    void OpenRouteEditor(int row);
    // The items of the sub-menus Download from GPS, Upload to GPS and Delete
    // from GPS, by the list each acts on.
    void mnuDown_Click(ListKind kind);
    void mnuUp_Click(ListKind kind);
    void mnuDelete_Click(ListKind kind);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildLists();
    void BuildStatusBar();
    void BuildShortcuts();
    void ApplyWindowSize(const StartupResult& startup);
    void ApplyConnectedLook(bool connected);
    // Enables every menu item and toolbar button as the workspace's state allows.
    void UpdateCommands();
    void FollowBusy(bool busy);
    void StepTab(int step);
    // The file dialog, starting in the folder last used; empty when cancelled.
    QString ChooseFile(bool save);
    // The same for a file of `filter`; a save dialog asks itself before it
    // replaces a file when `confirmOverwrite`.
    QString ChooseFile(bool save, const QString& filter, const QString& suffix,
                       bool confirmOverwrite);
    QAction* AddButton(const QString& key, const QString& caption, const QString& description,
                       const QString& toolTip);

    SettingsStore& settings_;
    std::unique_ptr<MessageBoxInteraction> messageBoxes_;
    UserInteraction* interaction_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<frmMonitor> monitor_;
    dlgGrid* gridDialog_ = nullptr;
    // The editors and the properties dialog, created on first use.
    frmEditWay* editWay_ = nullptr;
    frmEditRoute* editRoute_ = nullptr;
    frmProperties* properties_ = nullptr;
    ListKind currentKind_ = ListKind::Waypoints;
    std::chrono::milliseconds drainLimit_ = std::chrono::seconds(10);
    bool shutDown_ = false;
    bool inShutdown_ = false;
    // The window was asked to close while an exchange ran; it closes when the
    // exchange has ended.
    bool closeWhenIdle_ = false;
    // The outer size start-up asked for, applied once the frame is known.
    QSize outerSizeWanted_;

    // Each menu item and toolbar button with its command and the list it
    // acts on; no list means the current one.
    struct CommandItem
    {
        QAction* action;
        Command command;
        std::optional<ListKind> list;
    };
    std::vector<CommandItem> commandItems_;

    QMenu* mnuFile_ = nullptr;
    QMenu* mnuPort_ = nullptr;
    QMenu* mnuCall_ = nullptr;
    QMenu* mnuDown_ = nullptr;
    QMenu* mnuUp_ = nullptr;
    QMenu* mnuDelete_ = nullptr;
    QAction* mnuSave_ = nullptr;
    QAction* mnuLoad_ = nullptr;
    QAction* mnuImportGpx_ = nullptr;
    QAction* mnuExportGpx_ = nullptr;
    QAction* mnuFileExit_ = nullptr;
    QAction* mnuOpenLog_ = nullptr;
    QAction* mnuComm_ = nullptr;
    QAction* mnuOpenGPS_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QToolBar* tbrToolBar_ = nullptr;
    std::map<QString, QAction*> buttons_;
    QTabBar* TabStrip1_ = nullptr;
    QFrame* Heading_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    std::array<ReportView*, 3> views_{};
    std::map<StatusPanel, QLabel*> panels_;
    QPointer<QWidget> about_;
};
