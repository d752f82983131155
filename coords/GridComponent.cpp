#include "coords/GridComponent.h"

#include <proj.h>

#include <cmath>
#include <optional>

namespace {

// PROJ reports through this; the program has its own way of telling the user.
void SwallowProjMessage(void*, int, const char*) {}

const char* TargetCrs(std::int32_t area)
{
    switch (area) {
    case Giq::kAreaBritish:
        return "EPSG:27700";
    case Giq::kAreaNorthernIreland:
        return "EPSG:29901";
    case Giq::kAreaIreland:
        return "EPSG:29903";
    default:
        return nullptr;
    }
}

struct AreaOfUse
{
    double west, south, east, north;

    bool Contains(double latitude, double longitude) const
    {
        if (latitude < south || latitude > north)
            return false;
        if (west <= east)
            return longitude >= west && longitude <= east;
        return longitude >= west || longitude <= east; // across the 180th meridian
    }
};

struct Position
{
    double latitude, longitude, height;
    double easting, northing;
};

} // namespace

struct GridComponent::Impl
{
    PJ_CONTEXT* context = nullptr;
    PJ* transformation = nullptr; // WGS84 longitude, latitude to easting, northing
    std::optional<std::int32_t> area;
    AreaOfUse areaOfUse{};
    std::optional<Position> position;

    Impl()
    {
        context = proj_context_create();
        proj_log_func(context, nullptr, SwallowProjMessage);
        proj_log_level(context, PJ_LOG_NONE);
        // Only the grids on this machine: no download in the middle of a conversion.
        proj_context_set_enable_network(context, 0);
    }

    ~Impl()
    {
        DropTransformation();
        proj_context_destroy(context);
    }

    void DropTransformation()
    {
        if (transformation)
            proj_destroy(transformation);
        transformation = nullptr;
        position.reset();
    }

    std::int32_t Prepare()
    {
        if (!context)
            return Giq::kGeneralFailure;
        PJ* source = proj_create(context, "EPSG:4326");
        PJ* target = proj_create(context, TargetCrs(*area));
        const std::int32_t status =
            source && target ? Build(source, target) : Giq::kInvalidDataFile;
        proj_destroy(source);
        proj_destroy(target);
        return status;
    }

    std::int32_t Build(PJ* source, PJ* target)
    {
        const char* areaName = nullptr;
        if (!proj_get_area_of_use(context, target, &areaOfUse.west, &areaOfUse.south,
                                  &areaOfUse.east, &areaOfUse.north, &areaName))
            return Giq::kInvalidDataFile;
        // Near the edges of the grid's area the Helmert shift's own, smaller
        // area ends; PROJ would then fall back on a "ballpark" offset that
        // ignores the change of datum and is some 100 m off. Without it PROJ
        // keeps to the real transformations there too.
        const char* const options[] = {"ALLOW_BALLPARK=NO", nullptr};
        PJ* raw = proj_create_crs_to_crs_from_pj(context, source, target, nullptr, options);
        if (!raw)
            return Giq::kInvalidDataFile;
        // Longitude first, easting first, whatever the systems' own axis order.
        transformation = proj_normalize_for_visualization(context, raw);
        proj_destroy(raw);
        return transformation ? Giq::kOk : Giq::kInvalidDataFile;
    }

    std::int32_t Ready() const
    {
        if (!area)
            return Giq::kAreaNotSet;
        if (!transformation)
            return Giq::kNotInitialised;
        return Giq::kOk;
    }

    // Asked only on demand: finding the operation copies it, which would
    // cost more than the conversion itself.
    template <typename Read> auto LastUsed(Read read, decltype(read(nullptr)) none) const
    {
        if (!transformation)
            return none;
        PJ* used = proj_trans_get_last_used_operation(transformation);
        if (!used)
            return none;
        const auto result = read(used);
        proj_destroy(used);
        return result;
    }

