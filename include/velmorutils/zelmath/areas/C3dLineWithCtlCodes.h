#pragma once

#include "velmorutils/inlines/TZelContainer.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/areas/T3dPosWithCtlCode.h"

class CAlnt;

/// A field-coded string of measured points and its conversion to and from a road alignment.
/// Codes on the points say where circular arcs start and end, that the figure closes, or that
/// three points are corners of a rectangle. Straight segments join the other points, and the
/// profile is a chain of grades through the point heights.
class VELMORUTILS_API C3dLineWithCtlCodes : public TZelContainer<T3dPosWithCtlCode> {
public:
    /// The first point at index >= from that carries code; -1 when there is none.
    int findCtlCode(TCtlCodeEnum code, int from) const;

    /// Replaces alnt by the alignment of this line, starting at chainage 0 on the first point.
    /// A curve that cannot be built from its codes is not an error: its points are joined by
    /// straights instead.
    bool convertToAlnt(CAlnt& alnt, bool close) const;

    /// Replaces the points by the coded string of alnt, which must hold only segments and arcs.
    bool convertFromAlnt(const CAlnt& alnt, bool close);

private:
    bool carries(int i, TCtlCodeEnum code) const;
    bool addPoint(CAlnt& alnt, const T3dPosWithCtlCode& p) const;
    bool addRectangle(CAlnt& alnt) const;
    int runCurvePasses(CAlnt& alnt, int from) const;
    int runCurvePass(CAlnt& alnt, int i, bool& goOn) const;
};
