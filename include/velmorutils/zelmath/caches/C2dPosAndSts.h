#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/caches/TStsSequenceT.h"

/// One sample of a road centre line: a plane position and its chainage in metres.
struct C2dPosAndSt {
    C2dPos pos;
    double sts = 0.0;
};

/// A polyline of plane positions tagged with strictly increasing chainages. It answers on its
/// chords only: positions are interpolated linearly and never extrapolated beyond the first or
/// last sample.
class VELMORUTILS_API C2dPosAndSts : public TStsSequenceT<C2dPosAndSt> {
public:
    /// The position at chainage sts on the polyline; false (pos unchanged) outside the samples.
    /// Linear between the two neighbouring samples; a chainage within 1e-12 m of a sample is that
    /// sample.
    bool getPosOnSegment(double sts, C2dPos& pos) const;
    /// The chord i (sample i to i + 1) nearest to p, the first of equally near chords; -1 with
    /// fewer than two samples. *dist gets the distance (0.0 without a chord) unless the
    /// sequence is empty.
    /// One pass over the chords (boxes of 32 chords are skipped when farther than the best so far);
    /// the distance is to the chord, ends included, in metres.
    int findNearestSegment(const C2dPos& p, double* dist) const;

private:
    /// The plane box around a run of consecutive chords. The nearest-chord search skips every
    /// run whose box lies farther than the best chord found so far, which on a long road leaves
    /// a handful of runs out of hundreds. Rebuilt on the first search after a change.
    struct ChordBox {
        double minN, maxN, minE, maxE;
    };
    static constexpr int kChordsPerBox = 32;
    using ChordBoxes = std::vector<ChordBox, zel_mem::zel_dl_allocator<ChordBox>>;

    void refreshBoxes() const;

    mutable ChordBoxes m_boxes;
    mutable std::uint64_t m_boxesRevision = ~std::uint64_t{0};
};
