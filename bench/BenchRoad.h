#pragma once

// The road the alignment and cache benchmarks share, so their figures speak of the same road.
#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"

// Straight, entry spiral, arc, exit spiral, repeated, turning alternately right and left so
// that the road meanders instead of closing on itself.
inline CAlntH buildBenchRoad(int count) {
    CAlntH a;
    a.setStartPos(100000.0, 500000.0, 0.0);
    a.setStartChainageInM(1000.0);
    a.beginBulkUpdate();
    for (int i = 0; i < count; ++i) {
        const bool right = (i / 4) % 2 == 0;
        switch (i % 4) {
            case 0: {
                CAlntHeSegment s;
                s.get_data().get_data().setLen(80.0);
                a.appendElement(s);
                break;
            }
            case 1:
            case 3: {
                CAlntHeSpiral s;
                s.get_data().get_data().setLenAndR(40.0, 250.0, right, i % 4 == 1);
                a.appendElement(s);
                break;
            }
            default: {
                CAlntHeArc arc;
                arc.get_data().get_data().SetElement(60.0, 250.0, right);
                a.appendElement(arc);
                break;
            }
        }
    }
    a.onBulkUpdateFinished();
    return a;
}
