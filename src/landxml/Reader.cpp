#include <sys/stat.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/curves/CCurveSpiralTStoSC.h>

namespace zel_landxml {
namespace {

// Element names without a namespace prefix: exporters differ in how they write them.
std::string localName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name) {
    for (const pugi::xml_node& c : parent.children())
        if (c.type() == pugi::node_element && localName(c) == name) return c;
    return {};
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

// A decimal number (sign, fraction and exponent allowed) that fills the whole word; no locale,
// no hexadecimal, no "inf" or "nan", nothing that overflows a double.
bool toNumber(const std::string& word, double& v) {
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (first != last && *first == '+') ++first;
    if (first == last ||
        !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '-' || *first == '.'))
        return false;
    const auto r = std::from_chars(first, last, v, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(v);
}

std::vector<std::string> words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

// What a number stands for, for its bounds.
enum class Quantity { Coordinate, Length, Radius, Station, Elevation };

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

// A bound stretched by kBoundSlack: a value that lies on a bound in metres comes back from a
// file written in feet a few units in the last place away, and must still read.
double above(double bound) {
    return bound * (1.0 + kBoundSlack);
}
double below(double bound) {
    return bound * (1.0 - kBoundSlack);
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

// Where the horizontal extent of a vertical curve ends on each side of its VIP (metres along
// the chainage). A parabola spans half its length each way; a circle spans its tangent length
// R tan(|d|/2), d the change of grade angle, projected on the chainage along each grade.
struct Extent {
    double back = 0.0;
    double ahead = 0.0;
};

Extent curveExtent(const Vip& v, double gradeIn, double gradeOut) {
    if (v.curve == VCurve::Parabola) return {v.length / 2.0, v.length / 2.0};
    if (v.curve != VCurve::Circle) return {};
    const double a1 = std::atan(gradeIn), a2 = std::atan(gradeOut);
    const double t = v.radius * std::tan(std::fabs(a2 - a1) / 2.0);
    return {t * std::cos(a1), t * std::cos(a2)};
}

class Reader {
public:
    Reader(const std::string& text, Document& doc, std::string& error)
        : text_(text), doc_(doc), error_(error) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') lineStarts_.push_back(i + 1);
    }

    bool run() {
        if (!checkEncoding()) return false;
        pugi::xml_document xml;
        const size_t bom = text_.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
        const pugi::xml_parse_result res = xml.load_buffer(
            text_.data() + bom, text_.size() - bom, pugi::parse_default, pugi::encoding_utf8);
        if (!res)
            return fail(lineOf(static_cast<size_t>(res.offset) + bom),
                        "malformed XML: " + std::string(res.description()));
        bomOffset_ = bom;
        const pugi::xml_node root = xml.document_element();
        if (localName(root) != "LandXML")
            return fail(lineOf(root), "the root element is not LandXML");
        if (!readUnits(root)) return false;
        for (const pugi::xml_node& group : root.children()) {
            if (localName(group) != "Alignments") continue;
            for (const pugi::xml_node& a : group.children())
                if (localName(a) == "Alignment" && !readAlignment(a)) return false;
        }
        if (doc_.alignments.empty()) return fail(lineOf(root), "the file holds no Alignment");
        return true;
    }

private:
    // LandXML is UTF-8 here. A zero byte means UTF-16 (or a binary file): read as UTF-8 it would
    // silently lose every other character, so it is refused with the line it stands on.
    bool checkEncoding() {
        if (text_.rfind("\xFF\xFE", 0) == 0 || text_.rfind("\xFE\xFF", 0) == 0)
            return fail(1, "the file is UTF-16; LandXML is read as UTF-8 (save it as UTF-8)");
        const size_t zero = text_.find('\0');
        if (zero != std::string::npos)
            return fail(lineOf(zero),
                        "a zero byte: the file is not UTF-8 text (UTF-16 or binary data?)");
        return true;
    }

    int lineOf(size_t offset) const {
        return static_cast<int>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) -
                                lineStarts_.begin()) +
               1;
    }
    int lineOf(const pugi::xml_node& n) const {
        return lineOf(static_cast<size_t>(n.offset_debug()) + bomOffset_);
    }

