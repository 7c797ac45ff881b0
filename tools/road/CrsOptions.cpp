#include "CrsOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <CLI/CLI.hpp>

#if VELMOR_ROAD_WITH_PROJ
#include <velmorutils/proj/CrsTransform.h>
#include <velmorutils/proj/GridFactors.h>
#endif

namespace road {

bool projAvailable() {
    return VELMOR_ROAD_WITH_PROJ != 0;
}

void addDesignCrsOptions(CLI::App* cmd, CrsArgs& a) {
    cmd->add_option("--crs", a.crs,
                    "the design's coordinate system, over the file's: EPSG:2229, a compound "
                    "EPSG:2229+5703 (with its heights' datum), WKT, a PROJ string or a name");
    cmd->add_option("--ground-scale", a.groundScale,
                    "the design's coordinates are ground: grid = origin + (ground - origin) x K, "
                    "K the combined factor grid/ground (0.99 to 1.01)");
    cmd->add_option("--ground-at", a.groundAt,
                    "ground coordinates whose K is the combined factor at this design point "
                    "N,E,H (table unit; H in the design's height datum)")
        ->delimiter(',');
    cmd->add_option("--ground-origin", a.groundOrigin,
                    "N,E where ground and grid agree (table unit; default: the --ground-at "
                    "point, else the alignment's start)")
        ->delimiter(',');
}

void addPointsCrsOption(CLI::App* cmd, CrsArgs& a) {
    cmd->add_option("--points-crs", a.pointsCrs,
                    "the points' coordinate system, e.g. EPSG:4979 for GNSS latitude, longitude "
                    "and ellipsoidal height (N column latitude, E longitude, decimal degrees); "
                    "they are carried to the design's CRS (from the file or --crs)");
}

void addOutCrsOption(CLI::App* cmd, CrsArgs& a) {
    cmd->add_option("--out-crs", a.outCrs,
                    "give each stake also in this coordinate system (EPSG:4326: latitude and "
                    "longitude columns, decimal degrees); with --points-out the point file's N "
                    "and E are these, heights still the design's");
}

void sayNotes(const std::vector<std::string>& notes, bool csv, std::FILE* table, std::FILE* err) {
    for (size_t i = 0; i < notes.size(); ++i) {
        const std::string& n = notes[i];
        if (std::find(notes.begin(), notes.begin() + i, n) != notes.begin() + i) continue;
        if (csv)
            say(err, n);
        else
            std::fprintf(table, "%s\n", n.c_str());
    }
}

namespace {

std::string number(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

[[maybe_unused]] std::string noProj(const std::string& option) {
    return option +
           ": this velmor-road was built without PROJ; coordinate systems are not "
           "available (--ground-scale is)";
}

std::string noDesignCrs(const std::string& option) {
    return option + ": the design names no coordinate system; give it with --crs CRS";
}

}  // namespace

void listCoordinateSystem(const landxml::CoordinateSystem& cs, std::FILE* out) {
    if (!cs.present()) return;
    std::string text = cs.epsgCode.empty() ? "" : "EPSG:" + cs.epsgCode;
    const std::string definition = landxml::crsDefinition(cs);
#if VELMOR_ROAD_WITH_PROJ
    zel_proj::CrsInfo info;
    std::string error;
    if (!definition.empty())
        text = zel_proj::describeCrs(definition, info, error)
                   ? zel_proj::crsLabel(info)
                   : (text.empty() ? "" : text + " ") + "(not known to PROJ)";
#endif
    if (text.empty() && !cs.ogcWktCode.empty()) text = "WKT";
    if (text.empty()) text = cs.horizontalCoordinateSystemName;
    const std::pair<const char*, const std::string*> parts[] = {
        {"vertical datum", &cs.verticalDatum},
        {"horizontal datum", &cs.horizontalDatum},
        {"system", &cs.horizontalCoordinateSystemName},
        {"name", &cs.name}};
    for (const auto& [label, value] : parts)
        if (!value->empty() && *value != text)
            text += (text.empty() ? "" : ", ") + std::string(label) + " " + *value;
    std::fprintf(out, "coordinate system: %s\n", text.c_str());
}

std::string crsWithHeights(const std::string& horizontal, const std::string& datum,
                           const std::string& file, std::vector<std::string>& notes) {
    if (horizontal.empty() || datum.empty()) return horizontal;
#if VELMOR_ROAD_WITH_PROJ
    std::string compound, error;
    if (zel_proj::withVerticalDatum(horizontal, datum, compound, error)) return compound;
    notes.push_back("heights: " + file + "'s vertical datum '" + datum +
                    "' is not known to PROJ (" + error + ")");
#else
    (void)notes, (void)file;
#endif
    return horizontal;
}

std::string designCrs(const CrsArgs& a, const Design& d, std::vector<std::string>& notes) {
    if (!a.crs.empty()) return a.crs;
    return crsWithHeights(landxml::crsDefinition(d.coordinateSystem),
                          d.coordinateSystem.verticalDatum, "the file", notes);
}

bool namesOtherCrs(const PointFile& file, const CrsArgs& a, const Design& d) {
    const std::string design = a.crs.empty() ? landxml::crsDefinition(d.coordinateSystem) : a.crs;
    return a.pointsCrs.empty() && !file.crs.empty() && !design.empty() && file.crs != design;
}

namespace {

#if VELMOR_ROAD_WITH_PROJ
// How the height given became the ellipsoidal height of the elevation factor.
std::string heightBasis(const zel_proj::GridFactorCalculator& calc) {
    if (!calc.crs().hasHeight)
        return " (the design names no vertical datum: H taken as ellipsoidal)";
    if (calc.heightsEllipsoidal()) return " (no geoid model: H taken as ellipsoidal)";
    return " (H through the geoid of " + calc.crs().verticalName + ")";
}
#endif

// K from --ground-at: the combined factor at that design point and height.
int groundFactorAt(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err, double& k,
                   std::vector<std::string>& notes) {
#if VELMOR_ROAD_WITH_PROJ
    const std::string crs = designCrs(a, d, notes);
    if (crs.empty()) return fail(err, noDesignCrs("--ground-at"), kExitUsage);
    zel_proj::GridFactorCalculator calc;
    zel_proj::GridFactors f;
    std::string error;
    if (!calc.create(crs, error) ||
        !calc.at(toMetres(a.groundAt[0], unit), toMetres(a.groundAt[1], unit),
                 toMetres(a.groundAt[2], unit), f, error))
        return fail(err, "--ground-at: " + error, kExitUsage);
    k = f.combinedFactor;
    notes.push_back("ground: K " + number(k, 9) + " = grid scale " + number(f.gridScale, 9) +
                    " x elevation factor " + number(f.elevationFactor, 9) +
                    " at ellipsoidal height " + number(f.ellipsoidalHeightM, 3) + " m" +
                    heightBasis(calc));
    return kExitOk;
#else
    (void)d, (void)unit, (void)k, (void)notes, (void)a;
    return fail(err, noProj("--ground-at"), kExitUsage);
#endif
}

}  // namespace

int groundFrameOf(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err,
                  std::optional<CGroundFrame>& frame, std::vector<std::string>& notes) {
    frame.reset();
    const bool scale = !std::isnan(a.groundScale), at = !a.groundAt.empty();
    if (!scale && !at)
        return a.groundOrigin.empty()
                   ? kExitOk
                   : fail(err, "--ground-origin needs --ground-scale or --ground-at", kExitUsage);
    if (scale && at)
        return fail(err, "--ground-scale and --ground-at exclude each other", kExitUsage);
    if (at && a.groundAt.size() != 3) return fail(err, "--ground-at takes N,E,H", kExitUsage);
    if (!a.groundOrigin.empty() && a.groundOrigin.size() != 2)
        return fail(err, "--ground-origin takes N,E", kExitUsage);
    CGroundFrame f;
    f.factor = a.groundScale;
    if (!a.groundOrigin.empty())
        f.origin = {toMetres(a.groundOrigin[0], unit), toMetres(a.groundOrigin[1], unit)};
    else if (at)
        f.origin = {toMetres(a.groundAt[0], unit), toMetres(a.groundAt[1], unit)};
    else
        d.alnt.getPosNeAtChainExtr(d.alnt.getStartChainageInM(), f.origin.north, f.origin.east);
    if (at) {
        if (const int code = groundFactorAt(a, d, unit, err, f.factor, notes); code != kExitOk)
            return code;
    }
    if (!f.isValid())
        return fail(err, "--ground-scale must lie between 0.99 and 1.01 (grid / ground)",
                    kExitUsage);
    frame = f;
    notes.push_back(
        "ground: the design's coordinates are ground; grid = origin + (ground - "
        "origin) x " +
        number(f.factor, 10) + ", origin N " + number(fromMetres(f.origin.north, unit), 4) + " E " +
        number(fromMetres(f.origin.east, unit), 4) + " " + unitSymbol(unit));
    return kExitOk;
}

#if VELMOR_ROAD_WITH_PROJ

namespace {

// The operation PROJ uses near the design: its start point taken into the other CRS and back.
std::string operationNote(zel_proj::CrsTransform& t, const Design& d,
                          const std::optional<CGroundFrame>& ground, bool designIsTarget) {
    C2dPos start;
    d.alnt.getPosNeAtChainExtr(d.alnt.getStartChainageInM(), start.north, start.east);
    if (ground) start = ground->toGrid(start);
    double h = 0.0;
    if (designIsTarget ? t.inverse(start.north, start.east, &h)
                       : t.forward(start.north, start.east, &h)) {
        if (designIsTarget) t.forward(start.north, start.east, &h);
    }
    const zel_proj::CrsOperation op = t.lastOperation();
    return "by PROJ's '" + op.name + "' (" +
           (op.accuracyM < 0 ? std::string("accuracy unknown")
                             : "accuracy " + number(op.accuracyM, 3) + " m") +
           ")";
}

std::string heightNote(const zel_proj::CrsTransform& t) {
    const zel_proj::CrsInfo& from = t.source();
    const zel_proj::CrsInfo& to = t.target();
    if (!from.hasHeight) return "heights: as in the point file (its coordinate system has none)";
    if (!to.hasHeight)
        return "heights: as in the point file, not converted: the design names no vertical "
               "datum (give one with --crs, e.g. " +
               (to.identifier.empty() ? std::string("EPSG:2229") : to.identifier) +
               "+5773 for EGM96 heights)";
    if (t.lastOperation().heightUnchanged)
        return "heights: as in the point file, not converted: PROJ has no geoid model from " +
               from.name + " to " + to.verticalName + " installed";
    return "heights: converted to " + to.verticalName + " by PROJ";
}

double metresPerCrsUnit(const zel_proj::CrsInfo& info) {
    return info.geographic ? 1.0 : info.horizontalUnitM;
}

}  // namespace

struct PointsToDesign::Impl {
    zel_proj::CrsTransform t;
    std::optional<CGroundFrame> ground;
    Unit unit = Unit::Metre;
    double pointUnitM = 1.0;
    std::vector<std::string> notes;
    bool active = false;
};

int PointsToDesign::setUp(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err) {
    Impl& m = *impl_;
    m.unit = unit;
    if (int code = groundFrameOf(a, d, unit, err, m.ground, m.notes); code != kExitOk) return code;
    if (a.pointsCrs.empty()) return kExitOk;
    const std::string design = designCrs(a, d, m.notes);
    if (design.empty()) return fail(err, noDesignCrs("--points-crs " + a.pointsCrs), kExitUsage);
    std::string error;
    if (!m.t.create(a.pointsCrs, design, error))
        return fail(err, "--points-crs: " + error, kExitUsage);
    m.pointUnitM = metresPerCrsUnit(m.t.source());
    m.notes.insert(m.notes.begin(), "points: " + zel_proj::crsLabel(m.t.source()) + " to " +
                                        zel_proj::crsLabel(m.t.target()) + " " +
                                        operationNote(m.t, d, m.ground, true));
    m.notes.push_back(heightNote(m.t));
    m.active = true;
    return kExitOk;
}

void PointsToDesign::convert(std::vector<MeasuredPoint>& points, std::vector<BadLine>& bad) {
    Impl& m = *impl_;
    if (!m.active) return;
    size_t kept = 0;
    for (MeasuredPoint& p : points) {
        C2dPos at{p.north * m.pointUnitM, p.east * m.pointUnitM};
        double h = p.hasHeight ? toMetres(p.height, m.unit) : 0.0;
        if (!m.t.forward(at.north, at.east, &h)) {
            bad.push_back({p.line, p.name + " " + number(p.north, 9) + " " + number(p.east, 9),
                           "--points-crs: " + m.t.lastError()});
            continue;
        }
        if (m.ground) at = m.ground->toGround(at);
        p.north = fromMetres(at.north, m.unit);
        p.east = fromMetres(at.east, m.unit);
        if (p.hasHeight) p.height = fromMetres(h, m.unit);
        if (&points[kept] != &p) points[kept] = std::move(p);
        ++kept;
    }
    points.resize(kept);
    std::sort(bad.begin(), bad.end(),
              [](const BadLine& x, const BadLine& y) { return x.line < y.line; });
}

struct StakesToCrs::Impl {
    zel_proj::CrsTransform t;
    std::optional<CGroundFrame> ground;
    double outUnitM = 1.0;
    bool geographic = false;
    std::string given;          // --out-crs as typed
    std::string designHeights;  // the vertical datum of the design's heights ("" unnamed)
    std::vector<std::string> notes;
    bool active = false;

