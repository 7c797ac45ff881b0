#include <velmorutils/proj/GridFactors.h>

#include <proj_experimental.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "proj/ProjObjects.h"

namespace zel_proj {
namespace {

using detail::PjPtr;

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

// PROJ's name of a vertical step it could not model.
constexpr const char* kBallparkVertical = "ballpark vertical";

}  // namespace

double gaussianMeanRadius(double semiMajorM, double inverseFlattening, double latitudeDeg) {
    const double f = inverseFlattening > 0.0 ? 1.0 / inverseFlattening : 0.0;
    const double e2 = f * (2.0 - f);
    const double s = std::sin(latitudeDeg * kRadPerDeg);
    return semiMajorM * std::sqrt(1.0 - e2) / (1.0 - e2 * s * s);
}

double elevationFactor(double radiusM, double heightM) {
    return radiusM / (radiusM + heightM);
}

struct GridFactorCalculator::Impl {
    detail::ContextPtr ctx = detail::newContext();
    CrsInfo info;
    // The projection of the CRS with its axes in metres (proj_factors scales by the axis unit
    // otherwise), as a plain PROJ operation where it has a PROJ string: given a CRS,
    // proj_factors builds the whole operation again at every call, a thousand times slower.
    PjPtr metric;
    // From the CRS to latitude, longitude and ellipsoidal height on its own datum.
    PjPtr toGeographic;
    double semiMajorM = 0.0;
    double inverseFlattening = 0.0;
    bool heightsEllipsoidal = true;

    PjPtr plainProjection(PJ* metricCrs) {
        const char* text = proj_as_proj_string(ctx.get(), metricCrs, PJ_PROJ_5, nullptr);
        std::string definition = text != nullptr ? text : "";
        const size_t type = definition.find(" +type=crs");
        if (type != std::string::npos) definition.erase(type, 10);
        PjPtr plain(definition.empty() ? nullptr : proj_create(ctx.get(), definition.c_str()));
        return plain ? std::move(plain) : PjPtr(proj_clone(ctx.get(), metricCrs));
    }

    bool setUp(PJ* crs, std::string& error) {
        PJ_CONTEXT* c = ctx.get();
        PjPtr horizontal = detail::horizontalPart(c, crs);
        PjPtr geodetic(horizontal ? proj_crs_get_geodetic_crs(c, horizontal.get()) : nullptr);
        PjPtr geographic3d(geodetic ? proj_crs_promote_to_3D(c, nullptr, geodetic.get()) : nullptr);
        PjPtr ellipsoid(geodetic ? proj_get_ellipsoid(c, geodetic.get()) : nullptr);
        metric.reset(horizontal ? proj_crs_alter_cs_linear_unit(c, horizontal.get(), "metre", 1.0,
                                                                "EPSG", "9001")
                                : nullptr);
        if (metric) metric = plainProjection(metric.get());
        PjPtr raw(geographic3d
                      ? proj_create_crs_to_crs_from_pj(c, crs, geographic3d.get(), nullptr, nullptr)
                      : nullptr);
        if (raw) toGeographic.reset(proj_normalize_for_visualization(c, raw.get()));
        if (!metric || !toGeographic || !ellipsoid ||
            !proj_ellipsoid_get_parameters(c, ellipsoid.get(), &semiMajorM, nullptr, nullptr,
                                           &inverseFlattening)) {
            error = "PROJ cannot take '" + info.name + "' back to latitude and longitude (" +
                    detail::lastError(c) + ")";
            return false;
        }
        return true;
    }
};

GridFactorCalculator::GridFactorCalculator() : impl_(std::make_unique<Impl>()) {}
GridFactorCalculator::~GridFactorCalculator() = default;
GridFactorCalculator::GridFactorCalculator(GridFactorCalculator&&) noexcept = default;
GridFactorCalculator& GridFactorCalculator::operator=(GridFactorCalculator&&) noexcept = default;

bool GridFactorCalculator::create(const std::string& crs, std::string& error) {
    Impl& m = *impl_;
    m.metric.reset();
    m.toGeographic.reset();
    if (!m.ctx) {
        error = "PROJ could not start (out of memory)";
        return false;
    }
    PjPtr object = detail::createCrs(m.ctx.get(), crs, error);
    if (!object) return false;
    m.info = detail::describe(m.ctx.get(), object.get());
    if (!m.info.projected) {
        error = "'" + crsLabel(m.info) +
                "' is not a projected coordinate system: it has no grid scale factor";
        return false;
    }
    m.heightsEllipsoidal = !m.info.hasHeight;
    return m.setUp(object.get(), error);
}

const CrsInfo& GridFactorCalculator::crs() const {
    return impl_->info;
}

bool GridFactorCalculator::heightsEllipsoidal() const {
    return impl_->heightsEllipsoidal;
}

bool GridFactorCalculator::at(double north, double east, double height, GridFactors& f,
                              std::string& error) {
    Impl& m = *impl_;
    if (!m.toGeographic) {
        error = "no coordinate system was set up";
        return false;
    }
    const double u = m.info.horizontalUnitM;
    proj_errno_reset(m.toGeographic.get());
    const PJ_COORD g =
        proj_trans(m.toGeographic.get(), PJ_FWD,
                   proj_coord(east / u, north / u, height / m.info.verticalUnitM, HUGE_VAL));
    if (!std::isfinite(g.v[0]) || !std::isfinite(g.v[1]) || g.v[0] == HUGE_VAL ||
        proj_errno(m.toGeographic.get()) != 0) {
        error = "the point lies outside what PROJ can take back to latitude and longitude";
        return false;
    }
    if (m.info.hasHeight) {
        PjPtr used(proj_trans_get_last_used_operation(m.toGeographic.get()));
        const char* name = used ? proj_get_name(used.get()) : nullptr;
        m.heightsEllipsoidal =
            name == nullptr || std::string(name).find(kBallparkVertical) != std::string::npos;
    }
    return atGeographic(g.v[1], g.v[0], m.info.hasHeight ? g.v[2] : height, f, error);
}

bool GridFactorCalculator::atGeographic(double latitudeDeg, double longitudeDeg,
                                        double ellipsoidalHeightM, GridFactors& f,
                                        std::string& error) {
    Impl& m = *impl_;
    if (!m.metric) {
        error = "no coordinate system was set up";
        return false;
    }
    proj_errno_reset(m.metric.get());
    const PJ_FACTORS pf = proj_factors(
        m.metric.get(), proj_coord(longitudeDeg * kRadPerDeg, latitudeDeg * kRadPerDeg, 0, 0));
    if (proj_errno(m.metric.get()) != 0 || !(pf.areal_scale > 0.0)) {
        error = "PROJ gives no scale factor at latitude " + std::to_string(latitudeDeg) +
                ", longitude " + std::to_string(longitudeDeg);
        return false;
    }
    f.latitudeDeg = latitudeDeg;
    f.longitudeDeg = longitudeDeg;
    f.ellipsoidalHeightM = ellipsoidalHeightM;
    f.gridScale = std::sqrt(pf.areal_scale);
    f.convergenceDeg = pf.meridian_convergence / kRadPerDeg;
    f.radiusM = gaussianMeanRadius(m.semiMajorM, m.inverseFlattening, latitudeDeg);
    f.elevationFactor = elevationFactor(f.radiusM, ellipsoidalHeightM);
    f.combinedFactor = f.gridScale * f.elevationFactor;
    return true;
}

}  // namespace zel_proj
