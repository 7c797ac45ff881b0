#include <velmorutils/landxml/RoadLayers.h>
#include <velmorutils/landxml/StakePoints.h>
#include <velmorutils/zelmath/sections/RoadCorridor.h>
#include <velmorutils/zelmath/sections/SlopeStake.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/StakeoutStations.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>

namespace zel_landxml {
namespace {

// Past this many vertices in all lines together a request is refused rather than run out of
// memory: a 100 km road at a chord error of 0.01 mm on its tightest curves stays below it.
constexpr std::size_t kMaxVertices = 20000000;
constexpr double kPi = 3.141592653589793;
constexpr double kMaxStepM = 1000.0;

FieldValue textValue(const std::string& t) {
    FieldValue v;
    v.null = false;
    v.text = t;
    return v;
}

FieldValue realValue(double x) {
    FieldValue v;
    v.null = !std::isfinite(x);
    v.real = v.null ? 0.0 : x;
    return v;
}

FieldValue intValue(long long x) {
    FieldValue v;
    v.null = false;
    v.integer = x;
    return v;
}

Layer makeLayer(const char* name, GeometryKind geometry, std::vector<Field> fields) {
    Layer l;
    l.name = name;
    l.geometry = geometry;
    l.fields = std::move(fields);
    return l;
}

// Everything one layer needs of the road while it is built.
struct Road {
    const CAlnt& alnt;
    const Stationing& stationing;
    const LayerRequest& request;
    std::vector<HElement> elements;
    std::vector<double> startCh;  // running chainage of each element's start, metres
    std::size_t vertices = 0;

