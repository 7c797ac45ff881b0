// The Python module `velmorutils`: road alignments from LandXML files or built element by
// element, queried on whole NumPy arrays in C++ with the interpreter lock released.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/curves/AlntElementFlags.h>
#include <velmorutils/zelmath/curves/CurveRelations.h>
#include <velmorutils/zelmath/geodesy/GeodeticFunctions.h>

#include "AlignmentState.h"
#include "ArrayArgs.h"
#include "FieldOutputs.h"
#include "RoadAlignment.h"
#include "RoadBuilder.h"
#include "RoadCorridor.h"
#include "RoadLayersPy.h"
#include "Signatures.h"
#include "Threads.h"
#include "Transform.h"

namespace py = pybind11;
using pyvelmor::Broadcast;
using pyvelmor::RoadAlignment;
using pyvelmor::RoadBuilder;
using pyvelmor::splitLoop;
using AlignmentPtr = std::shared_ptr<RoadAlignment>;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Stake-outs beyond this many stations are a mistyped interval, not a road.
constexpr double kMaxStakeoutStations = 1e7;

zel_landxml::LinearUnit unitArgument(const py::object& unit, zel_landxml::LinearUnit fallback) {
    if (unit.is_none()) return fallback;
    zel_landxml::LinearUnit u = fallback;
    const std::string text = py::str(unit);
    if (!py::isinstance<py::str>(unit) || !zel_landxml::unitFromText(text, u))
        throw py::value_error("unit must be \"m\", \"usft\" or \"ft\", not " +
                              py::repr(unit).cast<std::string>());
    return u;
}

// The threads= argument of the batch calls: None for every core the process may use.
unsigned threadsArgument(const py::object& threads) {
    if (threads.is_none()) return pyvelmor::usableCores();
    // Any whole number (NumPy's too, anything with __index__), but not a bool or a float.
    if (!PyIndex_Check(threads.ptr()) || py::isinstance<py::bool_>(threads))
        throw py::type_error("threads must be a whole number or None, not " +
                             py::repr(threads).cast<std::string>());
    const py::int_ whole = py::reinterpret_steal<py::int_>(PyNumber_Index(threads.ptr()));
    if (!whole) throw py::error_already_set();
    int overflow = 0;
    const long n = PyLong_AsLongAndOverflow(whole.ptr(), &overflow);
    if (overflow < 0 || (overflow == 0 && n < 1))
        throw py::value_error("threads must be at least 1, not " +
                              py::repr(threads).cast<std::string>());
    if (overflow > 0) return 1024;
    // More threads than that are a mistake, and each costs a copy of the alignment.
    return static_cast<unsigned>(std::min<long>(n, 1024));
}

void warn(const std::string& message) {
    // A warning turned into an error by the caller's filter propagates as that error.
    if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 1) != 0) throw py::error_already_set();
}

// One alignment of the file as a road; false with the reason when it cannot be one.
bool readOne(const std::string& path, const zel_landxml::Document& doc, std::size_t index,
             zel_landxml::LinearUnit u, const py::object& profile, const std::string& crs,
             const zel_landxml::CorridorOptions& corridor, py::list& out, std::string& error) {
    zel_landxml::Alignment a = doc.alignments[index];
    if (!profile.is_none() && !zel_landxml::useProfile(a, profile.cast<std::string>(), error))
        return false;
    if (profile.is_none() && a.profiles.size() > 1) {
        std::string names;
        for (const zel_landxml::Profile& p : a.profiles)
            names += (names.empty() ? "'" : ", '") + p.name + "'";
        warn(path + ": alignment '" + a.name + "' has several profiles (" + names +
             "); using the first (choose with profile=NAME)");
    }
    CAlnt alnt;
    zel_landxml::BuildReport report;
    if (!zel_landxml::buildAlignment(a, alnt, report, error)) return false;
    for (const std::string& w : report.warnings)
        warn(path + ": alignment '" + a.name + "': " + w);
    auto road = std::make_shared<RoadAlignment>(a.name, u, alnt, zel_landxml::stationingOf(a));
    road->setCrs(crs);
    if (!pyvelmor::attachCorridor(*road, doc, index, corridor, error)) return false;
    pyvelmor::AlignmentRecipe recipe;
    recipe.source = pyvelmor::AlignmentRecipe::Source::landxml;
    recipe.model = std::move(a);
    recipe.crs = crs;
    if (road->corridor() != nullptr) {
        recipe.hasCorridor = true;
        recipe.corridor = {path, index, corridor, 0};
        recipe.corridor.digest = pyvelmor::corridorDigest(recipe.corridor);
    }
    road->setRecipe(std::move(recipe));
    out.append(road);
    return true;
}

