#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/areas/I2dPtList_r.h"

/// Questions about a caller's point list: extents, areas, perimeter, self-intersections, and the
/// surveyor's area-division problems (where a closing line must run, hinged at the first point or
/// parallel to a direction, so that the enclosed area reaches a required value).
/// X is the first coordinate (north), Y the second (east). Call reset() after changing the points.
class VELMORUTILS_API C2dPtListUt {
public:
    explicit C2dPtListUt(const I2dPtList_r& list);

    /// Forgets the cached extents and area; call after changing the points.
    void reset();
    ///@{
    /// Extents in metres, X north and Y east (cached until reset()).
    double getMinX() const;
    double getMinY() const;
    double getMaxX() const;
    double getMaxY() const;
    ///@}
    /// Shoelace area in square metres: positive when the points run counter-clockwise as drawn with
    /// north up and east to the right; the last point closes to the first. Cached until reset().
    double getSignedArea() const;
    /// |getSignedArea()|, square metres.
    double getArea() const;
    /// Closed perimeter in metres; 0 with fewer than 2 points.
    double getPerimeter() const;

    /// Index of the first edge (i joins point i and i + 1; the closing edge is count - 1) from
    /// `from` to `to` - 1 that crosses the segment a-b, ends included; -1 when none.
    int get1stIntersection(const C2dPos& a, const C2dPos& b, int from, int to) const;
    /// The first pair of crossing edges i, j from `from` on (the closing edge too when `closed`).
    bool get1stSelfXsection(int& i, int& j, int from, bool closed) const;
    /// Whether the closed boundary crosses itself.
    bool hasSelfXsections() const;
    /// Whether the boundary closed through x (last point, x, first point) crosses itself.
    bool hasSelfXsections(const C2dPos& x) const;
    /// Whether the boundary closed through x2 then x1 crosses itself or its closing quadrilateral
    /// is not convex.
    bool hasSelfXsections(const C2dPos& x1, const C2dPos& x2) const;

    /// The points furthest right (iMax) and left (iMin) of the direction dir (azimuth); returns the
    /// width across dir in metres.
    double findMostLeftAndRightVertices(const CMathAngle& dir, int& iMax, int& iMin) const;
    /// Area in square metres of the part of the polygon to the right of the line through origin
    /// with azimuth dir.
    double getPositiveArea(const C2dPos& origin, const CMathAngle& dir) const;
    /// Area division with a hinge line: the point x on the line from the first point along azimuth
    /// dir such that the boundary first ... last, x encloses `area` square metres. False with fewer
    /// than 2 points, for a line parallel to the closing one (determinant below 1e-12) or when the
    /// closed boundary would cross itself.
    bool getAreaHingelLineSolution(const CMathAngle& dir, double area, C2dPos& x) const;
    /// Area division with a parallel line: x1 on the azimuth dir1 from the first point and x2 on
    /// dir2 from the last point, the closing line x2-x1 parallel to first-last, so that the
    /// boundary encloses `area` square metres. False when the sides lean apart, no positive strip
    /// height solves it, or the result would cross itself.
    bool getAreaParallelLineSolution(const CMathAngle& dir1, const CMathAngle& dir2, double area,
                                     C2dPos& x1, C2dPos& x2) const;
    /// The same with the closing line parallel to the azimuth dir3.
    bool getAreaParallelLineSolution(const CMathAngle& dir1, const CMathAngle& dir2,
                                     const CMathAngle& dir3, double area, C2dPos& x1,
                                     C2dPos& x2) const;

private:
    C2dPos point(int i) const;
    void computeExtents() const;
    bool simpleParallelSolution(const C2dPos& p1, const C2dPos& p2, const CMathAngle& dir1,
                                const CMathAngle& dir2, double d, C2dPos& x1, C2dPos& x2) const;

    const I2dPtList_r& list;
    mutable double minX;
    mutable double minY;
    mutable double maxX;
    mutable double maxY;
    mutable double signedArea;
};
