#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/caches/TStsSequenceT.h"

/// One sample of a longitudinal profile: a height and its chainage, in metres.
struct CHtAndSt {
    double ht = 0.0;
    double sts = 0.0;
};

/// A profile polyline in the (chainage, height) plane with strictly increasing chainages.
/// Heights are interpolated linearly on its chords and never extrapolated.
class VELMORUTILS_API CHtAndSts : public TStsSequenceT<CHtAndSt> {
public:
    /// The height at chainage sts; false (ht unchanged) outside the samples.
    bool getHtOnSegment(double sts, double& ht) const;
    /// The chord i (sample i to i + 1) nearest to p in the (chainage, height) plane, the first
    /// of equally near chords; -1 with fewer than two samples. *dist gets the distance, 0.0
    /// without a chord.
    int findNearestSegment(const CHtAndSt& p, double* dist) const;
};
