#include "velmorutils/zelmath/caches/C2dPosAndSts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "velmorutils/zelmath/primitives/C2dSegment.h"

bool C2dPosAndSts::getPosOnSegment(double sts, C2dPos& pos) const {
    bool found = false;
    const int i = findSts(sts, found);
    if (found) {
        pos = GetAt(i).pos;
        return true;
    }
    if (i <= 0 || i >= GetSize()) return false;
    const C2dPosAndSt& a = GetAt(i - 1);
    const C2dPosAndSt& b = GetAt(i);
    const double t = (sts - a.sts) / ((sts - a.sts) + (b.sts - sts));
    pos = a.pos + (b.pos - a.pos) * t;
    return true;
}

namespace {

// Squared distance from p to a box: never more than the squared distance to anything inside.
double boxDistanceSq(const C2dPos& p, double minN, double maxN, double minE, double maxE) {
    const double dn = std::max({minN - p.north, 0.0, p.north - maxN});
    const double de = std::max({minE - p.east, 0.0, p.east - maxE});
    return dn * dn + de * de;
}

// The best chord so far: the smallest distance, the lowest index among equal distances, which
// makes the answer independent of the order in which chords are looked at.
struct NearestChord {
    int index = -1;
    double dist = 0.0;
    // Boxes beyond this squared distance cannot hold a better chord. The margin keeps rounding
    // in the box test from ever hiding a chord that is nearer by a hair.
    double skipBeyondSq = std::numeric_limits<double>::infinity();

    void offer(int i, double d) {
        if (index >= 0 && (d > dist || (d == dist && i > index))) return;
        index = i;
        dist = d;
        const double reach = d * (1.0 + 1e-9) + 1e-12;
        skipBeyondSq = reach * reach;
    }
};

}  // namespace

void C2dPosAndSts::refreshBoxes() const {
    if (m_boxesRevision == getRevision()) return;
    m_boxes.clear();
    const int chords = GetSize() - 1;
    for (int first = 0; first < chords; first += kChordsPerBox) {
        const int last = std::min(first + kChordsPerBox, chords);  // sample index
        const C2dPos& p0 = GetAt(first).pos;
        ChordBox b{p0.north, p0.north, p0.east, p0.east};
        for (int i = first + 1; i <= last; ++i) {
            const C2dPos& p = GetAt(i).pos;
            b.minN = std::min(b.minN, p.north);
            b.maxN = std::max(b.maxN, p.north);
            b.minE = std::min(b.minE, p.east);
            b.maxE = std::max(b.maxE, p.east);
        }
        m_boxes.push_back(b);
    }
    m_boxesRevision = getRevision();
}

int C2dPosAndSts::findNearestSegment(const C2dPos& p, double* dist) const {
    const int n = GetSize();
    if (n == 0) return -1;
    refreshBoxes();
    NearestChord best;
    const auto searchBox = [&](int box) {
        const int first = box * kChordsPerBox;
        const int end = std::min(first + kChordsPerBox, n - 1);
        for (int i = first; i < end; ++i) {
            const C2dPos& a = GetAt(i).pos;
            const C2dPos& b = GetAt(i + 1).pos;
            const double boxSq =
                boxDistanceSq(p, std::min(a.north, b.north), std::max(a.north, b.north),
                              std::min(a.east, b.east), std::max(a.east, b.east));
            if (boxSq > best.skipBeyondSq) continue;
            best.offer(i, C2dSegment(a, b).getDistance(p));
        }
    };
    const auto boxDist = [&](int k) {
        const ChordBox& b = m_boxes[static_cast<size_t>(k)];
        return boxDistanceSq(p, b.minN, b.maxN, b.minE, b.maxE);
    };
    const int boxes = static_cast<int>(m_boxes.size());
    // Start in the nearest box: its chords set a distance that rules out most other boxes.
    int seed = -1;
    double seedDist = std::numeric_limits<double>::infinity();
    for (int k = 0; k < boxes; ++k) {
        const double d = boxDist(k);
        if (d < seedDist) {
            seed = k;
            seedDist = d;
        }
    }
    if (seed >= 0) searchBox(seed);
    for (int k = 0; k < boxes; ++k) {
        if (k != seed && boxDist(k) <= best.skipBeyondSq) searchBox(k);
    }
    if (dist != nullptr) *dist = best.index >= 0 ? best.dist : 0.0;
    return best.index;
}
