// The one stake-out rule and the one evaluation: angle points staked from both sides, the
// inverse's side staking back to its point, key points of curves at intersection points, station
// equations, merging within a millimetre, the evaluation against the single queries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "velmorutils/velmorutils.h"
#include "velmorutils/zelmath/alignment/AlntEvaluation.h"
#include "velmorutils/zelmath/alignment/AlntStakeout.h"
#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include "support/AnglePointRoad.h"
#include "support/NearPair.h"

namespace {

using test_roads::anglePointRoad;
using test_roads::straight;

struct Stake {
    double n = 0.0, e = 0.0;
};

Stake stake(const CAlnt& a, double chainage, TAlntJointSide side, double offset) {
    TAlntEval at;
    EXPECT_TRUE(evaluateAlnt(a, chainage, at, side));
    Stake s;
    alntOffsetPoint(at, offset, s.n, s.e);
    return s;
}

// A straight, then a curve at an intersection point (spirals of 40 m, R 350 m, 35 degrees to
// the right) and a bare intersection point where the road ends.
void ipRoad(CAlnt& a) {
    straight(a, 150.0, 30.0);
    CAlntHeIp first, last;
    first.setIp(5000.0 + 350.0 * std::cos(M_PI / 6), 2000.0 + 350.0 * std::sin(M_PI / 6), 40.0,
                350.0, 40.0);
    const double az = (30.0 + 35.0) * M_PI / 180.0;
    last.setIp(first.get_data().getIpNorth() + 250.0 * std::cos(az),
               first.get_data().getIpEast() + 250.0 * std::sin(az), 0.0, 0.0, 0.0);
    a.setStartPos(5000.0, 2000.0, 0.0);
    a.appendElement(first);
    a.appendElement(last);
}

}  // namespace

TEST(StakeoutRule, AnAnglePointIsStakedFromBothSidesEachSquareToItsElement) {
    CAlnt a;
    anglePointRoad(a);
    TAlntStakeoutRequest request;
    request.intervalInM = 25.0;
    const std::vector<TAlntStakeoutStation> st = alntStakeoutStations(a, request);
    struct Want {
        double chainage, offset, apart;
    } wants[] = {{100.0, 4.0, 4.0 * 0.14 * M_PI / 180.0}, {200.0, -5.0, 5.0 * std::sqrt(2.0)}};
    for (const Want& w : wants) {
        std::vector<TAlntStakeoutStation> at;
        for (const TAlntStakeoutStation& s : st)
            if (s.chainageInM == w.chainage) at.push_back(s);
        ASSERT_EQ(at.size(), 2u) << w.chainage;
        EXPECT_EQ(at[0].side, TAlntJointSide::back);
        EXPECT_EQ(at[1].side, TAlntJointSide::ahead);
        EXPECT_TRUE(at[0].anglePoint && at[1].boundary);
        std::vector<Stake> p;
        for (const TAlntStakeoutStation& s : at) {
            TAlntEval e;
            ASSERT_TRUE(evaluateStakeoutStation(a, s, e));
            Stake q;
            alntOffsetPoint(e, w.offset, q.n, q.e);
            p.push_back(q);
        }
        // 9.8 mm apart at the small angle point; at the right angle, 7.07 m.
        EXPECT_NEAR(std::hypot(p[0].n - p[1].n, p[0].e - p[1].e), w.apart, 1e-6);
    }
}