    double len(double metres) const { return fromMetres(metres, request.unit); }
    std::string sta(double chainageM) const {
        return stationing.text(chainageM, request.stationStyle);
    }
    FieldValue unit() const { return textValue(unitSymbol(request.unit)); }
};

bool evalAt(const Road& road, double chainage, TAlntJointSide side, TAlntEval& at,
            std::string& error) {
    if (evaluateAlnt(road.alnt, chainage, at, side)) return true;
    error = "no position at chainage " + stationText(chainage);
    return false;
}

// How much longer a chord on the offset curve is than the chainage it spans: 1 - k o (offsets
// right positive, curvature positive turning right). Not positive where the offset lies beyond
// the centre of the curve, where an offset line folds over itself.
double offsetStretch(double curvature, double offsetM) {
    return 1.0 - curvature * offsetM;
}

// The chainage step from `c` on an element whose curvature runs linearly between its ends, so
// that the offset curve's chord stays within the error: the curvature's largest magnitude over
// the step lies at one of its ends, so the step is taken from the sharper end, and shrinking it
// keeps the bound.
bool nextStep(const Road& road, double c, double end, double offsetM, double& step,
              std::string& error) {
    TAlntEval a, b;
    if (!evalAt(road, c, TAlntJointSide::none, a, error)) return false;
    const double e = road.request.chordErrorM;
    const auto bound = [&](const TAlntEval& x, const TAlntEval& y) {
        const double sa = offsetStretch(x.curvature, offsetM);
        const double sb = offsetStretch(y.curvature, offsetM);
        const double k = std::max(std::fabs(x.curvature / sa), std::fabs(y.curvature / sb));
        return chordStepFor(k, e) / std::max(sa, sb);
    };
    step = bound(a, a);
    if (c + step >= end) step = end - c;
    if (!evalAt(road, c + step, TAlntJointSide::none, b, error)) return false;
    step = std::min(step, bound(a, b));
    return true;
}

// The chainages of an element's vertices: its ends, and inside a curve as many as the chord
// error needs (evenly on an arc, from the curvature step by step on a spiral).
bool vertexChainages(Road& road, std::size_t i, double offsetM, std::vector<double>& out,
                     std::string& error) {
    const HElement& el = road.elements[i];
    const double c0 = road.startCh[i], c1 = c0 + el.length;
    out.assign(1, c0);
    if (el.kind == HKind::Curve) {
        const double k = (el.clockwise ? 1.0 : -1.0) / el.radius;
        const double step = chordStepFor(k / offsetStretch(k, offsetM), road.request.chordErrorM) /
                            offsetStretch(k, offsetM);
        const double n = std::ceil(el.length / step);
        if (road.vertices + n > kMaxVertices) {
            error = "the chord error asks for too many vertices";
            return false;
        }
        for (double j = 1; j < n; ++j)
            out.push_back(c0 + el.length * j / n);
    } else if (el.kind == HKind::Spiral) {
        double step = 0.0;
        for (double c = c0; c1 - c > 1e-9; c += step) {
            if (!nextStep(road, c, c1, offsetM, step, error)) return false;
            if (out.size() + road.vertices > kMaxVertices) {
                error = "the chord error asks for too many vertices";
                return false;
            }
            if (c + step < c1 - 1e-9) out.push_back(c + step);
        }
    }
    out.push_back(c1);
    road.vertices += out.size();
    return true;
}

// Refuses an offset that reaches past the centre of a curve of the element.
bool offsetFits(const Road& road, std::size_t i, double offsetM, std::string& error) {
    const HElement& el = road.elements[i];
    const double r = el.kind == HKind::Curve
                         ? el.radius
                         : std::min(std::fabs(el.radiusStart), std::fabs(el.radiusEnd));
    if (el.kind == HKind::Line || offsetStretch((el.clockwise ? 1.0 : -1.0) / r, offsetM) > 0.0)
        return true;
    char text[160];
    std::snprintf(text, sizeof text,
                  "the offset %.3f m lies beyond the centre of the curve of radius %.3f m at "
                  "%s",
                  offsetM, r, road.sta(road.startCh[i]).c_str());
    error = text;
    return false;
}

bool elementLine(Road& road, std::size_t i, double offsetM, Feature& f, std::string& error) {
    std::vector<double> chainages;
    if (!offsetFits(road, i, offsetM, error) ||
        !vertexChainages(road, i, offsetM, chainages, error))
        return false;
    TAlntEval at;
    for (std::size_t j = 0; j < chainages.size(); ++j) {
        const TAlntJointSide side = j == 0                      ? TAlntJointSide::ahead
                                    : j + 1 == chainages.size() ? TAlntJointSide::back
                                                                : TAlntJointSide::none;
        if (!evalAt(road, chainages[j], side, at, error)) return false;
        Vertex v;
        alntOffsetPoint(at, offsetM, v.north, v.east);
        f.vertices.push_back(v);
        if (j == 0 && road.elements[i].kind == HKind::Curve) {
            const HElement& el = road.elements[i];
            f.isArc = true;
            f.arc.clockwise = el.clockwise;
            f.arc.radius = el.radius - (el.clockwise ? offsetM : -offsetM);
            alntOffsetPoint(at, el.clockwise ? el.radius : -el.radius, f.arc.center.north,
                            f.arc.center.east);
        }
    }
    return true;
}

const char* kindText(HKind k) {
    return k == HKind::Line ? "line" : k == HKind::Curve ? "arc" : "spiral";
}

double finiteRadius(double r) {
    return std::isfinite(r) && r > 0.0 ? r : kNone;
}

bool centrelineLayer(Road& road, Layer& layer, std::string& error) {
    layer = makeLayer("centreline", GeometryKind::Line,
                      {{"kind"},
                       {"turn"},
                       {"radius", FieldType::Real},
                       {"r_start", FieldType::Real},
                       {"r_end", FieldType::Real},
                       {"length", FieldType::Real},
                       {"start_sta"},
                       {"end_sta"},
                       {"start_ch", FieldType::Real},
                       {"end_ch", FieldType::Real},
                       {"unit"}});
    for (std::size_t i = 0; i < road.elements.size(); ++i) {
        const HElement& el = road.elements[i];
        Feature f;
        if (!elementLine(road, i, 0.0, f, error)) return false;
        const bool spiral = el.kind == HKind::Spiral;
        const double c0 = road.startCh[i], c1 = c0 + el.length;
        f.values = {textValue(kindText(el.kind)),
                    textValue(el.kind == HKind::Line ? ""
                              : el.clockwise         ? "right"
                                                     : "left"),
                    realValue(el.kind == HKind::Curve ? road.len(el.radius) : kNone),
                    realValue(spiral ? road.len(finiteRadius(el.radiusStart)) : kNone),
                    realValue(spiral ? road.len(finiteRadius(el.radiusEnd)) : kNone),
                    realValue(road.len(el.length)),
                    textValue(road.sta(c0)),
                    textValue(road.sta(c1)),
                    realValue(road.len(c0)),
                    realValue(road.len(c1)),
                    road.unit()};
        layer.features.push_back(std::move(f));
    }
    return true;
}

bool offsetsLayer(Road& road, Layer& layer, std::string& error) {
    layer = makeLayer(
        "offsets", GeometryKind::Line,
        {{"offset", FieldType::Real}, {"side"}, {"kind"}, {"start_sta"}, {"end_sta"}, {"unit"}});
    for (double o : road.request.offsetsM) {
        if (o == 0.0) continue;
        for (std::size_t i = 0; i < road.elements.size(); ++i) {
            Feature f;
            if (!elementLine(road, i, o, f, error)) return false;
            const double c0 = road.startCh[i];
            f.values = {realValue(road.len(o)),
                        textValue(o < 0.0 ? "L" : "R"),
                        textValue(kindText(road.elements[i].kind)),
                        textValue(road.sta(c0)),
                        textValue(road.sta(c0 + road.elements[i].length)),
                        road.unit()};
            layer.features.push_back(std::move(f));
        }
    }
    return true;
}

}  // namespace

int Layer::fieldIndex(const std::string& fieldName) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == fieldName) return static_cast<int>(i);
    return -1;
}

