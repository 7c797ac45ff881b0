#include "velmorutils/zelmath/C2dPosAndSts.h"

#include <algorithm>
#include <cmath>

#include "velmorutils/zelmath/C2dSegment.h"

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

// The squared distance from p to the box around chord a-b: never more than the squared
// distance to the chord, so a chord whose box is already farther than the best cannot win.
double boxDistanceSq(const C2dPos& p, const C2dPos& a, const C2dPos& b) {
    const double dn =
        std::max({std::min(a.north, b.north) - p.north, 0.0, p.north - std::max(a.north, b.north)});
    const double de =
        std::max({std::min(a.east, b.east) - p.east, 0.0, p.east - std::max(a.east, b.east)});
    return dn * dn + de * de;
}

}  // namespace

int C2dPosAndSts::findNearestSegment(const C2dPos& p, double* dist) const {
    const int n = GetSize();
    int best = -1;
    double bestDist = 0.0;
    double skipBeyond = 0.0;
    for (int i = 0; i + 1 < n; ++i) {
        const C2dPos& a = GetAt(i).pos;
        const C2dPos& b = GetAt(i + 1).pos;
        // Only a strictly nearer chord replaces the best. The margin keeps rounding in the
        // box test from ever hiding a chord that is nearer by a hair.
        if (best >= 0 && boxDistanceSq(p, a, b) > skipBeyond) continue;
        const double d = C2dSegment(a, b).getDistance(p);
        if (best < 0 || d < bestDist) {
            best = i;
            bestDist = d;
            const double reach = bestDist * (1.0 + 1e-9) + 1e-12;
            skipBeyond = reach * reach;
        }
    }
    if (dist != nullptr && n > 0) *dist = bestDist;
    return best;
}