    bool fail(int line, const std::string& message) {
        error_ = "line " + std::to_string(line) + ": " + message;
        return false;
    }
    bool fail(const pugi::xml_node& n, const std::string& message) {
        return fail(lineOf(n), localName(n) + ": " + message);
    }
    void warn(const pugi::xml_node& n, const std::string& message) {
        doc_.warnings.push_back("line " + std::to_string(lineOf(n)) + ": " + localName(n) + ": " +
                                message);
    }

    // A value of the file's unit, converted to metres and checked against its bounds.
    bool quantity(const pugi::xml_node& n, const std::string& field, const std::string& word,
                  Quantity q, double& v) {
        double raw = 0.0;
        if (!toNumber(trimmed(word), raw))
            return fail(n, field + " is not a finite number: '" + word + "'");
        v = toMetres(raw, doc_.unit);
        if (!withinBounds(v, q))
            return fail(n, field + " is " + trimmed(word) + " " + unitName(doc_.unit) + ": " +
                               boundText(q));
        return true;
    }

    // An attribute; kNone when it is absent and not required.
    bool attribute(const pugi::xml_node& n, const char* name, Quantity q, double& v,
                   bool required) {
        const pugi::xml_attribute a = n.attribute(name);
        if (!a) {
            v = kNone;
            if (required) return fail(n, std::string("attribute '") + name + "' is missing");
            return true;
        }
        return quantity(n, std::string("attribute '") + name + "'", a.value(), q, v);
    }

    // Radii of spirals: a number, or INF for a tangent.
    bool spiralRadius(const pugi::xml_node& n, const char* name, double& v) {
        const pugi::xml_attribute a = n.attribute(name);
        if (!a) return fail(n, std::string("attribute '") + name + "' is missing");
        const std::string s = trimmed(a.value());
        if (s == "INF" || s == "inf" || s == "Infinity" || s == "INFINITY") {
            v = kInfinite;
            return true;
        }
        // Some programs write a tangent end as 0 or as an enormous radius: both mean INF.
        double raw = 0.0;
        if (toNumber(s, raw) && (raw == 0.0 || std::fabs(toMetres(raw, doc_.unit)) > kMaxRadiusM)) {
            v = kInfinite;
            return true;
        }
        return attribute(n, name, Quantity::Radius, v, true);
    }

    bool rotation(const pugi::xml_node& n, bool& clockwise) {
        const std::string rot = trimmed(n.attribute("rot").value());
        if (rot == "cw")
            clockwise = true;
        else if (rot == "ccw")
            clockwise = false;
        else
            return fail(n, "attribute 'rot' must be cw or ccw, not '" + rot + "'");
        return true;
    }

    // "northing easting [elevation]"
    bool point(const pugi::xml_node& parent, const char* name, Point& p, bool required) {
        const pugi::xml_node n = childNamed(parent, name);
        if (!n) {
            if (required) return fail(parent, std::string("the element ") + name + " is missing");
            return true;
        }
        const std::vector<std::string> w = words(n.text().get());
        if (w.size() < 2 || w.size() > 3)
            return fail(n, "expected 'northing easting [elevation]', found '" +
                               std::string(n.text().get()) + "'");
        return quantity(n, "northing", w[0], Quantity::Coordinate, p.north) &&
               quantity(n, "easting", w[1], Quantity::Coordinate, p.east);
    }

    bool readUnits(const pugi::xml_node& root) {
        const pugi::xml_node units = childNamed(root, "Units");
        if (!units) return true;  // LandXML without units is in metres
        for (const pugi::xml_node& u : units.children()) {
            const std::string kind = localName(u);
            if (kind != "Metric" && kind != "Imperial") continue;
            const std::string lin = trimmed(u.attribute("linearUnit").value());
            if (lin == "meter" || (lin.empty() && kind == "Metric"))
                doc_.unit = LinearUnit::Meter;
            else if (lin == "USSurveyFoot")
                doc_.unit = LinearUnit::USSurveyFoot;
            else if (lin == "foot" || lin == "internationalFoot")
                doc_.unit = LinearUnit::InternationalFoot;
            else
                return fail(
                    u, "linear unit '" + lin + "' is not supported (meter, USSurveyFoot, foot)");
            return true;
        }
        return true;
    }

