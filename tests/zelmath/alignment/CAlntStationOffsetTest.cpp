#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "support/NearPair.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

constexpr double kMicro = 1e-6;

CAlntHeSegment segment(double len, double fixedAzDeg = std::nan("")) {
    CAlntHeSegment s = makeSegment(len);
    if (!std::isnan(fixedAzDeg)) s.setFixedStartAzimuthDeg(fixedAzDeg);
    return s;
}

CAlntHeSpiral compound(double len, double r1, double r2, bool right) {
    CAlntHeSpiral s;
    s.get_data().get_data().setLenAndR(len, r1, r2, right);
    return s;
}

// Kinks (fixed azimuths), an arc of more than a half circle, zero-length elements, tight reverse
// spirals, a compound spiral and a curve fitted at IPs, at grid coordinates of a real survey.
CAlntH hardRoad() {
    CAlntH a;
    a.setStartPos(5123456.789, 612345.678, 0.0);
    a.setStartChainageInM(2000.0);
    a.appendElement(segment(100.0, 20.0));
    a.appendElement(segment(80.0, 55.0));          // kink 35 degrees right
    a.appendElement(makeArc(210.0, 60.0, false));  // 200 degrees to the left
    a.appendElement(segment(0.0));
    a.appendElement(makeSpiral(35.0, 20.0, true, true));  // tight reverse pair
    a.appendElement(makeSpiral(35.0, 20.0, true, false));
    a.appendElement(makeSpiral(30.0, 18.0, false, true));
    a.appendElement(makeSpiral(30.0, 18.0, false, false));
    a.appendElement(segment(40.0, 10.0));  // kink
    a.appendElement(compound(50.0, 400.0, 40.0, true));
    a.appendElement(makeArc(30.0, 40.0, true));
    a.appendElement(segment(0.0));
    a.appendElement(segment(60.0, 300.0));  // kink after a zero-length element
    return a;
}

// A hairpin: two parallel straights 40 m apart joined by a half circle.
CAlntH hairpin() {
    CAlntH a;
    a.setStartPos(1000.0, 2000.0, 0.0);
    a.appendElement(segment(100.0));
    a.appendElement(makeArc(20.0 * M_PI, 20.0, true));
    a.appendElement(segment(100.0));
    return a;
}

// A spiral that winds two full turns (less 1 %) from its tangent point into a 20 m arc: many
// feet for a point inside the loops.
CAlntH snail() {
    CAlntH a;
    a.setStartPos(3000.0, 4000.0, 0.0);
    a.appendElement(segment(50.0));
    a.appendElement(makeSpiral(500.0, 500.0 / (8.0 * M_PI * 0.99), true, true));
    a.appendElement(makeArc(30.0, 500.0 / (8.0 * M_PI * 0.99), true));
    return a;
}

// A road designed by IPs: the curves are solved between consecutive IPs.
CAlntH ipRoad() {
    CAlntH a;
    a.setStartPos(300000.0, 700000.0, 0.0);
    a.setStartChainageInM(500.0);
    const double ips[][5] = {{300300.0, 700050.0, 40.0, 150.0, 40.0},
                             {300450.0, 700350.0, 0.0, 120.0, 0.0},
                             {300800.0, 700380.0, 30.0, 90.0, 30.0},
                             {301000.0, 700200.0, 0.0, 0.0, 0.0}};
    for (const auto& d : ips)
        a.appendElement(makeIp(d[0], d[1], d[2], d[3], d[4]));
    return a;
}

// --- the brute force: dense scan of the elements' own positions -------------------------------

struct Brute {
    double chainage;
    double offset;
    double distance;
    TAlntFootStatus status;
};

double azRad(const CAlntHe& he, double len) {
    double az = 0.0;
    he.getAzimuthAtLength(len, az);
    return az * M_PI / 180.0;
}

// Along component of p - c(s) on the tangent at s of element he.
double along(const CAlntHe& he, double s, double n, double e) {
    double cn = 0.0, ce = 0.0;
    he.getPosNeAtLength(s, cn, ce);
    const double t = azRad(he, s);
    return (n - cn) * std::cos(t) + (e - ce) * std::sin(t);
}

// The foot at length s of he, reported at the given chainage with the given status.
Brute footAt(const CAlntHe& he, double s, double n, double e, double chain, TAlntFootStatus st) {
    double cn = 0.0, ce = 0.0;
    he.getPosNeAtLength(s, cn, ce);
    const double t = azRad(he, s);
    return {chain, -(n - cn) * std::sin(t) + (e - ce) * std::cos(t), std::hypot(n - cn, e - ce),
            st};
}