py::list readLandxml(const py::object& file, const py::object& unit, const py::object& profile,
                     const py::kwargs& options) {
    // A str or any path-like object (pathlib.Path) names the file.
    const py::object fspath = py::module_::import("os").attr("fspath")(file);
    if (!py::isinstance<py::str>(fspath))
        throw py::type_error("read_landxml: path must be a str or a path-like object of str");
    const std::string path = fspath.cast<std::string>();
    if (!profile.is_none() && !py::isinstance<py::str>(profile))
        throw py::type_error("read_landxml: profile must be a str or None");
    zel_landxml::Document doc;
    std::string error;
    if (!zel_landxml::readFile(path, doc, error)) throw py::value_error(error);
    const zel_landxml::LinearUnit u = unitArgument(unit, doc.unit);
    const zel_landxml::CorridorOptions corridor = pyvelmor::corridorOptions(options, u);
    for (const std::string& w : doc.warnings)
        warn(path + ": " + w);
    // A refused alignment is a warning while others load; an error only when none does.
    std::vector<std::string> refused;
    for (const zel_landxml::RefusedAlignment& r : doc.refused)
        refused.push_back(path + ": alignment '" + r.name + "' refused: " + r.message);
    py::list out;
    for (std::size_t i = 0; i < doc.alignments.size(); ++i)
        if (!readOne(path, doc, i, u, profile, zel_landxml::crsDefinition(doc.coordinateSystem),
                     corridor, out, error))
            refused.push_back(path + ": alignment '" + doc.alignments[i].name +
                              "' refused: " + error);
    if (out.empty()) {
        std::string all;
        for (const std::string& r : refused)
            all += (all.empty() ? "" : "; ") + r;
        throw py::value_error(all);
    }
    for (const std::string& r : refused)
        warn(r);
    return out;
}

// One chainage argument in, one number per chainage out.
template <class Query>
py::object perChainage(const RoadAlignment& a, const py::object& chainage, Query query,
                       const py::object& threads) {
    const unsigned t = threadsArgument(threads);
    const Broadcast b({chainage}, {"chainage"});
    py::array_t<double> out = b.newOutput();
    double* o = out.mutable_data();
    {
        const py::gil_scoped_release release;
        splitLoop(b.size(), t, [&](std::size_t i, std::size_t end) {
            (a.*query)(b.data(0) + i, end - i, o + i);
        });
    }
    return b.finish(out);
}

py::tuple position(const RoadAlignment& a, const py::object& chainage, const py::object& offset,
                   const py::object& threads) {
    const unsigned t = threadsArgument(threads);
    const Broadcast b({chainage, offset}, {"chainage", "offset"});
    py::array_t<double> n = b.newOutput(), e = b.newOutput();
    double* pn = n.mutable_data();
    double* pe = e.mutable_data();
    {
        const py::gil_scoped_release release;
        splitLoop(b.size(), t, [&](std::size_t i, std::size_t end) {
            a.positions(b.data(0) + i, b.data(1) + i, end - i, pn + i, pe + i);
        });
    }
    return py::make_tuple(b.finish(n), b.finish(e));
}

void setText(char32_t* out, std::size_t size, const std::string& text) {
    std::size_t k = 0;
    for (; k < size && k < text.size(); ++k)
        out[k] = static_cast<char32_t>(static_cast<unsigned char>(text[k]));
    for (; k < size; ++k)
        out[k] = U'\0';
}

// The status codes of station_offset, in the order of the library's TAlntFootStatus, and the
// code of "none" (a point that is not a finite number); the side codes are TAlntJointSide's.
constexpr const char* kStatusNames[] = {"square", "beforeStart", "afterEnd", "atJoint", "none"};
constexpr std::uint8_t kStatusNone = 4;
constexpr const char* kSideNames[] = {"", "back", "ahead"};

// One record of station_offset's lean structured array: 24 bytes a point, the status and the
// side as codes into kStatusNames and kSideNames.
struct FootCode {
    double chainage;
    double offset;
    std::int32_t element;
    std::uint8_t status;
    std::uint8_t side;
};

std::uint8_t statusCode(int status) {
    return status >= 0 && status < kStatusNone ? static_cast<std::uint8_t>(status) : kStatusNone;
}

// One record of station_offset's structured array with names, written in place by the C++ loop.
// NumPy's "U11" is 11 native-endian UCS4 code points, zero padded.
struct FootRecord {
    double chainage;
    double offset;
    char32_t status[11];
    std::int32_t element;
    char32_t side[5];
};

// A NumPy structured dtype from its field names, formats and byte offsets and the size of one
// record: the layout of a C++ record the loops write in place.
py::object recordDtype(py::tuple names, py::tuple formats, py::tuple offsets, std::size_t size) {
    py::dict layout;
    layout["names"] = std::move(names);
    layout["formats"] = std::move(formats);
    layout["offsets"] = std::move(offsets);
    layout["itemsize"] = size;
    return py::module_::import("numpy").attr("dtype")(layout);
}

// The structured dtype of a station_offset record type (FootCode or FootRecord): the same five
// fields, the status and the side as codes or as text.
template <class Record>
py::object footDtypeOf(const char* statusFormat, const char* sideFormat) {
    return recordDtype(
        py::make_tuple("chainage", "offset", "status", "element", "side"),
        py::make_tuple("f8", "f8", statusFormat, "i4", sideFormat),
        py::make_tuple(offsetof(Record, chainage), offsetof(Record, offset),
                       offsetof(Record, status), offsetof(Record, element), offsetof(Record, side)),
        sizeof(Record));
}

