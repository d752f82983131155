#include "workspace/WaypointFields.h"

#include "coords/GridConversion.h"
#include "files/PositionText.h"
#include "files/TextCase.h"
#include "model/TextNumber.h"

#include <cmath>

namespace {

// Texts users know, letter for letter.
const QString kLatitudeRange = QStringLiteral("Latitude range 0-90\r\nFormat: dd mm.mmm");
const QString kLatitudeMinutes = QStringLiteral("Minute range 0-59.999\r\nFormat: dd mm.mmm");
const QString kLongitudeRange = QStringLiteral("Longitude range 0-180\r\nFormat: ddd mm.mmm");
const QString kLongitudeMinutes = QStringLiteral("Minute range 0-59.999\r\nFormat: ddd mm.mmm");

constexpr char16_t kBackspace = 8;

bool InRange(QChar c, char first, char last)
{
    return c.unicode() >= first && c.unicode() <= last;
}

bool IsIconLetter(const QString& text)
{
    return text.size() == 1 && InRange(text.front(), 'a', 't');
}

// Whole degrees in the "00" or "000" pattern, which rounds halves away from zero.
QString Degrees(double value, int width)
{
    return ZeroPad(std::llround(value), width);
}

QStringList CheckDegrees(QString& box, double limit, int width, const QString& message)
{
    const double value = LeadingNumber(box);
    if (value > limit || value < 0)
        return {message};
    box = Degrees(value, width);
    return {};
}

// Minutes at the limit's own degrees must be zero: 90 degrees and a little is
// no latitude.
QStringList CheckMinutes(QString& box, const QString& degrees, double limit,
                         const QString& rangeMessage, const QString& minuteMessage)
{
    const double minutes = LeadingNumber(box);
    if (LeadingNumber(degrees) >= limit && minutes > 0)
        return {rangeMessage};
    if (minutes >= 60 || minutes < 0)
        return {minuteMessage};
    box = FormatMinutes(minutes);
    return {};
}

QStringList CheckAltitude(QString& box)
{
    bool ok = false;
    const double value = box.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1e15)
        return {QStringLiteral("Invalid number")};
    // "0000000", or "-" and six digits below zero ("-000012").
    const long long whole = std::llround(value);
    box = ZeroPad(whole, whole < 0 ? 6 : 7);
    return {};
}

} // namespace

bool HasOnlyValidChars(QStringView text)
{
    for (const QChar c : text) {
        if (!(InRange(c, 'A', 'Z') || InRange(c, '0', '9') || c == u' ' || c == u'.' || c == u'-' ||
              c == u'_' || c == u'&' || c == u'\''))
            return false;
    }
    return true;
}

QChar UpperKey(QChar key)
{
    return Uppered(QStringView(&key, 1)).front();
}

std::optional<QChar> FilterWaypointKey(WaypointBox box, QChar key)
{
    if (key == kBackspace)
        return key;
    switch (box) {
    case WaypointBox::Id:
    case WaypointBox::Desc:
        return UpperKey(key);
    case WaypointBox::Lat:
    case WaypointBox::Lon:
        if (InRange(key, '0', '9'))
            return key;
        break;
    case WaypointBox::LatMin:
    case WaypointBox::LonMin:
        if (InRange(key, '0', '9') || key == u'.')
            return key;
        break;
    case WaypointBox::Alt:
        if (InRange(key, '0', '9') || key == u'-')
            return key;
        break;
    case WaypointBox::Icon: {
        const QChar lower = key.toLower();
        if (InRange(lower, 'a', 't'))
            return lower;
        break;
    }
    }
    return std::nullopt;
}

QStringList CheckWaypointField(WaypointBox box, WaypointFields& f)
{
    switch (box) {
    case WaypointBox::Id: {
        f.txtID = Uppered(f.txtID);
        QStringList messages;
        if (f.txtID.size() < 3)
            messages << QStringLiteral("Waypoint ID must be 3-6 characters");
        if (!HasOnlyValidChars(f.txtID))
            messages << QStringLiteral("Waypoint name contains illegal characters");
        return messages;
    }
    case WaypointBox::Lat:
        return CheckDegrees(f.txtLat, 90, 2, kLatitudeRange);
    case WaypointBox::LatMin:
        return CheckMinutes(f.TxtLatMin, f.txtLat, 90, kLatitudeRange, kLatitudeMinutes);
    case WaypointBox::Lon:
        return CheckDegrees(f.txtLon, 180, 3, kLongitudeRange);
    case WaypointBox::LonMin:
        return CheckMinutes(f.txtLonMin, f.txtLon, 180, kLongitudeRange, kLongitudeMinutes);
    case WaypointBox::Alt:
        return CheckAltitude(f.txtAlt);
    case WaypointBox::Desc:
        f.txtDesc = Uppered(f.txtDesc);
        if (!HasOnlyValidChars(f.txtDesc))
            return {QStringLiteral("Description contains illegal characters")};
        return {};
    case WaypointBox::Icon:
        if (!IsIconLetter(f.comboIcon))
            return {QStringLiteral("Valid icon letters are 'a' to 't'")};
        return {};
    }
    return {};
}

std::optional<FieldFailure> ValidateAllFields(WaypointFields& fields)
{
    for (WaypointBox box :
         {WaypointBox::Lat, WaypointBox::LatMin, WaypointBox::Lon, WaypointBox::LonMin,
          WaypointBox::Alt, WaypointBox::Desc, WaypointBox::Icon}) {
        QStringList messages = CheckWaypointField(box, fields);
        if (!messages.isEmpty())
            return FieldFailure{box, std::move(messages)};
    }
    return std::nullopt;
}