    bool readLine(const pugi::xml_node& n, HElement& e) {
        e.kind = HKind::Line;
        if (!point(n, "Start", e.start, true) || !point(n, "End", e.end, true)) return false;
        if (!attribute(n, "length", Quantity::Length, e.length, false)) return false;
        if (std::isnan(e.length)) {
            e.length = std::hypot(e.end.north - e.start.north, e.end.east - e.start.east);
            if (!withinBounds(e.length, Quantity::Length))
                return fail(
                    n, "Start and End give no length: " + std::string(boundText(Quantity::Length)));
        }
        return true;
    }

    // The swept angle from centre-to-start to centre-to-end in the turning direction.
    static double sweepOf(const HElement& e) {
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
    bool curveFromPoints(const pugi::xml_node& n, HElement& e, bool haveRot) {
        if (std::isnan(e.radius)) {
            const double r0 =
                std::hypot(e.start.north - e.center.north, e.start.east - e.center.east);
            const double r1 = std::hypot(e.end.north - e.center.north, e.end.east - e.center.east);
            // Points rounded in the file agree to their rounding, well within a millimetre.
            if (std::fabs(r0 - r1) > 1e-3 + 1e-9 * r0)
                return fail(n, "Start and End lie at different distances from Center (" +
                                   lengthText(r0) + " and " + lengthText(r1) + ")");
            e.radius = (r0 + r1) / 2.0;
            if (!withinBounds(e.radius, Quantity::Radius))
                return fail(
                    n, "the points give no radius: " + std::string(boundText(Quantity::Radius)));
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
                return fail(n, "Start, Center and End give an arc of " + lengthText(e.length) +
                                   ": " + boundText(Quantity::Length));
        }
        return true;
    }

    bool readCurve(const pugi::xml_node& n, HElement& e) {
        e.kind = HKind::Curve;
        const std::string type = trimmed(n.attribute("crvType").value());
        if (!type.empty() && type != "arc")
            return fail(n, "curve type '" + type + "' is not supported (only arc)");
        const bool haveRot = static_cast<bool>(n.attribute("rot"));
        if (haveRot && !rotation(n, e.clockwise)) return false;
        if (!attribute(n, "radius", Quantity::Radius, e.radius, false) ||
            !attribute(n, "length", Quantity::Length, e.length, false))
            return false;
        if (!point(n, "Start", e.start, false) || !point(n, "Center", e.center, false) ||
            !point(n, "End", e.end, false) || !point(n, "PI", e.pi, false))
            return false;
        const bool points = e.start.present() && e.center.present() && e.end.present();
        if (points) return curveFromPoints(n, e, haveRot);
        if (std::isnan(e.radius))
            return fail(n,
                        "attribute 'radius' is missing (and Start, Center, End are not all "
                        "given)");
        if (std::isnan(e.length))
            return fail(n,
                        "attribute 'length' is missing (and Start, Center, End are not all "
                        "given)");
        if (!haveRot) return fail(n, "attribute 'rot' is missing");
        return true;
    }

    bool readSpiral(const pugi::xml_node& n, HElement& e) {
        e.kind = HKind::Spiral;
        const std::string type = trimmed(n.attribute("spiType").value());
        if (!type.empty() && type != "clothoid")
            return fail(n, "spiral type '" + type + "' is not supported (only clothoid)");
        if (!rotation(n, e.clockwise) || !attribute(n, "length", Quantity::Length, e.length, true))
            return false;
        if (!spiralRadius(n, "radiusStart", e.radiusStart) ||
            !spiralRadius(n, "radiusEnd", e.radiusEnd))
            return false;
        if (std::isinf(e.radiusStart) && std::isinf(e.radiusEnd))
            return fail(n, "a spiral between two infinite radii is a line");
        if (e.radiusStart == e.radiusEnd) return fail(n, "a spiral between equal radii is an arc");
        // The whole clothoid runs from its tangent point (curvature 0) to the sharper end.
        const double k1 = 1.0 / e.radiusStart, k2 = 1.0 / e.radiusEnd;  // 0 for INF
        const double kMax = std::max(k1, k2), kMin = std::min(k1, k2);
        const double wholeLength = e.length * kMax / (kMax - kMin);
        const double turn = wholeLength * kMax / 2.0;
        if (!(turn <= above(kMaxSpiralTurnRad))) {
            char buf[240];
            std::snprintf(buf, sizeof buf,
                          "attributes 'length', 'radiusStart' and 'radiusEnd' give a clothoid "
                          "turning through %.3g rad from its tangent point over %.6g m: not a "
                          "road (a road spiral turns at most 4 pi, 12.57 rad)",
                          turn, wholeLength);
            return fail(n, buf);
        }
        return point(n, "Start", e.start, false) && point(n, "End", e.end, false) &&
               point(n, "PI", e.pi, false);
    }

    bool readCoordGeom(const pugi::xml_node& geom, Alignment& a) {
        for (const pugi::xml_node& n : geom.children()) {
            if (n.type() != pugi::node_element) continue;
            const std::string kind = localName(n);
            if (kind == "IrregularLine" || kind == "Chain")
                return fail(n, "this element is not supported (Line, Curve and Spiral are)");
            if (kind != "Line" && kind != "Curve" && kind != "Spiral") continue;  // Feature, ...
            HElement e;
            e.line = lineOf(n);
            if (!attribute(n, "staStart", Quantity::Station, e.staStart, false)) return false;
            bool ok = false;
            if (kind == "Line")
                ok = readLine(n, e);
            else if (kind == "Curve")
                ok = readCurve(n, e);
            else
                ok = readSpiral(n, e);
            if (!ok) return false;
            // Some programs write zero-length pieces between curves: nothing to build.
            if (e.length == 0.0) {
                warn(n, "zero length: skipped");
                continue;
            }
            a.elements.push_back(e);
        }
        if (a.elements.empty()) return fail(geom, "no Line, Curve or Spiral");
        return true;
    }

    bool stationAndElevation(const pugi::xml_node& n, Vip& v) {
        const std::vector<std::string> w = words(n.text().get());
        if (w.size() != 2)
            return fail(
                n, "expected 'station elevation', found '" + std::string(n.text().get()) + "'");
        return quantity(n, "station", w[0], Quantity::Station, v.station) &&
               quantity(n, "elevation", w[1], Quantity::Elevation, v.elevation);
    }

    // A circular vertical curve: some programs write crests with a negative radius. The
    // magnitude is the radius; the grades decide crest or sag, and a sign that says otherwise
    // is worth a warning (checked once the neighbours are known).
    bool circRadius(const pugi::xml_node& n, Vip& v, bool& negative) {
        const pugi::xml_attribute a = n.attribute("radius");
        if (!a) return fail(n, "attribute 'radius' is missing");
        double raw = 0.0;
        if (!toNumber(trimmed(a.value()), raw))
            return fail(
                n, std::string("attribute 'radius' is not a finite number: '") + a.value() + "'");
        negative = raw < 0.0;
        if (raw == 0.0) {  // written for a VIP without a curve
            v.curve = VCurve::None;
            v.radius = 0.0;
            return true;
        }
        v.radius = toMetres(std::fabs(raw), doc_.unit);
        if (!withinBounds(v.radius, Quantity::Radius))
            return fail(n, std::string("attribute 'radius' is ") + a.value() + " " +
                               unitName(doc_.unit) + ": " + boundText(Quantity::Radius));
        return true;
    }

    bool readVip(const pugi::xml_node& n, const std::string& kind, Vip& v, bool& negative) {
        v.line = lineOf(n);
        negative = false;
        if (kind == "ParaCurve") {
            v.curve = VCurve::Parabola;
            double len = 0.0;
            if (!attribute(n, "length", Quantity::Length, len, true)) return false;
            v.length = len;
        } else if (kind == "CircCurve") {
            v.curve = VCurve::Circle;
            if (!circRadius(n, v, negative)) return false;
        }
        return stationAndElevation(n, v);
    }

    std::string stationText(double m) const {
        StationStyle style;
        style.unit = doc_.unit;
        style.decimals = 3;
        return Stationing().text(m, style);
    }

    std::string lengthText(double m) const {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.4f %s", fromMetres(m, doc_.unit), unitSymbol(doc_.unit));
        return buf;
    }

    std::string describe(const Vip& v) const {
        const char* kind = v.curve == VCurve::Circle ? "CircCurve" : "ParaCurve";
        return std::string(kind) + " at line " + std::to_string(v.line) + " (VIP station " +
               stationText(v.station) + ")";
    }

    // Curves that reach past a neighbouring curve, or past the neighbouring VIP, give heights
    // that belong to no design: refused, naming both and the overlap. Touching within the
    // rounding of the unit conversion is not an overlap.
    bool checkCurves(const pugi::xml_node& prof, std::vector<Vip>& p,
                     const std::vector<bool>& negative) {
        const size_t n = p.size();
        std::vector<Extent> ext(n);
        for (size_t i = 0; i < n; ++i) {
            if (p[i].curve == VCurve::None) continue;
            if (i == 0 || i + 1 == n) {
                if (p[i].curve == VCurve::Parabola && p[i].length == 0.0) continue;
                return fail(prof, describe(p[i]) +
                                      ": a vertical curve at the first or last VIP has no grade "
                                      "on one side");
            }
            const double g1 =
                (p[i].elevation - p[i - 1].elevation) / (p[i].station - p[i - 1].station);
            const double g2 =
                (p[i + 1].elevation - p[i].elevation) / (p[i + 1].station - p[i].station);
            ext[i] = curveExtent(p[i], g1, g2);
            // A circle's length is its arc, from the radius and the change of grade angle.
            if (p[i].curve == VCurve::Circle)
                p[i].length = p[i].radius * std::fabs(std::atan(g2) - std::atan(g1));
            if (p[i].curve == VCurve::Circle && negative[i] && g2 > g1)
                doc_.warnings.push_back("line " + std::to_string(p[i].line) +
                                        ": CircCurve: the radius is negative (a crest) but the "
                                        "grades make a sag; the grades are followed");
        }
        for (size_t i = 0; i + 1 < n; ++i) {
            const double room = p[i + 1].station - p[i].station;
            const double used = ext[i].ahead + ext[i + 1].back;
            const double tolerance = 1e-6 + 1e-12 * std::fabs(p[i + 1].station);
            if (used <= room + tolerance) continue;
            const std::string overlap = lengthText(used - room);
            if (p[i].curve != VCurve::None && p[i + 1].curve != VCurve::None)
                return fail(prof, "the vertical curves " + describe(p[i]) + " and " +
                                      describe(p[i + 1]) + " overlap by " + overlap +
                                      "; heights from this profile would be wrong");
            const Vip& curve = p[i].curve != VCurve::None ? p[i] : p[i + 1];
            const Vip& other = p[i].curve != VCurve::None ? p[i + 1] : p[i];
            return fail(prof, "the vertical curve " + describe(curve) +
                                  " is longer than its tangent to the VIP at line " +
                                  std::to_string(other.line) + " (station " +
                                  stationText(other.station) + ") by " + overlap);
        }
        return true;
    }

    bool readProfile(const pugi::xml_node& profile, Alignment& a) {
        const pugi::xml_node prof = childNamed(profile, "ProfAlign");
        if (!prof) return true;  // ground profiles only: no design heights
        std::vector<Vip> vips;
        std::vector<bool> negative;
        for (const pugi::xml_node& n : prof.children()) {
            if (n.type() != pugi::node_element) continue;
            const std::string kind = localName(n);
            if (kind == "UnsymParaCurve")
                return fail(n,
                            "unsymmetric vertical curves are not supported (PVI, ParaCurve, "
                            "CircCurve are)");
            if (kind != "PVI" && kind != "ParaCurve" && kind != "CircCurve") continue;
            Vip v;
            bool neg = false;
            if (!readVip(n, kind, v, neg)) return false;
            if (!vips.empty() && v.station <= vips.back().station)
                return fail(n, "stations of a profile must increase");
            vips.push_back(v);
            negative.push_back(neg);
        }
        if (vips.size() == 1) return fail(prof, "a profile needs at least two points");
        if (!checkCurves(prof, vips, negative)) return false;
        a.profile = std::move(vips);
        return true;
    }

    bool readEquation(const pugi::xml_node& n, Alignment& a) {
        StaEquation e;
        e.line = lineOf(n);
        if (!attribute(n, "staInternal", Quantity::Station, e.staInternal, true) ||
            !attribute(n, "staAhead", Quantity::Station, e.staAhead, true) ||
            !attribute(n, "staBack", Quantity::Station, e.staBack, false))
            return false;
        a.equations.push_back(e);
        return true;
    }

    // The running chainage decides where each region's stations end; the file's staBack must
    // agree with it to the file's rounding.
    bool checkEquations(const pugi::xml_node& n, Alignment& a) {
        std::sort(a.equations.begin(), a.equations.end(),
                  [](const StaEquation& x, const StaEquation& y) {
                      return x.staInternal < y.staInternal;
                  });
        Stationing checked;
        std::string message;
        if (!checked.assign(a.staStart, a.equations, message)) return fail(n, message);
        double regionStart = a.staStart, regionStation = a.staStart;
        for (StaEquation& e : a.equations) {
            const double running = regionStation + (e.staInternal - regionStart);
            regionStart = e.staInternal;
            regionStation = e.staAhead;
            if (std::isnan(e.staBack)) {
                e.staBack = running;
            } else if (std::fabs(e.staBack - running) > 1e-3) {
                doc_.warnings.push_back(
                    "line " + std::to_string(e.line) + ": StaEquation: staBack " +
                    stationText(e.staBack) + " differs from the station the road behind reaches, " +
                    stationText(running) + "; stations follow the running chainage");
            }
        }
        return true;
    }

    bool readIncrement(const pugi::xml_node& n, Alignment& a) {
        const char* name = n.attribute("staIncrement") ? "staIncrement" : "staInc";
        double v = kNone;
        if (!attribute(n, name, Quantity::Length, v, false)) return false;
        if (v > 0.0) a.staIncrement = v;
        return true;
    }

    bool readAlignment(const pugi::xml_node& n) {
        Alignment a;
        a.line = lineOf(n);
        a.name = n.attribute("name").value();
        a.description = n.attribute("desc").value();
        if (!attribute(n, "staStart", Quantity::Station, a.staStart, false)) return false;
        if (std::isnan(a.staStart)) a.staStart = 0.0;  // older files start at 0
        bool haveGeometry = false;
        for (const pugi::xml_node& c : n.children()) {
            const std::string kind = localName(c);
            if (kind == "StaEquation") {
                if (!readEquation(c, a)) return false;
            } else if (kind == "StaIncrement") {
                if (!readIncrement(c, a)) return false;
            } else if (kind == "CoordGeom") {
                if (haveGeometry)
                    return fail(c, "an alignment with two CoordGeom is not supported");
                if (!readCoordGeom(c, a)) return false;
                haveGeometry = true;
            } else if (kind == "Profile") {
                if (!a.profile.empty()) continue;  // the first design profile is the road's
                if (!readProfile(c, a)) return false;
            }
        }
        if (!haveGeometry) return fail(n, "the alignment has no CoordGeom");
        if (!checkEquations(n, a)) return false;
        double total = 0.0;
        for (const HElement& e : a.elements)
            total += e.length;
        if (!(std::fabs(a.staStart + total) <= kMaxStationM))
            return fail(n, "the alignment ends beyond station 1e8 m");
        doc_.alignments.push_back(std::move(a));
        return true;
    }

    const std::string& text_;
    Document& doc_;
    std::string& error_;
    std::vector<size_t> lineStarts_;
    size_t bomOffset_ = 0;
};

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

AlignmentSummary summarize(const Alignment& alignment) {
    AlignmentSummary s;
    s.name = alignment.name;
    s.elements = static_cast<int>(alignment.elements.size());
    for (const HElement& e : alignment.elements)
        s.lengthM += e.length;
    s.startChainageM = alignment.staStart;
    s.endChainageM = alignment.staStart + s.lengthM;
    s.hasProfile = !alignment.profile.empty();
    return s;
}

bool parse(const std::string& text, Document& doc, std::string& error) {
    Document parsed;
    if (!Reader(text, parsed, error).run()) return false;
    doc = std::move(parsed);
    return true;
}

bool readFile(const std::string& path, Document& doc, std::string& error) {
    if (isDirectory(path)) {
        error = path + ": is a directory, not a LandXML file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the file: " + std::strerror(errno);
        return false;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot read the file";
        return false;
    }
    if (!parse(buf.str(), doc, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace zel_landxml