void setRecord(FootRecord& r, const RoadAlignment::Foot& f) {
    r.chainage = f.chainage;
    r.offset = f.offset;
    r.element = f.element;
    setText(r.status, 11, kStatusNames[statusCode(f.status)]);
    setText(r.side, 5, alntJointSideText(f.side));
}

void setRecord(FootCode& r, const RoadAlignment::Foot& f) {
    r.chainage = f.chainage;
    r.offset = f.offset;
    r.element = f.element;
    r.status = statusCode(f.status);
    r.side = static_cast<std::uint8_t>(f.side);
}

// The feet of points [begin, end) into their records, through a bounded buffer.
template <class Record>
void fillFeet(const RoadAlignment& a, const double* north, const double* east, std::size_t begin,
              std::size_t end, Record* records) {
    constexpr std::size_t kBlock = 1024;
    RoadAlignment::Foot feet[kBlock];
    for (std::size_t i = begin; i < end; i += kBlock) {
        const std::size_t n = std::min(kBlock, end - i);
        a.stationOffsets(north + i, east + i, n, feet);
        for (std::size_t j = 0; j < n; ++j)
            setRecord(records[i + j], feet[j]);
    }
}

template <class Record>
void fillFeetSplit(const RoadAlignment& a, const Broadcast& b, unsigned threads, void* out) {
    auto* records = static_cast<Record*>(out);
    const py::gil_scoped_release release;
    splitLoop(b.size(), threads, [&](std::size_t begin, std::size_t end) {
        fillFeet(a, b.data(0), b.data(1), begin, end, records);
    });
}

py::object stationOffset(const RoadAlignment& a, const py::object& north, const py::object& east,
                         bool names, const py::object& threads) {
    const unsigned t = threadsArgument(threads);
    const Broadcast b({north, east}, {"northing", "easting"});
    if (!a.inverseError().empty()) throw py::value_error("station_offset: " + a.inverseError());
    const py::module_ np = py::module_::import("numpy");
    py::array out = np.attr("empty")(
        py::tuple(py::cast(b.shape())),
        names ? footDtypeOf<FootRecord>("U11", "U5") : footDtypeOf<FootCode>("u1", "u1"));
    if (names) {
        fillFeetSplit<FootRecord>(a, b, t, out.mutable_data());
    } else {
        fillFeetSplit<FootCode>(a, b, t, out.mutable_data());
    }
    if (b.scalar()) return out.attr("__getitem__")(py::tuple());
    return out;
}

// One record of stakeout's structured array, written in place by the C++ loop.
struct StakeRecord {
    double chainage, offset, northing, easting, height, azimuth;
    char32_t station[24];
    char32_t point[5];
    char32_t side[5];
    bool boundary;
};

py::object stakeDtype() {
    return recordDtype(
        py::make_tuple("chainage", "offset", "northing", "easting", "height", "azimuth", "station",
                       "point", "side", "boundary"),
        py::make_tuple("f8", "f8", "f8", "f8", "f8", "f8", "U24", "U5", "U5", "?"),
        py::make_tuple(offsetof(StakeRecord, chainage), offsetof(StakeRecord, offset),
                       offsetof(StakeRecord, northing), offsetof(StakeRecord, easting),
                       offsetof(StakeRecord, height), offsetof(StakeRecord, azimuth),
                       offsetof(StakeRecord, station), offsetof(StakeRecord, point),
                       offsetof(StakeRecord, side), offsetof(StakeRecord, boundary)),
        sizeof(StakeRecord));
}

void fillStakeRecords(const RoadAlignment& a, const std::vector<TAlntStakeoutStation>& stations,
                      const std::vector<double>& off, StakeRecord* records) {
    std::vector<RoadAlignment::StakeRow> rows(stations.size() * off.size());
    a.stakeoutRows(stations, off, rows.data());
    std::size_t r = 0;
    for (const TAlntStakeoutStation& s : stations) {
        const std::string text = a.stakeoutStationText(s, 2);
        for (const double o : off) {
            StakeRecord& rec = records[r];
            const RoadAlignment::StakeRow& row = rows[r++];
            rec.chainage = a.fromM(s.chainageInM);
            rec.offset = o;
            rec.northing = row.north;
            rec.easting = row.east;
            rec.height = row.height;
            rec.azimuth = row.azimuth;
            setText(rec.station, 24, text);
            setText(rec.point, 5, s.equation ? "EQ" : s.code);
            setText(rec.side, 5, alntJointSideText(s.side));
            rec.boundary = s.boundary;
        }
    }
}

