#include "velmorutils/zelmath/sections/SectionProfile.h"
#include "zelmath/sections/SectionSupport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace zel_math {

namespace {

// Offsets this close are the same place across the road (metres).
constexpr double kSame = 1e-9;
// A code belongs to a queried offset this close to its point (metres).
constexpr double kCodeReach = 1e-3;

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// The side's points: left from index 0 up to the last at or left of offset 0, right from the
// first at or right of 0 to the end; outer first.
std::vector<int> sidePoints(const TSectionProfile& p, bool right) {
    std::vector<int> out;
    const int n = static_cast<int>(p.points.size());
    if (right) {
        for (int i = n - 1; i >= 0 && p.points[i].offset >= 0; --i)
            out.push_back(i);
    } else {
        for (int i = 0; i < n && p.points[i].offset <= 0; ++i)
            out.push_back(i);
    }
    return out;
}

void findSide(TSectionProfile& p, bool right) {
    TSectionSide& side = right ? p.right : p.left;
    side = TSectionSide();
    const std::vector<int> pts = sidePoints(p, right);
    if (pts.empty()) {
        // The whole section lies on the other side of the centre line: its end on this side.
        if (p.points.empty()) return;
        side.hinge = right ? static_cast<int>(p.points.size()) - 1 : 0;
        return;
    }
    for (int i : pts) {
        if (side.hinge < 0 && isHingeCode(p.points[i].code)) side.hinge = i;
        if (side.daylight < 0 && isDaylightCode(p.points[i].code)) side.daylight = i;
    }
    const int inward = right ? -1 : 1;
    if (side.hinge < 0 && side.daylight >= 0 && side.daylight != pts.back()) {
        side.hinge = side.daylight + inward;
    }
    if (side.hinge < 0) {
        side.hinge = pts.front();
        side.daylight = -1;
    }
    if (side.daylight < 0 && isHingeCode(p.points[side.hinge].code) && side.hinge != pts.front()) {
        side.daylight = pts.front();
    }
    // A daylight inside the hinge is no daylight of this hinge.
    if (side.daylight >= 0 && (side.daylight - side.hinge) * inward >= 0) side.daylight = -1;
    if (side.daylight < 0) return;
    const TSectionPoint& h = p.points[side.hinge];
    const TSectionPoint& d = p.points[side.daylight];
    const double rise = std::abs(d.height - h.height);
    if (rise > kSame) side.cutHV = side.fillHV = std::abs(d.offset - h.offset) / rise;
}

}  // namespace

bool isHingeCode(const std::string& code) {
    return startsWith(section_support::lowerCase(code), "hinge");
}

bool isDaylightCode(const std::string& code) {
    const std::string c = section_support::lowerCase(code);
    return startsWith(c, "daylight") || c == "dl" || c == "catch";
}

void findSectionSides(TSectionProfile& profile) {
    findSide(profile, false);
    findSide(profile, true);
}

bool sectionHeightAt(const TSectionProfile& profile, double offset, double& height,
                     std::string* code) {
    const auto& pts = profile.points;
    if (pts.empty() || !std::isfinite(offset)) return false;
    if (offset < pts.front().offset - kSame || offset > pts.back().offset + kSame) return false;
    // The points at this offset (a vertical face has several): the upper one.
    auto first = std::lower_bound(pts.begin(), pts.end(), offset - kSame,
                                  [](const TSectionPoint& p, double x) { return p.offset < x; });
    const TSectionPoint* top = nullptr;
    for (auto it = first; it != pts.end() && it->offset <= offset + kSame; ++it) {
        if (!top || it->height > top->height) top = &*it;
    }
    if (top) {
        height = top->height;
        if (code) *code = top->code;
        return true;
    }
    // first is the point after the offset; first - 1 the one before.
    const TSectionPoint& a = *(first - 1);
    const TSectionPoint& b = *first;
    const double t = (offset - a.offset) / (b.offset - a.offset);
    height = a.height + t * (b.height - a.height);
    if (code) {
        if (offset - a.offset <= kCodeReach && (b.offset - offset > offset - a.offset)) {
            *code = a.code;
        } else if (b.offset - offset <= kCodeReach) {
            *code = b.code;
        } else {
            *code = offset >= 0 ? b.code : a.code;
        }
    }
    return true;
}