    std::int32_t FromWgs84(double latitude, double longitude, double height)
    {
        position.reset();
        if (const std::int32_t status = Ready())
            return status;
        if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(height))
            return Giq::kInvalidCoordinate;
        // PROJ would transform Paris or New York without a murmur.
        if (!areaOfUse.Contains(latitude, longitude))
            return Giq::kOutsideArea;
        const PJ_COORD grid =
            proj_trans(transformation, PJ_FWD, proj_coord(longitude, latitude, 0, 0));
        if (!std::isfinite(grid.xy.x) || !std::isfinite(grid.xy.y))
            return Giq::kInvalidCoordinate;
        position = Position{latitude, longitude, height, grid.xy.x, grid.xy.y};
        return Giq::kOk;
    }

    std::int32_t FromGrid(double easting, double northing, double height)
    {
        position.reset();
        if (!std::isfinite(easting) || !std::isfinite(northing) || !std::isfinite(height))
            return Giq::kInvalidCoordinate;
        const PJ_COORD geo =
            proj_trans(transformation, PJ_INV, proj_coord(easting, northing, 0, 0));
        const double longitude = geo.lp.lam;
        const double latitude = geo.lp.phi;
        if (!std::isfinite(latitude) || !std::isfinite(longitude))
            return Giq::kInvalidCoordinate;
        if (!areaOfUse.Contains(latitude, longitude))
            return Giq::kOutsideArea;
        position = Position{latitude, longitude, height, easting, northing};
        return Giq::kOk;
    }

    // A grid method must match the area: the Irish methods serve areas 1 and
    // 2, the British ones area 0.
    std::int32_t ReadyFor(bool irish) const
    {
        if (const std::int32_t status = Ready())
            return status;
        if (irish != (*area != Giq::kAreaBritish))
            return Giq::kAreaNotSet;
        return Giq::kOk;
    }

    std::int32_t GetGrid(bool irish, double& easting, double& northing, double& height)
    {
        if (const std::int32_t status = ReadyFor(irish))
            return status;
        if (!position)
            return Giq::kInvalidCoordinate;
        easting = position->easting;
        northing = position->northing;
        height = position->height;
        return Giq::kOk;
    }
};

GridComponent::GridComponent() : impl_(std::make_unique<Impl>()) {}

GridComponent::~GridComponent() = default;

std::int32_t GridComponent::GiqSetArea(std::int32_t area)
{
    impl_->DropTransformation();
    if (!TargetCrs(area)) {
        impl_->area.reset();
        return Giq::kAreaNotSet;
    }
    impl_->area = area;
    return Giq::kOk;
}

std::int32_t GridComponent::GiqInit(const QString& name)
{
    impl_->DropTransformation();
    if (!impl_->area)
        return Giq::kAreaNotSet;
    // The component is known by this one name only.
    if (name != Giq::kComponentName)
        return Giq::kInvalidRegistryKey;
    return impl_->Prepare();
}

std::int32_t GridComponent::GiqSetWgs84(double latitude, double longitude, double height)
{
    return impl_->FromWgs84(latitude, longitude, height);
}

std::int32_t GridComponent::GiqGetWgs84(double& latitude, double& longitude, double& height)
{
    if (const std::int32_t status = impl_->Ready())
        return status;
    if (!impl_->position)
        return Giq::kInvalidCoordinate;
    latitude = impl_->position->latitude;
    longitude = impl_->position->longitude;
    height = impl_->position->height;
    return Giq::kOk;
}

std::int32_t GridComponent::GiqSetIrishGrid(double easting, double northing, double height,
                                            std::int32_t)
{
    impl_->position.reset();
    if (const std::int32_t status = impl_->ReadyFor(true))
        return status;
    return impl_->FromGrid(easting, northing, height);
}

std::int32_t GridComponent::GiqGetIrishGrid(double& easting, double& northing, double& height,
                                            std::int32_t& flags)
{
    flags = 0;
    return impl_->GetGrid(true, easting, northing, height);
}

std::int32_t GridComponent::GiqSetBritishGrid(double easting, double northing, double height,
                                              std::int32_t& flags)
{
    flags = 0;
    impl_->position.reset();
    if (const std::int32_t status = impl_->ReadyFor(false))
        return status;
    return impl_->FromGrid(easting, northing, height);
}

std::int32_t GridComponent::GiqGetBritishGrid(double& easting, double& northing, double& height,
                                              std::int32_t& flags)
{
    flags = 0;
    return impl_->GetGrid(false, easting, northing, height);
}

QString GridComponent::LastOperation() const
{
    return impl_->LastUsed(
        [](PJ* used) {
            const PJ_PROJ_INFO info = proj_pj_info(used);
            return QString::fromUtf8(info.description ? info.description : "");
        },
        QString());
}

double GridComponent::LastAccuracy() const
{
    PJ_CONTEXT* context = impl_->context;
    return impl_->LastUsed(
        [context](PJ* used) { return proj_coordoperation_get_accuracy(context, used); }, -1.0);
}