double chordStepFor(double curvature, double chordErrorM) {
    const double k = std::fabs(curvature);
    // A near-straight curve still gets a vertex every kilometre, so that a drawing of it never
    // rests on round-off; a chord may span at most a half circle.
    if (k < 1e-12) return kMaxStepM;
    if (k * chordErrorM >= 1.0) return kPi / k;
    // 2 R acos(1 - e / R), written with asin so that it keeps its digits for a tiny e / R.
    return std::min(4.0 * std::asin(std::sqrt(0.5 * chordErrorM * k)) / k, kMaxStepM);
}

namespace {

std::vector<TAlntStakeoutStation> stakeStations(const Road& road) {
    return alntStakeoutStations(road.alnt,
                                stakeoutRequest(road.stationing, road.request.intervalM));
}

bool stationsLayer(const Road& road, const std::vector<TAlntStakeoutStation>& stations,
                   Layer& layer, std::string& error) {
    layer = makeLayer(
        "stations", GeometryKind::Point,
        {{"station"}, {"chainage", FieldType::Real}, {"azimuth", FieldType::Real}, {"unit"}});
    TAlntEval at;
    for (const TAlntStakeoutStation& st : stations) {
        if (!st.round || st.side == TAlntJointSide::back) continue;
        if (!evaluateStakeoutStation(road.alnt, st, at)) {
            error = "no position at chainage " + stationText(st.chainageInM);
            return false;
        }
        Feature f;
        f.vertices = {{at.north, at.east}};
        f.label = stakeoutStationText(road.stationing, st, road.request.stationStyle);
        f.values = {textValue(f.label), realValue(road.len(st.chainageInM)),
                    realValue(at.azimuthDeg), road.unit()};
        layer.features.push_back(std::move(f));
    }
    return true;
}

// The intersection of the tangents at the ends of each run of curves (arcs and spirals) that
// stands between two tangents or at an end of the road; none where the tangents are parallel.
bool addIntersectionPoints(const Road& road, Layer& layer, std::string& error) {
    int number = 0;
    for (std::size_t i = 0; i < road.elements.size(); ++i) {
        if (road.elements[i].kind == HKind::Line) continue;
        std::size_t j = i;
        while (j + 1 < road.elements.size() && road.elements[j + 1].kind != HKind::Line)
            ++j;
        const double c0 = road.startCh[i], c1 = road.startCh[j] + road.elements[j].length;
        i = j;
        TAlntEval a, b;
        if (!evalAt(road, c0, TAlntJointSide::ahead, a, error) ||
            !evalAt(road, c1, TAlntJointSide::back, b, error))
            return false;
        const double ra = a.azimuthDeg * kPi / 180.0, rb = b.azimuthDeg * kPi / 180.0;
        const double cross = std::sin(rb - ra);
        if (std::fabs(cross) < 1e-9) continue;
        // a + t (cos ra, sin ra) = b + u (cos rb, sin rb), north and east.
        const double dn = b.north - a.north, de = b.east - a.east;
        const double t = (dn * std::sin(rb) - de * std::cos(rb)) / cross;
        Feature f;
        f.vertices = {{a.north + t * std::cos(ra), a.east + t * std::sin(ra)}};
        f.label = "PI " + std::to_string(++number);
        f.values = {textValue(f.label), textValue("PI"), textValue(road.sta(c0 + t)),
                    realValue(road.len(c0 + t)), road.unit()};
        layer.features.push_back(std::move(f));
    }
    return true;
}

bool keypointsLayer(const Road& road, const std::vector<TAlntStakeoutStation>& stations,
                    Layer& layer, std::string& error) {
    layer =
        makeLayer("keypoints", GeometryKind::Point,
                  {{"keypoint"}, {"code"}, {"station"}, {"chainage", FieldType::Real}, {"unit"}});
    TAlntEval at;
    const TAlntStakeoutStation* last = nullptr;
    for (const TAlntStakeoutStation& st : stations) {
        if (*st.code == '\0') continue;
        // An angle point is staked twice; it is one key point.
        if (last != nullptr && last->chainageInM == st.chainageInM &&
            std::strcmp(last->code, st.code) == 0)
            continue;
        last = &st;
        if (!evaluateStakeoutStation(road.alnt, st, at)) {
            error = "no position at chainage " + stationText(st.chainageInM);
            return false;
        }
        Feature f;
        const std::string text =
            stakeoutStationText(road.stationing, st, road.request.stationStyle);
        f.vertices = {{at.north, at.east}};
        f.label = std::string(st.code) + " " + text;
        f.values = {textValue(f.label), textValue(st.code), textValue(text),
                    realValue(road.len(st.chainageInM)), road.unit()};
        layer.features.push_back(std::move(f));
    }
    return addIntersectionPoints(road, layer, error);
}

bool stakesLayer(const Road& road, Layer& layer, std::string& error) {
    layer = makeLayer("stakes", GeometryKind::Point,
                      {{"number", FieldType::Integer},
                       {"desc"},
                       {"station"},
                       {"chainage", FieldType::Real},
                       {"offset", FieldType::Real},
                       {"height", FieldType::Real},
                       {"unit"}});
    // The stakes are the data collector's points, numbered and described by the same rule.
    StakePointOptions options;
    options.request = stakeoutRequest(road.stationing, road.request.intervalM);
    options.offsets = road.request.offsetsM;
    options.startNumber = road.request.firstStakeNumber;
    options.style = road.request.stationStyle;
    options.corridor = road.request.corridor;
    std::vector<StakePoint> points;
    if (!stakePoints(road.alnt, road.stationing, options, points, error)) return false;
    for (const StakePoint& p : points) {
        Feature f;
        f.vertices = {Vertex{p.north, p.east}};
        f.label = std::to_string(p.number);
        f.values = {intValue(p.number),
                    textValue(p.description),
                    textValue(p.station),
                    realValue(road.len(p.chainage)),
                    realValue(road.len(p.offset)),
                    realValue(std::isnan(p.height) ? kNone : road.len(p.height)),
                    road.unit()};
        layer.features.push_back(std::move(f));
    }
    return true;
}

bool checkRequest(const CAlnt& alnt, const LayerRequest& r, std::string& error) {
    if (alnt.getNumOfHes() == 0) {
        error = "the road has no element";
    } else if (!(r.chordErrorM >= kMinChordErrorM && r.chordErrorM <= kMaxChordErrorM)) {
        error = "the chord error must lie between 0.00001 m and 1 m";
    } else if (!(r.intervalM > 0.0) || !std::isfinite(r.intervalM)) {
        error = "the station interval must be a positive number";
    } else {
        for (double o : r.offsetsM)
            if (!std::isfinite(o)) error = "an offset is not a finite number";
    }
    return error.empty();
}

// The finished surface at each stake-out station, drawn across the road in plan (an angle
// point once).
bool sectionsLayer(const Road& road, const std::vector<TAlntStakeoutStation>& stations,
                   Layer& layer, std::string& error) {
    layer = makeLayer("sections", GeometryKind::Line,
                      {{"station"},
                       {"chainage", FieldType::Real},
                       {"left", FieldType::Real},
                       {"right", FieldType::Real},
                       {"unit"}});
    zel_math::TSectionProfile profile;
    TAlntEval at;
    for (const TAlntStakeoutStation& st : stations) {
        std::string why;
        if (st.side == TAlntJointSide::back ||
            !road.request.corridor->profileAt(st.chainageInM, profile, why) ||
            profile.points.size() < 2)
            continue;  // no section there: nothing to draw
        if (!evaluateStakeoutStation(road.alnt, st, at))
            return error = "no position at chainage " + stationText(st.chainageInM), false;
        Feature f;
        for (const zel_math::TSectionPoint& p : profile.points) {
            Vertex v;
            alntOffsetPoint(at, p.offset, v.north, v.east);
            f.vertices.push_back(v);
        }
        f.label = road.sta(st.chainageInM);
        f.values = {textValue(f.label), realValue(road.len(st.chainageInM)),
                    realValue(road.len(profile.points.front().offset)),
                    realValue(road.len(profile.points.back().offset)), road.unit()};
        layer.features.push_back(std::move(f));
    }
    return true;
}

// The slope stakes' catch points at each stake-out station, both sides (an angle point once).
void catchpointsLayer(const Road& road, const std::vector<TAlntStakeoutStation>& stations,
                      Layer& layer) {
    layer = makeLayer("catchpoints", GeometryKind::Point,
                      {{"station"},
                       {"chainage", FieldType::Real},
                       {"side"},
                       {"offset", FieldType::Real},
                       {"height", FieldType::Real},
                       {"cut_fill", FieldType::Real},
                       {"slope", FieldType::Real},
                       {"unit"}});
    for (const TAlntStakeoutStation& st : stations) {
        if (st.side == TAlntJointSide::back) continue;
        for (const bool right : {false, true}) {
            zel_math::TSlopeStake s;
            std::string why;
            if (!zel_math::slopeStake(*road.request.corridor, *road.request.ground, st.chainageInM,
                                      right, road.request.searchM, 0.0, s, why) ||
                !s.caught)
                continue;  // no catch within the search: no point to place
            Feature f;
            f.vertices = {Vertex{s.catchNorth, s.catchEast}};
            f.label = road.sta(st.chainageInM);
            f.values = {textValue(f.label),
                        realValue(road.len(st.chainageInM)),
                        textValue(right ? "R" : "L"),
                        realValue(road.len(s.catchOffset)),
                        realValue(road.len(s.catchHeight)),
                        realValue(road.len(s.cutFill)),
                        realValue(s.slopeHV),
                        road.unit()};
            layer.features.push_back(std::move(f));
        }
    }
}

}  // namespace

