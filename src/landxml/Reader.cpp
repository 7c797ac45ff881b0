#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <velmorutils/landxml/Model.h>

namespace zel_landxml {
namespace {

// Element names without a namespace prefix: exporters differ in how they write them.
std::string localName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

class Reader {
public:
    Reader(const std::string& text, Document& doc, std::string& error)
        : text_(text), doc_(doc), error_(error) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') lineStarts_.push_back(i + 1);
    }

    bool run() {
        pugi::xml_document xml;
        const pugi::xml_parse_result res = xml.load_buffer(text_.data(), text_.size());
        if (!res)
            return fail(lineOf(static_cast<size_t>(res.offset)),
                        "malformed XML: " + std::string(res.description()));
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
    int lineOf(size_t offset) const {
        return static_cast<int>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) -
                                lineStarts_.begin()) +
               1;
    }
    int lineOf(const pugi::xml_node& n) const {
        return lineOf(static_cast<size_t>(n.offset_debug()));
    }

    bool fail(int line, const std::string& message) {
        error_ = "line " + std::to_string(line) + ": " + message;
        return false;
    }
    bool fail(const pugi::xml_node& n, const std::string& message) {
        return fail(lineOf(n), localName(n) + ": " + message);
    }

    // A number that fills the whole text (surrounding blanks allowed).
    static bool toNumber(const char* s, double& v) {
        if (s == nullptr) return false;
        errno = 0;
        char* end = nullptr;
        v = std::strtod(s, &end);
        if (end == s || errno == ERANGE || !std::isfinite(v)) return false;
        while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
            ++end;
        return *end == '\0';
    }

    bool length(const pugi::xml_node& n, const char* attr, double& v, bool required) {
        const pugi::xml_attribute a = n.attribute(attr);
        if (!a) {
            if (required) return fail(n, std::string("attribute '") + attr + "' is missing");
            v = kNone;
            return true;
        }
        if (!toNumber(a.value(), v))
            return fail(
                n, std::string("attribute '") + attr + "' is not a number: '" + a.value() + "'");
        v = toMetres(v, doc_.unit);
        return true;
    }

    // Radii of spirals: a number or INF for a tangent.
    bool radius(const pugi::xml_node& n, const char* attr, double& v) {
        const pugi::xml_attribute a = n.attribute(attr);
        if (!a) return fail(n, std::string("attribute '") + attr + "' is missing");
        std::string s = a.value();
        s.erase(std::remove_if(s.begin(), s.end(), ::isspace), s.end());
        if (s == "INF" || s == "inf" || s == "Infinity") {
            v = kInfinite;
            return true;
        }
        if (!length(n, attr, v, true)) return false;
        if (v <= 0.0)
            return fail(n, std::string("attribute '") + attr + "' must be positive or INF");
        return true;
    }

    bool rotation(const pugi::xml_node& n, bool& clockwise) {
        const std::string rot = n.attribute("rot").value();
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
        const pugi::xml_node n = parent.child(name);
        if (!n) {
            if (required) return fail(parent, std::string("the element ") + name + " is missing");
            return true;
        }
        std::istringstream in(n.text().get());
        in.imbue(std::locale::classic());
        double north = 0, east = 0;
        if (!(in >> north >> east) || !std::isfinite(north) || !std::isfinite(east))
            return fail(n, "expected 'northing easting [elevation]', found '" +
                               std::string(n.text().get()) + "'");
        p.north = toMetres(north, doc_.unit);
        p.east = toMetres(east, doc_.unit);
        return true;
    }

