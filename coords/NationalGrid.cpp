#include "coords/NationalGrid.h"

#include "coords/GridComponent.h"
#include "coords/Utm.h"
#include "model/TextNumber.h"

#include <cmath>

namespace {

// Letters of the 500 km and 100 km squares, counted from the south-west
// corner, five to a row; I is absent from both.
const QString k500kmLetters = QStringLiteral("STUQRNOPLMHJKFGCDEABXYZVW");
const QString k100kmLetters = QStringLiteral("VWXYZQRSTULMNOPFGHJKABCDE");

std::optional<std::int32_t> AreaOf(const QString& grid)
{
    if (grid == u"OSGB")
        return Giq::kAreaBritish;
    if (grid == u"OSNI")
        return Giq::kAreaNorthernIreland;
    if (grid == u"OSRoI")
        return Giq::kAreaIreland;
    return std::nullopt;
}

bool IsIrish(const QString& grid)
{
    return grid == u"OSNI" || grid == u"OSRoI";
}

} // namespace

bool IsNationalGrid(const QString& name)
{
    return AreaOf(name).has_value();
}

bool IsGridName(const QString& name)
{
    return IsNationalGrid(name) || name == u"UTM";
}

void SetGrid(const QString& name, UserInteraction& ui, const GridComponentSource& component)
{
    const auto area = AreaOf(name);
    if (!area)
        return;
    // Both calls run even when the first fails.
    GridComponent& giq = component();
    if (const std::int32_t status = giq.GiqSetArea(*area))
        ShowGiqError(status, ui);
    if (const std::int32_t status = giq.GiqInit(Giq::kComponentName))
        ShowGiqError(status, ui);
}

QString GiqErrorText(std::int32_t code)
{
    switch (code) {
    case -1:
        return QStringLiteral("General Failure");
    case -2:
        return QStringLiteral("Invalid data file path");
    case -3:
        return QStringLiteral("Invaid registry key"); // "Invaid" as users have always seen it
    case -5:
        return QStringLiteral("Invalid data file");
    case -6:
        return QStringLiteral("Invalid polygon file");
    case -7:
        return QStringLiteral("Area not set");
    case -8:
        return QStringLiteral("GIQ DLL not initialised");
    case -9:
        return QStringLiteral("Invalid coordinate");
    case -10:
        return QStringLiteral("Invalid vertical datum");
    case -11:
        return QStringLiteral("Outside area");
    default:
        return QStringLiteral("Unknown error");
    }
}

void ShowGiqError(std::int32_t code, UserInteraction& ui)
{
    ui.Message(QStringLiteral("GIQ Error: ") + GiqErrorText(code));
}

std::optional<QString> GridLetters(double& easting, double& northing)
{
    if (!std::isfinite(easting) || !std::isfinite(northing))
        return std::nullopt;
    const double col500 = std::floor(easting / 500000);
    const double row500 = std::floor(northing / 500000);
    if (col500 < 0 || col500 > 4 || row500 < 0 || row500 > 4)
        return std::nullopt;
    const int col100 = static_cast<int>(FloorMod(std::floor(easting / 100000), 5));
    const int row100 = static_cast<int>(FloorMod(std::floor(northing / 100000), 5));
    QString letters;
    letters += k500kmLetters[static_cast<int>(col500 + 5 * row500)];
    letters += k100kmLetters[col100 + 5 * row100];
    easting = FloorMod(easting, 100000);
    northing = FloorMod(northing, 100000);
    return letters;
}

bool ApplyGridLetters(const QString& code, double& easting, double& northing)
{
    const QString upper = code.toUpper();
    qsizetype i1 = 0;
    qsizetype i2 = 0;
    if (!upper.isEmpty()) {
        i1 = k500kmLetters.indexOf(upper.front());
        i2 = k100kmLetters.indexOf(upper.back());
        if (i1 < 0 || i2 < 0)
            return false;
    }
    easting += 100000.0 * double((i2 % 5) + 5 * (i1 % 5));
    northing += 100000.0 * double((i2 / 5) + 5 * (i1 / 5));
    return true;
}

std::int32_t GridToLatLon(const QString& grid, GridComponent& component, UserInteraction& ui,
                          double easting, double northing, double& height, double& latitude,
                          double& longitude)
{
    std::int32_t status = Giq::kAreaNotSet; // no national grid selected: nothing to read back
    if (grid == u"OSGB") {
        std::int32_t flags = 0;
        status = component.GiqSetBritishGrid(easting, northing, height, flags);
    } else if (IsIrish(grid)) {
        status = component.GiqSetIrishGrid(easting, northing, height, 0);
    }
    if (status != Giq::kOk) {
        ShowGiqError(status, ui);
        return status;
    }
    status = component.GiqGetWgs84(latitude, longitude, height);
    if (status != Giq::kOk)
        ShowGiqError(status, ui);
    return status;
}

std::int32_t LatLonToGrid(const QString& grid, GridComponent& component, UserInteraction& ui,
                          double latitude, double longitude, double& height, double& easting,
                          double& northing)
{
    if (grid == u"UTM")
        return Giq::kOk;
    std::int32_t status = component.GiqSetWgs84(latitude, longitude, height);
    if (status != Giq::kOk) {
        ShowGiqError(status, ui);
        return status;
    }
    std::int32_t flags = 0;
    if (grid == u"OSGB")
        status = component.GiqGetBritishGrid(easting, northing, height, flags);
    else if (IsIrish(grid))
        status = component.GiqGetIrishGrid(easting, northing, height, flags);
    else
        status = Giq::kAreaNotSet;
    if (status != Giq::kOk)
        ShowGiqError(status, ui);
    return status;
}

std::optional<GridReference> FormatGridReference(const QString& grid, bool useSheetId,
                                                 double easting, double northing)
{
    // Anything wider than a few thousand kilometres is no grid position.
    if (!(std::fabs(easting) < 1e9 && std::fabs(northing) < 1e9))
        return std::nullopt;
    double east = RoundHalfEven(easting);
    double north = RoundHalfEven(northing);
    GridReference reference;
    int width = 6;
    if (grid == u"OSGB" && useSheetId) {
        const auto letters = GridLetters(east, north);
        if (!letters)
            return std::nullopt;
        reference.sheet = *letters;
        width = 5;
    }
    reference.east = ZeroPad(static_cast<long long>(east), width);
    reference.north = ZeroPad(static_cast<long long>(north), width);
    return reference;
}

std::optional<std::pair<double, double>> ReadGridReference(const QString& grid, bool useSheetId,
                                                           const GridReference& reference)
{
    double east = LeadingNumber(reference.east);
    double north = LeadingNumber(reference.north);
    if (grid == u"OSGB" && useSheetId && !ApplyGridLetters(reference.sheet, east, north))
        return std::nullopt;
    return std::pair{east, north};
}
