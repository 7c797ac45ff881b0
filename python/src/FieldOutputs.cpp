// The field outputs of an alignment in Python: the stake points a data collector loads, and the
// as-built check of shots against the design. Both are the LandXML component's (StakePoints.h,
// AsBuiltCheck.h), the road tool's too; this file only converts units and arrays.

#include <cmath>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <velmorutils/landxml/AsBuiltCheck.h>
#include <velmorutils/landxml/StakePoints.h>
#include <velmorutils/landxml/StakeoutStations.h>

#include "ArrayArgs.h"
#include "FieldOutputs.h"
#include "RoadAlignment.h"
#include "RoadCorridor.h"

namespace py = pybind11;

namespace pyvelmor {
namespace {

using AlignmentPtr = std::shared_ptr<RoadAlignment>;

py::object numpy() {
    return py::module_::import("numpy");
}

std::vector<double> doubles(const py::object& values, const char* name) {
    const py::array_t<double> a = asDoubles(values, name);
    std::vector<double> out(a.data(), a.data() + a.size());
    for (const double v : out)
        if (!std::isfinite(v)) throw py::value_error(std::string(name) + " must be finite");
    return out;
}

std::vector<std::string> texts(const py::object& values, std::size_t n, const char* name) {
    std::vector<std::string> out(n);
    if (values.is_none()) return out;
    const py::list list(values);
    if (list.size() != n)
        throw py::value_error(std::string(name) + ": " + std::to_string(list.size()) +
                              " values for " + std::to_string(n) + " shots");
    for (std::size_t i = 0; i < n; ++i)
        out[i] = list[i].is_none() ? std::string() : py::str(list[i]).cast<std::string>();
    return out;
}

py::object maybeFrame(const py::object& records, bool dataframe) {
    if (!dataframe) return records;
    const py::object pandas = py::module_::import("pandas");  // ImportError names pandas
    return pandas.attr("DataFrame")(records);
}

// The section model read_landxml attached (heights at each point's own offset, as the road tool
// gives them), or null: the centre line's design height.
const zel_math::CRoadCorridor* designModelOf(const RoadAlignment& a) {
    const RoadCorridorModel* m = a.corridor();
    return m != nullptr && m->road.hasModel() ? &m->road : nullptr;
}

py::object stakeoutPoints(const RoadAlignment& a, double interval, const py::object& offsets,
                          long long startNumber, bool dataframe) {
    if (!(std::isfinite(interval) && interval > 0.0))
        throw py::value_error("stakeout_points: interval must be a positive number");
    zel_landxml::StakePointOptions o;
    o.request = zel_landxml::stakeoutRequest(a.stationing(), a.toM(interval));
    o.offsets.clear();
    for (const double off : doubles(offsets, "offsets"))
        o.offsets.push_back(a.toM(off));
    o.startNumber = startNumber;
    o.style.unit = a.unit();
    o.corridor = designModelOf(a);
    std::vector<zel_landxml::StakePoint> points;
    std::string error;
    bool ok = false;
    {
        const py::gil_scoped_release release;
        const std::lock_guard<std::mutex> guard(a.geometryLock());
        ok = zel_landxml::stakePoints(a.alnt(), a.stationing(), o, points, error);
    }
    if (!ok) throw py::value_error("stakeout_points: " + error);
    py::dict cols;
    std::vector<long long> number;
    std::vector<double> n, e, h, ch, off;
    py::list code, desc;
    for (const zel_landxml::StakePoint& p : points) {
        number.push_back(p.number);
        n.push_back(a.fromM(p.north));
        e.push_back(a.fromM(p.east));
        h.push_back(std::isfinite(p.height) ? a.fromM(p.height) : NAN);
        ch.push_back(a.fromM(p.chainage));
        off.push_back(a.fromM(p.offset));
        code.append(p.code);
        desc.append(p.description);
    }
    const py::object np = numpy();
    py::list arrays;
    for (const auto* v : {&n, &e, &h, &ch, &off})
        arrays.append(py::array_t<double>(v->size(), v->data()));
    const py::object records = np.attr("rec").attr("fromarrays")(
        py::make_tuple(py::array_t<long long>(number.size(), number.data()), arrays[0], arrays[1],
                       arrays[2], arrays[3], arrays[4], np.attr("array")(code, "U"),
                       np.attr("array")(desc, "U")),
        py::arg("names") = "number,northing,easting,height,chainage,offset,code,description");
    return maybeFrame(records.attr("view")(np.attr("ndarray")), dataframe);
}

py::dict statsDict(const RoadAlignment& a, const zel_landxml::DeviationStats& s) {
    py::dict d;
    d["count"] = s.count;
    d["mean"] = s.count > 0 ? a.fromM(s.mean) : NAN;
    d["rms"] = s.count > 0 ? a.fromM(s.rms) : NAN;
    d["max"] = s.count > 0 ? a.fromM(s.maxAbs) : NAN;
    d["within"] = s.within;
    d["share_within"] = s.count > 0 ? s.share() : NAN;
    return d;
}

py::list summaryList(const RoadAlignment& a, const std::vector<zel_landxml::AsBuiltStats>& stats) {
    py::list out;
    for (const zel_landxml::AsBuiltStats& s : stats) {
        py::dict d;
        d["code"] = s.all ? py::object(py::none()) : py::object(py::str(s.code));
        d["shots"] = s.h.count + s.bad;
        d["bad"] = s.bad;
        d["h"] = statsDict(a, s.h);
        d["v"] = statsDict(a, s.v);
        out.append(d);
    }
    return out;
}

py::object shotRecords(const RoadAlignment& a, const std::vector<zel_landxml::AsBuiltShot>& shots,
                       const std::vector<zel_landxml::AsBuiltResult>& results) {
    std::vector<double> ch, off, hd, vd, dh, doff;
    py::list name, station, hr, vr, reason, code;
    std::vector<bool> ok;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const zel_landxml::AsBuiltResult& r = results[i];
        name.append(shots[i].name);
        station.append(r.ok ? a.stationText(a.fromM(r.chainage), 2) : std::string());
        ch.push_back(r.ok ? a.fromM(r.chainage) : NAN);
        off.push_back(r.ok ? a.fromM(r.offset) : NAN);
        hd.push_back(r.ok ? a.fromM(r.hDev) : NAN);
        vd.push_back(r.ok && r.hasV ? a.fromM(r.vDev) : NAN);
        doff.push_back(r.ok ? a.fromM(r.designOffset) : NAN);
        dh.push_back(r.ok && r.hasV ? a.fromM(r.designHeight) : NAN);
        hr.append(r.ok ? (r.hPass ? "pass" : "fail") : "");
        vr.append(r.ok && r.hasV ? (r.vPass ? "pass" : "fail") : "");
        code.append(r.ok ? r.designCode : std::string());
        reason.append(r.reason);
        ok.push_back(r.ok);
    }
    const py::object np = numpy();
    const auto arr = [](const std::vector<double>& v) {
        return py::array_t<double>(v.size(), v.data());
    };
    const auto str = [&](const py::list& l) { return np.attr("array")(l, "U"); };
    py::list okList;
    for (const bool b : ok)
        okList.append(b);
    const py::object records = np.attr("rec").attr("fromarrays")(
        py::make_tuple(str(name), str(station), arr(ch), arr(off), arr(hd), arr(vd), str(hr),
                       str(vr), arr(doff), str(code), arr(dh), np.attr("array")(okList, "?"),
                       str(reason)),
        py::arg("names") =
            "point,station,chainage,offset,h_dev,v_dev,h_result,v_result,design_offset,"
            "design_code,design_height,ok,reason");
    return records.attr("view")(np.attr("ndarray"));
}

}  // namespace

