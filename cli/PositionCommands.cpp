#include "cli/PositionCommands.h"

#include "cli/Session.h"
#include "coords/GridComponent.h"
#include "coords/GridConversion.h"
#include "coords/GridInput.h"
#include "workspace/WaypointFields.h"

#include <QRegularExpression>
#include <cstdio>
#include <memory>

namespace {

void PrintData(const QString& text)
{
    const QByteArray bytes = (text + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

std::optional<double> Degrees(const QString& text, double limit)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(std::abs(value) <= limit))
        return std::nullopt;
    return value;
}

// The reference typed as words, or with the letters and figures run
// together: "TQ 31979 79607" or "TQ3197979607", "30 U 701278 5709417" or
// "30U 7012785709417", "531979 179607" or "531979179607". Run-together
// figures split after the easting's digits: five with square letters, six
// otherwise. Nothing when the text has none of these forms.
std::optional<GridReference> ReadReference(const QString& grid, bool sheet, const QString& text)
{
    QString head;
    if (grid == u"UTM")
        head = QStringLiteral("(\\d{1,2})\\s*([A-Za-z])");
    else if (sheet)
        head = QStringLiteral("([A-Za-z]{2})");
    const qsizetype headFields = grid == u"UTM" ? 2 : sheet ? 1 : 0;
    const int eastDigits = sheet ? 5 : 6;
    const QRegularExpression apart(QStringLiteral("^\\s*") + head +
                                   QStringLiteral("\\s*(\\d+)\\s+(\\d+)\\s*$"));
    const QRegularExpression together(
        QStringLiteral("^\\s*") + head +
        QStringLiteral("\\s*(\\d{%1})(\\d{%1,%2})\\s*$").arg(eastDigits).arg(eastDigits + 1));
    QRegularExpressionMatch match = apart.match(text);
    if (!match.hasMatch())
        match = together.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    GridReference reference;
    if (grid == u"UTM") {
        reference.sheet = match.captured(1);
        reference.band = match.captured(2).toUpper();
    } else if (sheet) {
        reference.sheet = match.captured(1).toUpper();
    }
    reference.east = match.captured(headFields + 1);
    reference.north = match.captured(headFields + 2);
    return reference;
}

// The position as the grid reference dialog writes it into the waypoint
// editor and the editor's OK puts it into the waypoint list.
QString ReceiverForm(double latitude, double longitude)
{
    EditorPositionFields position;
    WritePosition(latitude, longitude, position);
    WaypointFields fields;
    SetPositionFields(fields, position);
    for (const WaypointBox box :
         {WaypointBox::Lat, WaypointBox::LatMin, WaypointBox::Lon, WaypointBox::LonMin})
        CheckWaypointField(box, fields);
    const QStringList cells = WaypointRowCells(fields, HeightsMode::Keep, false);
    return QStringList{cells[WaypointColumn::Latitude], cells[WaypointColumn::NS],
                       cells[WaypointColumn::Longitude], cells[WaypointColumn::WE]}
        .join(u' ');
}

// The grid selected as start-up selects the stored one; the component of
// the national grids is created only for them.
struct GridSelection
{
    GridSelection(const QString& grid, UserInteraction& ui)
    {
        source = [this]() -> GridComponent& {
            if (!component)
                component = std::make_unique<GridComponent>();
            return *component;
        };
        SetGrid(grid, ui, source);
    }
    GridSelection(const GridSelection&) = delete;
    GridSelection& operator=(const GridSelection&) = delete;

    std::unique_ptr<GridComponent> component;
    GridComponentSource source;
};

} // namespace

int RunGridRef(const Invocation& in, UserInteraction& ui)
{
    const std::optional<double> latitude = Degrees(in.values[0], 90);
    const std::optional<double> longitude = Degrees(in.values[1], 180);
    if (!latitude || !longitude) {
        ui.Message(QStringLiteral("A position is a latitude of -90 to 90 and a longitude of -180 "
                                  "to 180, in decimal degrees: ") +
                   in.values.join(u' '));
        return ExitStatus::kUsage;
    }
    GridSelection selected(in.grid, ui);
    const GridComponentSource& source = selected.source;
    const std::optional<GridReference> reference =
        PositionToReference(in.grid, in.sheet, source, ui, *latitude, *longitude);
    if (!reference)
        return ExitStatus::kUsage;
    QStringList words;
    if (in.grid == u"UTM")
        words << reference->sheet << reference->band;
    else if (in.sheet)
        words << reference->sheet;
    words << reference->east << reference->north;
    PrintData(words.join(u' '));
    return ExitStatus::kSuccess;
}

int RunLatLon(const Invocation& in, UserInteraction& ui)
{
    const QString text = in.values.join(u' ');
    // An OSGB reference that starts with its square letters is the sheet
    // form, whether or not --sheet says so.
    const bool sheet =
        in.sheet || (in.grid == u"OSGB" && !text.isEmpty() && text.front().isLetter());
    const std::optional<GridReference> reference = ReadReference(in.grid, sheet, text);
    if (!reference) {
        ui.Message(QStringLiteral("Not a reference in ") + in.grid + QStringLiteral(": ") + text);
        return ExitStatus::kUsage;
    }
    for (const std::optional<QString>& error :
         {EastingError(reference->east, in.grid, sheet),
          NorthingError(reference->north, in.grid, sheet, reference->band)}) {
        if (error) {
            ui.Message(*error);
            return ExitStatus::kUsage;
        }
    }
    GridSelection selected(in.grid, ui);
    const GridComponentSource& source = selected.source;
    const PositionFromReference position =
        ReferenceToPosition(in.grid, sheet, source, ui, *reference);
    if (position.status != ReferenceStatus::Converted)
        return ExitStatus::kUsage;
    PrintData(QString::number(position.latitude, 'f', 6) + u' ' +
              QString::number(position.longitude, 'f', 6) + u' ' +
              ReceiverForm(position.latitude, position.longitude));
    return ExitStatus::kSuccess;
}