Brute squareAt(const CAlntHe& he, double s, double n, double e) {
    double start = 0.0;
    he.getStartChainageInM(start);
    return footAt(he, s, n, e, start + s, TAlntFootStatus::square);
}

// Every local minimum of the distance from (n, e) to the alignment: the roots of the along
// component found by a 0.1 m scan and bisection, element ends on the normal, kinks and ends.
std::vector<Brute> bruteFeet(const CAlntH& a, double n, double e) {
    constexpr double kTol = 1e-8;
    std::vector<Brute> feet;
    const int count = a.getNumOfHes();
    int prev = -1;  // last element with length
    for (int i = 0; i < count; ++i) {
        const CAlntHe& he = *a.getHe(i);
        double len = 0.0, start = 0.0, jn = 0.0, je = 0.0;
        he.getHLengthInM(len);
        if (len <= 0.0) continue;
        // The joint with the element before: a kink's outside, or a foot on either normal.
        he.getStartChainageInM(start);
        he.getStartPosNe(jn, je);
        const double aOut = along(he, 0.0, n, e);
        if (prev < 0 && aOut < -kTol) {
            feet.push_back(footAt(he, 0.0, n, e, start + aOut, TAlntFootStatus::beforeStart));
        } else if (prev >= 0) {
            const CAlntHe& pe = *a.getHe(prev);
            double plen = 0.0;
            pe.getHLengthInM(plen);
            const double aIn = along(pe, plen, n, e);
            if (aIn > kTol && aOut < -kTol) {
                const double tIn = azRad(pe, plen), tOut = azRad(he, 0.0);
                const double bn = std::cos(tIn) + std::cos(tOut);
                const double be = std::sin(tIn) + std::sin(tOut);
                const double side = -(n - jn) * be + (e - je) * bn;
                const double d = std::hypot(n - jn, e - je);
                feet.push_back({start, side < 0 ? -d : d, d, TAlntFootStatus::atJoint});
            }
            if (std::fabs(aIn) <= kTol) feet.push_back(squareAt(pe, plen, n, e));
        }
        if (std::fabs(aOut) <= kTol) feet.push_back(squareAt(he, 0.0, n, e));
        const int steps = std::max(1, static_cast<int>(std::ceil(len / 0.1)));
        double s0 = 0.0;
        double a0 = aOut;
        for (int k = 1; k <= steps; ++k) {
            const double s1 = len * k / steps;
            const double a1 = along(he, s1, n, e);
            if (a0 >= 0.0 && a1 < 0.0) {
                double lo = s0, hi = s1;
                while (hi - lo > 1e-11) {
                    const double mid = 0.5 * (lo + hi);
                    (along(he, mid, n, e) >= 0.0 ? lo : hi) = mid;
                }
                feet.push_back(squareAt(he, 0.5 * (lo + hi), n, e));
            }
            s0 = s1;
            a0 = a1;
        }
        prev = i;
    }
    const CAlntHe& last = *a.getHe(prev);
    double len = 0.0, fin = 0.0;
    last.getHLengthInM(len);
    a.getFinalChainageInM(fin);
    const double aEnd = along(last, len, n, e);
    if (aEnd > kTol) {
        feet.push_back(footAt(last, len, n, e, fin + aEnd, TAlntFootStatus::afterEnd));
    } else if (std::fabs(aEnd) <= kTol) {
        feet.push_back(squareAt(last, len, n, e));
    }
    return feet;
}

// The nearest of them; within 1e-9 m the later chainage wins.
Brute bruteNearest(const std::vector<Brute>& feet, double* runnerUp) {
    double best = std::numeric_limits<double>::infinity();
    for (const Brute& f : feet)
        best = std::min(best, f.distance);
    const Brute* win = nullptr;
    for (const Brute& f : feet) {
        if (f.distance <= best + 1e-9 && (!win || f.chainage > win->chainage)) win = &f;
    }
    *runnerUp = std::numeric_limits<double>::infinity();
    for (const Brute& f : feet) {
        if (std::fabs(f.chainage - win->chainage) > 1e-4)
            *runnerUp = std::min(*runnerUp, f.distance);
    }
    return *win;
}

