#pragma once

#include "coords/NationalGrid.h"
#include "files/FileFormat.h"
#include "files/FileOutcome.h"
#include "files/FileReader.h"
#include "gpslink/ExchangeFrame.h"
#include "gpslink/GpsLink.h"
#include "gpslink/Upload.h"
#include "model/Lists.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"
#include "workspace/Commands.h"
#include "workspace/PropertySettings.h"
#include "workspace/RouteEditing.h"
#include "workspace/Settings.h"
#include "workspace/WaypointFields.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <chrono>
#include <memory>
#include <optional>

class GridComponent;
class SerialStream;

// What a running Navora holds, and every command on it. The main window,
// navora-cli and the tests each build one over a serial port and a user
// interaction and differ only in those; a window is a view of its workspace.
//
// Commands take what they act on (a list kind, row positions, a path) and
// return what happened; on the way they ask and tell the user through the
// interaction. One exchange with the receiver runs at a time: while it runs
// (Busy) every other command is refused and does nothing.
class Workspace : public QObject
{
    Q_OBJECT
public:
    Workspace(SerialStream& port, UserInteraction& ui, QObject* parent = nullptr);
    ~Workspace() override;

    Lists& Data() { return lists_; }
    ListModel& List(ListKind kind) { return lists_.Of(kind); }
    RouteStore& Routes() { return lists_.routes; }
    ProgramState& State() { return state_; }
    ReaderState& Reader() { return reader_; }
    GpsLink& Link() { return link_; }
    SerialStream& Port() { return port_; }
    UserInteraction& Ui() { return ui_; }
    // The national grids' component, created on first use.
    GridComponent& Grid();
    GridComponentSource GridSource();
    // The commands whose work the core has.
    CommandWork Work() const;

    bool Connected() const { return link_.Connected(); }
    bool Busy() const { return link_.Busy(); }
    // Asks the running exchange to stop, as the cancel window's button does.
    void Cancel();

    // Start-up: reads the settings, applies them to the port and the program
    // values, writes the status panels and selects the stored grid.
    StartupResult Startup(SettingsStore& settings);
    // Selects a grid already stored as State().currentGrid.
    void SelectGrid(const QString& name);
    // The end of the program's work: drains the port's output (asking when
    // it will not drain within `drainLimit`) and closes it. False when the
    // user chose to keep the program running.
    bool ClosePort(std::chrono::milliseconds drainLimit);

    // Connects when not connected, disconnects when connected.
    ExchangeOutcome ConnectToggle();

    // Replaces the list of `kind` with the records of the file at `path`.
    FileOutcome LoadFile(ListKind kind, const QString& path);
    // False, after saying "There is nothing to save!", when the list is empty;
    // a window asks this before it asks for a file name.
    bool ReadyToSave(ListKind kind);
    // Writes the list of `kind` to the file at `path`; `moment` is the date
    // and time the records carry.
    FileOutcome SaveFile(ListKind kind, const QString& path,
                         const QDateTime& moment = QDateTime::currentDateTime());

    // The row an editor opens for the selected rows of `kind`: the last
    // selected, or -1 for a new record when none is. Nothing for the track,
    // and nothing after saying so when several waypoints are selected. Sets
    // State().editIndex.
    std::optional<int> RowToEdit(ListKind kind, const QList<int>& selectedRows);
    // The Delete command on the rows of `kind`: on the waypoint list the rows
    // given, on the route list the route of the first row given, on the track
    // list the whole track, each after its questions, and in the receiver too
    // when connected and the user wants it. Declined when nothing is given or
    // the user says No.
    ExchangeOutcome DeleteRows(ListKind kind, const QList<int>& rows);

    // The editors' and the Setup command's steps that change what the
    // workspace holds (Edits.cpp).
    //
    // The waypoint editor's OK, after its checks: replaces the row
    // State().editIndex, or adds a row when that is -1. An existing row's
    // altitude first follows the heights mode, and `fields` shows it.
    void ApplyWaypointEdit(WaypointFields& fields);
    // What the route editor opens with for `row` of the route list, -1 for a
    // new route, the waypoint names included. The cancel window shows while
    // they are gathered. Nothing when the user cancelled, an exchange runs,
    // the row is no route's, or (after saying so) every number is in use.
    std::optional<RouteEditorContent> PrepareRouteEditor(int row);
    // The route editor's OK: rewrites the route the boxes name. False, after
    // saying so, when the number is not one of 1 to 20.
    bool ApplyRouteEdit(const QString& routeText, const QString& desc, const QStringList& boxes);
    // What the properties dialog opens with; `gridLines` is whether the
    // waypoint list shows them.
    PropertyChoices PropertySettings(const SettingsStore& settings, bool gridLines,
                                     const std::vector<SerialDevice>& devices);
    // The properties dialog's OK: the port, its speed, the heights (the
    // waypoint list converted), the grid and the datum, then the settings
    // stored. False, after showing the port's error, when the port refused
    // its number or speed: nothing is stored and the dialog stays. The
    // window applies the grid lines and the grid dialog's layout itself.
    bool ApplyProperties(const PropertyChoices& choices, SettingsStore& settings);
    // After Setup: the "Settings" and "Datum" panels as start-up writes them.
    void ShowSetupPanels();

    // The transfers with the receiver, each in one exchange: the download
    // and the upload of the list of `kind` (its questions asked unless
    // agreed before), and the menu's deletion of everything of `kind` in the
    // receiver (after its question).
    ExchangeOutcome Download(ListKind kind);
    ExchangeOutcome Upload(ListKind kind, UploadQuestions questions = UploadQuestions::Ask);
    ExchangeOutcome DeleteAllInReceiver(ListKind kind);

signals:
    void ConnectionChanged(bool connected);
    void BusyChanged(bool busy);

private:
    ExchangeOutcome DeleteRoute(int row);
    ExchangeOutcome DeleteTrack();
    ExchangeOutcome DeleteWaypoints(const QList<int>& rows);
    void OnConnectionChanged(bool connected);
    // The "Settings" panel without a count: what the port or the receiver is.
    void RestSettingsPanel();
    // A list whose count the panel shows has changed: the count goes.
    void CountNoLongerTrue(ListKind kind);

    SerialStream& port_;
    UserInteraction& ui_;
    Lists lists_;
    ProgramState state_;
    ReaderState reader_;
    GpsLink link_;
    std::unique_ptr<GridComponent> grid_;
    TextFileFormat textFormat_;
    // The list whose load or save count the "Settings" panel shows.
    std::optional<ListKind> countShown_;
};