// A point on the normal at the end of the incoming element, on the normal at the start of the
// outgoing one, and just outside both: the station, offset and side the inverse gives stake out
// to the point itself; a point outside the kink (atJoint) is on neither normal.
TEST(StakeoutRule, TheInversesSideAtAnAnglePointStakesBackToThePoint) {
    CAlnt a;
    anglePointRoad(a);
    const CAlntStationOffset inverse(a);
    ASSERT_TRUE(inverse.isok()) << inverse.buildError();
    int sides = 0;
    for (const double joint : {100.0, 200.0}) {
        for (const TAlntJointSide side : {TAlntJointSide::back, TAlntJointSide::ahead}) {
            for (const double offset : {-5.0, -4.0, 3.0}) {
                const Stake p = stake(a, joint, side, offset);
                TAlntFoot f;
                ASSERT_TRUE(inverse.findNearest(p.n, p.e, f));
                if (f.status != TAlntFootStatus::square) continue;
                sides += f.side == side;
                const Stake back = stake(a, f.chainageInM, f.side, f.offsetInM);
                EXPECT_TRUE(nearPair(back.n, back.e, p.n, p.e, 1e-9)) << joint << " " << offset;
            }
        }
    }
    // Outside each kink (left) both normals name their own side.
    EXPECT_GE(sides, 4);
    // The fuzzer's case: on the incoming normal at the right angle, the ahead row is 7.07 m off.
    const Stake p = stake(a, 200.0, TAlntJointSide::back, -5.0);
    TAlntFoot f;
    ASSERT_TRUE(inverse.findNearest(p.n, p.e, f));
    EXPECT_EQ(f.side, TAlntJointSide::back);
    // A foot's chainage may be the joint's to a rounding only: the back side still answers.
    TAlntEval at;
    ASSERT_TRUE(evaluateAlnt(a, 200.0 + 3e-14, at, TAlntJointSide::back));
    EXPECT_EQ(at.element, 1);
    ASSERT_TRUE(evaluateAlnt(a, 200.0 + 3e-14, at, TAlntJointSide::ahead));
    EXPECT_EQ(at.element, 2);
    // Half a millimetre further out the point lies outside the kink: the joint, no side.
    const Stake out = stake(a, 200.0, TAlntJointSide::ahead, -5.0);
    ASSERT_TRUE(inverse.findNearest(0.5 * (p.n + out.n), 0.5 * (p.e + out.e), f));
    EXPECT_EQ(f.status, TAlntFootStatus::atJoint);
    EXPECT_EQ(f.side, TAlntJointSide::none);
}

// Stations closer than a millimetre are one stake, at the more telling of the two; a boundary
// 1.5 mm from a round station is staked on its own.
TEST(StakeoutRule, StationsWithinAMillimetreMergeAtTheKeyPoint) {
    for (const double gap : {0.0004, 0.0015}) {
        CAlnt a;
        straight(a, 100.0 + gap, 0.0);
        straight(a, 50.0, 10.0);
        TAlntStakeoutRequest request;
        request.intervalInM = 50.0;
        std::vector<double> c;
        for (const TAlntStakeoutStation& s : alntStakeoutStations(a, request))
            c.push_back(s.chainageInM);
        const std::vector<double> want =
            gap < 0.001 ? std::vector<double>{0.0, 50.0, 100.0 + gap, 100.0 + gap, 150.0 + gap}
                        : std::vector<double>{0.0,         50.0,  100.0,      100.0 + gap,
                                              100.0 + gap, 150.0, 150.0 + gap};
        EXPECT_EQ(c, want) << gap;
    }
}