py::object stakeout(const RoadAlignment& a, double interval, const py::object& offsets) {
    if (!(std::isfinite(interval) && interval > 0.0))
        throw py::value_error("stakeout: interval must be a positive number");
    if (a.length() / interval > kMaxStakeoutStations)
        throw py::value_error("stakeout: an interval of " +
                              py::repr(py::float_(interval)).cast<std::string>() +
                              " gives more than 1e7 stations");
    const py::array_t<double> offs = pyvelmor::asDoubles(offsets, "offsets");
    const std::vector<double> off(offs.data(), offs.data() + offs.size());
    for (double o : off)
        if (!std::isfinite(o)) throw py::value_error("stakeout: offsets must be finite");
    std::vector<TAlntStakeoutStation> stations;
    {
        const py::gil_scoped_release release;
        stations = a.stakeoutStations(interval);
    }
    const auto rows = static_cast<py::ssize_t>(stations.size() * off.size());
    py::array out = py::module_::import("numpy").attr("empty")(rows, stakeDtype());
    auto* records = static_cast<StakeRecord*>(out.mutable_data());
    {
        const py::gil_scoped_release release;
        fillStakeRecords(a, stations, off, records);
    }
    return out;
}

// One record of evaluate's structured array.
struct EvalRecord {
    double chainage, offset, northing, easting, azimuth, curvature, height, grade;
    std::int32_t element;
    char32_t kind[6];
};

py::object evalDtype() {
    return recordDtype(
        py::make_tuple("chainage", "offset", "northing", "easting", "azimuth", "curvature",
                       "height", "grade", "element", "kind"),
        py::make_tuple("f8", "f8", "f8", "f8", "f8", "f8", "f8", "f8", "i4", "U6"),
        py::make_tuple(offsetof(EvalRecord, chainage), offsetof(EvalRecord, offset),
                       offsetof(EvalRecord, northing), offsetof(EvalRecord, easting),
                       offsetof(EvalRecord, azimuth), offsetof(EvalRecord, curvature),
                       offsetof(EvalRecord, height), offsetof(EvalRecord, grade),
                       offsetof(EvalRecord, element), offsetof(EvalRecord, kind)),
        sizeof(EvalRecord));
}

void fillEvalRecord(const RoadAlignment& a, const TAlntEval* e, double c, double o, EvalRecord& r) {
    static constexpr const char* kKinds[] = {"line", "arc", "spiral", "ip"};
    r = {c, o, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, -1, {}};
    setText(r.kind, 6, "");
    if (e == nullptr || !std::isfinite(o)) return;
    double n = 0.0, east = 0.0;
    alntOffsetPoint(*e, a.toM(o), n, east);
    r.northing = a.fromM(n);
    r.easting = a.fromM(east);
    r.azimuth = e->azimuthDeg;
    r.curvature = e->curvature * a.toM(1.0);
    r.height = e->hasHeight ? a.fromM(e->height) : kNaN;
    r.grade = e->hasGrade ? e->gradePercent : kNaN;
    r.element = e->element;
    setText(r.kind, 6, e->kind >= 0 && e->kind < 4 ? kKinds[e->kind] : "");
}

// The evaluations of chainages [begin, end) into their records, in blocks.
void fillEvalRecords(const RoadAlignment& a, const Broadcast& b, std::size_t begin, std::size_t end,
                     EvalRecord* records) {
    constexpr std::size_t kBlock = 256;
    std::vector<TAlntEval> at(kBlock);
    std::unique_ptr<bool[]> ok(new bool[kBlock]);
    for (std::size_t i = begin; i < end; i += kBlock) {
        const std::size_t n = std::min(kBlock, end - i);
        a.evaluate(b.data(0) + i, n, at.data(), ok.get());
        for (std::size_t j = 0; j < n; ++j)
            fillEvalRecord(a, ok[j] ? &at[j] : nullptr, b.data(0)[i + j], b.data(1)[i + j],
                           records[i + j]);
    }
}

py::object evaluate(const RoadAlignment& a, const py::object& chainage, const py::object& offset,
                    const py::object& threads) {
    const unsigned t = threadsArgument(threads);
    const Broadcast b({chainage, offset}, {"chainage", "offset"});
    const py::module_ np = py::module_::import("numpy");
    py::array out = np.attr("empty")(py::tuple(py::cast(b.shape())), evalDtype());
    auto* records = static_cast<EvalRecord*>(out.mutable_data());
    {
        const py::gil_scoped_release release;
        splitLoop(b.size(), t, [&](std::size_t begin, std::size_t end) {
            fillEvalRecords(a, b, begin, end, records);
        });
    }
    if (b.scalar()) return out.attr("__getitem__")(py::tuple());
    return out;
}

py::object stationText(const RoadAlignment& a, const py::object& chainage, int decimals) {
    if (decimals < 0 || decimals > 6) throw py::value_error("decimals must be 0 to 6");
    const py::array_t<double> c = pyvelmor::asDoubles(chainage, "chainage");
    auto text = [&](double v) { return std::isfinite(v) ? a.stationText(v, decimals) : ""; };
    if (c.ndim() == 0) return py::str(text(*c.data()));
    py::list out;
    for (py::ssize_t i = 0; i < c.size(); ++i)
        out.append(text(c.data()[i]));
    const py::module_ np = py::module_::import("numpy");
    return np.attr("array")(out, "U").attr("reshape")(c.attr("shape"));
}

