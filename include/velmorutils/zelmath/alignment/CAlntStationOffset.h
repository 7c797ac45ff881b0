#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/AlntEvaluation.h"

class CAlntH;

// What kind of point of the alignment a foot is.
enum class TAlntFootStatus : std::uint8_t {
    // The perpendicular foot on an element: the point lies square to the centre line there.
    square = 0,
    // The point lies before the start and the start point is the nearest point of the line;
    // chainage and offset are measured along and across the start tangent extended backwards,
    // so the chainage is below the start chainage.
    beforeStart = 1,
    // The same beyond the end, along and across the end tangent extended forwards.
    afterEnd = 2,
    // The point lies on the outside of a kink (a joint where the tangent jumps), where no
    // element has a perpendicular foot; the joint itself is the nearest point. The offset is the
    // distance to the joint, signed by the side of the kink the point lies on.
    atJoint = 3,
};

// One foot of a point on a horizontal alignment. Lengths, chainages, offsets and coordinates in
// metres; north and east in the alignment's own plane frame.
struct TAlntFoot {
    // The element that holds the foot's chainage, as the alignment's chainage lookup chooses it:
    // at a boundary shared by several elements the later one (a zero-length element included).
    // Element 0 before the start and the last element after the end.
    int element = -1;
    // Length along that element from its start: negative before the start, above the element's
    // length after the end.
    double lengthInM = 0.0;
    // Running chainage of the foot: the alignment's start chainage plus the length along the
    // line (extended along the end tangents before the start and after the end). Its station
    // text ("1+234.57") is this chainage written with the value formats.
    double chainageInM = 0.0;
    // Signed offset, positive to the right of increasing chainage. Across the tangent at the foot
    // (beforeStart / afterEnd: across the extended end tangent); for atJoint the distance to the
    // joint with the sign of the side. The sign is exact at every distance, also below 1 cm; a
    // point on the line has offset 0.
    double offsetInM = 0.0;
    // Distance from the point to the nearest point of the alignment itself (the start or end
    // point for beforeStart / afterEnd, so it is never below |offsetInM|). Corridors use it.
    double distanceInM = 0.0;
    // The foot: the point on the centre line, or on the extended end tangent beyond the ends.
    double footN = 0.0;
    double footE = 0.0;
    TAlntFootStatus status = TAlntFootStatus::square;
    // A square foot at an angle point (a joint whose tangents differ by more than
    // kAlntAnglePointRad): back when it lies on the normal at the end of the incoming element,
    // ahead on the normal at the start of the outgoing one, in the words of the stake-out's rows;
    // a stake of chainageInM and offsetInM from that side (evaluateAlnt with this side) gives the
    // point back. none everywhere else; an atJoint foot lies on neither normal and has none.
    TAlntJointSide side = TAlntJointSide::none;
};

