#include "velmorutils/zelmath/angles/ValueBounds.h"

#include <charconv>
#include <cmath>

namespace zel_math {
namespace {

// A bound stretched by kBoundSlack, and by the nanometre to which a writer's shortest feet text
// reads back, so that a value on it that came back from feet still holds.
double above(double bound) {
    return bound * (1.0 + kBoundSlack) + kBoundSlackM;
}
double below(double bound) {
    return bound * (1.0 - kBoundSlack) - kBoundSlackM;
}

}  // namespace

std::string shortestText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0.0 ? "inf" : "-inf";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

const char* boundText(Quantity q) {
    switch (q) {
        case Quantity::Coordinate:
            return "a coordinate must lie within 1e8 m of the origin";
        case Quantity::Length:
            return "a length must lie between 0 and 1e6 m";
        case Quantity::Radius:
            return "a radius must lie between 0.1 m and 1e9 m";
        case Quantity::Station:
            return "a station must lie within 1e8 m of zero";
        default:
            return "an elevation must lie within 1e5 m of zero";
    }
}

bool withinBounds(double m, Quantity q) {
    switch (q) {
        case Quantity::Coordinate:
            return std::fabs(m) <= above(kMaxCoordinateM);
        case Quantity::Length:
            return m >= 0.0 && m <= above(kMaxLengthM);
        case Quantity::Radius:
            return m >= below(kMinRadiusM) && m <= above(kMaxRadiusM);
        case Quantity::Station:
            return std::fabs(m) <= above(kMaxStationM);
        default:
            return std::fabs(m) <= above(kMaxElevationM);
    }
}

Verdict checkQuantity(double metres, Quantity q, const std::string& field, LinearUnit unit) {
    const std::string shown = shortestText(metresToUnit(metres, unit));
    if (!std::isfinite(metres))
        return Verdict::fail(field + " is not a finite number: '" + shown + "'");
    if (!withinBounds(metres, q))
        return Verdict::fail(field + " is " + shown + " " + linearUnitName(unit) + ": " +
                             boundText(q));
    return Verdict::pass();
}

Verdict checkElementLength(double metres, const std::string& field, LinearUnit unit) {
    Verdict v = checkQuantity(metres, Quantity::Length, field, unit);
    if (v && metres == 0.0)
        v = Verdict::fail(field + " is 0 " + linearUnitName(unit) +
                          ": an element needs a length above 0");
    return v;
}

}  // namespace zel_math
