#include <velmorutils/proj/CrsTransform.h>

#include <cmath>
#include <utility>

#include "proj/ProjObjects.h"

namespace zel_proj {
namespace {

using detail::PjPtr;

// PROJ's order after normalisation is longitude or easting first; the component's is latitude
// or northing first. Geocentric X, Y, Z keep their order.
bool swapsAxes(const CrsInfo& info) {
    return info.geographic || info.projected;
}

// PROJ's name of a vertical step it could not model.
constexpr const char* kBallparkVertical = "ballpark vertical";

}  // namespace

struct CrsTransform::Impl {
    detail::ContextPtr ctx = detail::newContext();
    PjPtr op;
    CrsInfo source, target;
    std::string error;

    // The component's values of one end into PROJ's (longitude or easting first, the CRS's unit).
    static PJ_COORD toProj(const CrsInfo& crs, double first, double second, double height) {
        const double x = swapsAxes(crs) ? second : first;
        const double y = swapsAxes(crs) ? first : second;
        const double u = crs.horizontalUnitM;
        return proj_coord(x / u, y / u, height / crs.verticalUnitM, HUGE_VAL);
    }
    static void fromProj(const CrsInfo& crs, const PJ_COORD& c, double& first, double& second,
                         double* height) {
        const double u = crs.horizontalUnitM;
        first = (swapsAxes(crs) ? c.v[1] : c.v[0]) * u;
        second = (swapsAxes(crs) ? c.v[0] : c.v[1]) * u;
        if (height != nullptr) *height = c.v[2] * crs.verticalUnitM;
    }

    bool run(PJ_DIRECTION direction, double& first, double& second, double* height) {
        if (!op) {
            error = "no transformation was set up";
            return false;
        }
        const double h = height != nullptr ? *height : 0.0;
        if (!std::isfinite(first) || !std::isfinite(second) || !std::isfinite(h)) {
            error = "a coordinate is not a finite number";
            return false;
        }
        const bool fwd = direction == PJ_FWD;
        const CrsInfo& in = fwd ? source : target;
        const CrsInfo& out = fwd ? target : source;
        // PROJ takes a latitude beyond the pole in some operations (geographic to geographic)
        // and answers with a number; it is never a place.
        if (in.geographic && std::fabs(first) > 90.0) {
            error = "a latitude beyond 90 degrees";
            return false;
        }
        proj_errno_reset(op.get());
        const PJ_COORD c = proj_trans(op.get(), direction, toProj(in, first, second, h));
        if (!std::isfinite(c.v[0]) || !std::isfinite(c.v[1]) || c.v[0] == HUGE_VAL ||
            proj_errno(op.get()) != 0) {
            const int code = proj_errno(op.get());
            error = code != 0 ? proj_context_errno_string(ctx.get(), code)
                              : "the point lies outside what the operation can take";
            return false;
        }
        fromProj(out, c, first, second, height);
        return true;
    }
};

CrsTransform::CrsTransform() : impl_(std::make_unique<Impl>()) {}
CrsTransform::~CrsTransform() = default;
CrsTransform::CrsTransform(CrsTransform&&) noexcept = default;
CrsTransform& CrsTransform::operator=(CrsTransform&&) noexcept = default;

bool CrsTransform::create(const std::string& from, const std::string& to, std::string& error) {
    Impl& m = *impl_;
    m.op.reset();
    if (!m.ctx) {
        error = "PROJ could not start (out of memory)";
        return false;
    }
    PjPtr src = detail::createCrs(m.ctx.get(), from, error);
    if (!src) return false;
    PjPtr dst = detail::createCrs(m.ctx.get(), to, error);
    if (!dst) return false;
    PjPtr raw(proj_create_crs_to_crs_from_pj(m.ctx.get(), src.get(), dst.get(), nullptr, nullptr));
    if (raw) m.op.reset(proj_normalize_for_visualization(m.ctx.get(), raw.get()));
    if (!m.op) {
        error = "PROJ has no operation from '" + from + "' to '" + to + "' (" +
                detail::lastError(m.ctx.get()) + ")";
        return false;
    }
    m.source = detail::describe(m.ctx.get(), src.get());
    m.target = detail::describe(m.ctx.get(), dst.get());
    return true;
}

bool CrsTransform::isok() const {
    return impl_ && impl_->op != nullptr;
}
const CrsInfo& CrsTransform::source() const {
    return impl_->source;
}
const CrsInfo& CrsTransform::target() const {
    return impl_->target;
}

bool CrsTransform::forward(double& first, double& second, double* height) {
    return impl_->run(PJ_FWD, first, second, height);
}

bool CrsTransform::inverse(double& first, double& second, double* height) {
    return impl_->run(PJ_INV, first, second, height);
}

std::size_t CrsTransform::forward(double* first, double* second, double* height, std::size_t count,
                                  bool* ok) {
    std::size_t done = 0;
    for (std::size_t i = 0; i < count; ++i) {
        ok[i] = impl_->run(PJ_FWD, first[i], second[i], height != nullptr ? height + i : nullptr);
        done += ok[i] ? 1 : 0;
    }
    return done;
}

CrsOperation CrsTransform::lastOperation() const {
    CrsOperation result;
    const Impl& m = *impl_;
    if (!m.op) return result;
    PjPtr last(proj_trans_get_last_used_operation(m.op.get()));
    PJ* used = last ? last.get() : m.op.get();
    const char* name = proj_get_name(used);
    result.name = name != nullptr ? name : "";
    result.accuracyM = proj_coordoperation_get_accuracy(m.ctx.get(), used);
    result.heightUnchanged = m.source.hasHeight && m.target.hasHeight &&
                             result.name.find(kBallparkVertical) != std::string::npos;
    return result;
}

const std::string& CrsTransform::lastError() const {
    return impl_->error;
}

}  // namespace zel_proj
