#include <sys/stat.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/ProfileCheck.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntValidity.h>
#include <velmorutils/zelmath/curves/CCurveSpiralTStoSC.h>

#include "landxml/CoordinateSystemXml.h"
#include "landxml/ReaderCorridor.h"
#include "landxml/ReaderGeometry.h"
#include "landxml/ReaderText.h"

namespace zel_landxml {
namespace {

using reader_geometry::checkEndStation;
using reader_geometry::lineFromPoints;
using reader_text::childNamed;
using reader_text::localName;
using reader_text::toNumber;
using reader_text::trimmed;
using reader_text::words;
using zel_math::boundText;
using zel_math::Quantity;
using zel_math::withinBounds;

// One unit of the last decimal written in a number's text ("12.345" 0.001, "1.25e3" 10), in the
// text's unit; 0 for a whole number ("400"): a station written without decimals is exact.
double stepOf(const std::string& word) {
    const size_t e = word.find_first_of("eE");
    const std::string mantissa = word.substr(0, e);
    const size_t dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
    if (decimals == 0) return 0.0;
    const int exponent = e == std::string::npos ? 0 : std::atoi(word.c_str() + e + 1);
    return std::pow(10.0, exponent - decimals);
}

class Reader {
public:
    Reader(std::string& text, Document& doc, std::string& error, bool surfacesOnly)
        : text_(text),
          doc_(doc),
          error_(error),
          surfacesOnly_(surfacesOnly),
          context_(text, 0, LinearUnit::Meter, doc.warnings) {}

    bool run() {
        if (!checkEncoding()) return false;
        pugi::xml_document xml;
        const size_t bom = text_.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
        // In place: the text of a large surface is not copied again.
        const pugi::xml_parse_result res = xml.load_buffer_inplace(
            text_.data() + bom, text_.size() - bom, pugi::parse_default, pugi::encoding_utf8);
        if (!res)
            return fail(lineOf(static_cast<size_t>(res.offset) + bom),
                        "malformed XML: " + std::string(res.description()));
        bomOffset_ = bom;
        context_.setBomOffset(bom);
        const pugi::xml_node root = xml.document_element();
        if (localName(root) != "LandXML")
            return fail(lineOf(root), "the root element is not LandXML");
        if (!readUnits(root)) return false;
        context_.setUnit(doc_.unit);
        if (const pugi::xml_node cs = childNamed(root, "CoordinateSystem"))
            doc_.coordinateSystem = coordinate_system_xml::read(cs, lineOf(cs));
        bool any = false;
        for (const pugi::xml_node& group : root.children()) {
            if (localName(group) == "Surfaces")
                reader_corridor::readSurfaces(group, context_, doc_);
            if (surfacesOnly_ || localName(group) != "Alignments") continue;
            for (const pugi::xml_node& a : group.children()) {
                if (localName(a) != "Alignment") continue;
                any = true;
                readOrRefuse(a);
            }
        }
        if (surfacesOnly_) return true;
        if (!any) return fail(lineOf(root), "the file holds no Alignment");
        return true;
    }

private:
    // A fault of one alignment is its own: it is refused with its message, and what it had
    // added to the warnings goes with it.
    void readOrRefuse(const pugi::xml_node& a) {
        const size_t warnings = doc_.warnings.size();
        if (readAlignment(a)) return;
        doc_.warnings.resize(warnings);
        doc_.refused.push_back({a.attribute("name").value(), lineOf(a), error_});
        error_.clear();
    }

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

    int lineOf(size_t offset) const { return context_.lineOfOffset(offset); }
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
        std::string message;
        if (!lineFromPoints(e, message)) return fail(n, message);
        return true;
    }

    bool curveFromPoints(const pugi::xml_node& n, HElement& e, bool haveRot) {
        std::string message;
        if (!reader_geometry::curveFromPoints(e, haveRot, doc_.unit, message))
            return fail(n, message);
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
        // The library's rule, as every door that builds an alignment applies it.
        const zel_math::Verdict spiral =
            zel_math::checkSpiral(e.length, e.radiusStart, e.radiusEnd, doc_.unit);
        if (!spiral) return fail(n, spiral.message);
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
        v.writtenStep = std::max(v.writtenStep, toMetres(stepOf(trimmed(w[0])), doc_.unit));
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
            v.writtenStep = toMetres(stepOf(trimmed(n.attribute("length").value())), doc_.unit);
        } else if (kind == "CircCurve") {
            v.curve = VCurve::Circle;
            if (!circRadius(n, v, negative)) return false;
        }
        return stationAndElevation(n, v);
    }

    std::string lengthText(double m) const { return reader_geometry::lengthText(m, doc_.unit); }