// Every foot within 40 m, in chainage order; an end foot on the normal is found from both sides
// of its joint and counts once.
void expectSameFeet(const CAlntStationOffset& inv, double n, double e, std::vector<Brute> want) {
    std::erase_if(want, [](const Brute& f) { return f.distance > 40.0; });
    std::sort(want.begin(), want.end(),
              [](const Brute& x, const Brute& y) { return x.chainage < y.chainage; });
    want.erase(std::unique(want.begin(), want.end(),
                           [](const Brute& x, const Brute& y) {
                               return std::fabs(x.chainage - y.chainage) < 1e-6;
                           }),
               want.end());
    std::vector<TAlntFoot> got;
    ASSERT_TRUE(inv.findAllFeet(n, e, 40.0, got));
    ASSERT_EQ(got.size(), want.size()) << n << " " << e;
    for (size_t k = 0; k < got.size(); ++k) {
        EXPECT_NEAR(got[k].chainageInM, want[k].chainage, 1e-5);
        EXPECT_NEAR(got[k].offsetInM, want[k].offset, kMicro);
        EXPECT_EQ(got[k].status, want[k].status);
    }
}

void expectSameNearest(const CAlntH& a, const CAlntStationOffset& inv, double n, double e) {
    double runnerUp = 0.0;
    const std::vector<Brute> feet = bruteFeet(a, n, e);
    ASSERT_FALSE(feet.empty());
    expectSameFeet(inv, n, e, feet);
    const Brute want = bruteNearest(feet, &runnerUp);
    TAlntFoot got;
    ASSERT_TRUE(inv.findNearest(n, e, got));
    // A second foot as near as the first to within the distances' rounding is a tie either
    // method may break its own way.
    if (runnerUp - want.distance < 1e-7) return;
    EXPECT_TRUE(nearPair(got.chainageInM, got.offsetInM, want.chainage, want.offset, kMicro))
        << n << " " << e;
    EXPECT_NEAR(got.distanceInM, want.distance, kMicro) << n << " " << e;
    EXPECT_EQ(got.status, want.status) << n << " " << e;
    double back = 0.0;  // the element and the length along it name the same chainage
    a.getHe(got.element)->getStartChainageInM(back);
    EXPECT_NEAR(back + got.lengthInM, got.chainageInM, 1e-9) << n << " " << e;
}

