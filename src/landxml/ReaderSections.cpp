// Cross sections of an alignment: CrossSects/CrossSect with DesignCrossSectSurf (CrossSectPnt
// "offset elevation", a code as attribute or in a Feature) and CrossSectSurf (PntList2D).

#include <cmath>
#include <string>

#include "landxml/ReaderCorridor.h"
#include "landxml/ReaderGeometry.h"

namespace zel_landxml::reader_corridor {
namespace {

using reader_text::childNamed;
using reader_text::localName;
using reader_text::trimmed;
using reader_text::WordCursor;
using zel_math::Quantity;

bool isCodeLabel(const std::string& label) {
    return label == "code" || label == "Code" || label == "CODE" || label == "pointCode" ||
           label == "featureCode" || label == "PointCode";
}

// The code of a point: its code attribute, else what a Feature child carries (its code
// attribute, a Property labelled as a code, else its name).
std::string pointCode(const pugi::xml_node& pnt) {
    const std::string own = trimmed(pnt.attribute("code").value());
    if (!own.empty()) return own;
    for (const pugi::xml_node& f : pnt.children()) {
        if (localName(f) != "Feature") continue;
        const std::string code = trimmed(f.attribute("code").value());
        if (!code.empty()) return code;
        for (const pugi::xml_node& p : f.children())
            if (localName(p) == "Property" && isCodeLabel(trimmed(p.attribute("label").value())))
                return trimmed(p.attribute("value").value());
        const std::string name = trimmed(f.attribute("name").value());
        if (!name.empty()) return name;
    }
    return "";
}

// "offset elevation": exactly two numbers.
bool readPoint(const pugi::xml_node& pnt, const ReadContext& c, SectionPointRecord& p,
               std::string& error) {
    const std::string text = pnt.text().get();
    WordCursor w(text.c_str());
    double offset = 0.0, elevation = 0.0;
    if (!w.number(offset) || !w.number(elevation) || !w.atEnd())
        return c.fail(
            pnt, "expected 'offset elevation' (two numbers), found '" + trimmed(text) + "'", error);
    p.line = c.lineOf(pnt);
    p.code = pointCode(pnt);
    return c.quantityOf(pnt, "offset", offset, Quantity::Coordinate, p.offset, error) &&
           c.quantityOf(pnt, "elevation", elevation, Quantity::Elevation, p.elevation, error);
}

// A course written as a closed polygon repeats its first point at the end.
void markClosed(SectionSurfaceRecord& s) {
    const auto& p = s.points;
    s.closed = p.size() > 3 && p.front().offset == p.back().offset &&
               p.front().elevation == p.back().elevation;
}

bool readDesignSurf(const pugi::xml_node& n, const ReadContext& c, SectionSurfaceRecord& s,
                    std::string& error) {
    for (const pugi::xml_node& pnt : n.children()) {
        if (localName(pnt) != "CrossSectPnt") continue;
        SectionPointRecord p;
        if (!readPoint(pnt, c, p, error)) return false;
        s.points.push_back(std::move(p));
    }
    return true;
}

// PntList2D: offset, elevation pairs.
bool readSurf(const pugi::xml_node& n, const ReadContext& c, SectionSurfaceRecord& s,
              std::string& error) {
    const pugi::xml_node list = childNamed(n, "PntList2D");
    if (!list) return true;
    const std::string text = list.text().get();
    WordCursor w(text.c_str());
    const int line = c.lineOf(list);
    for (int k = 1; !w.atEnd(); ++k) {
        SectionPointRecord p;
        double offset = 0.0, elevation = 0.0;
        if (!w.number(offset) || !w.number(elevation))
            return c.fail(list,
                          "pair " + std::to_string(k) +
                              ": expected 'offset elevation' (two "
                              "numbers), found '" +
                              w.word() + "'",
                          error);
        const std::string field = "pair " + std::to_string(k);
        if (!c.quantityOf(list, field + " offset", offset, Quantity::Coordinate, p.offset, error) ||
            !c.quantityOf(list, field + " elevation", elevation, Quantity::Elevation, p.elevation,
                          error))
            return false;
        p.line = line;
        s.points.push_back(std::move(p));
    }
    return true;
}

bool readSurface(const pugi::xml_node& n, const ReadContext& c, CrossSectRecord& section,
                 std::string& error) {
    const std::string kind = localName(n);
    if (kind != "DesignCrossSectSurf" && kind != "CrossSectSurf") return true;
    SectionSurfaceRecord s;
    s.name = trimmed(n.attribute("name").value());
    s.side = trimmed(n.attribute("side").value());
    s.line = c.lineOf(n);
    s.element = kind == "DesignCrossSectSurf" ? SectionElement::Design : SectionElement::Surface;
    const bool ok = s.element == SectionElement::Design ? readDesignSurf(n, c, s, error)
                                                        : readSurf(n, c, s, error);
    if (!ok) return false;
    markClosed(s);
    if (!s.points.empty()) section.surfaces.push_back(std::move(s));
    return true;
}

bool readSection(const pugi::xml_node& n, const ReadContext& c, Alignment& a, std::string& error) {
    CrossSectRecord section;
    section.line = c.lineOf(n);
    section.name = trimmed(n.attribute("name").value());
    const pugi::xml_attribute sta = n.attribute("sta");
    if (!sta) return c.fail(n, "attribute 'sta' is missing", error);
    if (!c.quantity(n, "attribute 'sta'", sta.value(), Quantity::Station, section.station, error))
        return false;
    if (!a.sections.empty() && !(section.station > a.sections.back().station))
        return c.fail(n,
                      "attribute 'sta' " + trimmed(sta.value()) + " " + unitName(c.unit()) +
                          " does not follow the section before it (line " +
                          std::to_string(a.sections.back().line) + ", " +
                          reader_geometry::lengthText(a.sections.back().station, c.unit()) +
                          "): sections must stand in increasing station",
                      error);
    for (const pugi::xml_node& s : n.children())
        if (!readSurface(s, c, section, error)) return false;
    a.sections.push_back(std::move(section));
    return true;
}

}  // namespace

void readCrossSects(const pugi::xml_node& crossSects, const ReadContext& c, Alignment& a) {
    if (!a.sectionsError.empty()) return;
    for (const pugi::xml_node& n : crossSects.children()) {
        if (localName(n) != "CrossSect") continue;
        std::string error;
        if (readSection(n, c, a, error)) continue;
        a.sectionsError = error;
        a.sections.clear();
        return;
    }
}

}  // namespace zel_landxml::reader_corridor
