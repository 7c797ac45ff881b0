#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/areas/I2dPtList_r.h"
#include "velmorutils/zelmath/primitives/C2dPos.h"

/// Questions about a caller's point list: extents, areas, perimeter, self-intersections, and the
/// surveyor's area-division problems (where a closing line must run, hinged at the first point or
/// parallel to a direction, so that the enclosed area reaches a required value).
/// X is the first coordinate (north), Y the second (east). Call reset() after changing the points.
class VELMORUTILS_API C2dPtListUt {
public:
    explicit C2dPtListUt(const I2dPtList_r& list);

    void reset();
    double getMinX() const;
    double getMinY() const;
    double getMaxX() const;
    double getMaxY() const;
    double getSignedArea() const;
    double getArea() const;
    double getPerimeter() const;

    int get1stIntersection(const C2dPos& a, const C2dPos& b, int from, int to) const;
    bool get1stSelfXsection(int& i, int& j, int from, bool closed) const;
    bool hasSelfXsections() const;
    bool hasSelfXsections(const C2dPos& x) const;
    bool hasSelfXsections(const C2dPos& x1, const C2dPos& x2) const;

    double findMostLeftAndRightVertices(const CMathAngle& dir, int& iMax, int& iMin) const;
    double getPositiveArea(const C2dPos& origin, const CMathAngle& dir) const;
    bool getAreaHingelLineSolution(const CMathAngle& dir, double area, C2dPos& x) const;
    bool getAreaParallelLineSolution(const CMathAngle& dir1, const CMathAngle& dir2, double area,
                                     C2dPos& x1, C2dPos& x2) const;
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
