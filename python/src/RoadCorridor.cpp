// The road beyond the centre line in Python: design heights at any chainage and offset, slope
// stakes, and TIN surfaces on their own. Every length is in the alignment's (or surface's) unit
// at this edge and in metres inside; the loops run with the interpreter lock released.

#include "RoadCorridor.h"

#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>

#include "ArrayArgs.h"

namespace pyvelmor {
namespace {

using AlignmentPtr = std::shared_ptr<RoadAlignment>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string pathText(const py::handle& value, const char* name) {
    const py::object fspath = py::module_::import("os").attr("fspath");
    py::object text;
    try {
        text = fspath(value);
    } catch (py::error_already_set&) {
        throw py::type_error(std::string(name) + " must be a str or a path-like object");
    }
    if (!py::isinstance<py::str>(text))
        throw py::type_error(std::string(name) + " must be a str or a path-like object");
    return text.cast<std::string>();
}

const RoadCorridorModel& modelOf(const RoadAlignment& a, const char* call) {
    if (a.corridor() == nullptr)
        throw py::value_error(std::string(call) + ": alignment '" + a.name() +
                              "' has no cross-section model (the file gives no sections; "
                              "read_landxml takes template_file= or design_surface=)");
    return *a.corridor();
}

}  // namespace

zel_landxml::CorridorOptions corridorOptions(const py::kwargs& kwargs, LinearUnit unit) {
    zel_landxml::CorridorOptions o;
    o.templateUnit = unit;
    for (const auto& [key, value] : kwargs) {
        const std::string k = py::str(key);
        if (value.is_none()) continue;
        if (k == "ground_file" || k == "design_surface_file" || k == "template_file") {
            const std::string path = pathText(value, k.c_str());
            (k == "ground_file"           ? o.groundFile
             : k == "design_surface_file" ? o.designSurfaceFile
                                          : o.templateFile) = path;
            continue;
        }
        std::string* target = k == "section_surface"  ? &o.sectionSurface
                              : k == "ground_section" ? &o.groundSection
                              : k == "ground"         ? &o.ground
                              : k == "design_surface" ? &o.designSurface
                                                      : nullptr;
        if (target == nullptr && k != "section_heights")
            throw py::type_error("read_landxml() got an unexpected keyword argument '" + k + "'");
        if (!py::isinstance<py::str>(value))
            throw py::type_error(k + " must be a str or None, not " +
                                 py::repr(value).cast<std::string>());
        const std::string text = value.cast<std::string>();
        if (target != nullptr) {
            *target = text;
        } else if (!zel_landxml::sectionHeightsFromText(text, o.sectionHeights)) {
            throw py::value_error(
                "section_heights must be \"auto\", \"absolute\" or "
                "\"relative\", not '" +
                text + "'");
        }
    }
    return o;
}

bool attachCorridor(RoadAlignment& alignment, const zel_landxml::Document& doc, std::size_t index,
                    const zel_landxml::CorridorOptions& options, std::string& error) {
    auto model = std::make_shared<RoadCorridorModel>(alignment.alnt());
    const std::lock_guard<std::mutex> guard(alignment.alntLock());
    if (!zel_landxml::buildCorridor(doc, index, options, model->road, model->ground, model->notes,
                                    error)) {
        // The caller names this file in front of every refusal.
        const std::string own = doc.path + ": ";
        if (!doc.path.empty() && error.rfind(own, 0) == 0) error.erase(0, own.size());
        return false;
    }
    if (model->road.hasModel() || model->ground.tin || model->ground.sections)
        alignment.setCorridor(std::move(model));
    return true;
}

namespace {

py::object designHeight(const RoadAlignment& a, const py::object& chainage,
                        const py::object& offset) {
    const RoadCorridorModel& m = modelOf(a, "design_height");
    if (!m.road.hasModel())
        throw py::value_error("design_height: alignment '" + a.name() +
                              "' has a ground but no design model");
    const Broadcast b({chainage, offset}, {"chainage", "offset"});
    py::array_t<double> out = b.newOutput();
    double* h = out.mutable_data();
    {
        const py::gil_scoped_release release;
        std::vector<double> c(b.size()), o(b.size());
        for (std::size_t i = 0; i < b.size(); ++i) {
            c[i] = a.toM(b.data(0)[i]);
            o[i] = a.toM(b.data(1)[i]);
        }
        {
            const std::lock_guard<std::mutex> guard(a.alntLock());
            m.road.designHeights(c.data(), o.data(), b.size(), h);
        }
        for (std::size_t i = 0; i < b.size(); ++i)
            h[i] = a.fromM(h[i]);
    }
    return b.finish(out);
}

// The columns of slope_stake, one value per stake.
struct StakeColumns {
    std::vector<double> chainage, hingeOffset, hingeHeight, catchOffset, catchHeight, catchNorth,
        catchEast, slope, cutFill, stakeOffset, stakeNorth, stakeEast, stakeGround, stakeCutFill,
        daylightDiff;
    std::vector<bool> right, caught, cut;
    std::vector<std::string> note;
};

void addStake(const RoadAlignment& a, double chainage, const zel_math::TSlopeStake& s, bool ok,
              const std::string& error, StakeColumns& c) {
    auto len = [&](double m, bool valid) { return valid ? a.fromM(m) : kNaN; };
    const bool caught = ok && s.caught;
    c.chainage.push_back(chainage);
    c.right.push_back(s.right);
    c.hingeOffset.push_back(len(s.hingeOffset, ok));
    c.hingeHeight.push_back(len(s.hingeHeight, ok));
    c.caught.push_back(caught);
    c.catchOffset.push_back(len(s.catchOffset, caught));
    c.catchHeight.push_back(len(s.catchHeight, caught));
    c.catchNorth.push_back(len(s.catchNorth, caught));
    c.catchEast.push_back(len(s.catchEast, caught));
    c.cut.push_back(caught && s.cut);
    c.slope.push_back(ok && s.slopeHV > 0.0 ? s.slopeHV : kNaN);
    c.cutFill.push_back(len(s.cutFill, caught));
    c.stakeOffset.push_back(len(s.stakeOffset, caught));
    c.stakeNorth.push_back(len(s.stakeNorth, caught));
    c.stakeEast.push_back(len(s.stakeEast, caught));
    c.stakeGround.push_back(len(s.stakeGround, caught));
    c.stakeCutFill.push_back(len(s.stakeCutFillToHinge, caught));
    c.daylightDiff.push_back(len(s.daylightOffsetDiff, caught && s.hasFileDaylight));
    c.note.push_back(ok ? s.note : error);
}

StakeColumns computeStakes(const RoadAlignment& a, const RoadCorridorModel& m, const double* ch,
                           std::size_t n, const std::vector<bool>& sides, double search,
                           double distance) {
    StakeColumns c;
    const std::lock_guard<std::mutex> guard(a.alntLock());
    for (std::size_t i = 0; i < n; ++i)
        for (const bool right : sides) {
            zel_math::TSlopeStake s;
            s.right = right;
            std::string error;
            const bool ok = std::isfinite(ch[i]) &&
                            zel_math::slopeStake(m.road, m.ground, a.toM(ch[i]), right,
                                                 a.toM(search), a.toM(distance), s, error);
            if (!std::isfinite(ch[i])) error = "the chainage is not a number";
            s.right = right;
            addStake(a, ch[i], s, ok, error, c);
        }
    return c;
}

template <class T>
py::array column(const std::vector<T>& v) {
    py::array_t<T> out(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), out.mutable_data());
    return out;
}
py::array column(const std::vector<bool>& v) {
    py::array_t<bool> out(static_cast<py::ssize_t>(v.size()));
    for (std::size_t i = 0; i < v.size(); ++i)
        out.mutable_data()[i] = v[i];
    return out;
}

std::vector<bool> sidesOf(const std::string& side) {
    if (side == "left") return {false};
    if (side == "right") return {true};
    if (side == "both") return {false, true};
    throw py::value_error("slope_stake: side must be \"left\", \"right\" or \"both\", not '" +
                          side + "'");
}

py::dict slopeStakes(const RoadAlignment& a, const py::object& chainage, const std::string& side,
                     double search, double distance) {
    const RoadCorridorModel& m = modelOf(a, "slope_stake");
    if (!m.ground.tin && !m.ground.sections)
        throw py::value_error("slope_stake: alignment '" + a.name() +
                              "' has no ground (read_landxml takes ground= or ground_file=, or a "
                              "file with ground sections)");
    if (!(std::isfinite(search) && search > 0.0) || !(std::isfinite(distance) && distance >= 0.0))
        throw py::value_error(
            "slope_stake: search_width must be above 0 and stake_distance 0 or "
            "more");
    const std::vector<bool> sides = sidesOf(side);
    const py::array_t<double> ch = asDoubles(chainage, "chainage");
    StakeColumns c;
    {
        const py::gil_scoped_release release;
        c = computeStakes(a, m, ch.data(), static_cast<std::size_t>(ch.size()), sides, search,
                          distance);
    }
    py::dict out;
    py::list sideNames, notes;
    for (std::size_t i = 0; i < c.right.size(); ++i) {
        sideNames.append(c.right[i] ? "right" : "left");
        notes.append(c.note[i]);
    }
    const py::module_ np = py::module_::import("numpy");
    out["chainage"] = column(c.chainage);
    out["side"] = np.attr("array")(sideNames, "U5");
    out["hinge_offset"] = column(c.hingeOffset);
    out["hinge_height"] = column(c.hingeHeight);
    out["caught"] = column(c.caught);
    out["catch_offset"] = column(c.catchOffset);
    out["catch_height"] = column(c.catchHeight);
    out["catch_northing"] = column(c.catchNorth);
    out["catch_easting"] = column(c.catchEast);
    out["cut"] = column(c.cut);
    out["slope"] = column(c.slope);
    out["cut_fill"] = column(c.cutFill);
    out["stake_offset"] = column(c.stakeOffset);
    out["stake_northing"] = column(c.stakeNorth);
    out["stake_easting"] = column(c.stakeEast);
    out["stake_ground"] = column(c.stakeGround);
    out["stake_cut_fill"] = column(c.stakeCutFill);
    out["daylight_offset_diff"] = column(c.daylightDiff);
    out["note"] = np.attr("array")(notes, "U");
    return out;
}

py::list corridorNotes(const RoadAlignment& a) {
    py::list out;
    if (a.corridor() != nullptr)
        for (const std::string& n : a.corridor()->notes)
            out.append(n);
    return out;
}

}  // namespace

