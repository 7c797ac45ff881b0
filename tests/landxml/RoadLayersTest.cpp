#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/RoadLayers.h>

using namespace zel_landxml;

namespace {

HElement element(HKind kind, double length, bool clockwise, double r0, double r1) {
    HElement e;
    e.kind = kind;
    e.length = length;
    e.clockwise = clockwise;
    e.radius = r0;
    e.radiusStart = r0;
    e.radiusEnd = r1;
    return e;
}

// A mountain road: 100 m north, a right curve of radius 60 m between clothoids of 40 m, 80 m of
// tangent, a left arc of 150 m; tight enough that a chord error shows in every curve.
CAlnt mountainRoad() {
    Alignment in;
    in.name = "mountain";
    HElement first = element(HKind::Line, 100.0, true, kNone, kNone);
    first.start = {1000.0, 2000.0};
    first.end = {1100.0, 2000.0};
    in.elements = {first,
                   element(HKind::Spiral, 40.0, true, kInfinite, 60.0),
                   element(HKind::Curve, 50.0, true, 60.0, 60.0),
                   element(HKind::Spiral, 40.0, true, 60.0, kInfinite),
                   element(HKind::Line, 80.0, true, kNone, kNone),
                   element(HKind::Curve, 100.0, false, 150.0, 150.0)};
    CAlnt alnt;
    BuildReport report;
    std::string error;
    EXPECT_TRUE(buildAlignment(in, alnt, report, error)) << error;
    return alnt;
}

double segmentDistance(const Vertex& p, const Vertex& a, const Vertex& b) {
    const double dn = b.north - a.north, de = b.east - a.east;
    const double len2 = dn * dn + de * de;
    double t = len2 > 0.0 ? ((p.north - a.north) * dn + (p.east - a.east) * de) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.north - a.north - t * dn, p.east - a.east - t * de);
}

// The largest distance of the true offset curve between two chainages from the drawn line,
// sampled every 2 cm: every chord, its ends included.
double largestChordError(const CAlnt& alnt, const Feature& f, double c0, double c1, double off) {
    double worst = 0.0;
    const int n = static_cast<int>((c1 - c0) / 0.02) + 2;
    for (int i = 0; i <= n; ++i) {
        TAlntEval at;
        EXPECT_TRUE(evaluateAlnt(alnt, c0 + (c1 - c0) * i / n, at));
        Vertex p;
        alntOffsetPoint(at, off, p.north, p.east);
        double best = 1e300;
        for (std::size_t k = 1; k < f.vertices.size(); ++k)
            best = std::min(best, segmentDistance(p, f.vertices[k - 1], f.vertices[k]));
        worst = std::max(worst, best);
    }
    return worst;
}

const Layer& layerNamed(const std::vector<Layer>& layers, const std::string& name) {
    for (const Layer& l : layers)
        if (l.name == name) return l;
    ADD_FAILURE() << "no layer " << name;
    return layers.front();
}

}  // namespace

// The closed form against the sagitta it must produce, over the radii and errors of real roads.
TEST(RoadLayers, ChordStepGivesTheSagittaAskedFor) {
    for (double r : {12.0, 60.0, 450.0, 5000.0, 1e5})
        for (double e : {1e-5, 1e-3, 0.05}) {
            const double s = chordStepFor(1.0 / r, e);
            EXPECT_NEAR(r * (1.0 - std::cos(s / (2.0 * r))), e, e * 1e-6) << r << " " << e;
            EXPECT_DOUBLE_EQ(chordStepFor(-1.0 / r, e), s);
        }
    EXPECT_GT(chordStepFor(0.0, 0.001), 100.0);  // a tangent: no vertex needed inside
}

// Centre line and both offset lines stay within the chord error of the true curve everywhere,
// and use it (at least a fifth of it on each curve): not drawn finer than needed.
TEST(RoadLayers, EveryChordWithinTheErrorOfTheTrueCurve) {
    const CAlnt alnt = mountainRoad();
    for (double e : {0.001, 0.0002}) {
        LayerRequest r;
        r.chordErrorM = e;
        r.offsetsM = {-7.5, 0.0, 12.0};
        std::vector<Layer> layers;
        std::string error;
        ASSERT_TRUE(buildRoadLayers(alnt, Stationing(), r, layers, error)) << error;
        const Layer& cl = layerNamed(layers, "centreline");
        const Layer& offsets = layerNamed(layers, "offsets");
        ASSERT_EQ(cl.features.size(), 6u);
        ASSERT_EQ(offsets.features.size(), 12u);
        const int ch0 = cl.fieldIndex("start_ch"), ch1 = cl.fieldIndex("end_ch");
        for (std::size_t j = 0; j < 18; ++j) {
            const std::size_t i = j % 6;
            const double off = j < 6 ? 0.0 : j < 12 ? -7.5 : 12.0;
            const Feature& f = j < 6 ? cl.features[i] : offsets.features[j - 6];
            const double c0 = cl.features[i].values[ch0].real, c1 = cl.features[i].values[ch1].real;
            const double worst = largestChordError(alnt, f, c0, c1, off);
            EXPECT_LE(worst, e * (1.0 + 1e-6) + 1e-9) << "element " << i << " offset " << off;
            if (cl.features[i].values[0].text != "line") {
                EXPECT_GT(worst, 0.2 * e) << "element " << i << " offset " << off;
            }
        }
    }
}

