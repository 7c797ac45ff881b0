#pragma once

#include <cmath>
#include <string>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Corridor.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "../../FuzzTarget.h"

// What both LandXML targets check on a document: a refusal names its line; what is read builds
// or is refused with a message, and every position and height queried on a built road is finite
// and within the bounds the reader promises; what is read writes and reads back to the same
// geometry in every unit.
namespace landxml_fuzz {

using velmor_fuzz::check;
using namespace zel_landxml;

inline bool hasLine(const std::string& message) {
    return message.find("line ") != std::string::npos;
}

// How far the road jumps at its joints: each element starts at the file's own Start, so a gap
// in the file stays in the road.
inline double jumps(const CAlnt& alnt) {
    double sum = 0.0;
    for (int i = 1; i < alnt.getNumOfHes(); ++i) {
        double n0 = 0.0, e0 = 0.0, n1 = 0.0, e1 = 0.0;
        if (alnt.getElement(i - 1).getFinalPosNe(n0, e0) &&
            alnt.getElement(i).getStartPosNe(n1, e1))
            sum += std::hypot(n1 - n0, e1 - e0);
    }
    return sum;
}

// Positions along a road: finite, and never further from the road's start than the chainage run
// to them and the joints' jumps (a road is no longer than its own length; an evaluation that
// diverges, such as a clothoid series beyond its range, puts points much further away). Heights:
// finite and within the profile's bounds (a vertical curve lies between its tangents, so between
// the elevations).
inline void queryRoad(const CAlnt& alnt) {
    const double first = alnt.getStartChainageInM();
    double last = first;
    check(std::isfinite(first), "start chainage not finite");
    if (!alnt.getFinalChainageInM(last)) return;
    check(std::isfinite(last) && last >= first, "final chainage not finite or before the start");
    double n0 = 0.0, e0 = 0.0;
    const bool haveStart = alnt.getPosNeAtChain(first, n0, e0);
    const double jumped = jumps(alnt);
    for (int i = 0; i <= 8; ++i) {
        const double chain = first + (last - first) * i / 8.0;
        double n = 0.0, e = 0.0;
        if (alnt.getPosNeAtChain(chain, n, e)) {
            check(std::isfinite(n) && std::isfinite(e), "position on the road not finite");
            if (haveStart)
                check(std::hypot(n - n0, e - e0) <= (chain - first) * (1.0 + 1e-9) + jumped + 1e-3,
                      "a point further from the start than the road is long");
        }
        double az = 0.0;
        if (alnt.getAzimuthAtChain(chain, az)) check(std::isfinite(az), "azimuth not finite");
        double h = 0.0;
        if (alnt.getPosHAtChain(chain, h))
            check(std::isfinite(h) && std::fabs(h) <= kMaxElevationM * (1.0 + 1e-9) + 1e-3,
                  "height on the profile not finite or beyond the elevation bound");
    }
}

// The road beyond the centre line as the file gives it: built, or refused with the line at fault;
// a design height, where there is one, finite.
inline void queryCorridor(const Document& doc, std::size_t index, const CAlnt& alnt) {
    zel_math::CRoadCorridor road(alnt);
    zel_math::TGround ground;
    std::vector<std::string> notes;
    std::string error;
    if (!buildCorridor(doc, index, {}, road, ground, notes, error)) {
        check(hasLine(error), "a refused corridor without a line");
        return;
    }
    const Alignment& a = doc.alignments[index];
    for (const CrossSectRecord& s : a.sections)
        for (const double offset : {-5.0, 0.0, 5.0}) {
            double h = 0.0;
            if (road.designHeight(s.station, offset, h))
                check(std::isfinite(h), "a design height not finite");
        }
}

// Every surface builds or is refused at a line; a height under one of its points is finite.
inline void buildSurfaces(const Document& doc) {
    for (const SurfaceRecord& s : doc.surfaces) {
        zel_math::CTinSurface tin;
        std::string error;
        if (!buildTinSurface(s, tin, error)) {
            check(hasLine(error), "a refused surface without a line");
            continue;
        }
        double h = 0.0;
        for (const SurfacePointRecord& p : s.points)
            if (tin.heightAt(p.north, p.east, h))
                check(std::isfinite(h), "a TIN height not finite");
    }
}

// Builds and queries every alignment; returns how many built.
inline int buildAll(const Document& doc) {
    int built = 0;
    buildSurfaces(doc);
    for (std::size_t i = 0; i < doc.alignments.size(); ++i) {
        const Alignment& a = doc.alignments[i];
        CAlnt alnt;
        BuildReport report;
        std::string error;
        if (!buildAlignment(a, alnt, report, error)) {
            check(!error.empty(), "a refused build without a message");
            continue;
        }
        check(std::isfinite(report.largestEndDifference), "end difference not finite");
        queryRoad(alnt);
        queryCorridor(doc, i, alnt);
        ++built;
    }
    return built;
}

// Same value, bit for bit in metres; in feet within the writer's 1e-9 m (or a few units in the
// last place where a double's step is coarser).
inline bool same(double a, double b, LinearUnit unit) {
    if (a == b || (a != a && b != b)) return true;
    if (unit == LinearUnit::Meter) return false;
    return std::fabs(a - b) <= 1e-9 + 1e-14 * std::fabs(a);
}

// A PI or Center beyond the coordinate bound is not written (the element's radius, length and
// direction define it), so it comes back absent.
inline bool samePoint(const Point& a, const Point& b, LinearUnit u) {
    const double bound = kMaxCoordinateM * (1.0 + kBoundSlack);
    if (!b.present() && a.present() && (std::fabs(a.north) > bound || std::fabs(a.east) > bound))
        return true;
    return same(a.north, b.north, u) && same(a.east, b.east, u);
}

inline bool sameElement(const HElement& a, const HElement& b, LinearUnit u) {
    if (a.kind != b.kind || !same(a.length, b.length, u) || !samePoint(a.start, b.start, u) ||
        !samePoint(a.end, b.end, u) || !samePoint(a.center, b.center, u) ||
        !samePoint(a.pi, b.pi, u))
        return false;
    if (a.kind == HKind::Curve) return a.clockwise == b.clockwise && same(a.radius, b.radius, u);
    if (a.kind == HKind::Spiral)
        return a.clockwise == b.clockwise && same(a.radiusStart, b.radiusStart, u) &&
               same(a.radiusEnd, b.radiusEnd, u);
    return true;
}

// Curves shortened to touch on reading may be shortened again by the feet writer's rounding of
// a few nanometres (a circle's radius in proportion to its tangent).
inline bool sameVip(const Vip& a, const Vip& b, LinearUnit u) {
    const auto near = [u](double x, double y) {
        return same(x, y, u) ||
               (u != LinearUnit::Meter && std::fabs(x - y) <= 1e-6 * std::fmax(1.0, std::fabs(x)));
    };
    return a.curve == b.curve && same(a.station, b.station, u) &&
           same(a.elevation, b.elevation, u) &&
           (a.curve == VCurve::None || near(a.length, b.length)) &&
           (a.curve != VCurve::Circle || near(a.radius, b.radius));
}

// The written text without the values of its name attributes (free text, which may well say
// "nan"), leaving the numbers.
inline std::string withoutNames(const std::string& text) {
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(" name=\"", from)) != std::string::npos;) {
        out.append(text, from, at - from);
        const size_t close = text.find('"', at + 7);
        if (close == std::string::npos) return out;
        from = close + 1;
    }
    return out.append(text, from, std::string::npos);
}

