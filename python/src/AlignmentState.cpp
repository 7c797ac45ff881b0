#include "AlignmentState.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Stationing.h>

#include "RoadBuilder.h"
#include "RoadCorridor.h"

namespace pyvelmor {
namespace {

// The records are the host's doubles as they are; every host this module builds on stores them
// little-endian, which is what the pickle says they are.
static_assert(std::endian::native == std::endian::little, "pickled records are little-endian");

constexpr std::size_t kPlanFields = 15;
constexpr std::size_t kVipFields = 6;
constexpr std::size_t kEquationFields = 3;
constexpr std::size_t kCallFields = 6;

py::bytes packed(const std::vector<double>& v) {
    std::string raw(v.size() * sizeof(double), '\0');
    if (!v.empty()) std::memcpy(raw.data(), v.data(), raw.size());
    return py::bytes(raw);
}

// The doubles of a part: a head of `head` values, then whole records of `fields` values.
std::vector<double> unpacked(const py::handle& part, const std::string& tag, std::size_t head,
                             std::size_t fields) {
    if (!py::isinstance<py::bytes>(part))
        throw py::value_error("Alignment state: part '" + tag + "' is not bytes");
    const std::string raw = part.cast<std::string>();
    const std::size_t count = raw.size() / sizeof(double);
    if (raw.size() % sizeof(double) != 0 || count < head || (count - head) % fields != 0)
        throw py::value_error("Alignment state: part '" + tag + "' holds " +
                              std::to_string(raw.size()) + " bytes, not whole records");
    std::vector<double> v(count);
    if (count > 0) std::memcpy(v.data(), raw.data(), raw.size());
    return v;
}

void putPoint(std::vector<double>& v, const zel_landxml::Point& p) {
    v.push_back(p.north);
    v.push_back(p.east);
}

zel_landxml::Point point(const double* r) {
    return {r[0], r[1]};
}

py::tuple landxmlParts(const zel_landxml::Alignment& m) {
    std::vector<double> plan = {m.staStart, m.staIncrement};
    for (const zel_landxml::HElement& e : m.elements) {
        plan.insert(plan.end(), {static_cast<double>(e.kind), e.staStart, e.length,
                                 e.clockwise ? 1.0 : 0.0, e.radius, e.radiusStart, e.radiusEnd});
        for (const zel_landxml::Point& p : {e.start, e.end, e.center, e.pi})
            putPoint(plan, p);
    }
    std::vector<double> profile;
    for (const zel_landxml::Vip& p : m.profile)
        profile.insert(profile.end(), {p.station, p.elevation, static_cast<double>(p.curve),
                                       p.length, p.radius, p.writtenStep});
    std::vector<double> equations;
    for (const zel_landxml::StaEquation& q : m.equations)
        equations.insert(equations.end(), {q.staInternal, q.staBack, q.staAhead});
    return py::make_tuple(py::make_tuple("landxml-plan", packed(plan)),
                          py::make_tuple("landxml-profile", packed(profile)),
                          py::make_tuple("landxml-equations", packed(equations)));
}

py::tuple builderParts(const AlignmentRecipe& r) {
    std::vector<double> v(r.start, r.start + 4);
    for (const BuilderCall& c : r.calls) {
        v.push_back(static_cast<double>(c.op));
        v.insert(v.end(), c.values, c.values + 5);
    }
    return py::make_tuple(py::make_tuple("builder", packed(v)));
}

void readPlan(const std::vector<double>& v, zel_landxml::Alignment& m) {
    m.staStart = v[0];
    m.staIncrement = v[1];
    for (std::size_t i = 2; i < v.size(); i += kPlanFields) {
        const double* r = &v[i];
        zel_landxml::HElement e;
        e.kind = static_cast<zel_landxml::HKind>(static_cast<int>(r[0]));
        e.staStart = r[1];
        e.length = r[2];
        e.clockwise = r[3] != 0.0;
        e.radius = r[4];
        e.radiusStart = r[5];
        e.radiusEnd = r[6];
        e.start = point(r + 7);
        e.end = point(r + 9);
        e.center = point(r + 11);
        e.pi = point(r + 13);
        m.elements.push_back(e);
    }
}

void readProfile(const std::vector<double>& v, zel_landxml::Alignment& m) {
    for (std::size_t i = 0; i < v.size(); i += kVipFields) {
        zel_landxml::Vip p;
        p.station = v[i];
        p.elevation = v[i + 1];
        p.curve = static_cast<zel_landxml::VCurve>(static_cast<int>(v[i + 2]));
        p.length = v[i + 3];
        p.radius = v[i + 4];
        p.writtenStep = v[i + 5];
        m.profile.push_back(p);
    }
}

void readEquations(const std::vector<double>& v, zel_landxml::Alignment& m) {
    for (std::size_t i = 0; i < v.size(); i += kEquationFields)
        m.equations.push_back({v[i], v[i + 1], v[i + 2], 0});
}

// The corridor's source as text, one field a line: the design file, the alignment's index, the
// digest, then the options in CorridorOptions' order (section heights as its word, the template's
// unit as its symbol or "").
py::bytes corridorPart(const AlignmentRecipe::CorridorSource& c) {
    const zel_landxml::CorridorOptions& o = c.options;
    const char* heights = o.sectionHeights == zel_landxml::SectionHeights::Absolute   ? "absolute"
                          : o.sectionHeights == zel_landxml::SectionHeights::Relative ? "relative"
                                                                                      : "auto";
    const std::string unit = o.templateUnit ? zel_landxml::unitSymbol(*o.templateUnit) : "";
    std::string text;
    for (const std::string& f :
         {c.path, std::to_string(c.index), std::to_string(c.digest), o.sectionSurface,
          o.groundSection, std::string(heights), o.ground, o.groundFile, o.designSurface,
          o.designSurfaceFile, o.templateFile, unit})
        text += f + "\n";
    return py::bytes(text);
}

AlignmentRecipe::CorridorSource corridorFromPart(const py::handle& part) {
    if (!py::isinstance<py::bytes>(part))
        throw py::value_error("Alignment state: part 'corridor-source' is not bytes");
    std::vector<std::string> f;
    std::string line;
    for (const char ch : part.cast<std::string>()) {
        if (ch != '\n') {
            line += ch;
            continue;
        }
        f.push_back(line);
        line.clear();
    }
    zel_landxml::CorridorOptions o;
    LinearUnit unit = LinearUnit::Meter;
    if (f.size() != 12 || !zel_landxml::sectionHeightsFromText(f[5], o.sectionHeights) ||
        (!f[11].empty() && !zel_landxml::unitFromText(f[11], unit)))
        throw py::value_error("Alignment state: part 'corridor-source' is damaged");
    o.sectionSurface = f[3];
    o.groundSection = f[4];
    o.ground = f[6];
    o.groundFile = f[7];
    o.designSurface = f[8];
    o.designSurfaceFile = f[9];
    o.templateFile = f[10];
    if (!f[11].empty()) o.templateUnit = unit;
    return {f[0], static_cast<std::size_t>(std::stoull(f[1])), o, std::stoull(f[2])};
}

// The recipe of the parts; ValueError for a tag it does not know.
AlignmentRecipe recipeOf(const py::tuple& parts) {
    AlignmentRecipe r;
    for (const py::handle item : parts) {
        const py::tuple part = py::reinterpret_borrow<py::object>(item).cast<py::tuple>();
        if (part.size() != 2) throw py::value_error("Alignment state: a part is not (tag, bytes)");
        const std::string tag = part[0].cast<std::string>();
        if (tag == "landxml-plan") {
            r.source = AlignmentRecipe::Source::landxml;
            readPlan(unpacked(part[1], tag, 2, kPlanFields), r.model);
        } else if (tag == "landxml-profile") {
            readProfile(unpacked(part[1], tag, 0, kVipFields), r.model);
        } else if (tag == "landxml-equations") {
            readEquations(unpacked(part[1], tag, 0, kEquationFields), r.model);
        } else if (tag == "crs") {
            r.crs = part[1].cast<std::string>();
        } else if (tag == "corridor-source") {
            r.hasCorridor = true;
            r.corridor = corridorFromPart(part[1]);
        } else if (tag == "builder") {
            r.source = AlignmentRecipe::Source::builder;
            const std::vector<double> v = unpacked(part[1], tag, 4, kCallFields);
            std::copy(v.begin(), v.begin() + 4, r.start);
            for (std::size_t i = 4; i < v.size(); i += kCallFields) {
                BuilderCall c;
                c.op = static_cast<int>(v[i]);
                std::copy(v.begin() + static_cast<std::ptrdiff_t>(i + 1),
                          v.begin() + static_cast<std::ptrdiff_t>(i + kCallFields), c.values);
                r.calls.push_back(c);
            }
        } else {
            throw py::value_error("Alignment state: unknown part '" + tag + "'");
        }
    }
    return r;
}

// The corridor read again from its files, refused when they changed since they were read.
void attachCorridorAgain(RoadAlignment& a, const AlignmentRecipe::CorridorSource& c) {
    if (corridorDigest(c) != c.digest)
        throw py::value_error("Alignment state: the files of the road beyond the centre line (" +
                              c.path +
                              " and those its options name) changed or are gone since "
                              "the alignment was pickled");
    zel_landxml::Document doc;
    std::string error;
    if (!zel_landxml::readFile(c.path, doc, error) || c.index >= doc.alignments.size() ||
        !attachCorridor(a, doc, c.index, c.options, error))
        throw py::value_error("Alignment state: " + error);
}

std::shared_ptr<RoadAlignment> fromBuilder(const AlignmentRecipe& r, LinearUnit unit) {
    RoadBuilder b(r.start[0], r.start[1], r.start[2], r.start[3], unit);
    std::string error;
    for (const BuilderCall& c : r.calls)
        if (!b.replay(c, error)) throw py::value_error("Alignment state: " + error);
    std::shared_ptr<RoadAlignment> a = b.build(error);
    if (!a) throw py::value_error("Alignment state: " + error);
    return a;
}

}  // namespace

py::tuple alignmentState(const RoadAlignment& a) {
    const AlignmentRecipe& r = a.recipe();
    py::tuple parts;
    if (r.source == AlignmentRecipe::Source::landxml) {
        parts = landxmlParts(r.model);
        py::list extra(parts);
        if (!r.crs.empty()) extra.append(py::make_tuple("crs", py::bytes(r.crs)));
        if (r.hasCorridor)
            extra.append(py::make_tuple("corridor-source", corridorPart(r.corridor)));
        parts = py::tuple(extra);
    } else if (r.source == AlignmentRecipe::Source::builder) {
        parts = builderParts(r);
    } else {
        throw py::type_error(
            "cannot pickle this Alignment: it was not made by read_landxml or "
            "AlignmentBuilder");
    }
    return py::make_tuple(kStateVersion, zel_landxml::unitSymbol(a.unit()), a.name(), parts);
}

std::shared_ptr<RoadAlignment> alignmentFromState(const py::tuple& state) {
    if (state.size() < 4)
        throw py::value_error("Alignment state: not (version, unit, name, parts)");
    const int version = state[0].cast<int>();
    if (version < 1 || version > kStateVersion)
        throw py::value_error("Alignment state: version " + std::to_string(version) +
                              " is not one this velmorutils reads (1 to " +
                              std::to_string(kStateVersion) + "); it was pickled by another");
    LinearUnit unit = LinearUnit::Meter;
    if (!zel_landxml::unitFromText(state[1].cast<std::string>(), unit))
        throw py::value_error("Alignment state: unknown unit");
    const std::string name = state[2].cast<std::string>();
    AlignmentRecipe r = recipeOf(state[3].cast<py::tuple>());
    if (r.source == AlignmentRecipe::Source::builder) return fromBuilder(r, unit);
    if (r.source != AlignmentRecipe::Source::landxml)
        throw py::value_error("Alignment state: no geometry part");
    r.model.name = name;
    CAlnt alnt;
    zel_landxml::BuildReport report;
    std::string error;
    if (!zel_landxml::buildAlignment(r.model, alnt, report, error))
        throw py::value_error("Alignment state: " + error);
    auto a = std::make_shared<RoadAlignment>(name, unit, alnt, zel_landxml::stationingOf(r.model));
    a->setCrs(r.crs);
    if (r.hasCorridor) attachCorridorAgain(*a, r.corridor);
    a->setRecipe(std::move(r));
    return a;
}

std::uint64_t corridorDigest(const AlignmentRecipe::CorridorSource& source) {
    const zel_landxml::CorridorOptions& o = source.options;
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a 64
    for (const std::string& path :
         {source.path, o.groundFile, o.designSurfaceFile, o.templateFile}) {
        if (path.empty()) continue;
        std::ifstream in(path, std::ios::binary);
        if (!in) return 0;
        char buf[1 << 14];
        while (in.read(buf, sizeof buf) || in.gcount() > 0) {
            for (std::streamsize i = 0; i < in.gcount(); ++i) {
                h ^= static_cast<unsigned char>(buf[i]);
                h *= 1099511628211ull;
            }
        }
    }
    return h;
}

}  // namespace pyvelmor