namespace {

struct Piece {
    double x0, y0, x1, y1;  // x0 <= x1
};

double valueAt(const Piece& s, double x) {
    if (s.x1 - s.x0 <= kSame) return std::max(s.y0, s.y1);
    const double t = std::clamp((x - s.x0) / (s.x1 - s.x0), 0.0, 1.0);
    return s.y0 + t * (s.y1 - s.y0);
}

// Every straight piece of every surface, and every finite point.
void collect(const std::vector<std::vector<TSectionPoint>>& surfaces, std::vector<Piece>& pieces,
             std::vector<const TSectionPoint*>& points) {
    for (const auto& surface : surfaces) {
        const TSectionPoint* prev = nullptr;
        for (const TSectionPoint& p : surface) {
            if (!std::isfinite(p.offset) || !std::isfinite(p.height)) continue;
            points.push_back(&p);
            if (prev) {
                if (prev->offset <= p.offset) {
                    pieces.push_back({prev->offset, prev->height, p.offset, p.height});
                } else {
                    pieces.push_back({p.offset, p.height, prev->offset, prev->height});
                }
            }
            prev = &p;
        }
    }
}

// The offsets where the boundary may bend: every point and every crossing of two pieces.
std::vector<double> breaks(const std::vector<Piece>& pieces,
                           const std::vector<const TSectionPoint*>& points) {
    std::vector<double> xs;
    for (const TSectionPoint* p : points)
        xs.push_back(p->offset);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& a = pieces[i];
        if (a.x1 - a.x0 <= kSame) continue;
        for (std::size_t j = i + 1; j < pieces.size(); ++j) {
            const Piece& b = pieces[j];
            if (b.x1 - b.x0 <= kSame) continue;
            const double lo = std::max(a.x0, b.x0), hi = std::min(a.x1, b.x1);
            if (!(hi - lo > kSame)) continue;
            const double dLo = valueAt(a, lo) - valueAt(b, lo);
            const double dHi = valueAt(a, hi) - valueAt(b, hi);
            if ((dLo < 0 && dHi > 0) || (dLo > 0 && dHi < 0)) {
                xs.push_back(lo + (hi - lo) * dLo / (dLo - dHi));
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end(), [](double a, double b) { return b - a <= kSame; }),
             xs.end());
    return xs;
}

std::string codeAt(const std::vector<const TSectionPoint*>& points, double x, double y) {
    for (const TSectionPoint* p : points) {
        if (!p->code.empty() && std::abs(p->offset - x) <= 1e-6 &&
            std::abs(p->height - y) <= 1e-6) {
            return p->code;
        }
    }
    return {};
}

}  // namespace

std::vector<TSectionPoint> sectionUpperBoundary(
    const std::vector<std::vector<TSectionPoint>>& surfaces) {
    std::vector<Piece> pieces;
    std::vector<const TSectionPoint*> points;
    collect(surfaces, pieces, points);
    std::vector<TSectionPoint> out;
    constexpr double kNone = -std::numeric_limits<double>::infinity();
    for (double x : breaks(pieces, points)) {
        // Highest coming from the left, highest leaving to the right, highest at x itself.
        double fromLeft = kNone, toRight = kNone, here = kNone;
        for (const Piece& s : pieces) {
            const bool level = s.x1 - s.x0 > kSame;
            if (level && s.x0 < x - kSame && x <= s.x1 + kSame)
                fromLeft = std::max(fromLeft, valueAt(s, x));
            if (level && s.x0 - kSame <= x && x < s.x1 - kSame)
                toRight = std::max(toRight, valueAt(s, x));
        }
        for (const TSectionPoint* p : points) {
            if (std::abs(p->offset - x) <= kSame) here = std::max(here, p->height);
        }
        const double top = std::max({fromLeft, toRight, here});
        double emit[3] = {fromLeft, top, toRight};
        for (double y : emit) {
            if (y == kNone) continue;
            if (!out.empty() && std::abs(out.back().offset - x) <= kSame &&
                std::abs(out.back().height - y) <= kSame) {
                continue;
            }
            out.push_back({x, y, codeAt(points, x, y)});
        }
    }
    return out;
}

}  // namespace zel_math
