#include <vector>

#include <gtest/gtest.h>

#include "velmorutils/velmorutils.h"

namespace {

struct Point {
    double ch, h;
};

// Every record of a VIP walk, from the one the iterator starts on.
template <class T>
std::vector<CLsInfo> walk(const T& alnt) {
    TAlntLsItrImpl<T> it(alnt);
    std::vector<CLsInfo> out{it.getCurLs()};
    while (it.nextLs())
        out.push_back(it.getCurLs());
    return out;
}

void expectPoints(const std::vector<CLsInfo>& got, const std::vector<Point>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i].getChainage(), want[i].ch, 1e-9) << i;
        EXPECT_NEAR(got[i].getHeight(), want[i].h, 1e-9) << i;
    }
}

// An element of a kind the iterators do not know, as a newer caller might add.
class UnknownKind : public CVerticalElement {
public:
    UnknownKind() : CVerticalElement(0.0, 0.0, 10.0, 1.0) {}
    TAlntVeType getType() const override { return static_cast<TAlntVeType>(9); }
    CAlntVe* clone() const override { return new UnknownKind(*this); }
};

// Straights E(0, 0, length, grade) and parabolas E(0, 0, length, grade in, grade out): appending
// sets where they start.
using E = CVerticalElement;

TEST(VipIterator, ProfilesGiveStartGradeBreaksCurveVipsAndEndEachOnceElementsInOrder) {
    struct Case {
        const char* what;
        std::vector<CVerticalElement> elements;
        std::vector<Point> vips;
    };
    const Case cases[] = {
        {"a single straight gives its start only", {E(0, 0, 100.0, 1.0)}, {{0.0, 10.0}}},
        {"a grade break between straights is a VIP",
         {E(0, 0, 100.0, 1.0), E(0, 0, 100.0, -1.0)},
         {{0.0, 10.0}, {100.0, 11.0}}},
        {"continuous grades give start, curve VIP and end",
         {E(0, 0, 100.0, 2.0), E(0, 0, 100.0, 2.0, -2.0), E(0, 0, 100.0, -2.0)},
         {{0.0, 10.0}, {150.0, 13.0}, {300.0, 10.0}}},
        {"an unbroken grade junction is passed over",
         {E(0, 0, 50.0, 2.0), E(0, 0, 50.0, 2.0), E(0, 0, 100.0, 2.0, -2.0), E(0, 0, 100.0, -2.0)},
         {{0.0, 10.0}, {150.0, 13.0}, {300.0, 10.0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAlntV alnt;
        alnt.setStartHeight(10.0);
        for (const CVerticalElement& e : c.elements)
            alnt.appendElement(e);
        const std::vector<CLsInfo> got = walk(alnt);
        expectPoints(got, c.vips);
        if (c.vips.size() == 3) {
            EXPECT_DOUBLE_EQ(got[1].getCurveLength(), 100.0);
        }
    }
    // The first VIP is an element of no length whose start, VIP and end coincide: it is
    // reported once.
    const std::vector<Point> vips = {
        {0.0, 100.0}, {200.0, 104.0}, {500.0, 98.0}, {900.0, 106.0}, {1000.0, 105.0}};
    const double curves[] = {0.0, 100.0, 150.0, 80.0, 0.0};
    CAlntV alnt, arcs;
    for (size_t i = 0; i < vips.size(); ++i) {
        alnt.appendElement(CVerticalLSElement(CLsInfo(vips[i].ch, vips[i].h, curves[i])));
        arcs.appendElement(CAlntVeLsWithArc(vips[i].ch, vips[i].h, curves[i] * 30.0));
    }
    const std::vector<CLsInfo> got = walk(alnt);
    expectPoints(got, vips);
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i].getCurveLength(), curves[i]) << i;
    expectPoints(walk(arcs), vips);
    // The element walk: each VIP with an arc is a straight and an arc.
    CAlntV withArcs;
    withArcs.appendElement(CAlntVeLsWithArc(0.0, 100.0, 0.0));
    withArcs.appendElement(CAlntVeLsWithArc(200.0, 104.0, 3000.0));
    withArcs.appendElement(CAlntVeLsWithArc(500.0, 98.0, 0.0));
    TAlntVeItrImpl<CAlntV> it(withArcs);
    std::vector<const CAlntVe*> seen{it.getElement()};
    while (it.nextAlnVe())
        seen.push_back(it.getElement());
    // Each VIP element is a straight and an arc, the degenerate ones included.
    ASSERT_EQ(seen.size(), 6u);
    const auto* mid = static_cast<const CAlntVeLsWithArc*>(withArcs.getVe(1));
    EXPECT_EQ(seen[2], &mid->getStartSegment());
    EXPECT_EQ(seen[3], &mid->getArc());

    const CAlntV empty;
    TAlntVeItrImpl<CAlntV> none(empty);
    EXPECT_EQ(none.getCurVe(), nullptr);
    EXPECT_FALSE(none.nextAlnVe());
    EXPECT_FALSE(TAlntLsItrImpl<CAlntV>(empty).nextLs());
    // An element of a kind the iterators do not know is refused.
    CAlntV unknown;
    unknown.appendElement(E(0, 0, 10.0, 1.0));
    unknown.appendElement(UnknownKind());
    TAlntVeItrImpl<CAlntV> stops(unknown);
    EXPECT_FALSE(stops.nextAlnVe());
    EXPECT_EQ(stops.getElement(), nullptr);
    // The VIP walk stops where it would need that element's VIP.
    EXPECT_FALSE(TAlntLsItrImpl<CAlntV>(unknown).nextLs());
}

}  // namespace