std::optional<FieldFailure> ValidateForSaving(WaypointFields& fields)
{
    QStringList messages = CheckWaypointField(WaypointBox::Id, fields);
    if (!messages.isEmpty())
        return FieldFailure{WaypointBox::Id, std::move(messages)};
    return ValidateAllFields(fields);
}

void PrepareWaypointEditor(const ListModel& waypoints, int row, WaypointFields& f)
{
    if (row < 0 || row >= waypoints.Count()) {
        f.txtID.clear();
        f.txtLat.clear();
        f.TxtLatMin.clear();
        f.txtLon.clear();
        f.txtLonMin.clear();
        f.txtDesc.clear();
        f.txtAlt = QStringLiteral("0");
        for (int* option : {&f.optNS, &f.optWE, &f.optMF}) {
            if (*option < 0)
                *option = 0;
        }
        if (f.comboIcon.isEmpty())
            f.comboIcon = QStringLiteral("a");
        return;
    }
    const auto cell = [&](int column) { return waypoints.Text(row, column); };
    f.txtID = cell(WaypointColumn::Name);
    f.txtLat = cell(WaypointColumn::Latitude).left(2);
    f.TxtLatMin = cell(WaypointColumn::Latitude).mid(2, 6);
    f.optNS = cell(WaypointColumn::NS) == u"N" ? 0 : 1;
    f.txtLon = cell(WaypointColumn::Longitude).left(3);
    f.txtLonMin = cell(WaypointColumn::Longitude).mid(3, 6);
    f.optWE = cell(WaypointColumn::WE) == u"W" ? 0 : 1;
    f.txtAlt = cell(WaypointColumn::Altitude).left(7);
    f.optMF = cell(WaypointColumn::MF) == u"M" ? 0 : 1;
    // A picture key outside the set selects no item: the box keeps its letter.
    if (IsIconLetter(waypoints.IconKey(row)))
        f.comboIcon = waypoints.IconKey(row);
    f.txtDesc = cell(WaypointColumn::Description);
}

QStringList WaypointRowCells(WaypointFields& f, HeightsMode mode, bool existingRow)
{
    if (existingRow) {
        std::optional<Altitude> converted;
        if (mode == HeightsMode::Feet && f.optMF == 0)
            converted = MetresToFeet(f.txtAlt);
        else if (mode == HeightsMode::Metres && f.optMF != 0)
            converted = FeetToMetres(f.txtAlt);
        if (converted) {
            f.txtAlt = converted->value;
            f.optMF = converted->unit == u"M" ? 0 : 1;
        }
    }
    QStringList cells(WaypointColumn::Count);
    cells[WaypointColumn::Name] = f.txtID;
    cells[WaypointColumn::Latitude] = f.txtLat + f.TxtLatMin;
    cells[WaypointColumn::NS] = f.optNS == 0 ? QStringLiteral("N") : QStringLiteral("S");
    cells[WaypointColumn::Longitude] = f.txtLon + f.txtLonMin;
    cells[WaypointColumn::WE] = f.optWE == 0 ? QStringLiteral("W") : QStringLiteral("E");
    cells[WaypointColumn::Altitude] = f.txtAlt;
    cells[WaypointColumn::MF] = f.optMF == 0 ? QStringLiteral("M") : QStringLiteral("F");
    cells[WaypointColumn::Description] = f.txtDesc;
    cells[WaypointColumn::Icon] = f.comboIcon;
    return cells;
}

GridStart GridReferenceForEditor(const WaypointFields& f, const QString& grid, bool useSheetId,
                                 const GridComponentSource& component, UserInteraction& ui)
{
    GridStart start;
    const QString* position[] = {&f.txtLat, &f.TxtLatMin, &f.txtLon, &f.txtLonMin};
    bool allEmpty = true;
    bool anyEmpty = f.txtAlt.isEmpty();
    for (const QString* box : position) {
        allEmpty = allEmpty && box->isEmpty();
        anyEmpty = anyEmpty || box->isEmpty();
    }
    if (allEmpty) {
        start.kind = GridStart::Kind::Blank;
        return start;
    }
    if (anyEmpty) {
        ui.Message(QStringLiteral("Incomplete coordinates!"));
        return start;
    }
    double latitude = LeadingNumber(f.txtLat) + LeadingNumber(f.TxtLatMin) / 60;
    double longitude = LeadingNumber(f.txtLon) + LeadingNumber(f.txtLonMin) / 60;
    if (f.optNS == 1)
        latitude = -latitude;
    if (f.optWE == 0)
        longitude = -longitude;
    std::optional<GridReference> reference =
        PositionToReference(grid, useSheetId, component, ui, latitude, longitude);
    if (!reference)
        return start;
    // Without square letters the greyed sheet box still names the square.
    if (grid == u"OSGB" && !useSheetId) {
        double east = LeadingNumber(reference->east);
        double north = LeadingNumber(reference->north);
        reference->sheet = GridLetters(east, north).value_or(QString());
    }
    start.kind = GridStart::Kind::Reference;
    start.reference = *reference;
    return start;
}

EditorPositionFields PositionFieldsOf(const WaypointFields& f)
{
    return {f.optNS, f.optWE, f.txtLat, f.TxtLatMin, f.txtLon, f.txtLonMin};
}

void SetPositionFields(WaypointFields& f, const EditorPositionFields& p)
{
    f.optNS = p.optNS;
    f.optWE = p.optWE;
    f.txtLat = p.txtLat;
    f.TxtLatMin = p.TxtLatMin;
    f.txtLon = p.txtLon;
    f.txtLonMin = p.txtLonMin;
}