py::object chainageOf(const RoadAlignment& a, const py::object& text) {
    auto one = [&](const std::string& t) {
        double c = 0.0;
        std::string error;
        if (!a.chainageOf(t, c, error))
            throw py::value_error("chainage_of(\"" + t + "\"): " + error);
        return c;
    };
    if (py::isinstance<py::str>(text)) return py::float_(one(text.cast<std::string>()));
    const py::module_ np = py::module_::import("numpy");
    const py::array arr = np.attr("asarray")(text);
    const char kind = arr.dtype().kind();
    if (kind != 'U' && kind != 'O')
        throw py::type_error("chainage_of: expected station text, got dtype " +
                             py::str(arr.dtype()).cast<std::string>());
    const py::object flat = arr.attr("ravel")();
    py::array_t<double> out(arr.size());
    double* po = out.mutable_data();
    py::ssize_t i = 0;
    for (const py::handle t : flat) {
        if (!py::isinstance<py::str>(t))
            throw py::type_error("chainage_of: expected station text, got " +
                                 py::repr(t).cast<std::string>());
        po[i++] = one(t.cast<std::string>());
    }
    return out.attr("reshape")(arr.attr("shape"));
}

py::dict curveRelations(const py::object& radius, const py::object& length,
                        const py::object& threads) {
    const unsigned t = threadsArgument(threads);
    const Broadcast b({radius, length}, {"radius", "length"});
    const char* names[] = {"radius",          "length",          "delta",    "chord",
                           "tangent",         "middle_ordinate", "external", "degree_of_curve",
                           "degree_of_chord", "spiral_parameter"};
    constexpr int kCount = 10;
    std::vector<py::array_t<double>> outs;
    std::vector<double*> p;
    for (int k = 0; k < kCount; ++k) {
        outs.push_back(b.newOutput());
        p.push_back(outs.back().mutable_data());
    }
    {
        const py::gil_scoped_release release;
        splitLoop(b.size(), t, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const double R = b.data(0)[i], L = b.data(1)[i];
                // The library answers 0.0 where a relation has none; a script gets NaN instead, so
                // a bad radius cannot pass as a curve of zero size.
                const bool ok = std::isfinite(R) && R > 0.0 && std::isfinite(L) && L >= 0.0;
                const double v[kCount] = {R,
                                          L,
                                          getDisplayValueFromLength(L, R, aldDelta),
                                          getDisplayValueFromLength(L, R, aldChord),
                                          getDisplayValueFromLength(L, R, aldTangent),
                                          getDisplayValueFromLength(L, R, aldMidOrd),
                                          getDisplayValueFromLength(L, R, aldExternal),
                                          getDisplayValueFromRadius(R, ardDegOfCurve),
                                          getDisplayValueFromRadius(R, ardDegOfChord),
                                          getDisplayValueFromLength(L, R, aldSpiralParam)};
                for (int k = 0; k < kCount; ++k)
                    p[k][i] = ok ? v[k] : kNaN;
            }
        });
    }
    py::dict out;
    for (int k = 0; k < kCount; ++k)
        out[names[k]] = b.finish(outs[k]);
    return out;
}

py::tuple geodesicInverse(const py::object& lat1, const py::object& lon1, const py::object& lat2,
                          const py::object& lon2, const py::object& threads) {
    const unsigned t = threadsArgument(threads);
    const Broadcast b({lat1, lon1, lat2, lon2}, {"lat1", "lon1", "lat2", "lon2"});
    py::array_t<double> dist = b.newOutput(), az1 = b.newOutput(), az2 = b.newOutput();
    {
        double* pd = dist.mutable_data();
        double* p1 = az1.mutable_data();
        double* p2 = az2.mutable_data();
        const py::gil_scoped_release release;
        splitLoop(b.size(), t, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const double la1 = b.data(0)[i], lo1 = b.data(1)[i];
                const double la2 = b.data(2)[i], lo2 = b.data(3)[i];
                pd[i] = p1[i] = p2[i] = kNaN;
                if (!(std::fabs(la1) <= 90.0 && std::fabs(la2) <= 90.0 && std::isfinite(lo1) &&
                      std::isfinite(lo2)))
                    continue;
                double faz = 0.0, baz = 0.0, s = 0.0;
                invlon(6378137.0, 298.257223563, la1, lo1, la2, lo2, faz, s, baz);
                pd[i] = s;
                p1[i] = faz;
                // The back azimuth points from point 2 to point 1; the forward one at point 2 (the
                // direction of travel arriving there) is its reverse.
                p2[i] = std::fmod(baz + 180.0, 360.0);
            }
        });
    }
    return py::make_tuple(b.finish(dist), b.finish(az1), b.finish(az2));
}

std::string unitOf(const RoadAlignment& a) {
    return zel_landxml::unitSymbol(a.unit());
}

