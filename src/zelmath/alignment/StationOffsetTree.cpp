#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "zelmath/alignment/StationOffsetGeometry.h"

// Building the station/offset index: spans over the pieces, corner leaves at kinks and ends, and
// the bounding-volume hierarchy over them.

namespace station_offset {

bool Builder::run(const CAlntH& alnt) {
    const int count = alnt.getNumOfHes();
    if (count == 0) return fail("the alignment has no elements");
    double n = 0.0, e = 0.0;
    if (!alnt.getHe(0)->getStartPosNe(n, e)) return fail("element 0 has no start point");
    m_g.origin = {n, e};
    m_g.startChainage = alnt.getStartChainageInM();
    for (int i = 0; i < count; ++i) {
        if (!addElement(alnt, i)) return false;
    }
    m_firstPiece.push_back(static_cast<int>(m_g.pieces.size()));
    if (m_g.pieces.empty()) return fail("the alignment has no length");
    double fin = 0.0;
    if (!alnt.getFinalChainageInM(fin)) return fail("the alignment has no final chainage");
    m_g.finalChainage = fin;

    const CAlntHe* first = alnt.getHe(0);
    const CAlntHe* last = alnt.getHe(count - 1);
    CMathAngle az;
    first->getStartAzimut(az);
    m_g.startTan = dirOf(az.getRad());
    if (!last->getFinalAzimut(az)) return fail("the last element has no final azimuth");
    m_g.endTan = dirOf(az.getRad());
    m_g.startPos = Vec{n, e} - m_g.origin;
    if (!last->getFinalPosNe(n, e)) return fail("the last element has no final point");
    m_g.endPos = Vec{n, e} - m_g.origin;

    if (!addLeaves()) return false;
    buildTree();
    return true;
}

void Builder::addSpans(int pieceIndex) {
    const Piece& pc = m_g.pieces[pieceIndex];
    const Point a = evalPiece(pc, 0.0);
    const Point b = evalPiece(pc, pc.length);
    const double turn = std::fabs(std::atan2(cross(a.tan, b.tan), dot(a.tan, b.tan)));
    // The turn of an arc can pass a half circle; its curvature gives it exactly.
    const double arcTurn = pc.kind == PieceKind::arc ? std::fabs(pc.k) * pc.length : turn;
    const double clothoidTurn =
        pc.kind == PieceKind::clothoid ? maxCurvature(pc, a, b) * pc.length : arcTurn;
    const int count = std::max({1, static_cast<int>(std::ceil(pc.length / kMaxSpanLength)),
                                static_cast<int>(std::ceil(clothoidTurn / kMaxSpanTurn))});
    Point q0 = a;
    for (int i = 0; i < count; ++i) {
        Leaf leaf;
        leaf.piece = pieceIndex;
        leaf.s0 = pc.length * i / count;
        leaf.s1 = i + 1 == count ? pc.length : pc.length * (i + 1) / count;
        leaf.at0 = q0;
        leaf.at1 = i + 1 == count ? b : evalPiece(pc, leaf.s1);
        leaf.kMax = maxCurvature(pc, leaf.at0, leaf.at1);
        leaf.firstOfPiece = i == 0;
        leaf.lastOfPiece = i + 1 == count;
        leaf.pieceKind = pc.kind;
        pushLeaf(leaf, spanBox(leaf.at0, leaf.at1, leaf.s1 - leaf.s0, pc.evalError));
        q0 = leaf.at1;
    }
}

bool Builder::addLeaves() {
    const auto& pieces = m_g.pieces;
    Leaf start;
    start.kind = LeafKind::start;
    start.at0 = evalPiece(pieces.front(), 0.0);
    start.at0.pos = m_g.startPos;
    start.chainage = m_g.startChainage;
    Box box;
    box.add(m_g.startPos, 0.0);
    pushLeaf(start, box);
    for (int j = 0; j < static_cast<int>(pieces.size()); ++j) {
        addSpans(j);
        if (j + 1 == static_cast<int>(pieces.size())) break;
        const Point out = evalPiece(pieces[j], pieces[j].length);
        const Point in = evalPiece(pieces[j + 1], 0.0);
        if (!(norm(out.pos - in.pos) <= kBuildCheck))
            return fail("element " + std::to_string(pieces[j + 1].element) +
                        " does not start where the line before it ends");
        const double turn = std::fabs(std::atan2(cross(out.tan, in.tan), dot(out.tan, in.tan)));
        if (turn > kAlntAnglePointRad) m_g.pieces[j].anglePointAfter = true;
        if (turn > kAlntAnglePointRad) m_g.pieces[j + 1].anglePointBefore = true;
        if (turn <= kMinKink) continue;
        Leaf kink;
        kink.kind = LeafKind::kink;
        kink.at0 = out;
        kink.at0.pos = in.pos;
        kink.at1 = in;
        kink.chainage = pieces[j + 1].chainage0;
        Box point;
        point.add(in.pos, 0.0);
        pushLeaf(kink, point);
    }
    Leaf end;
    end.kind = LeafKind::end;
    end.at0 = evalPiece(pieces.back(), pieces.back().length);
    end.at0.pos = m_g.endPos;
    end.chainage = m_g.finalChainage;
    Box last;
    last.add(m_g.endPos, 0.0);
    pushLeaf(end, last);
    return true;
}

// A flat bounding-volume hierarchy over the leaves in chainage order: consecutive leaves lie
// side by side along the road, so grouping them by four gives tight boxes without sorting.
void Builder::buildTree() {
    auto& nodes = m_g.nodes;
    std::vector<Box> boxes = std::move(m_leafBoxes);
    int levelFirst = 0;
    bool leafChildren = true;
    do {
        std::vector<Box> parents;
        const int count = static_cast<int>(boxes.size());
        for (int i = 0; i < count; i += kFanout) {
            Node node;
            NodeLinks link;
            link.first = levelFirst + i;
            link.count = std::min(kFanout, count - i);
            link.leafChildren = leafChildren;
            Box all;
            for (int c = 0; c < link.count; ++c) {
                node.kidBoxes[c] = FloatBox(boxes[i + c]);
                all.add(boxes[i + c]);
            }
            nodes.push_back(node);
            m_g.links.push_back(link);
            parents.push_back(all);
        }
        levelFirst = static_cast<int>(nodes.size()) - static_cast<int>(parents.size());
        boxes = std::move(parents);
        leafChildren = false;
    } while (boxes.size() > 1);
    m_g.root = static_cast<int>(nodes.size()) - 1;
    m_g.rootBox = boxes.front();
}

}  // namespace station_offset