// Writes the document in a unit and reads it back: it must read, with the same geometry.
inline void roundTrip(const Document& doc, LinearUnit unit) {
    const std::string text = write(doc, unit);
    // Infinite spiral radii are written "INF"; any other non-finite number is a broken export.
    const std::string numbers = withoutNames(text);
    check(numbers.find("inf") == std::string::npos && numbers.find("nan") == std::string::npos,
          "the writer printed a non-finite number");
    Document back;
    std::string error;
    if (!parse(text, back, error)) {
        check(false, ("written document does not read back: " + error).c_str());
        return;
    }
    check(back.alignments.size() == doc.alignments.size(), "alignment count changed");
    if (back.alignments.size() != doc.alignments.size()) return;
    for (size_t i = 0; i < doc.alignments.size(); ++i) {
        const Alignment &a = doc.alignments[i], &b = back.alignments[i];
        check(same(a.staStart, b.staStart, unit), "staStart changed");
        check(a.elements.size() == b.elements.size(), "element count changed");
        for (size_t k = 0; k < a.elements.size() && k < b.elements.size(); ++k)
            check(sameElement(a.elements[k], b.elements[k], unit), "element changed");
        check(a.profile.size() == b.profile.size(), "profile point count changed");
        for (size_t k = 0; k < a.profile.size() && k < b.profile.size(); ++k)
            check(sameVip(a.profile[k], b.profile[k], unit), "profile point changed");
        check(a.equations.size() == b.equations.size(), "equation count changed");
        for (size_t k = 0; k < a.equations.size() && k < b.equations.size(); ++k)
            check(same(a.equations[k].staInternal, b.equations[k].staInternal, unit) &&
                      same(a.equations[k].staAhead, b.equations[k].staAhead, unit) &&
                      same(a.equations[k].staBack, b.equations[k].staBack, unit),
                  "equation changed");
    }
}

// The whole check on a text: read; on refusal a line; else build, query and round trip.
inline void checkText(const std::string& text) {
    Document doc;
    std::string error;
    if (!parse(text, doc, error)) {
        check(hasLine(error), "a refusal without a line");
        check(doc.alignments.empty(), "a refusal left a partial document");
        return;
    }
    buildAll(doc);
    roundTrip(doc, doc.unit);
    roundTrip(doc, doc.unit == LinearUnit::Meter ? LinearUnit::USSurveyFoot : LinearUnit::Meter);
}

}  // namespace landxml_fuzz
