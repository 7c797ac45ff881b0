#include "landxml/ReaderGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <velmorutils/landxml/Stationing.h>

// What the reader derives from the numbers it has read: lengths and turns of curves given by
// their points, and the bounds the derived numbers must keep.

namespace zel_landxml::reader_geometry {
namespace {

using zel_math::boundText;
using zel_math::Quantity;
using zel_math::withinBounds;

bool failWith(std::string& message, const std::string& why) {
    message = why;
    return false;
}

}  // namespace

double above(double bound) {
    return bound * (1.0 + kBoundSlack);
}

std::string lengthText(double m, LinearUnit unit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f %s", fromMetres(m, unit), unitSymbol(unit));
    return buf;
}

bool lineFromPoints(HElement& e, std::string& message) {
    if (std::isnan(e.length)) {
        e.length = std::hypot(e.end.north - e.start.north, e.end.east - e.start.east);
        if (!withinBounds(e.length, Quantity::Length))
            return failWith(message, "Start and End give no length: " +
                                         std::string(boundText(Quantity::Length)));
    }
    return true;
}

// The swept angle from centre-to-start to centre-to-end in the turning direction.
double sweepOf(const HElement& e) {
    const double a0 = std::atan2(e.start.east - e.center.east, e.start.north - e.center.north);
    const double a1 = std::atan2(e.end.east - e.center.east, e.end.north - e.center.north);
    double sweep = e.clockwise ? a1 - a0 : a0 - a1;  // azimuths grow clockwise
    while (sweep <= 0.0)
        sweep += 2.0 * M_PI;
    while (sweep > 2.0 * M_PI)
        sweep -= 2.0 * M_PI;
    return sweep;
}

// A curve given by its points only: the radius from the centre, the direction from the PI
// when there is one, else the shorter way round (road arcs turn less than half a circle).
bool curveFromPoints(HElement& e, bool haveRot, LinearUnit unit, std::string& message) {
    if (std::isnan(e.radius)) {
        const double r0 = std::hypot(e.start.north - e.center.north, e.start.east - e.center.east);
        const double r1 = std::hypot(e.end.north - e.center.north, e.end.east - e.center.east);
        // Points rounded in the file agree to their rounding, well within a millimetre.
        if (std::fabs(r0 - r1) > 1e-3 + 1e-9 * r0)
            return failWith(message, "Start and End lie at different distances from Center (" +
                                         lengthText(r0, unit) + " and " + lengthText(r1, unit) +
                                         ")");
        e.radius = (r0 + r1) / 2.0;
        if (!withinBounds(e.radius, Quantity::Radius))
            return failWith(
                message, "the points give no radius: " + std::string(boundText(Quantity::Radius)));
    }
    if (!haveRot) {
        if (e.pi.present()) {
            // The PI lies outside the turn: left of the chord for a right turn.
            const double cross = (e.end.north - e.start.north) * (e.pi.east - e.start.east) -
                                 (e.end.east - e.start.east) * (e.pi.north - e.start.north);
            e.clockwise = cross < 0.0;
        } else {
            e.clockwise = true;
            if (sweepOf(e) > M_PI) e.clockwise = false;
        }
    }
    if (std::isnan(e.length)) {
        e.length = sweepOf(e) * e.radius;
        if (!withinBounds(e.length, Quantity::Length))
            return failWith(message, "Start, Center and End give an arc of " +
                                         lengthText(e.length, unit) + ": " +
                                         boundText(Quantity::Length));
    }
    return true;
}

bool checkEndStation(const Alignment& a, double total, std::string& message) {
    if (!(std::fabs(a.staStart + total) <= above(kMaxStationM)))
        return failWith(message, "the alignment ends beyond station 1e8 m");
    return true;
}

}  // namespace zel_landxml::reader_geometry