    bool readUnits(const pugi::xml_node& root) {
        const pugi::xml_node units = root.child("Units");
        if (!units) return true;  // LandXML without units is in metres
        for (const pugi::xml_node& u : units.children()) {
            const std::string kind = localName(u);
            if (kind != "Metric" && kind != "Imperial") continue;
            const std::string lin = u.attribute("linearUnit").value();
            if (lin == "meter")
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
        if (!length(n, "length", e.length, false)) return false;
        if (!(e.length == e.length))
            e.length = std::hypot(e.end.north - e.start.north, e.end.east - e.start.east);
        if (e.length <= 0.0) return fail(n, "a line needs a positive length");
        return true;
    }

    bool readCurve(const pugi::xml_node& n, HElement& e) {
        e.kind = HKind::Curve;
        const pugi::xml_attribute type = n.attribute("crvType");
        if (type && std::string(type.value()) != "arc")
            return fail(
                n, std::string("curve type '") + type.value() + "' is not supported (only arc)");
        if (!rotation(n, e.clockwise) || !length(n, "radius", e.radius, true)) return false;
        if (e.radius <= 0.0) return fail(n, "attribute 'radius' must be positive");
        if (!point(n, "Start", e.start, false) || !point(n, "Center", e.center, false) ||
            !point(n, "End", e.end, false) || !point(n, "PI", e.pi, false))
            return false;
        if (!length(n, "length", e.length, false)) return false;
        if (!(e.length == e.length)) {
            if (!e.start.present() || !e.center.present() || !e.end.present())
                return fail(
                    n, "attribute 'length' is missing (and Start, Center, End are not all given)");
            e.length = arcLength(e);
        }
        if (e.length <= 0.0) return fail(n, "a curve needs a positive length");
        return true;
    }

    // The swept angle from centre-to-start to centre-to-end in the turning direction.
    static double arcLength(const HElement& e) {
        const double a0 = std::atan2(e.start.east - e.center.east, e.start.north - e.center.north);
        const double a1 = std::atan2(e.end.east - e.center.east, e.end.north - e.center.north);
        double sweep = e.clockwise ? a1 - a0 : a0 - a1;  // azimuths grow clockwise
        while (sweep <= 0.0)
            sweep += 2.0 * M_PI;
        return sweep * e.radius;
    }

    bool readSpiral(const pugi::xml_node& n, HElement& e) {
        e.kind = HKind::Spiral;
        const pugi::xml_attribute type = n.attribute("spiType");
        if (type && std::string(type.value()) != "clothoid")
            return fail(n, std::string("spiral type '") + type.value() +
                               "' is not supported (only clothoid)");
        if (!rotation(n, e.clockwise) || !length(n, "length", e.length, true)) return false;
        if (e.length <= 0.0) return fail(n, "attribute 'length' must be positive");
        if (!radius(n, "radiusStart", e.radiusStart) || !radius(n, "radiusEnd", e.radiusEnd))
            return false;
        if (std::isinf(e.radiusStart) && std::isinf(e.radiusEnd))
            return fail(n, "a spiral between two infinite radii is a line");
        if (e.radiusStart == e.radiusEnd) return fail(n, "a spiral between equal radii is an arc");
        return point(n, "Start", e.start, false) && point(n, "End", e.end, false) &&
               point(n, "PI", e.pi, false);
    }

    bool readCoordGeom(const pugi::xml_node& geom, Alignment& a) {
        for (const pugi::xml_node& n : geom.children()) {
            if (n.type() != pugi::node_element) continue;
            HElement e;
            e.line = lineOf(n);
            const std::string kind = localName(n);
            if (!length(n, "staStart", e.staStart, false)) return false;
            bool ok = false;
            if (kind == "Line")
                ok = readLine(n, e);
            else if (kind == "Curve")
                ok = readCurve(n, e);
            else if (kind == "Spiral")
                ok = readSpiral(n, e);
            else
                return fail(n, "this element is not supported (Line, Curve and Spiral are)");
            if (!ok) return false;
            a.elements.push_back(e);
        }
        if (a.elements.empty()) return fail(geom, "no Line, Curve or Spiral");
        return true;
    }

    bool stationAndElevation(const pugi::xml_node& n, Vip& v) {
        std::istringstream in(n.text().get());
        in.imbue(std::locale::classic());
        if (!(in >> v.station >> v.elevation) || !std::isfinite(v.station) ||
            !std::isfinite(v.elevation))
            return fail(
                n, "expected 'station elevation', found '" + std::string(n.text().get()) + "'");
        v.station = toMetres(v.station, doc_.unit);
        v.elevation = toMetres(v.elevation, doc_.unit);
        return true;
    }

    bool readProfile(const pugi::xml_node& profile, Alignment& a) {
        const pugi::xml_node prof = profile.child("ProfAlign");
        if (!prof) return true;  // ground profiles only: no design heights
        for (const pugi::xml_node& n : prof.children()) {
            if (n.type() != pugi::node_element) continue;
            const std::string kind = localName(n);
            Vip v;
            v.line = lineOf(n);
            if (kind == "PVI") {
                v.curve = VCurve::None;
            } else if (kind == "ParaCurve") {
                v.curve = VCurve::Parabola;
                if (!length(n, "length", v.length, true)) return false;
            } else if (kind == "CircCurve") {
                v.curve = VCurve::Circle;
                if (!length(n, "radius", v.radius, true) || !length(n, "length", v.length, false))
                    return false;
                if (!(v.length == v.length)) v.length = 0.0;
                if (v.radius <= 0.0) return fail(n, "attribute 'radius' must be positive");
            } else {
                return fail(
                    n, "this profile element is not supported (PVI, ParaCurve, CircCurve are)");
            }
            if (v.length < 0.0) return fail(n, "a vertical curve needs a non-negative length");
            if (!stationAndElevation(n, v)) return false;
            if (!a.profile.empty() && v.station <= a.profile.back().station)
                return fail(n, "stations of a profile must increase");
            a.profile.push_back(v);
        }
        if (a.profile.size() == 1) return fail(prof, "a profile needs at least two points");
        return true;
    }

    bool readAlignment(const pugi::xml_node& n) {
        Alignment a;
        a.line = lineOf(n);
        a.name = n.attribute("name").value();
        if (!length(n, "staStart", a.staStart, true)) return false;
        bool haveGeometry = false;
        for (const pugi::xml_node& c : n.children()) {
            const std::string kind = localName(c);
            if (kind == "StaEquation") return fail(c, "station equations are not supported");
            if (kind == "CoordGeom") {
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
        doc_.alignments.push_back(std::move(a));
        return true;
    }

    const std::string& text_;
    Document& doc_;
    std::string& error_;
    std::vector<size_t> lineStarts_;
};

}  // namespace

bool parse(const std::string& text, Document& doc, std::string& error) {
    Document parsed;
    if (!Reader(text, parsed, error).run()) return false;
    doc = std::move(parsed);
    return true;
}

bool readFile(const std::string& path, Document& doc, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the file";
        return false;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    if (!parse(buf.str(), doc, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace zel_landxml
