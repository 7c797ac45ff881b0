#include "velmorutils/zelmath/caches/CHtAndSts.h"

#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/primitives/C2dSegment.h"

bool CHtAndSts::getHtOnSegment(double sts, double& ht) const {
    bool found = false;
    const int i = findSts(sts, found);
    if (found) {
        ht = GetAt(i).ht;
        return true;
    }
    if (i <= 0 || i >= GetSize()) return false;
    const CHtAndSt& a = GetAt(i - 1);
    const CHtAndSt& b = GetAt(i);
    const double t = (sts - a.sts) / ((sts - a.sts) + (b.sts - sts));
    ht = a.ht + t * (b.ht - a.ht);
    return true;
}

int CHtAndSts::findNearestSegment(const CHtAndSt& p, double* dist) const {
    // Chainage on the first axis, height on the second.
    const C2dPos q(p.sts, p.ht);
    int best = -1;
    double bestDist = 0.0;
    for (int i = 0; i + 1 < GetSize(); ++i) {
        const C2dSegment chord(C2dPos(GetAt(i).sts, GetAt(i).ht),
                               C2dPos(GetAt(i + 1).sts, GetAt(i + 1).ht));
        const double d = chord.getDistance(q);
        if (best < 0 || d < bestDist) {
            best = i;
            bestDist = d;
        }
    }
    if (dist != nullptr) *dist = bestDist;
    return best;
}
