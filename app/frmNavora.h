#pragma once

#include "app/Settings.h"
#include "files/FileReader.h"
#include "model/Lists.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

class MessageBoxInteraction;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolBar;
class ReportView;
class dlgFileExists;
class SerialStream;
class GpsLink;
class frmCancel;
class frmMonitor;

// The program's one top-level window. It owns the three lists, the route
// table and the program-wide values, shows the lists under a tab strip and
// turns menus, toolbar buttons, tab and list clicks into commands.
//
// The settings store and the serial port are handed in. So is the user
// interaction: tests pass a scripted one, the program none, in which case the
// window answers with its own message boxes and status panels.
class frmNavora : public QMainWindow
{
    Q_OBJECT
public:
    frmNavora(SettingsStore& settings, SerialStream& port, UserInteraction* interaction = nullptr,
              QWidget* parent = nullptr);
    ~frmNavora() override;

    // Start-up: reads the settings and applies them. Runs once, before the
    // window is first shown. `applyGrid` selects the stored grid.
    StartupResult Startup(const std::function<void(const QString& grid)>& applyGrid = {});
    // Shutdown: drains and closes the port, then stores the window size when
    // the window is in its normal state. False when the user chose to keep
    // the program open.
    bool Shutdown();

    Lists& Data() { return lists_; }
    ProgramState& State() { return state_; }
    SerialStream& Port() { return port_; }
    // The link every exchange with the receiver goes through.
    GpsLink& Link() { return *link_; }
    UserInteraction& Interaction() { return *interaction_; }
    SettingsStore& Settings() { return settings_; }
    // The window's own message boxes; null when an interaction was handed in.
    MessageBoxInteraction* MessageBoxes() { return messageBoxes_.get(); }

    // The list shown, 1 waypoints, 2 routes, 3 track.
    int CurrentList() const { return currentList_; }
    ReportView* ListView(ListKind kind) const { return views_[size_t(int(kind) - 1)]; }
    // A toolbar button by its key ("LoadFile", "OpenGPS", "Insert", ...).
    QAction* ToolbarButton(const QString& key) const;
    QString PanelText(StatusPanel panel) const;
    void SetPanelText(StatusPanel panel, const QString& text);

    // Menus, toolbar and captions of the connected or the disconnected link.
    void SetConnectedLook(bool connected);

    // Commands that open windows of other parts of the program. A button
    // whose window is not there stays disabled.
    // Opens the waypoint editor on row `editIndex`, -1 for a new waypoint.
    void SetWaypointEditor(std::function<void(int editIndex)> open);
    // Opens the route editor on the route of row `editIndex`, -1 for a new route.
    void SetRouteEditor(std::function<void(int editIndex)> open);
    // Deletes the selected waypoints, asking its own questions.
    void SetWaypointDeleter(std::function<void()> remove);
    // Deletes one route ("01" to "20") or the whole track in the receiver.
    void SetReceiverDeleters(std::function<void(const QString& routeId)> route,
                             std::function<void()> track);

    // The transfers of one list to or from the receiver. The Get and Send
    // buttons follow the connection only once these are there.
    void SetTransfers(std::function<void(ListKind)> download, std::function<void(ListKind)> upload);

    // How long shutdown waits for unsent output before asking.
    void SetDrainLimit(std::chrono::milliseconds limit) { drainLimit_ = limit; }

    // Command handlers, one per control event.
    void mnuSave_Click();
    void mnuLoad_Click();
    void mnuFileExit_Click();
    void mnuOpenGPS_Click();
    void mnuOpenLog_Click();
    void mnuAbout_Click();
    void TabStrip1_Click();
    void tbrToolBar_ButtonClick(QAction* button);
    void ListView_ColumnClick(ListKind kind, int column);
    void ListView_DblClick(ListKind kind);
    void EditRecord();
    void InsertRecord();
    void DeleteRecords();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildLists();
    void BuildStatusBar();
    void ApplyWindowSize(const StartupResult& startup);
    void UpdateRecordButtons();
    QAction* AddButton(const QString& key, const QString& caption, const QString& description,
                       const QString& toolTip);

    SettingsStore& settings_;
    SerialStream& port_;
    std::unique_ptr<MessageBoxInteraction> messageBoxes_;
    UserInteraction* interaction_;
    std::unique_ptr<GpsLink> link_;
    // The comm port monitor and the cancel window, made on first use.
    std::unique_ptr<frmMonitor> monitor_;
    std::unique_ptr<frmCancel> cancel_;
    std::unique_ptr<dlgFileExists> fileExists_;
    // What the file reader keeps from one load to the next.
    ReaderState readerState_;
    Lists lists_;
    ProgramState state_;
    int currentList_ = 1;
    std::chrono::milliseconds drainLimit_ = std::chrono::seconds(10);
    bool shutDown_ = false;
    bool inShutdown_ = false;
    // The outer size start-up asked for, set once the window shows.
    QSize outerSizeWanted_;

    std::function<void(int)> openWaypointEditor_;
    std::function<void(int)> openRouteEditor_;
    std::function<void()> deleteWaypoints_;
    std::function<void(const QString&)> deleteRouteInReceiver_;
    std::function<void()> deleteTrackInReceiver_;
    std::function<void(ListKind)> download_;
    std::function<void(ListKind)> upload_;

    QMenu* mnuFile_ = nullptr;
    QMenu* mnuPort_ = nullptr;
    QMenu* mnuCall_ = nullptr;
    QMenu* mnuDown_ = nullptr;
    QMenu* mnuUp_ = nullptr;
    QMenu* mnuDelete_ = nullptr;
    QAction* mnuSave_ = nullptr;
    QAction* mnuLoad_ = nullptr;
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