    // One design profile (ProfAlign); its name, else its Profile's, else its number.
    bool readProfAlign(const pugi::xml_node& prof, const std::string& fallback, Alignment& a) {
        Profile profile;
        profile.line = lineOf(prof);
        profile.name = trimmed(prof.attribute("name").value());
        if (profile.name.empty()) profile.name = fallback;
        if (profile.name.empty()) profile.name = "profile " + std::to_string(a.profiles.size() + 1);
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
            profile.vips.push_back(v);
            negative.push_back(neg);
        }
        if (profile.vips.empty()) return true;
        std::string message;
        if (!checkProfile(profile.vips, negative, doc_.unit, doc_.warnings, message))
            return fail(prof, message);
        a.profiles.push_back(std::move(profile));
        return true;
    }

    // Every design profile of the Profile element; ground profiles (ProfSurf) have no design
    // heights.
    bool readProfile(const pugi::xml_node& profile, Alignment& a) {
        const std::string name = trimmed(profile.attribute("name").value());
        for (const pugi::xml_node& prof : profile.children())
            if (localName(prof) == "ProfAlign" && !readProfAlign(prof, name, a)) return false;
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
                if (!readProfile(c, a)) return false;
            } else if (kind == "CrossSects") {
                reader_corridor::readCrossSects(c, context_, a);
            } else if (kind == "Superelevation") {
                reader_corridor::readSuperelevation(c, context_, a);
            }
        }
        if (!haveGeometry) return fail(n, "the alignment has no CoordGeom");
        if (!a.profiles.empty()) a.profile = a.profiles.front().vips;
        double total = 0.0;
        for (const HElement& e : a.elements)
            total += e.length;
        std::string message;
        if (!checkEndStation(a, total, message)) return fail(n, message);
        if (!checkEquations(a.staStart, a.staStart + total, a.equations, doc_.unit, doc_.warnings,
                            message)) {
            error_ = message;
            return false;
        }
        return checkDeclaredLength(n, total) && (doc_.alignments.push_back(std::move(a)), true);
    }

    // Some programs leave out an element but still declare the whole length.
    bool checkDeclaredLength(const pugi::xml_node& n, double total) {
        double declared = kNone;
        // A whole road may be longer than one element may be: it is bounded like its stations.
        if (!attribute(n, "length", Quantity::Station, declared, false)) return false;
        if (std::fabs(declared - total) > kEndWarningM)
            warn(n, "the declared length " + lengthText(declared) +
                        " differs from the sum of the elements' lengths " + lengthText(total) +
                        " (an element missing?)");
        return true;
    }

    std::string& text_;
    Document& doc_;
    std::string& error_;
    size_t bomOffset_ = 0;
    bool surfacesOnly_ = false;
    reader_text::ReadContext context_;
};

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The whole file as it is, in one piece (a surface of a million triangles is read once, not
// copied through a stream).
bool readWhole(const std::string& path, std::string& text, std::string& error) {
    if (isDirectory(path)) {
        error = path + ": is a directory, not a LandXML file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the file: " + std::strerror(errno);
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0) {
        error = path + ": cannot read the file";
        return false;
    }
    text.resize(static_cast<size_t>(size));
    in.read(text.data(), size);
    if (in.gcount() != size) {
        error = path + ": cannot read the file";
        return false;
    }
    return true;
}

// The text is parsed in place (and left changed).
bool parseOwned(std::string& text, Document& doc, std::string& error, bool surfacesOnly) {
    return Reader(text, doc, error, surfacesOnly).run();
}

// A file whose every alignment is refused fails with each one's reason.
bool noneRefused(const Document& parsed, std::string& error) {
    if (!parsed.alignments.empty()) return true;
    error.clear();
    for (const RefusedAlignment& r : parsed.refused)
        error += parsed.refused.size() == 1
                     ? r.message
                     : (error.empty() ? "" : "; ") + ("alignment '" + r.name + "': " + r.message);
    return false;
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

bool parseKeepingRefused(const std::string& text, Document& doc, std::string& error) {
    std::string copy = text;
    Document parsed;
    if (!parseOwned(copy, parsed, error, false)) return false;
    doc = std::move(parsed);
    return true;
}

bool parse(const std::string& text, Document& doc, std::string& error) {
    Document parsed;
    if (!parseKeepingRefused(text, parsed, error) || !noneRefused(parsed, error)) return false;
    doc = std::move(parsed);
    return true;
}

bool useProfile(Alignment& alignment, const std::string& name, std::string& error) {
    std::string names;
    for (const Profile& p : alignment.profiles) {
        if (p.name == name) {
            alignment.profile = p.vips;
            return true;
        }
        names += (names.empty() ? "'" : ", '") + p.name + "'";
    }
    error = "alignment '" + alignment.name + "' has no profile named '" + name + "'" +
            (names.empty() ? " (it has none)" : "; its profiles are " + names);
    return false;
}

bool readFile(const std::string& path, Document& doc, std::string& error) {
    std::string text;
    if (!readWhole(path, text, error)) return false;
    Document parsed;
    if (!parseOwned(text, parsed, error, false) || !noneRefused(parsed, error)) {
        error = path + ": " + error;
        return false;
    }
    parsed.path = path;
    doc = std::move(parsed);
    return true;
}

bool readSurfaceFile(const std::string& path, Document& doc, std::string& error) {
    std::string text;
    if (!readWhole(path, text, error)) return false;
    Document parsed;
    if (!parseOwned(text, parsed, error, true)) {
        error = path + ": " + error;
        return false;
    }
    if (parsed.surfaces.empty()) {
        error = path + ": the file holds no TIN surface (Surfaces/Surface/Definition)";
        return false;
    }
    parsed.path = path;
    doc = std::move(parsed);
    return true;
}

}  // namespace zel_landxml