void registerCorridor(py::module_& m) {
    auto cls = py::reinterpret_borrow<py::class_<RoadAlignment, AlignmentPtr>>(m.attr("Alignment"));
    cls.def("design_height", &designHeight, py::arg("chainage"), py::arg("offset"),
            "Design height (unit) of the finished surface at running chainage and offset (unit, "
            "right of increasing chainage positive), from the file's cross sections (their "
            "upper boundary, interpolated in chainage by point code), a typical section with the "
            "file's superelevation, or a design TIN, as read_landxml chose. NaN where there is "
            "none (beyond the sections' ends or outermost points, between sections that cannot "
            "be matched, off the TIN). ValueError when the alignment has no cross-section model.");
    cls.def("slope_stake", &slopeStakes, py::arg("chainage"), py::arg("side") = "both",
            py::arg("search_width") = 100.0, py::arg("stake_distance") = 3.0,
            "Slope stakes at each chainage (flattened), on side \"left\", \"right\" or "
            "\"both\" (rows left then right per chainage): where the side slope from the hinge "
            "meets the ground within search_width beyond it, and an offset stake stake_distance "
            "further out. A dict of 1-D arrays: chainage, side, hinge_offset, hinge_height, caught "
            "(False: no catch within the search width, or no design there; note says why), "
            "catch_offset, catch_height, catch_northing, catch_easting, cut (True: a cut, ground "
            "above the hinge), slope (H:V), cut_fill (catch height minus hinge height; positive "
            "is a cut), stake_offset, stake_northing, stake_easting, stake_ground, stake_cut_fill "
            "(ground at the stake minus the hinge height), daylight_offset_diff (catch offset "
            "minus the file's own daylight point's; NaN without one), note. Lengths in the "
            "alignment's unit; NaN where there is no value.");
    cls.def_property_readonly("corridor_notes", &corridorNotes,
                              "What read_landxml took for the road beyond the centre line: which "
                              "section surfaces are design and ground, whether their heights were "
                              "relative to the profile, which surfaces and template.");
    registerSurface(m);
}

}  // namespace pyvelmor
