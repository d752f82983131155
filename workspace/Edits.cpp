#include "workspace/Workspace.h"

#include "gpslink/QtSerialStream.h"
#include "gpslink/SerialStream.h"
#include "model/TextNumber.h"

#include <QCoreApplication>

void Workspace::ApplyWaypointEdit(WaypointFields& fields)
{
    ListModel& waypoints = lists_.waypoints;
    const int row = state_.editIndex;
    const bool existing = row >= 0 && row < waypoints.Count();
    const QStringList cells = WaypointRowCells(fields, state_.heightsMode, existing);
    if (!existing) {
        waypoints.AddRow(cells);
    } else {
        for (int column = 0; column < WaypointColumn::Count; ++column)
            waypoints.SetText(row, column, cells[column]);
        waypoints.SetIconKey(row, cells[WaypointColumn::Icon]);
    }
    CountNoLongerTrue(ListKind::Waypoints);
}

std::optional<RouteEditorContent> Workspace::PrepareRouteEditor(int row)
{
    std::optional<RouteEditorContent> content = RouteEditorFor(lists_.routes, row);
    if (!content) {
        if (row < 0)
            ui_.Message(RouteEditorText::AllInUse);
        return std::nullopt;
    }
    // The names are gathered under the cancel window, whose Cancel stops the
    // opening. Gathering them takes a moment; the boxes share one list.
    ExchangeFrame frame(link_, ui_, RouteEditorText::Loading);
    if (!frame.Started())
        return std::nullopt;
    QCoreApplication::processEvents();
    if (link_.Cancelled())
        return std::nullopt;
    const ListModel& waypoints = lists_.waypoints;
    content->waypointNames.reserve(waypoints.Count());
    for (int i = 0; i < waypoints.Count(); ++i)
        content->waypointNames << waypoints.Text(i, WaypointColumn::Name);
    return content;
}

bool Workspace::ApplyRouteEdit(const QString& routeText, const QString& desc,
                               const QStringList& boxes)
{
    const std::optional<RouteEdit> edit = BuildRouteEdit(routeText, desc, boxes);
    if (!edit) {
        ui_.Message(RouteEditorText::OutOfRange);
        return false;
    }
    lists_.routes.ReplaceRoute(edit->route, edit->name, edit->points);
    CountNoLongerTrue(ListKind::Routes);
    return true;
}

PropertyChoices Workspace::PropertySettings(const SettingsStore& settings, bool gridLines,
                                            const std::vector<SerialDevice>& devices)
{
    CurrentProperties current;
    current.port = port_.Port();
    current.portSettings = port_.Settings();
    current.gridLines = gridLines;
    current.storedDatum = settings.Read(SettingsKey::Datum);
    current.storedSheet = settings.Read(SettingsKey::OsgbSheet, QStringLiteral("1"));
    current.heights = state_.heightsMode;
    current.grid = state_.currentGrid;
    return LoadPropertySettings(current, devices);
}

bool Workspace::ApplyProperties(const PropertyChoices& choices, SettingsStore& settings)
{
    // A new port: an open one is closed, renumbered and opened again. On any
    // failure the old number comes back, and a port that would not reopen
    // stays closed, which ends the connection.
    const QString oldPort = port_.Port();
    const QString newPort = PortSetting(choices.port);
    const std::optional<QString> oldDevice = DeviceForPort(oldPort);
    if (newPort != oldPort && (!oldDevice || DeviceForPort(newPort) != oldDevice)) {
        const bool wasOpen = port_.IsOpen();
        std::optional<QString> error;
        if (wasOpen)
            error = port_.Close();
        if (!error)
            error = port_.SetPort(newPort);
        if (!error && wasOpen)
            error = port_.Open();
        if (error) {
            ui_.Message(*error, MessageIcon::Exclamation);
            if (port_.IsOpen())
                port_.Close();
            port_.SetPort(oldPort);
            link_.FollowPort();
            return false;
        }
    }

    if (LeadingNumber(choices.speed) > 4800)
        ui_.Message(PropertyText::SpeedWarning);
    if (const auto error = port_.SetSettings(choices.speed.trimmed() + QStringLiteral(",n,8,1"))) {
        ui_.Message(*error, MessageIcon::Exclamation);
        return false;
    }
    port_.SetHandshakingNone();

    state_.heightsMode = choices.heights;
    ConvertWaypointHeights(lists_.waypoints, state_.heightsMode);

    switch (choices.grid) {
    case 0:
        state_.currentGrid = QStringLiteral("OSGB");
        state_.useSheetId = choices.sheet;
        break;
    case 1:
    case 2:
        state_.currentGrid = GridNames().at(choices.grid);
        state_.useSheetId = false;
        break;
    default:
        // UTM has no squares; the OSGB choice is kept for later.
        state_.currentGrid = QStringLiteral("UTM");
        break;
    }
    SelectGrid(state_.currentGrid);

    if (const std::optional<QString> code = DatumCodeOf(choices.datum))
        state_.currentDatumCode = *code;

    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    settings.Write(SettingsKey::Settings, port_.Settings());
    settings.Write(SettingsKey::CommPort, port_.Port());
    settings.Write(SettingsKey::Gridlines, flag(choices.gridLines));
    settings.Write(SettingsKey::Datum, choices.datum);
    settings.Write(SettingsKey::WaypointHeights, QString::number(int(state_.heightsMode)));
    settings.Write(SettingsKey::OsgbSheet, flag(choices.sheet));
    settings.Write(SettingsKey::Grid, state_.currentGrid);
    return true;
}

void Workspace::ShowSetupPanels()
{
    countShown_.reset();
    ui_.SetStatusText(StatusPanel::Settings, SettingsPanelText(port_));
    ui_.SetStatusText(StatusPanel::Datum, state_.currentDatumCode);
}