// The one evaluation gives what the single queries give, beyond the ends too, from one lookup;
// along a circular vertical curve it gives the circle's slope where the element gives none.
TEST(Evaluation, AgreesWithTheSingleQueriesAndGivesTheGradeOfCircularCurves) {
    CAlnt a;
    anglePointRoad(a);
    double end = 0.0;
    ASSERT_TRUE(a.getFinalChainageInM(end));
    for (double c = -30.0; c <= end + 30.0; c += 7.3) {
        TAlntEval at;
        ASSERT_TRUE(evaluateAlnt(a, c, at)) << c;
        double n = 0.0, e = 0.0, az = 0.0, h = 0.0;
        ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(c, -3.5, n, e));
        ASSERT_TRUE(a.getAzimuthAtChainExtr(c, az));
        double on = 0.0, oe = 0.0;
        alntOffsetPoint(at, -3.5, on, oe);
        EXPECT_TRUE(nearPair(on, oe, n, e, 1e-9)) << c;
        EXPECT_NEAR(std::remainder(at.azimuthDeg - az, 360.0), 0.0, 1e-9) << c;
        EXPECT_EQ(at.beyondEnds, c < 0.0 || c > end + 0.001) << c;
        EXPECT_EQ(at.hasHeight, a.getPosHAtChain(c, h)) << c;
        EXPECT_NEAR(at.hasHeight ? at.height : h, h, 1e-12) << c;
        double k = 0.0;
        const bool curved = !at.beyondEnds && a.getCurvatureAtChainage(c, k);
        EXPECT_EQ(at.curvature, curved ? k : 0.0) << c;
        EXPECT_EQ(at.kind, a.getElement(at.element).getType()) << c;
    }
    // The circular vertical curve of R 3000 m at the VIP at 150 (about 106 to 194).
    for (const double c : {120.0, 150.0, 180.0}) {
        TAlntEval at;
        ASSERT_TRUE(evaluateAlnt(a, c, at));
        double g = 0.0;
        EXPECT_FALSE(a.getGradeAtChainage(c, g)) << c;  // the element's own answer stays none
        ASSERT_TRUE(at.hasGrade) << c;
        double h0 = 0.0, h1 = 0.0;
        ASSERT_TRUE(a.getPosHAtChain(c - 0.01, h0) && a.getPosHAtChain(c + 0.01, h1));
        EXPECT_NEAR(at.gradePercent, (h1 - h0) / 0.02 * 100.0, 1e-6) << c;
    }
}

// TS, SC, CS and ST inside an element defined at an intersection point, each where its piece
// begins: the straight to the TS, 40 m of spiral, the arc, 40 m of spiral.
TEST(StakeoutRule, KeyPointsInsideACurveAtAnIntersectionPoint) {
    CAlnt a;
    ipRoad(a);
    const CCurveIp& ip = CAlntHeIp::cast(a.getHe(1))->get_data();
    const double ts = 150.0 + ip.getSolutionStartSegment().getTotalLength();
    const double cs = ts + 40.0 + ip.getSolutionArc().getTotalLength();
    TAlntStakeoutRequest request;
    request.intervalInM = 100.0;
    std::vector<std::string> codes;
    std::vector<double> at;
    for (const TAlntStakeoutStation& s : alntStakeoutStations(a, request)) {
        if (*s.code == '\0') continue;
        codes.push_back(s.code);
        at.push_back(s.chainageInM);
        EXPECT_EQ(s.side, TAlntJointSide::none) << s.code;  // a smooth curve has no angle point
    }
    ASSERT_EQ(codes, (std::vector<std::string>{"Start", "POT", "TS", "SC", "CS", "ST", "End"}));
    EXPECT_NEAR(at[2], ts, 1e-9);
    EXPECT_NEAR(at[3], ts + 40.0, 1e-9);
    EXPECT_NEAR(at[4], cs, 1e-9);
    EXPECT_NEAR(at[5], cs + 40.0, 1e-9);
}

// At an equation the back row carries the station behind it, the ahead row the station ahead;
// round stations are round in each region.
TEST(StakeoutRule, AnEquationGivesTheBackAndTheAheadStation) {
    CAlnt a;
    anglePointRoad(a);
    TAlntStakeoutRequest request;
    request.intervalInM = 50.0;
    request.startStationInM = 1000.0;
    request.equations = {{130.0, 1200.0}};        // 1130 back = 1200 ahead
    std::vector<std::pair<double, double>> rows;  // chainage, station
    for (const TAlntStakeoutStation& s : alntStakeoutStations(a, request)) {
        if (s.chainageInM > 220.0) break;
        rows.emplace_back(s.chainageInM, s.stationInM);
        if (s.equation) {
            EXPECT_EQ(s.region, s.side == TAlntJointSide::back ? 1 : 2);
        }
    }
    const std::vector<std::pair<double, double>> want{
        {0.0, 1000.0},   {50.0, 1050.0},  {100.0, 1100.0}, {100.0, 1100.0}, {130.0, 1130.0},
        {130.0, 1200.0}, {180.0, 1250.0}, {200.0, 1270.0}, {200.0, 1270.0}};
    EXPECT_EQ(rows, want);
}