// Arcs carry their centre and radius (the offset's own), and the PI stands on both tangents of
// the spiral curve it belongs to.
TEST(RoadLayers, ArcsAndIntersectionPoints) {
    const CAlnt alnt = mountainRoad();
    LayerRequest r;
    r.offsetsM = {0.0, 5.0};
    std::vector<Layer> layers;
    std::string error;
    ASSERT_TRUE(buildRoadLayers(alnt, Stationing(), r, layers, error)) << error;
    const Feature& arc = layerNamed(layers, "centreline").features[2];
    const Feature& inner = layerNamed(layers, "offsets").features[2];  // 5 m right: inside
    ASSERT_TRUE(arc.isArc && inner.isArc);
    EXPECT_DOUBLE_EQ(inner.arc.radius, 55.0);
    for (const Feature* f : {&arc, &inner})
        for (const Vertex& v : f->vertices)
            EXPECT_NEAR(std::hypot(v.north - f->arc.center.north, v.east - f->arc.center.east),
                        f->arc.radius, 1e-7);
    const Layer& keys = layerNamed(layers, "keypoints");
    std::vector<std::string> codes;
    for (const Feature& f : keys.features)
        codes.push_back(f.values[keys.fieldIndex("code")].text);
    EXPECT_EQ(codes,
              (std::vector<std::string>{"Start", "TS", "SC", "CS", "ST", "PC", "End", "PI", "PI"}));
    // PI 1 lies on the northward tangent (east 2000) and on the tangent after ST.
    const Vertex pi = keys.features[7].vertices[0];
    EXPECT_NEAR(pi.east, 2000.0, 1e-9);
    TAlntEval st;
    ASSERT_TRUE(evaluateAlnt(alnt, 230.0, st));
    const double az = st.azimuthDeg * 3.141592653589793 / 180.0;
    EXPECT_NEAR((pi.north - st.north) * std::sin(az) - (pi.east - st.east) * std::cos(az), 0.0,
                1e-8);
}

// Stakes are numbered in table order with the crew's descriptions; bad requests are refused
// with a reason and no layers.
TEST(RoadLayers, StakesAndRefusals) {
    const CAlnt alnt = mountainRoad();
    LayerRequest r;
    r.intervalM = 50.0;
    r.offsetsM = {-3.5, 0.0};
    r.firstStakeNumber = 101;
    std::vector<Layer> layers;
    std::string error;
    ASSERT_TRUE(buildRoadLayers(alnt, Stationing(), r, layers, error)) << error;
    const Layer& stakes = layerNamed(layers, "stakes");
    const int desc = stakes.fieldIndex("desc");
    EXPECT_EQ(stakes.features[0].values[0].integer, 101);
    EXPECT_EQ(stakes.features[0].values[desc].text, "O 3.50 L 0+000.00");
    EXPECT_EQ(stakes.features[1].values[desc].text, "CL 0+000.00");
    EXPECT_EQ(stakes.features[3].values[desc].text, "CL 0+050.00");
    EXPECT_EQ(stakes.features[5].values[desc].text, "TS 0+100.00");
    EXPECT_TRUE(stakes.features[5].values[stakes.fieldIndex("height")].null);  // no profile

    r.offsetsM = {-200.0};  // past the centre of the 150 m left arc
    EXPECT_FALSE(buildRoadLayers(alnt, Stationing(), r, layers, error));
    EXPECT_NE(error.find("beyond the centre of the curve of radius 150.000 m"), std::string::npos)
        << error;
    EXPECT_TRUE(layers.empty());
    r.offsetsM = {0.0};
    r.chordErrorM = 0.0;
    EXPECT_FALSE(buildRoadLayers(alnt, Stationing(), r, layers, error));
    EXPECT_NE(error.find("chord error"), std::string::npos);
}

// A check shot lands where its station and offset put it, in feet as given.
TEST(RoadLayers, CheckShotsPlacedByStationAndOffset) {
    const CAlnt alnt = mountainRoad();
    CheckShot s;
    s.point = "17";
    s.chainage = 50.0 / 0.3048;  // 50 m, in international feet
    s.offset = -10.0;
    Layer layer;
    std::string error;
    ASSERT_TRUE(buildCheckLayer(alnt, {s}, LinearUnit::InternationalFoot, layer, error)) << error;
    EXPECT_NEAR(layer.features[0].vertices[0].north, 1050.0, 1e-9);
    EXPECT_NEAR(layer.features[0].vertices[0].east, 2000.0 - 3.048, 1e-9);
    s.chainage = kNone;
    EXPECT_FALSE(buildCheckLayer(alnt, {s}, LinearUnit::Meter, layer, error));
    EXPECT_NE(error.find("shot '17'"), std::string::npos);
}
