// TIN surfaces: Surfaces/Surface/Definition surfType="TIN" with Pnts (P id "northing easting
// elevation") and Faces (F "id id id"). Surfaces of a million triangles are read here, so the
// numbers are taken from the text without copies and each line is found by walking forward.

#include <algorithm>
#include <string>

#include "landxml/ReaderCorridor.h"

namespace zel_landxml::reader_corridor {
namespace {

using reader_text::childNamed;
using reader_text::isNamed;
using reader_text::localName;
using reader_text::trimmed;
using reader_text::WordCursor;
using zel_math::Quantity;

bool readPoint(const pugi::xml_node& p, const ReadContext& c, SurfaceRecord& s,
               std::string& error) {
    std::int64_t id = 0;
    const char* idText = p.attribute("id").value();
    WordCursor idWord(idText);
    if (!idWord.integer(id) || !idWord.atEnd())
        return c.fail(p, std::string("attribute 'id' is not a whole number: '") + idText + "'",
                      error);
    WordCursor w(p.text().get());
    double v[3] = {0.0, 0.0, 0.0};
    if (!w.number(v[0]) || !w.number(v[1]) || !w.number(v[2]) || !w.atEnd())
        return c.fail(
            p, "expected 'northing easting elevation', found '" + trimmed(p.text().get()) + "'",
            error);
    SurfacePointRecord r;
    if (!c.quantityOf(p, "northing", v[0], Quantity::Coordinate, r.north, error) ||
        !c.quantityOf(p, "easting", v[1], Quantity::Coordinate, r.east, error) ||
        !c.quantityOf(p, "elevation", v[2], Quantity::Elevation, r.height, error))
        return false;
    s.ids.push_back(id);
    s.points.push_back(r);
    return true;
}

bool readFace(const pugi::xml_node& f, const ReadContext& c, int line, SurfaceRecord& s,
              std::string& error) {
    const char* invisible = f.attribute("i").value();
    if (invisible[0] == '1' && invisible[1] == '\0') return true;  // a hole or the outside
    WordCursor w(f.text().get());
    std::array<std::int64_t, 3> ids{};
    if (!w.integer(ids[0]) || !w.integer(ids[1]) || !w.integer(ids[2]) || !w.atEnd())
        return c.fail(
            f, "expected three point ids 'id id id', found '" + trimmed(f.text().get()) + "'",
            error);
    s.faces.push_back(ids);
    s.faceLines.push_back(line);
    return true;
}

bool readDefinition(const pugi::xml_node& def, const ReadContext& c, SurfaceRecord& s,
                    std::string& error) {
    ReadContext::LineWalker lines(c);
    for (const pugi::xml_node& group : def.children()) {
        const std::string kind = localName(group);
        if (kind == "Pnts") {
            for (const pugi::xml_node& p : group.children())
                if (isNamed(p, "P") && !readPoint(p, c, s, error)) return false;
        } else if (kind == "Faces") {
            for (const pugi::xml_node& f : group.children())
                if (isNamed(f, "F") && !readFace(f, c, lines.lineOf(f), s, error)) return false;
        }
    }
    // Ids that repeat would make a face ambiguous.
    std::vector<std::int64_t> sorted = s.ids;
    std::sort(sorted.begin(), sorted.end());
    const auto twice = std::adjacent_find(sorted.begin(), sorted.end());
    if (twice != sorted.end())
        return c.fail(def, "point id " + std::to_string(*twice) + " is given twice", error);
    return true;
}

void readSurface(const pugi::xml_node& n, const ReadContext& c, Document& doc) {
    const pugi::xml_node def = childNamed(n, "Definition");
    if (!def) return;  // watersheds, volumes: no terrain
    const std::string type = trimmed(def.attribute("surfType").value());
    if (!type.empty() && type != "TIN" && type != "tin") return;
    SurfaceRecord s;
    s.name = trimmed(n.attribute("name").value());
    if (s.name.empty()) s.name = "surface " + std::to_string(doc.surfaces.size() + 1);
    s.line = c.lineOf(n);
    std::string error;
    if (!readDefinition(def, c, s, error)) {
        s = SurfaceRecord{s.name, s.line, {}, {}, {}, {}, error};
    }
    doc.surfaces.push_back(std::move(s));
}

}  // namespace

void readSurfaces(const pugi::xml_node& surfaces, const ReadContext& c, Document& doc) {
    for (const pugi::xml_node& n : surfaces.children())
        if (localName(n) == "Surface") readSurface(n, c, doc);
}

}  // namespace zel_landxml::reader_corridor

namespace zel_landxml {

SurfaceSummary summarizeSurface(const SurfaceRecord& surface) {
    SurfaceSummary s;
    s.points = surface.points.size();
    s.faces = surface.faces.size();
    std::vector<std::pair<std::int64_t, std::size_t>> index;
    index.reserve(surface.ids.size());
    for (std::size_t i = 0; i < surface.ids.size(); ++i)
        index.emplace_back(surface.ids[i], i);
    std::sort(index.begin(), index.end());
    for (const auto& face : surface.faces)
        for (const std::int64_t id : face) {
            const auto it =
                std::lower_bound(index.begin(), index.end(), std::make_pair(id, std::size_t{0}));
            if (it == index.end() || it->first != id) continue;
            const SurfacePointRecord& p = surface.points[it->second];
            if (s.empty) {
                s.minNorth = s.maxNorth = p.north;
                s.minEast = s.maxEast = p.east;
                s.minHeight = s.maxHeight = p.height;
                s.empty = false;
            }
            s.minNorth = std::min(s.minNorth, p.north);
            s.maxNorth = std::max(s.maxNorth, p.north);
            s.minEast = std::min(s.minEast, p.east);
            s.maxEast = std::max(s.maxEast, p.east);
            s.minHeight = std::min(s.minHeight, p.height);
            s.maxHeight = std::max(s.maxHeight, p.height);
        }
    return s;
}

}  // namespace zel_landxml