CheckedShots checkShots(const RoadAlignment& a, const py::object& northing,
                        const py::object& easting, const py::object& height,
                        const py::object& names, const py::object& codes, const py::object& tolH,
                        const py::object& tolV, const py::object& offsets,
                        const py::object& corridor) {
    const std::vector<double> n = doubles(northing, "northing");
    const std::vector<double> e = doubles(easting, "easting");
    if (n.size() != e.size()) throw py::value_error("check: northing and easting differ in length");
    std::vector<double> h(n.size(), NAN);
    if (!height.is_none()) {
        const py::array_t<double> hv = asDoubles(height, "height");
        if (static_cast<std::size_t>(hv.size()) != n.size())
            throw py::value_error("check: height and northing differ in length");
        h.assign(hv.data(), hv.data() + hv.size());
    }
    std::vector<std::string> nm = texts(names, n.size(), "names");
    if (names.is_none())
        for (std::size_t i = 0; i < n.size(); ++i)
            nm[i] = std::to_string(i + 1);
    const std::vector<std::string> cd = texts(codes, n.size(), "codes");
    zel_landxml::AsBuiltOptions o;
    if (!tolH.is_none()) o.toleranceHM = a.toM(tolH.cast<double>());
    if (!tolV.is_none()) o.toleranceVM = a.toM(tolV.cast<double>());
    if (!(o.toleranceHM > 0.0) || !(o.toleranceVM > 0.0))
        throw py::value_error("check: tolerances must be positive");
    o.offsets.clear();
    for (const double off : doubles(offsets, "offsets"))
        o.offsets.push_back(a.toM(off));
    if (!corridor.is_none()) o.corridorM = a.toM(corridor.cast<double>());
    o.corridor = designModelOf(a);
    std::vector<zel_landxml::AsBuiltShot> shots(n.size());
    for (std::size_t i = 0; i < n.size(); ++i)
        shots[i] = {nm[i],       a.toM(n[i]),
                    a.toM(e[i]), std::isfinite(h[i]) ? a.toM(h[i]) : NAN,
                    cd[i],       static_cast<int>(i + 1)};
    CheckedShots out;
    {
        const py::gil_scoped_release release;
        const std::lock_guard<std::mutex> guard(a.geometryLock());
        const zel_landxml::AsBuiltCheck c(a.alnt(), o);
        for (const zel_landxml::AsBuiltShot& s : shots)
            out.results.push_back(c.check(s));
        out.stats = zel_landxml::summarizeAsBuilt(shots, out.results, o);
    }
    out.shots = std::move(shots);
    return out;
}