bool buildRoadLayers(const CAlnt& alnt, const Stationing& stationing, const LayerRequest& request,
                     std::vector<Layer>& layers, std::string& error) {
    layers.clear();
    error.clear();
    Alignment described;
    if (!checkRequest(alnt, request, error) || !describeAlignment(alnt, described, error))
        return false;
    Road road{alnt, stationing, request, std::move(described.elements), {}, 0};
    double c = alnt.getStartChainageInM();
    for (const HElement& el : road.elements) {
        road.startCh.push_back(c);
        c += el.length;
    }
    const std::vector<TAlntStakeoutStation> stations = stakeStations(road);
    std::vector<Layer> out(5);
    if (!centrelineLayer(road, out[0], error) || !offsetsLayer(road, out[1], error) ||
        !stationsLayer(road, stations, out[2], error) ||
        !keypointsLayer(road, stations, out[3], error) || !stakesLayer(road, out[4], error))
        return false;
    if (request.corridor != nullptr && request.corridor->hasModel()) {
        out.emplace_back();
        if (!sectionsLayer(road, stations, out.back(), error)) return false;
        if (request.ground != nullptr && (request.ground->tin || request.ground->sections)) {
            out.emplace_back();
            catchpointsLayer(road, stations, out.back());
        }
    }
    layers = std::move(out);
    return true;
}