    bool toOut(double northM, double eastM, double& first, double& second, std::string& error) {
        C2dPos at{northM, eastM};
        if (ground) at = ground->toGrid(at);
        if (!t.forward(at.north, at.east, nullptr)) {
            error = "--out-crs: " + t.lastError();
            return false;
        }
        first = at.north / outUnitM;
        second = at.east / outUnitM;
        return true;
    }

    bool cells(const StakeoutRow& r, bool csv, std::string& out, std::string& error) {
        double first = 0.0, second = 0.0;
        if (!toOut(r.north, r.east, first, second, error)) return false;
        const int decimals = geographic ? zel_landxml::kDegreeDecimals : zel_landxml::kGridDecimals;
        const std::string a = number(first, decimals);
        const std::string b = number(second, decimals);
        char buf[96];
        std::snprintf(buf, sizeof buf, csv ? ",%s,%s" : " %15s %15s", a.c_str(), b.c_str());
        out += buf;
        return true;
    }
};

namespace {

// The out CRS as a LandXML CoordinateSystem: its EPSG code where PROJ knows one, else the text
// given (WKT, or a PROJ string or name PROJ reads back); the heights' datum is the design's.
landxml::CoordinateSystem outSystem(const std::string& given, const zel_proj::CrsInfo& info,
                                    const std::string& heights) {
    landxml::CoordinateSystem cs;
    cs.name = info.name;
    const std::string code =
        info.identifier.rfind("EPSG:", 0) == 0 ? info.identifier.substr(5) : "";
    if (!code.empty() && code.find_first_not_of("0123456789") == std::string::npos)
        cs.epsgCode = code;
    else if (given.find('[') != std::string::npos)
        cs.ogcWktCode = given;
    else
        cs.horizontalCoordinateSystemName = given;
    cs.verticalDatum = heights;
    return cs;
}

// The LandXML unit of a grid unit (metres per unit); false for one LandXML does not name.
bool landXmlUnitOf(double unitM, landxml::LinearUnit& unit) {
    for (const landxml::LinearUnit u :
         {landxml::LinearUnit::Meter, landxml::LinearUnit::USSurveyFoot,
          landxml::LinearUnit::InternationalFoot})
        if (std::fabs(landxml::toMetres(1.0, u) - unitM) < 1e-12) return unit = u, true;
    return false;
}

}  // namespace

int StakesToCrs::setUp(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err) {
    Impl& m = *impl_;
    if (int code = groundFrameOf(a, d, unit, err, m.ground, m.notes); code != kExitOk) return code;
    if (a.outCrs.empty()) return kExitOk;
    const std::string design = designCrs(a, d, m.notes);
    if (design.empty()) return fail(err, noDesignCrs("--out-crs " + a.outCrs), kExitUsage);
    std::string error;
    if (!m.t.create(design, a.outCrs, error)) return fail(err, "--out-crs: " + error, kExitUsage);
    m.outUnitM = metresPerCrsUnit(m.t.target());
    m.geographic = m.t.target().geographic;
    m.given = a.outCrs;
    m.designHeights = a.crs.empty() ? d.coordinateSystem.verticalDatum : "";
    m.notes.insert(m.notes.begin(), "stakes also in " + zel_proj::crsLabel(m.t.target()) +
                                        " from " + zel_proj::crsLabel(m.t.source()) + " " +
                                        operationNote(m.t, d, m.ground, false));
    m.active = true;
    return kExitOk;
}

bool StakesToCrs::toOut(double northM, double eastM, double& first, double& second,
                        std::string& error) {
    return impl_->toOut(northM, eastM, first, second, error);
}

bool StakesToCrs::pointCoordinates(const std::vector<zel_landxml::StakePoint>& points, bool landXml,
                                   zel_landxml::OutCoordinates& out, std::string& error) {
    Impl& m = *impl_;
    out = zel_landxml::OutCoordinates();
    out.geographic = m.geographic;
    out.cs = outSystem(m.given, m.t.target(), m.designHeights);
    if (!m.geographic && !landXmlUnitOf(m.outUnitM, out.unit) && landXml)
        return error = "--out-crs: LandXML names lengths in metres or feet, and " +
                       zel_proj::crsLabel(m.t.target()) + " is in " + m.t.target().horizontalUnit +
                       " (write pnezd or penzd instead)",
               false;
    out.coordinates.reserve(points.size());
    for (const zel_landxml::StakePoint& p : points) {
        double first = 0.0, second = 0.0;
        if (!m.toOut(p.north, p.east, first, second, error))
            return error += " (stake " + std::to_string(p.number) + ")", false;
        out.coordinates.emplace_back(first, second);
    }
    return true;
}

std::string StakesToCrs::coordinatesText() const {
    const Impl& m = *impl_;
    const std::string crs = zel_proj::crsLabel(m.t.target());
    if (m.geographic) return "latitude and longitude in decimal degrees of " + crs;
    return "northing and easting in " + m.t.target().horizontalUnit + " of " + crs;
}

StakeoutExtraColumns StakesToCrs::columns(bool csv) {
    StakeoutExtraColumns c;
    if (!impl_->active) return c;
    const Impl& m = *impl_;
    const std::string u = m.outUnitM == 1.0 ? "m" : m.t.target().horizontalUnit;
    const std::string first = m.geographic ? "latitude [deg]" : "out N [" + u + "]";
    const std::string second = m.geographic ? "longitude [deg]" : "out E [" + u + "]";
    char buf[96];
    if (csv)
        c.headings = m.geographic ? ",latitude_deg,longitude_deg" : ",out_northing,out_easting";
    else
        c.headings =
            (std::snprintf(buf, sizeof buf, " %15s %15s", first.c_str(), second.c_str()), buf);
    std::shared_ptr<Impl> impl = impl_;
    c.cells = [impl, csv](const StakeoutRow& r, std::string& out, std::string& error) {
        return impl->cells(r, csv, out, error);
    };
    return c;
}

#else  // without PROJ: the CRS options are refused, --ground-scale still works

struct PointsToDesign::Impl {
    std::optional<CGroundFrame> ground;
    std::vector<std::string> notes;
};

int PointsToDesign::setUp(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err) {
    if (!a.pointsCrs.empty()) return fail(err, noProj("--points-crs"), kExitUsage);
    if (!a.crs.empty()) return fail(err, noProj("--crs"), kExitUsage);
    return groundFrameOf(a, d, unit, err, impl_->ground, impl_->notes);
}

void PointsToDesign::convert(std::vector<MeasuredPoint>&, std::vector<BadLine>&) {}

struct StakesToCrs::Impl {
    std::optional<CGroundFrame> ground;
    std::vector<std::string> notes;
};

int StakesToCrs::setUp(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err) {
    if (!a.outCrs.empty()) return fail(err, noProj("--out-crs"), kExitUsage);
    if (!a.crs.empty()) return fail(err, noProj("--crs"), kExitUsage);
    return groundFrameOf(a, d, unit, err, impl_->ground, impl_->notes);
}

StakeoutExtraColumns StakesToCrs::columns(bool) {
    return {};
}

// Never reached: setUp refuses --out-crs without PROJ, and the callers ask only when active().
bool StakesToCrs::toOut(double, double, double&, double&, std::string& error) {
    return error = noProj("--out-crs"), false;
}
bool StakesToCrs::pointCoordinates(const std::vector<zel_landxml::StakePoint>&, bool,
                                   zel_landxml::OutCoordinates&, std::string& error) {
    return error = noProj("--out-crs"), false;
}
std::string StakesToCrs::coordinatesText() const {
    return "";
}

#endif

PointsToDesign::PointsToDesign() : impl_(std::make_unique<Impl>()) {}
PointsToDesign::~PointsToDesign() = default;
const std::vector<std::string>& PointsToDesign::notes() const {
    return impl_->notes;
}
bool PointsToDesign::active() const {
#if VELMOR_ROAD_WITH_PROJ
    return impl_->active;
#else
    return false;
#endif
}

StakesToCrs::StakesToCrs() : impl_(std::make_shared<Impl>()) {}
StakesToCrs::~StakesToCrs() = default;
const std::vector<std::string>& StakesToCrs::notes() const {
    return impl_->notes;
}
bool StakesToCrs::active() const {
#if VELMOR_ROAD_WITH_PROJ
    return impl_->active;
#else
    return false;
#endif
}

}  // namespace road