namespace {

py::dict check(const RoadAlignment& a, const py::object& northing, const py::object& easting,
               const py::object& height, const py::object& names, const py::object& codes,
               const py::object& tolH, const py::object& tolV, const py::object& offsets,
               const py::object& corridor, bool dataframe) {
    const CheckedShots c =
        checkShots(a, northing, easting, height, names, codes, tolH, tolV, offsets, corridor);
    py::dict out;
    out["shots"] = maybeFrame(shotRecords(a, c.shots, c.results), dataframe);
    out["summary"] = summaryList(a, c.stats);
    return out;
}

}  // namespace

void addFieldOutputs(py::module_& m) {
    auto cls = py::reinterpret_borrow<py::class_<RoadAlignment, AlignmentPtr>>(m.attr("Alignment"));
    cls.def("stakeout_points", &stakeoutPoints, py::arg("interval"),
            py::arg("offsets") = std::vector<double>{0.0}, py::arg("start_number") = 1,
            py::arg("dataframe") = false,
            "Every stake of the stake-out (the stations of `stakeout`, each offset in turn, unit) "
            "as a point a data collector loads, as the road tool's `stakeout --points-out` writes "
            "it: structured array with number (from start_number in table order), northing, "
            "easting, height (the design height at the stake's own offset when the alignment "
            "carries a section model, else the centre line's; NaN without a profile), chainage, "
            "offset, code (\"CL\", a key point such as \"SC\", \"O\" for an offset, or the "
            "section's code at that offset) and description (\"CL 1+100.00\", \"O 3.50 L "
            "1+100.00\"). dataframe=True: a "
            "pandas.DataFrame of the same columns.");
    cls.def("check", &check, py::arg("northing"), py::arg("easting"),
            py::arg("height") = py::none(), py::kw_only(), py::arg("names") = py::none(),
            py::arg("codes") = py::none(), py::arg("tol_h") = py::none(),
            py::arg("tol_v") = py::none(), py::arg("offsets") = std::vector<double>{0.0},
            py::arg("corridor") = py::none(), py::arg("dataframe") = false,
            "As-built check of shots (unit), the road tool's `check`: each shot's horizontal "
            "deviation (its offset minus the design point it was meant for, right positive: with a "
            "section model the section point of its code, else the nearest section point; "
            "without one the nearest design line of `offsets`) and vertical deviation (its "
            "height minus the design height at its own offset with a section model, else the "
            "centre line's at its station), pass or fail against tol_h and tol_v (default 0.02 m "
            "and 0.01 m; a deviation on the tolerance passes). A shot without a name, beyond the "
            "road's ends or "
            "farther than `corridor` from the centre line is bad: ok False and the reason. "
            "Returns {'shots': structured array (or DataFrame) with point, station, chainage, "
            "offset, h_dev, v_dev, h_result, v_result ('pass'/'fail'; v_result '' without a "
            "height), design_offset, design_code, design_height, ok, reason; 'summary': a list "
            "of dicts, all shots first (code None) then each code (the first word of `codes`), "
            "with shots, bad and for 'h' and 'v' the count, mean (signed), rms, max (largest "
            "size), within and share_within}.");
}

}  // namespace pyvelmor
