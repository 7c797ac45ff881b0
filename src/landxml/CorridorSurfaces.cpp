// TIN surfaces of a file as the library's CTinSurface: point ids (sparse, any order) become
// indexes, and a fault the library finds in a face is reported at that face's line.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <velmorutils/landxml/Corridor.h>

namespace zel_landxml {
namespace {

constexpr std::uint32_t kNoPoint = std::numeric_limits<std::uint32_t>::max();

// Point id to index: a table where the ids are dense enough, else a sorted search.
class IdIndex {
public:
    explicit IdIndex(const std::vector<std::int64_t>& ids) {
        if (ids.empty()) return;
        const auto [lo, hi] = std::minmax_element(ids.begin(), ids.end());
        first_ = *lo;
        const std::uint64_t span =
            static_cast<std::uint64_t>(*hi) - static_cast<std::uint64_t>(*lo);
        if (span < 4 * ids.size() + 1024) {
            table_.assign(span + 1, kNoPoint);
            for (std::size_t i = 0; i < ids.size(); ++i)
                table_[static_cast<std::uint64_t>(ids[i] - first_)] = static_cast<std::uint32_t>(i);
            return;
        }
        sorted_.reserve(ids.size());
        for (std::size_t i = 0; i < ids.size(); ++i)
            sorted_.emplace_back(ids[i], static_cast<std::uint32_t>(i));
        std::sort(sorted_.begin(), sorted_.end());
    }

    std::uint32_t find(std::int64_t id) const {
        if (!table_.empty()) {
            if (id < first_) return kNoPoint;
            const std::uint64_t k =
                static_cast<std::uint64_t>(id) - static_cast<std::uint64_t>(first_);
            return k < table_.size() ? table_[k] : kNoPoint;
        }
        const auto it =
            std::lower_bound(sorted_.begin(), sorted_.end(), std::make_pair(id, std::uint32_t{0}));
        return it != sorted_.end() && it->first == id ? it->second : kNoPoint;
    }

private:
    std::int64_t first_ = 0;
    std::vector<std::uint32_t> table_;
    std::vector<std::pair<std::int64_t, std::uint32_t>> sorted_;
};

std::string faceAt(const SurfaceRecord& s, std::size_t face) {
    return "line " + std::to_string(s.faceLines[face]) + ": F: ";
}

}  // namespace

bool buildTinSurface(const SurfaceRecord& surface, zel_math::CTinSurface& tin, std::string& error) {
    if (!surface.error.empty()) {
        error = surface.error;
        return false;
    }
    if (surface.points.size() >= kNoPoint) {
        error = "line " + std::to_string(surface.line) + ": Surface: too many points";
        return false;
    }
    const IdIndex index(surface.ids);
    std::vector<std::array<std::uint32_t, 3>> faces(surface.faces.size());
    for (std::size_t f = 0; f < surface.faces.size(); ++f)
        for (int k = 0; k < 3; ++k) {
            faces[f][k] = index.find(surface.faces[f][k]);
            if (faces[f][k] != kNoPoint) continue;
            error = faceAt(surface, f) + "corner " + std::to_string(k + 1) + " names point " +
                    std::to_string(surface.faces[f][k]) + ", which the surface '" + surface.name +
                    "' does not have";
            return false;
        }
    std::vector<zel_math::TTinVertex> vertices(surface.points.size());
    for (std::size_t i = 0; i < vertices.size(); ++i)
        vertices[i] = {surface.points[i].north, surface.points[i].east, surface.points[i].height};
    std::size_t bad = faces.size();
    std::string why;
    if (tin.build(std::move(vertices), std::move(faces), why, &bad)) return true;
    error =
        (bad < surface.faceLines.size() ? faceAt(surface, bad)
                                        : "line " + std::to_string(surface.line) + ": Surface: ") +
        "surface '" + surface.name + "': " + why;
    return false;
}

bool surfaceByName(const Document& doc, const std::string& name,
                   std::shared_ptr<const zel_math::CTinSurface>& tin, std::string& error) {
    const std::string file = doc.path.empty() ? "" : doc.path + ": ";
    std::string names;
    const SurfaceRecord* found = nullptr;
    for (const SurfaceRecord& s : doc.surfaces) {
        names += (names.empty() ? "'" : ", '") + s.name + "'";
        if (s.name == name || (name.empty() && doc.surfaces.size() == 1)) found = &s;
    }
    if (found == nullptr) {
        error = file + (doc.surfaces.empty() ? "the file holds no TIN surface"
                        : name.empty()
                            ? "the file holds several surfaces (" + names + "): choose one by name"
                            : "no surface named '" + name +
                                  "'; the file's "
                                  "surfaces are " +
                                  names);
        return false;
    }
    auto built = std::make_shared<zel_math::CTinSurface>();
    if (!buildTinSurface(*found, *built, error)) {
        error = file + error;
        return false;
    }
    tin = std::move(built);
    return true;
}

}  // namespace zel_landxml
