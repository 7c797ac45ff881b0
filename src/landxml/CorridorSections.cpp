// A file's cross sections as the library's section sets: which surfaces are the design and which
// the ground, whether their heights are absolute or relative to the profile, and the finished
// surface of each section as the upper boundary of its design surfaces.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "landxml/CorridorParts.h"

namespace zel_landxml::corridor_parts {
namespace {

using zel_math::TSectionPoint;

std::string elementName(SectionElement e) {
    return e == SectionElement::Design ? "DesignCrossSectSurf" : "CrossSectSurf";
}

std::string lower(std::string s) {
    for (char& ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// Names under which exporters write the existing ground.
bool groundLike(const std::string& name) {
    const std::string n = lower(name);
    for (const char* exact : {"eg", "og", "ogl", "ng", "ngl", "egl"})
        if (n == exact) return true;
    for (const char* part : {"ground", "existing", "natural", "original", "terrain", "terreno",
                             "gelände", "gelande", "urgelände"})
        if (n.find(part) != std::string::npos) return true;
    return false;
}

std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        std::string name = list.substr(start, comma - start);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        if (!name.empty()) out.push_back(name);
        start = comma + 1;
    }
    return out;
}

struct Key {
    SectionElement element;
    std::string name;
};

std::vector<Key> surfaceKeys(const Alignment& a) {
    std::vector<Key> keys;
    for (const CrossSectRecord& s : a.sections)
        for (const SectionSurfaceRecord& f : s.surfaces) {
            const bool known = std::any_of(keys.begin(), keys.end(), [&](const Key& k) {
                return k.element == f.element && k.name == f.name;
            });
            if (!known) keys.push_back({f.element, f.name});
        }
    return keys;
}

std::string keyText(const Key& k) {
    return elementName(k.element) + " '" + k.name + "'";
}

std::string keysText(const std::vector<Key>& keys) {
    std::string out;
    for (const Key& k : keys)
        out += (out.empty() ? "" : ", ") + keyText(k);
    return out;
}

bool hasName(const std::vector<Key>& keys, const std::string& name) {
    return std::any_of(keys.begin(), keys.end(), [&](const Key& k) { return k.name == name; });
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The ground when the options name none: a CrossSectSurf named as ground, else the one
// CrossSectSurf beside design surfaces that came by their element.
void autoGround(const std::vector<Key>& keys, SectionChoice& choice, bool designByElement,
                std::vector<std::string>& notes) {
    std::vector<std::string> named, others;
    for (const Key& k : keys) {
        if (k.element != SectionElement::Surface || contains(choice.design, k.name)) continue;
        (groundLike(k.name) ? named : others).push_back(k.name);
    }
    if (named.size() == 1) {
        choice.ground = named.front();
    } else if (named.empty() && others.size() == 1 && designByElement) {
        choice.ground = others.front();
    } else if (named.size() + others.size() > 0) {
        notes.push_back(
            "sections: no ground section taken: several CrossSectSurf could be the "
            "ground; choose one by name (groundSection)");
        return;
    } else {
        return;
    }
    choice.hasGround = true;
}

}  // namespace

bool chooseSectionSurfaces(const Alignment& a, const CorridorOptions& o, SectionChoice& choice,
                           std::vector<std::string>& notes, std::string& error) {
    const std::vector<Key> keys = surfaceKeys(a);
    for (const std::string& name : splitNames(o.sectionSurface + "," + o.groundSection))
        if (!hasName(keys, name)) {
            error = "alignment '" + a.name + "' has no section surface named '" + name +
                    "'; its section surfaces are " + (keys.empty() ? "none" : keysText(keys));
            return false;
        }
    choice = SectionChoice{};
    choice.design = splitNames(o.sectionSurface);
    bool byElement = false;
    if (choice.design.empty()) {
        for (const Key& k : keys)
            if (k.element == SectionElement::Design && !contains(choice.design, k.name))
                choice.design.push_back(k.name);
        byElement = !choice.design.empty();
        if (!byElement)
            for (const Key& k : keys)
                if (!groundLike(k.name) && k.name != o.groundSection &&
                    !contains(choice.design, k.name))
                    choice.design.push_back(k.name);
    }
    if (!o.groundSection.empty()) {
        choice.ground = o.groundSection;
        choice.hasGround = true;
        choice.design.erase(std::remove(choice.design.begin(), choice.design.end(), choice.ground),
                            choice.design.end());
    } else {
        autoGround(keys, choice, byElement, notes);
    }
    std::string design;
    for (const Key& k : keys)
        if (contains(choice.design, k.name)) design += (design.empty() ? "" : ", ") + keyText(k);
    notes.push_back("sections: design from " + (design.empty() ? "no surface" : design) +
                    " (their upper boundary)" +
                    (choice.hasGround ? "; ground from '" + choice.ground + "'" : "; no ground"));
    return true;
}

// The points of one surface, left to right: a left side written with positive offsets is turned
// over (some writers give the side and the offset's magnitude).
std::vector<TSectionPoint> surfacePoints(const SectionSurfaceRecord& s, bool& turned) {
    std::vector<TSectionPoint> out;
    out.reserve(s.points.size());
    bool allPositive = true, anyPositive = false;
    for (const SectionPointRecord& p : s.points) {
        allPositive = allPositive && p.offset >= 0.0;
        anyPositive = anyPositive || p.offset > 0.0;
        out.push_back({p.offset, p.elevation, p.code});
    }
    turned = lower(s.side) == "left" && allPositive && anyPositive;
    if (turned)
        for (TSectionPoint& p : out)
            p.offset = -p.offset;
    return out;
}

}  // namespace zel_landxml::corridor_parts