int curveKind(const py::object& curve) {
    if (curve.is_none()) return 0;
    const std::string c = py::str(curve);
    if (py::isinstance<py::str>(curve) && c == "parabola") return 1;
    if (py::isinstance<py::str>(curve) && c == "circle") return 2;
    throw py::value_error("vip: curve must be None, \"parabola\" or \"circle\", not " +
                          py::repr(curve).cast<std::string>());
}

template <class F>
RoadBuilder& check(RoadBuilder& b, F step) {
    std::string error;
    if (!step(error)) throw py::value_error(error);
    return b;
}

}  // namespace

PYBIND11_MODULE(_velmorutils, m) {
    m.doc() =
        "Road alignment geometry of velmorutils for scripts and notebooks.\n\n"
        "Conventions: lengths, chainages, offsets, coordinates and heights are in the "
        "alignment's unit (Alignment.unit: \"m\", \"usft\" or \"ft\"); positions are "
        "(northing, easting); azimuths are decimal degrees clockwise from north in [0, 360); "
        "offsets are positive to the right of increasing chainage; grades are percent. "
        "Chainage is the running (internal) chainage; station_text/chainage_of convert to the "
        "design's stations, station equations included. Every array argument broadcasts like "
        "NumPy (lists, integers, float32 and strided views are accepted), scalars give "
        "scalars, NaN in gives NaN out. Errors raise ValueError (bad values, files: with file, "
        "line and element) or TypeError (arguments that are not numbers). Every batch call "
        "takes threads= (None: every core the process may use) and answers the same with any "
        "number of them.";
    m.attr("STATUS_NAMES") = py::make_tuple(kStatusNames[0], kStatusNames[1], kStatusNames[2],
                                            kStatusNames[3], kStatusNames[4]);
    m.attr("SIDE_NAMES") = py::make_tuple(kSideNames[0], kSideNames[1], kSideNames[2]);

    py::class_<RoadAlignment, AlignmentPtr>(m, "Alignment",
                                            "A road centre line with its profile and stationing.")
        .def_property_readonly("name", &RoadAlignment::name, "The alignment's name in the file.")
        .def_property_readonly(
            "crs",
            [](const RoadAlignment& a) -> py::object {
                return a.crs().empty() ? py::object(py::none()) : py::str(a.crs());
            },
            "The file's coordinate system as PROJ and pyproj take it (\"EPSG:2229\", else its "
            "WKT or name), or None when the file names none.")
        .def_property_readonly("unit", &unitOf,
                               "Linear unit of every length: \"m\", \"usft\" or \"ft\".")
        .def_property_readonly("start_chainage", &RoadAlignment::startChainage,
                               "Running chainage of the start (unit).")
        .def_property_readonly("end_chainage", &RoadAlignment::endChainage,
                               "Running chainage of the end (unit).")
        .def_property_readonly("length", &RoadAlignment::length,
                               "Horizontal length along the centre line (unit).")
        .def_property_readonly("has_profile", &RoadAlignment::hasProfile,
                               "Whether the alignment has a vertical profile.")
        .def("position", &position, py::arg("chainage"), py::arg("offset") = 0.0, py::kw_only(),
             py::arg("threads") = py::none(),
             "(northing, easting) at running chainage and offset (unit; offset positive to the "
             "right of increasing chainage). Beyond the ends the road runs on along its end "
             "tangents.")
        .def(
            "azimuth",
            [](const RoadAlignment& a, const py::object& c, const py::object& threads) {
                return perChainage(a, c, &RoadAlignment::azimuths, threads);
            },
            py::arg("chainage"), py::kw_only(), py::arg("threads") = py::none(),
            "Direction of increasing chainage, decimal degrees clockwise from north in [0, 360).")
        .def(
            "curvature",
            [](const RoadAlignment& a, const py::object& c, const py::object& threads) {
                return perChainage(a, c, &RoadAlignment::curvatures, threads);
            },
            py::arg("chainage"), py::kw_only(), py::arg("threads") = py::none(),
            "Curvature 1/R in 1/unit, positive where the road turns right (clockwise), 0 on "
            "straights and beyond the ends.")
        .def(
            "height",
            [](const RoadAlignment& a, const py::object& c, const py::object& threads) {
                return perChainage(a, c, &RoadAlignment::heights, threads);
            },
            py::arg("chainage"), py::kw_only(), py::arg("threads") = py::none(),
            "Design height (unit); NaN outside the profile or without one.")
        .def(
            "grade",
            [](const RoadAlignment& a, const py::object& c, const py::object& threads) {
                return perChainage(a, c, &RoadAlignment::grades, threads);
            },
            py::arg("chainage"), py::kw_only(), py::arg("threads") = py::none(),
            "Design grade in percent, positive uphill in increasing chainage; NaN outside the "
            "profile or without one.")
        .def("station_offset", &stationOffset, py::arg("northing"), py::arg("easting"),
             py::kw_only(), py::arg("names") = false, py::arg("threads") = py::none(),
             "The nearest foot on the alignment of each point, as a structured array of 24 "
             "bytes a point: chainage (running, unit), offset (unit, right positive), status "
             "(uint8 code, STATUS_NAMES[code]: 0 \"square\": the perpendicular foot on an "
             "element; 1 \"beforeStart\"/2 \"afterEnd\": measured along and across the "
             "extended end tangent; 3 \"atJoint\": outside a kink, the joint is the nearest "
             "point; 4 \"none\": the point is not a finite number, all values NaN), element "
             "(int32, 0-based, -1 for none) and side (uint8 code, SIDE_NAMES[code]: 1 \"back\" "
             "or 2 \"ahead\" for a square foot at an angle point: the stake-out row of that "
             "side at this chainage and offset gives the point back; 0 \"\" elsewhere). "
             "names=True gives status and side as text instead (88 bytes a point). threads: "
             "how many threads share the work (None: every core the process may use); the "
             "answers do not depend on it.")
        .def("evaluate", &evaluate, py::arg("chainage"), py::arg("offset") = 0.0, py::kw_only(),
             py::arg("threads") = py::none(),
             "Everything a chainage answers, from one lookup: structured array with chainage, "
             "offset, northing, easting (at the offset), azimuth, curvature, height, grade "
             "(percent; also along circular vertical curves), element (0-based) and kind "
             "(\"line\", \"arc\", \"spiral\", \"ip\"). Beyond the ends position and azimuth "
             "follow the end tangent and curvature is 0.")
        .def("stakeout", &stakeout, py::arg("interval"),
             py::arg("offsets") = std::vector<double>{0.0},
             "Stake-out table, the library's one stake-out rule (the road tool's too): every "
             "round design station at `interval` (unit), the start, the end, each element "
             "boundary and key point (TS, SC, CS, ST, PC, PT, curves at an intersection point "
             "included), each station equation and angle point twice (side \"back\" and "
             "\"ahead\", each staked square to its own side of the joint), at each offset "
             "(unit, right positive). Structured array with chainage (running), offset, "
             "northing, easting, height (NaN without a profile), azimuth (degrees), station "
             "(text; the back station on an equation's back row), point (key point code, "
             "\"EQ\" at an equation), side and boundary.")
        .def("station_text", &stationText, py::arg("chainage"), py::arg("decimals") = 2,
             "Design station text of running chainages (\"1+234.56\" in metres, \"12+34.56\" "
             "in feet), after the station equations; a station that occurs in several regions "
             "carries its region (\" R2\"). NaN gives \"\".")
        .def("chainage_of", &chainageOf, py::arg("text"),
             "Running chainage (unit) of design station text; ValueError when the station is "
             "not on the road, lies in an equation's gap, or occurs in several regions and "
             "names none.")
        .def("__repr__",
             [](const RoadAlignment& a) {
                 return "<velmorutils.Alignment '" + a.name() + "' " + std::to_string(a.length()) +
                        " " + unitOf(a) + ">";
             })
        // Pickles as the steps it was made by (AlignmentState.h); copies are made the same way.
        .def(py::pickle([](const RoadAlignment& a) { return pyvelmor::alignmentState(a); },
                        [](const py::tuple& state) { return pyvelmor::alignmentFromState(state); }))
        .def("__copy__", [](const AlignmentPtr& a) { return a; })
        .def(
            "__deepcopy__",
            [](const RoadAlignment& a, const py::object&) {
                return pyvelmor::alignmentFromState(pyvelmor::alignmentState(a));
            },
            py::arg("memo"));

    pyvelmor::bindLayers(m);

    py::class_<RoadBuilder>(m, "AlignmentBuilder",
                            "Builds an alignment element by element from a start point "
                            "(northing, easting), a start chainage and a start azimuth (degrees "
                            "clockwise from north); all lengths in `unit`. Each method returns "
                            "the builder; an element that cannot be built raises ValueError.")
        .def(py::init([](double n, double e, double c, double az, const py::object& unit) {
                 const auto u = unitArgument(unit, zel_landxml::LinearUnit::Meter);
                 RoadBuilder b(n, e, c, az, u);
                 std::string error;
                 if (!b.started(error)) throw py::value_error("AlignmentBuilder: " + error);
                 return b;
             }),
             py::arg("northing"), py::arg("easting"), py::arg("chainage"), py::arg("azimuth"),
             py::arg("unit") = "m")
        .def(
            "line",
            [](RoadBuilder& b, double len) -> RoadBuilder& {
                return check(b, [&](std::string& e) { return b.line(len, e); });
            },
            py::arg("length"), py::return_value_policy::reference_internal, "A straight.")
        .def(
            "arc",
            [](RoadBuilder& b, double len, double r, bool right) -> RoadBuilder& {
                return check(b, [&](std::string& e) { return b.arc(len, r, right, e); });
            },
            py::arg("length"), py::arg("radius"), py::arg("right"),
            py::return_value_policy::reference_internal,
            "A circular arc; right=True turns clockwise.")
        .def(
            "spiral",
            [](RoadBuilder& b, double len, double r1, double r2, bool right) -> RoadBuilder& {
                return check(b, [&](std::string& e) { return b.spiral(len, r1, r2, right, e); });
            },
            py::arg("length"), py::arg("radius_start"), py::arg("radius_end"), py::arg("right"),
            py::return_value_policy::reference_internal,
            "A clothoid from radius_start to radius_end (math.inf: a tangent end).")
        .def(
            "ip",
            [](RoadBuilder& b, double n, double e, double r, double l1, double l2) -> RoadBuilder& {
                return check(b, [&](std::string& err) { return b.ip(n, e, r, l1, l2, err); });
            },
            py::arg("northing"), py::arg("easting"), py::arg("radius"), py::arg("spiral_in") = 0.0,
            py::arg("spiral_out") = 0.0, py::return_value_policy::reference_internal,
            "An intersection point with its curve (entry spiral, arc, exit spiral). The curve "
            "is fitted when the next IP follows; the last IP (radius 0) is the road's end.")
        .def(
            "vip",
            [](RoadBuilder& b, double c, double h, const py::object& curve, double len,
               double r) -> RoadBuilder& {
                const int kind = curveKind(curve);
                return check(b, [&](std::string& e) { return b.vip(c, h, kind, len, r, e); });
            },
            py::arg("chainage"), py::arg("height"), py::arg("curve") = py::none(),
            py::arg("length") = 0.0, py::arg("radius") = 0.0,
            py::return_value_policy::reference_internal,
            "A vertical intersection point at running chainage and height; curve \"parabola\" "
            "(of `length`) or \"circle\" (of `radius`), or None.")
        .def(
            "equation",
            [](RoadBuilder& b, double c, double ahead, const py::object& back) -> RoadBuilder& {
                const double behind =
                    back.is_none() ? std::numeric_limits<double>::quiet_NaN() : back.cast<double>();
                return check(b, [&](std::string& e) { return b.equation(c, behind, ahead, e); });
            },
            py::arg("chainage"), py::arg("station_ahead"), py::arg("station_back") = py::none(),
            py::return_value_policy::reference_internal,
            "A station equation at running chainage: the station ahead of it, and the station "
            "behind it (None: the one the road behind reaches).")
        .def(
            "build",
            [](const RoadBuilder& b) {
                std::string error;
                AlignmentPtr a = b.build(error);
                if (!a) throw py::value_error(error);
                return a;
            },
            "The Alignment built so far (a copy; the builder can go on).");

    pyvelmor::bindTransform(m);
    m.def("read_landxml", &readLandxml, py::arg("path"), py::arg("unit") = py::none(),
          py::arg("profile") = py::none(),
          "Every alignment of a LandXML file (1.0 to 2.0) that can be read, as a list of "
          "Alignment. unit: \"m\", \"usft\", \"ft\" or None for the file's own. profile: the "
          "name of the design profile to use, or None for each alignment's first (a "
          "UserWarning names the others). An alignment that cannot be read exactly (or has no "
          "profile of that name) is left out with a UserWarning naming the file, line and "
          "element; when none can be read, ValueError with each one's reason. What the reader "
          "accepted but a user should know comes as UserWarning. Keyword arguments for the "
          "road beyond the centre line (Alignment.design_height, slope_stake): "
          "section_surface (comma-separated names of the section surfaces forming the design), "
          "ground_section (the section surface that is the ground), section_heights (\"auto\", "
          "\"absolute\", \"relative\" to the profile's grade), ground (a TIN surface's name, "
          "of this file or of ground_file), ground_file, design_surface (a finished-grade TIN), "
          "design_surface_file, template_file (a typical section INI in the alignment's unit, "
          "turned by the file's superelevation). Alignment.corridor_notes says what was taken.");
    m.def("curve_relations", &curveRelations, py::arg("radius"), py::arg("length"), py::kw_only(),
          py::arg("threads") = py::none(),
          "Every relation of a circular curve of radius and arc length (any one unit): delta "
          "(central angle, degrees), chord, tangent, middle_ordinate, external, "
          "degree_of_curve and degree_of_chord (degrees on a 100-unit base), spiral_parameter "
          "(A = sqrt(R L)). NaN where the radius is not positive or the length negative.");
    m.def("geodesic_inverse", &geodesicInverse, py::arg("lat1"), py::arg("lon1"), py::arg("lat2"),
          py::arg("lon2"), py::kw_only(), py::arg("threads") = py::none(),
          "Distance (m) and azimuths on WGS84 between points given in decimal degrees: "
          "(distance, azimuth1, azimuth2) with azimuth1 the forward azimuth at point 1 and "
          "azimuth2 the forward azimuth at point 2 (the direction of travel arriving there), "
          "both clockwise from north in [0, 360). Accurate to millimetres except for nearly "
          "antipodal points; NaN for latitudes beyond +-90.");
    pyvelmor::addFieldOutputs(m);
    pyvelmor::registerCorridor(m);

    // Last, so that every function defined above gets its parameters shown.
    pyvelmor::addTextSignatures(m);
}