bool buildCheckLayer(const CAlnt& alnt, const std::vector<CheckShot>& shots, LinearUnit unit,
                     Layer& layer, std::string& error) {
    layer = makeLayer("check", GeometryKind::Point,
                      {{"point"},
                       {"station"},
                       {"chainage", FieldType::Real},
                       {"offset", FieldType::Real},
                       {"h_dev", FieldType::Real},
                       {"v_dev", FieldType::Real},
                       {"h_result"},
                       {"v_result"},
                       {"unit"}});
    TAlntEval at;
    for (const CheckShot& s : shots) {
        if (!evaluateAlnt(alnt, toMetres(s.chainage, unit), at)) {
            error = "shot '" + s.point + "': no position at station " + s.station;
            layer.features.clear();
            return false;
        }
        Feature f;
        Vertex v{s.north, s.east};
        if (!std::isfinite(s.north) || !std::isfinite(s.east))
            alntOffsetPoint(at, toMetres(s.offset, unit), v.north, v.east);
        f.vertices = {v};
        f.label = s.point;
        f.values = {textValue(s.point),   textValue(s.station), realValue(s.chainage),
                    realValue(s.offset),  realValue(s.hDev),    realValue(s.vDev),
                    textValue(s.hResult), textValue(s.vResult), textValue(unitSymbol(unit))};
        layer.features.push_back(std::move(f));
    }
    return true;
}

std::vector<CheckShot> checkShotsOf(const std::vector<AsBuiltShot>& shots,
                                    const std::vector<AsBuiltResult>& results,
                                    const Stationing& stationing, const StationStyle& style) {
    std::vector<CheckShot> out;
    for (std::size_t i = 0; i < shots.size() && i < results.size(); ++i) {
        const AsBuiltResult& r = results[i];
        if (!r.ok) continue;
        CheckShot s;
        s.point = shots[i].name;
        s.north = shots[i].north;
        s.east = shots[i].east;
        s.station = stationing.text(r.chainage, style);
        s.chainage = fromMetres(r.chainage, style.unit);
        s.offset = fromMetres(r.offset, style.unit);
        s.hDev = fromMetres(r.hDev, style.unit);
        s.hResult = r.hPass ? "pass" : "fail";
        if (r.hasV) {
            s.vDev = fromMetres(r.vDev, style.unit);
            s.vResult = r.vPass ? "pass" : "fail";
        }
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace zel_landxml
