#include "workspace/Workspace.h"

#include "coords/GridComponent.h"
#include "gpslink/Connection.h"
#include "gpslink/Deletion.h"
#include "gpslink/SerialStream.h"

#include <algorithm>

Workspace::Workspace(SerialStream& port, UserInteraction& ui, QObject* parent)
    : QObject(parent), port_(port), ui_(ui), link_(port)
{
    connect(&port_, &SerialStream::PortError, this,
            [this](const QString& text) { ReportPortError(link_, ui_, text); });
    connect(&link_, &GpsLink::ConnectionChanged, this, &Workspace::OnConnectionChanged);
    connect(&link_, &GpsLink::BusyChanged, this, &Workspace::BusyChanged);
}

Workspace::~Workspace() = default;

GridComponent& Workspace::Grid()
{
    if (!grid_)
        grid_ = std::make_unique<GridComponent>();
    return *grid_;
}

GridComponentSource Workspace::GridSource()
{
    return [this]() -> GridComponent& { return Grid(); };
}

CommandWork Workspace::Work() const
{
    CommandWork work;
    work.deleteRows = {true, true, true};
    work.editor = {true, true, false};
    work.setup = true;
    work.download = {true, true, true};
    work.upload = {true, true, true};
    work.deleteAllInReceiver = {true, true, true};
    return work;
}

void Workspace::Cancel()
{
    if (link_.Busy())
        link_.SetCancelled(true);
}

StartupResult Workspace::Startup(SettingsStore& settings)
{
    return RunStartup(settings, port_, state_, ui_,
                      [this](const QString& grid) { SelectGrid(grid); });
}

void Workspace::SelectGrid(const QString& name)
{
    SetGrid(name, ui_, GridSource());
}

bool Workspace::ClosePort(std::chrono::milliseconds drainLimit)
{
    if (!DrainAndClosePort(port_, ui_, drainLimit))
        return false;
    link_.FollowPort();
    return true;
}

ExchangeOutcome Workspace::ConnectToggle()
{
    return ::ConnectToggle(link_, ui_);
}

void Workspace::OnConnectionChanged(bool connected)
{
    countShown_.reset();
    if (connected) {
        ui_.SetStatusText(StatusPanel::Status, ConnectionText::Connected);
        ui_.SetStatusText(StatusPanel::Settings, ConnectionText::Detected + link_.GpsVersion());
    } else {
        ui_.SetStatusText(StatusPanel::Status, ConnectionText::Disconnected);
        ui_.SetStatusText(StatusPanel::Settings, SettingsPanelText(port_));
    }
    emit ConnectionChanged(connected);
}

void Workspace::RestSettingsPanel()
{
    countShown_.reset();
    ui_.SetStatusText(StatusPanel::Settings, link_.Connected()
                                                 ? ConnectionText::Detected + link_.GpsVersion()
                                                 : SettingsPanelText(port_));
}

void Workspace::CountNoLongerTrue(ListKind kind)
{
    if (countShown_ == kind)
        RestSettingsPanel();
}

FileOutcome Workspace::LoadFile(ListKind kind, const QString& path)
{
    if (Busy())
        return {FileStatus::Busy, 0, {}};
    const FileOutcome outcome = textFormat_.Load(kind, path, lists_, state_, reader_, ui_);
    if (outcome.status == FileStatus::Read || outcome.status == FileStatus::Cancelled)
        countShown_ = kind;
    else
        RestSettingsPanel();
    return outcome;
}

bool Workspace::ReadyToSave(ListKind kind)
{
    if (lists_.Of(kind).Count() > 0)
        return true;
    ui_.Message(QStringLiteral("There is nothing to save!"));
    return false;
}

FileOutcome Workspace::SaveFile(ListKind kind, const QString& path, const QDateTime& moment)
{
    if (Busy())
        return {FileStatus::Busy, 0, {}};
    if (!ReadyToSave(kind))
        return {FileStatus::NothingToSave, 0, {}};
    const FileOutcome outcome = textFormat_.Save(kind, path, lists_, ui_, moment);
    if (outcome.status != FileStatus::Written)
        RestSettingsPanel();
    else if (kind == ListKind::Track)
        countShown_ = kind;
    return outcome;
}

std::optional<int> Workspace::RowToEdit(ListKind kind, const QList<int>& selectedRows)
{
    if (kind == ListKind::Track)
        return std::nullopt;
    if (kind == ListKind::Waypoints && selectedRows.size() > 1) {
        // "Muliple" is the text users know; keep it as it is.
        ui_.Message(QStringLiteral("Muliple waypoints selected!\r\n"
                                   "You can only edit one waypoint at a time"));
        return std::nullopt;
    }
    state_.editIndex =
        selectedRows.isEmpty() ? -1 : *std::max_element(selectedRows.begin(), selectedRows.end());
    return state_.editIndex;
}

ExchangeOutcome Workspace::DeleteRows(ListKind kind, const QList<int>& rows)
{
    if (Busy())
        return ExchangeOutcome::Busy;
    if (rows.isEmpty())
        return ExchangeOutcome::Declined;
    switch (kind) {
    case ListKind::Routes:
        return DeleteRoute(rows.front());
    case ListKind::Track:
        return DeleteTrack();
    case ListKind::Waypoints:
        break;
    }
    return DeleteWaypoints(rows);
}

ExchangeOutcome Workspace::DeleteRoute(int row)
{
    const std::optional<int> route = lists_.routes.RouteOfRow(row);
    if (!route)
        return ExchangeOutcome::Declined;
    if (ui_.Question(QStringLiteral("Are you sure you want to delete this route?"),
                     Buttons::YesNo) != Answer::Yes)
        return ExchangeOutcome::Declined;
    if (link_.Connected() && ui_.Question(QStringLiteral("Delete route from GPS as well?"),
                                          Buttons::YesNo) == Answer::Yes) {
        ExchangeFrame frame(link_, ui_);
        if (!frame.Started())
            return ExchangeOutcome::Busy;
        GpsDeleteRoute(link_, ui_, *route);
    }
    lists_.routes.RemoveRoute(*route);
    CountNoLongerTrue(ListKind::Routes);
    return ExchangeOutcome::Completed;
}

ExchangeOutcome Workspace::DeleteTrack()
{
    if (ui_.Question(QStringLiteral("Delete all track points?"), Buttons::YesNo) != Answer::Yes)
        return ExchangeOutcome::Declined;
    if (link_.Connected() &&
        ui_.Question(QStringLiteral("Delete Track information from GPS as well?"),
                     Buttons::YesNo) == Answer::Yes) {
        ExchangeFrame frame(link_, ui_);
        if (!frame.Started())
            return ExchangeOutcome::Busy;
        ::DeleteTrackInReceiver(link_, ui_);
    }
    lists_.track.Clear();
    CountNoLongerTrue(ListKind::Track);
    return ExchangeOutcome::Completed;
}