void randomPointsAgree(const CAlntH& a, double spread, int count, unsigned seed) {
    const CAlntStationOffset inv(a);
    ASSERT_TRUE(inv.isok()) << inv.buildError();
    std::mt19937 rng(seed);
    double fin = 0.0;
    a.getFinalChainageInM(fin);
    const double start = a.getStartChainageInM();
    std::uniform_real_distribution<double> chain(start - 50.0, fin + 50.0);
    std::uniform_real_distribution<double> off(-spread, spread);
    for (int i = 0; i < count; ++i) {
        double n = 0.0, e = 0.0;
        a.getPosNeAtChainAndOffsetExtr(chain(rng), off(rng), n, e);
        expectSameNearest(a, inv, n, e);
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(CAlntStationOffset, NearestAndAllFeetAgreeWithDenseScan) {
    const struct {
        const char* name;
        CAlntH road;
    } roads[] = {
        {"hard", hardRoad()}, {"hairpin", hairpin()}, {"ips", ipRoad()}, {"snail", snail()}};
    for (const auto& r : roads) {
        SCOPED_TRACE(r.name);
        randomPointsAgree(r.road, 5.0, 250, 1);
        randomPointsAgree(r.road, 60.0, 250, 2);
        randomPointsAgree(r.road, 400.0, 150, 3);
    }
}

// Every joint itself, the outside of each kink, and the side of the offset at any distance.
TEST(CAlntStationOffset, JointsKinksAndSides) {
    const CAlntH a = hardRoad();
    const CAlntStationOffset inv(a);
    for (int i = 1; i < a.getNumOfHes(); ++i) {
        double n = 0.0, e = 0.0, start = 0.0;
        a.getHe(i)->getStartPosNe(n, e);
        a.getHe(i)->getStartChainageInM(start);
        TAlntFoot f;
        ASSERT_TRUE(inv.findNearest(n, e, f));
        EXPECT_EQ(f.status, TAlntFootStatus::square) << i;
        EXPECT_NEAR(f.chainageInM, start, 1e-9) << i;
        EXPECT_LT(f.distanceInM, 1e-9) << i;
        // The later element at a shared boundary, zero-length ones included.
        int later = i;
        while (later + 1 < a.getNumOfHes()) {
            double next = 0.0;
            a.getHe(later + 1)->getStartChainageInM(next);
            if (next != start) break;
            ++later;
        }
        EXPECT_EQ(f.element, later) << i;
    }
    // Element 1 turns 35 degrees right at its start: its outside is on the left.
    double n = 0.0, e = 0.0;
    a.getHe(1)->getStartPosNe(n, e);
    const double outside = (20.0 + 55.0) / 2.0 - 90.0;
    for (double d : {0.004, 2.0, 30.0}) {
        TAlntFoot f;
        const double pn = n + d * std::cos(outside * M_PI / 180.0);
        const double pe = e + d * std::sin(outside * M_PI / 180.0);
        ASSERT_TRUE(inv.findNearest(pn, pe, f));
        EXPECT_EQ(f.status, TAlntFootStatus::atJoint);
        EXPECT_NEAR(f.offsetInM, -d, 1e-9);
        EXPECT_EQ(f.element, 1);
        EXPECT_NEAR(f.lengthInM, 0.0, 1e-9);
    }
    // Millimetre and micrometre offsets keep their side on every kind of element.
    for (double chain : {2050.0, 2240.0, 2405.0, 2440.0, 2470.0, 2500.0, 2560.0}) {
        for (double off : {-1e-3, 1e-6, -1e-6, 5e-3}) {
            // The alignment leaves offsets below 1e-5 m on the centre line: place them here.
            double az = 0.0;
            a.getPosNeAtChain(chain, n, e);
            a.getAzimuthAtChain(chain, az);
            n -= off * std::sin(az * M_PI / 180.0);
            e += off * std::cos(az * M_PI / 180.0);
            TAlntFoot f;
            ASSERT_TRUE(inv.findNearest(n, e, f));
            EXPECT_EQ(f.offsetInM > 0.0, off > 0.0) << chain << " " << off;
            EXPECT_NEAR(f.chainageInM, chain, kMicro);
        }
    }
}

// A point on the normal at an element end is square to that element and nothing else: not also
// at the joint on the outside of a kink, nor before the start or after the end.
TEST(CAlntStationOffset, PointsOnEndNormalsAreSquareOnly) {
    const CAlntH a = hardRoad();
    const CAlntStationOffset inv(a);
    double fin = 0.0;
    a.getFinalChainageInM(fin);
    // Element 1 turns 35 degrees right at its start, 2100: 6 m left on its start normal (the
    // alignment places offsets at a boundary across the later element) is outside the kink.
    const struct {
        double chain, off;
        int element;
    } cases[] = {{2100.0, -6.0, 1}, {2000.0, 7.5, 0}, {fin, -12.0, a.getNumOfHes() - 1}};
    for (const auto& c : cases) {
        double n = 0.0, e = 0.0;
        a.getPosNeAtChainAndOffsetExtr(c.chain, c.off, n, e);
        std::vector<TAlntFoot> feet;
        ASSERT_TRUE(inv.findAllFeet(n, e, 20.0, feet));
        ASSERT_EQ(feet.size(), 1u) << c.chain;
        EXPECT_EQ(feet[0].status, TAlntFootStatus::square) << c.chain;
        EXPECT_EQ(feet[0].element, c.element) << c.chain;
        EXPECT_TRUE(nearPair(feet[0].chainageInM, feet[0].offsetInM, c.chain, c.off, 1e-8))
            << c.chain;
    }
}

// A corridor just wider than the offset finds the foot all round a long curve, on both sides:
// the boxes that prune the search must hold the whole curve, bulge included. A span's bulge
// leaves the box of its chord only where the chord runs close to north or east, so the road is
// turned in 3 degree steps through the 17 degrees one span of the curve turns.
TEST(CAlntStationOffset, NarrowCorridorsFindEveryFootAroundCurves) {
    for (double az = 0.0; az < 17.0; az += 3.0) {
        CAlntH a;
        a.setStartPos(5123456.789, 612345.678, 0.0);
        a.appendElement(segment(50.0, az));
        a.appendElement(makeSpiral(80.0, 200.0, true, true));
        a.appendElement(makeArc(1000.0, 200.0, true));
        a.appendElement(makeSpiral(80.0, 200.0, true, false));
        const CAlntStationOffset inv(a);
        ASSERT_TRUE(inv.isok()) << inv.buildError();
        for (double chain = 60.0; chain < 1200.0; chain += 1.5) {
            for (double off : {-5.0, 5.0}) {
                double n = 0.0, e = 0.0;
                a.getPosNeAtChainAndOffsetExtr(chain, off, n, e);
                TAlntFoot f;
                ASSERT_TRUE(inv.findNearest(n, e, f, 5.0 + 1e-6))
                    << az << " " << chain << " " << off;
                EXPECT_TRUE(nearPair(f.chainageInM, f.offsetInM, chain, off, kMicro));
            }
        }
    }
}

// A point as near to both straights of a hairpin: both are feet, the later one is the nearest.
TEST(CAlntStationOffset, TiesGoToTheLaterChainage) {
    const CAlntH a = hairpin();
    const CAlntStationOffset inv(a);
    // 20 m east of the first straight at 60 m: the second straight runs back 40 m east.
    const double n = 1060.0, e = 2020.0;
    TAlntFoot f;
    ASSERT_TRUE(inv.findNearest(n, e, f));
    EXPECT_EQ(f.element, 2);
    EXPECT_NEAR(f.lengthInM, 40.0, 1e-9);
    EXPECT_NEAR(f.offsetInM, 20.0, 1e-9);
    // The centre of the half circle is a foot everywhere on it; a 20 m corridor holds the ends.
    ASSERT_TRUE(inv.findNearest(1100.0, 2020.0, f));
    EXPECT_NEAR(f.distanceInM, 20.0, 1e-9);
    EXPECT_GE(f.chainageInM, 100.0 + 20.0 * M_PI - 1e-9);
}

TEST(CAlntStationOffset, CorridorBatchAndBadInput) {
    const CAlntH a = ipRoad();
    const CAlntStationOffset inv(a);
    ASSERT_TRUE(inv.isok());
    TAlntFoot f;
    EXPECT_FALSE(inv.findNearest(std::nan(""), 700000.0, f));
    EXPECT_FALSE(inv.findNearest(300000.0, std::numeric_limits<double>::infinity(), f));
    double n = 0.0, e = 0.0;
    a.getPosNeAtChainAndOffsetExtr(700.0, 30.0, n, e);
    EXPECT_FALSE(inv.findNearest(n, e, f, 29.9));
    EXPECT_TRUE(inv.findNearest(n, e, f, 30.1));

    // A few points are answered one by one in the order given (the tool's small files).
    const double ns[] = {n, std::nan(""), 300100.0};
    const double es[] = {e, 0.0, 700000.0};
    TAlntFoot feet[3];
    bool found[3];
    EXPECT_EQ(inv.findNearestBatch(ns, es, 3, feet, found, 1000.0), 2u);
    EXPECT_TRUE(found[0] && !found[1]);
    EXPECT_NEAR(feet[0].chainageInM, 700.0, kMicro);

    // Elements appended in a bulk update are not chained yet: the second does not start where
    // the first ends, and the snapshot says which.
    CAlntH unchained;
    unchained.beginBulkUpdate();
    unchained.appendElement(segment(50.0));
    unchained.appendElement(segment(50.0));
    const CAlntStationOffset broken(unchained);
    EXPECT_FALSE(broken.isok());
    EXPECT_NE(broken.buildError().find("element 1"), std::string::npos) << broken.buildError();

    const CAlntStationOffset empty{CAlntH()};
    EXPECT_FALSE(empty.isok());
    EXPECT_FALSE(empty.buildError().empty());
    EXPECT_FALSE(empty.findNearest(0.0, 0.0, f));
}

// A large batch is answered in another order; every answer must be the single query's.
TEST(CAlntStationOffset, LargeBatchAnswersAsSingleQueries) {
    const CAlntH a = hardRoad();
    const CAlntStationOffset inv(a);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> chain(1900.0, 2800.0);
    std::uniform_real_distribution<double> off(-2000.0, 2000.0);
    constexpr size_t kCount = 6000;
    std::vector<double> ns(kCount), es(kCount);
    for (size_t i = 0; i < kCount; ++i)
        a.getPosNeAtChainAndOffsetExtr(chain(rng), off(rng), ns[i], es[i]);
    ns[17] = std::nan("");
    std::vector<TAlntFoot> feet(kCount);
    std::unique_ptr<bool[]> found(new bool[kCount]);
    const size_t hits =
        inv.findNearestBatch(ns.data(), es.data(), kCount, feet.data(), found.get(), 1500.0);
    EXPECT_EQ(hits, static_cast<size_t>(std::count(found.get(), found.get() + kCount, true)));
    EXPECT_GT(hits, kCount / 2);
    for (size_t i = 0; i < kCount; ++i) {
        TAlntFoot f;
        ASSERT_EQ(found[i], inv.findNearest(ns[i], es[i], f, 1500.0)) << i;
        if (!found[i]) continue;
        EXPECT_EQ(f.chainageInM, feet[i].chainageInM) << i;
        EXPECT_EQ(f.offsetInM, feet[i].offsetInM) << i;
    }
}

}  // namespace
