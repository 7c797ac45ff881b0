#include <velmorutils/proj/Crs.h>

#include <proj_experimental.h>

#include <memory>
#include <utility>

#include "proj/ProjObjects.h"

namespace zel_proj {
namespace detail {

ContextPtr newContext() {
    ContextPtr ctx(proj_context_create());
    if (!ctx) return ctx;
    proj_context_set_enable_network(ctx.get(), 0);
    proj_log_level(ctx.get(), PJ_LOG_NONE);
    return ctx;
}

std::string lastError(PJ_CONTEXT* ctx) {
    const int code = proj_context_errno(ctx);
    const char* text = code != 0 ? proj_context_errno_string(ctx, code) : nullptr;
    return text != nullptr ? text : "PROJ gave no reason";
}

namespace {

bool isProjString(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first != std::string::npos && text[first] == '+';
}

// A unit's length in metres and its name, of one axis of a coordinate system.
void axisUnit(PJ_CONTEXT* ctx, PJ* cs, int axis, std::string& name, double& metres) {
    const char* unitName = nullptr;
    double factor = 1.0;
    if (proj_cs_get_axis_info(ctx, cs, axis, nullptr, nullptr, nullptr, &factor, &unitName, nullptr,
                              nullptr) == 0)
        return;
    name = unitName != nullptr ? unitName : "";
    metres = factor;
}

CrsKind kindOf(PJ* crs) {
    switch (proj_get_type(crs)) {
        case PJ_TYPE_GEOGRAPHIC_2D_CRS:
            return CrsKind::Geographic2D;
        case PJ_TYPE_GEOGRAPHIC_3D_CRS:
            return CrsKind::Geographic3D;
        case PJ_TYPE_PROJECTED_CRS:
            return CrsKind::Projected;
        case PJ_TYPE_GEOCENTRIC_CRS:
            return CrsKind::Geocentric;
        case PJ_TYPE_COMPOUND_CRS:
            return CrsKind::Compound;
        case PJ_TYPE_VERTICAL_CRS:
            return CrsKind::Vertical;
        default:
            return CrsKind::Other;
    }
}

// The horizontal axes of a geographic or projected CRS.
void describeHorizontal(PJ_CONTEXT* ctx, PJ* horizontal, CrsInfo& info) {
    const CrsKind kind = kindOf(horizontal);
    info.geographic = kind == CrsKind::Geographic2D || kind == CrsKind::Geographic3D;
    info.projected = kind == CrsKind::Projected;
    PjPtr cs(proj_crs_get_coordinate_system(ctx, horizontal));
    if (!cs) return;
    axisUnit(ctx, cs.get(), 0, info.horizontalUnit, info.horizontalUnitM);
    if (info.geographic) info.horizontalUnitM = 1.0;  // degrees, never converted
    if (kind == CrsKind::Geographic3D && proj_cs_get_axis_count(ctx, cs.get()) == 3) {
        std::string unused;
        info.hasHeight = true;
        axisUnit(ctx, cs.get(), 2, unused, info.verticalUnitM);
    }
}

}  // namespace

PjPtr createCrs(PJ_CONTEXT* ctx, const std::string& definition, std::string& error) {
    PjPtr crs(proj_create(ctx, definition.c_str()));
    // A PROJ string is a CRS only with +type=crs; without it PROJ reads an operation.
    if (crs && !proj_is_crs(crs.get()) && isProjString(definition) &&
        definition.find("+type=crs") == std::string::npos)
        crs.reset(proj_create(ctx, (definition + " +type=crs").c_str()));
    if (crs && proj_is_crs(crs.get())) return crs;
    error = "'" + definition + "' is not a coordinate reference system PROJ knows" +
            (crs ? "" : " (" + lastError(ctx) + ")");
    return nullptr;
}

PjPtr horizontalPart(PJ_CONTEXT* ctx, PJ* crs) {
    if (proj_get_type(crs) == PJ_TYPE_COMPOUND_CRS) return PjPtr(proj_crs_get_sub_crs(ctx, crs, 0));
    return PjPtr(proj_clone(ctx, crs));
}

CrsInfo describe(PJ_CONTEXT* ctx, PJ* crs) {
    CrsInfo info;
    const char* name = proj_get_name(crs);
    info.name = name != nullptr ? name : "";
    const char* auth = proj_get_id_auth_name(crs, 0);
    const char* code = proj_get_id_code(crs, 0);
    if (auth != nullptr && code != nullptr) info.identifier = std::string(auth) + ":" + code;
    info.kind = kindOf(crs);
    if (info.kind == CrsKind::Geocentric) return info;
    PjPtr horizontal = horizontalPart(ctx, crs);
    if (horizontal) describeHorizontal(ctx, horizontal.get(), info);
    if (info.kind != CrsKind::Compound) return info;
    PjPtr vertical(proj_crs_get_sub_crs(ctx, crs, 1));
    if (!vertical) return info;
    info.hasHeight = true;
    const char* vname = proj_get_name(vertical.get());
    info.verticalName = vname != nullptr ? vname : "";
    PjPtr cs(proj_crs_get_coordinate_system(ctx, vertical.get()));
    std::string unused;
    if (cs) axisUnit(ctx, cs.get(), 0, unused, info.verticalUnitM);
    return info;
}

}  // namespace detail

bool describeCrs(const std::string& definition, CrsInfo& info, std::string& error) {
    detail::ContextPtr ctx = detail::newContext();
    if (!ctx) {
        error = "PROJ could not start (out of memory)";
        return false;
    }
    detail::PjPtr crs = detail::createCrs(ctx.get(), definition, error);
    if (!crs) return false;
    info = detail::describe(ctx.get(), crs.get());
    return true;
}

namespace {

using detail::PjPtr;

struct ListDeleter {
    void operator()(PJ_OBJ_LIST* l) const { proj_list_destroy(l); }
};

// The vertical CRS a datum's name stands for: "<name> height" itself, else the first of PROJ's
// matches whose heights are in metres, else the first match.
PjPtr verticalCrsNamed(PJ_CONTEXT* ctx, const std::string& datum) {
    const PJ_TYPE types[] = {PJ_TYPE_VERTICAL_CRS};
    std::unique_ptr<PJ_OBJ_LIST, ListDeleter> list(
        proj_create_from_name(ctx, nullptr, datum.c_str(), types, 1, 1, 50, nullptr));
    const int count = list ? proj_list_get_count(list.get()) : 0;
    PjPtr first, metric;
    for (int i = 0; i < count; ++i) {
        PjPtr v(proj_list_get(ctx, list.get(), i));
        if (!v) continue;
        const std::string name = proj_get_name(v.get());
        if (name == datum || name == datum + " height") return v;
        const CrsInfo info = detail::describe(ctx, v.get());
        const bool height = name.find("depth") == std::string::npos;
        if (!metric && height && info.verticalUnitM == 1.0)
            metric = PjPtr(proj_clone(ctx, v.get()));
        if (!first) first = std::move(v);
    }
    return metric ? std::move(metric) : std::move(first);
}

std::string epsgCodeOf(PJ* object) {
    const char* auth = proj_get_id_auth_name(object, 0);
    const char* code = proj_get_id_code(object, 0);
    return auth != nullptr && code != nullptr && std::string(auth) == "EPSG" ? code : "";
}

}  // namespace

bool withVerticalDatum(const std::string& horizontal, const std::string& verticalDatum,
                       std::string& compound, std::string& error) {
    detail::ContextPtr ctx = detail::newContext();
    PjPtr h = ctx ? detail::createCrs(ctx.get(), horizontal, error) : nullptr;
    if (!h) return false;
    PjPtr v = verticalCrsNamed(ctx.get(), verticalDatum);
    if (!v) {
        error = "PROJ knows no vertical coordinate system named '" + verticalDatum + "'";
        return false;
    }
    const std::string hCode = epsgCodeOf(h.get()), vCode = epsgCodeOf(v.get());
    if (!hCode.empty() && !vCode.empty()) {
        compound = "EPSG:" + hCode + "+" + vCode;
        return true;
    }
    const std::string name = std::string(proj_get_name(h.get())) + " + " + proj_get_name(v.get());
    PjPtr joined(proj_create_compound_crs(ctx.get(), name.c_str(), h.get(), v.get()));
    const char* json = joined ? proj_as_projjson(ctx.get(), joined.get(), nullptr) : nullptr;
    if (json == nullptr) {
        error = "PROJ cannot join '" + horizontal + "' and '" + verticalDatum + "'";
        return false;
    }
    compound = json;
    return true;
}

std::string crsLabel(const CrsInfo& info) {
    if (info.identifier.empty()) return info.name;
    return info.identifier + " (" + info.name + ")";
}

}  // namespace zel_proj