// The full station/offset inverse of a horizontal alignment (a CAlntH or a CAlnt): for any point
// the true nearest foot on the whole alignment, and on request every foot within a distance.
//
// Snapshot. The constructor copies the alignment's geometry into an immutable form of its own:
// each element becomes straight, circular and clothoid pieces placed in a plane frame centred on
// the alignment's start, and the pieces are cut into short spans held in a bounding-volume
// hierarchy. It never reads the alignment again, so it cannot dangle; after the alignment is
// changed it goes on answering for the geometry it was built from. Rebuild it after every change;
// isBuiltFrom() tells whether an alignment still has that geometry (an O(n) comparison of the
// element ends, lengths and azimuths), for callers that cannot track their changes.
//
// Accuracy. Positions are the alignment's own: lines and arcs in closed form, clothoids through
// the same Fresnel integrals the elements use (exact to about 1e-15 of the clothoid's length at
// any turn up to 4 pi), so an inverse fed to the alignment's position at chainage and offset
// returns the point to well below a micrometre. Feet are solved to
// 1e-10 m in length along the element. Construction checks every element against the alignment's
// own positions (five points each, 1 micrometre) and refuses geometry it would not reproduce.
//
// Nearest. Global over the whole alignment, not the first local minimum: every span carries a
// bounding box that provably covers it (the curve between two points lies within the ellipse of
// its length around them, whose half minor axis widens the chord's box, plus the evaluation error
// of the clothoid series), and the search visits every span whose box is nearer than the best
// foot found. Spans on which the squared distance is not provably convex (a point beyond the
// centre of curvature of a tight spiral) are halved until it is. Two feet whose distances differ
// by less than tieToleranceInM count as equally near, and the later chainage wins, as the later
// element wins at a boundary elsewhere in the library.
//
// Status tolerance. A point within footToleranceInM (1e-8 m) of the normal at an element end
// counts as square to that element; chainage and offset are continuous across every status
// change, so the choice inside that band moves no number by more than 1e-8 m.
//
// Cost. O(log n) per query in the number of elements for a point near the road: the hierarchy is
// built once, in O(n), by grouping spans that follow each other along the road. It is an own flat
// tree and not Boost.Geometry's R-tree because the search must interleave box distances with exact
// projections (branch and bound), and with its own tree a query allocates nothing, takes no lock
// and reads only immutable data.
//
// Threads. Every query is const and reads only the snapshot (its clothoids are evaluated by
// copies of the elements' basic spirals, whose position needs no cache), so any number of threads
// may query one object at once without locks. Copies share the snapshot.
//
// Errors. No exception leaves this class: running out of memory while building is caught and
// reported like any other failure. A snapshot that could not be built answers every query with
// false and says why in buildError().
class VELMORUTILS_API CAlntStationOffset {
public:
    static constexpr double tieToleranceInM = 1e-9;
    static constexpr double footToleranceInM = 1e-8;

    CAlntStationOffset();
    explicit CAlntStationOffset(const CAlntH& alnt);
    CAlntStationOffset(const CAlntStationOffset&) = default;
    CAlntStationOffset& operator=(const CAlntStationOffset&) = default;
    ~CAlntStationOffset();

    // Builds the snapshot anew from alnt; false (and isok() false) when it cannot be built: an
    // empty alignment, an alignment without length, or an element that cannot be evaluated.
    bool build(const CAlntH& alnt);
    bool isok() const { return m_geometry != nullptr; }
    const std::string& buildError() const { return m_error; }
    // Whether alnt still has the geometry of the snapshot (element ends, lengths, start azimuths,
    // start chainages), to 1e-9 m and 1e-12 rad.
    bool isBuiltFrom(const CAlntH& alnt) const;

    int getNumOfElements() const;
    double getStartChainageInM() const;
    double getFinalChainageInM() const;

    // The nearest foot of the point (n, e). False when the snapshot is not ok, the point is not
    // finite, or no point of the alignment lies within maxDistanceInM (the foot is then not
    // written).
    bool findNearest(double n, double e, TAlntFoot& foot,
                     double maxDistanceInM = std::numeric_limits<double>::infinity()) const;

    // Every foot of the point within maxDistanceInM (distanceInM <= maxDistanceInM): every local
    // minimum of the distance to the alignment, sorted by chainage. A point inside a tight curve
    // can be square to several elements, or to one spiral twice. False when the snapshot is not
    // ok or the point is not finite; feet is then empty.
    bool findAllFeet(double n, double e, double maxDistanceInM, std::vector<TAlntFoot>& feet) const;

    // findNearest for count points given as two arrays; found[i] (when found is not null) says
    // whether feet[i] was written. Many points are answered grouped by 1 km squares, which keeps
    // the tree of a long road in the cache; every answer is the one findNearest gives. Returns the
    // number of points that got a foot. The arrays must hold count entries each; TAlntFoot is a
    // standard-layout record, so callers can hand the output array to other languages as is.
    std::size_t findNearestBatch(
        const double* n, const double* e, std::size_t count, TAlntFoot* feet, bool* found = nullptr,
        double maxDistanceInM = std::numeric_limits<double>::infinity()) const;

    struct Geometry;

private:
    std::shared_ptr<const Geometry> m_geometry;
    std::string m_error;
};
