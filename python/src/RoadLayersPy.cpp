#include "RoadLayersPy.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include <velmorutils/landxml/RoadLayers.h>

#include "ArrayArgs.h"
#include "FieldOutputs.h"
#include "RoadAlignment.h"

namespace py = pybind11;

namespace pyvelmor {
namespace {

using zel_landxml::Feature;
using zel_landxml::FieldType;
using zel_landxml::Layer;

py::list coordinates(const RoadAlignment& a, const Feature& f) {
    // GeoJSON order: x easting, y northing, in the alignment's unit.
    py::list out;
    for (const zel_landxml::Vertex& v : f.vertices)
        out.append(py::list(py::make_tuple(a.fromM(v.east), a.fromM(v.north))));
    return out;
}

py::dict feature(const RoadAlignment& a, const Layer& layer, const Feature& f) {
    py::dict geometry;
    const bool point = layer.geometry == zel_landxml::GeometryKind::Point;
    py::list xy = coordinates(a, f);
    geometry["type"] = point ? "Point" : "LineString";
    geometry["coordinates"] = point ? py::object(xy[0]) : py::object(xy);
    py::dict properties;
    for (std::size_t i = 0; i < layer.fields.size() && i < f.values.size(); ++i) {
        const zel_landxml::FieldValue& v = f.values[i];
        const char* name = layer.fields[i].name.c_str();
        if (v.null)
            properties[name] = py::none();
        else if (layer.fields[i].type == FieldType::Real)
            properties[name] = v.real;
        else if (layer.fields[i].type == FieldType::Integer)
            properties[name] = v.integer;
        else
            properties[name] = v.text;
    }
    py::dict out;
    out["type"] = "Feature";
    out["geometry"] = geometry;
    out["properties"] = properties;
    return out;
}

zel_landxml::LayerRequest request(const RoadAlignment& a, const py::object& interval,
                                  const py::object& offsets, const py::object& chordError,
                                  long long startNumber, int decimals) {
    zel_landxml::LayerRequest r;
    r.unit = a.unit();
    r.stationStyle.unit = a.unit();
    r.stationStyle.decimals = decimals;
    // The road tool's defaults: 20 m, or 50 ft; 1 mm.
    const double step =
        interval.is_none()
            ? (a.unit() == zel_landxml::LinearUnit::Meter ? 20.0 : a.fromM(50.0 * 0.3048))
            : interval.cast<double>();
    if (!(std::isfinite(step) && step > 0.0) || a.length() / step > 1e7)
        throw py::value_error(
            "to_layers: interval must be a positive number giving at most 1e7 "
            "stations");
    r.intervalM = a.toM(step);
    if (!chordError.is_none()) r.chordErrorM = a.toM(chordError.cast<double>());
    const py::array_t<double> offs = asDoubles(offsets, "offsets");
    r.offsetsM.clear();
    for (py::ssize_t i = 0; i < offs.size(); ++i)
        r.offsetsM.push_back(a.toM(offs.data()[i]));
    if (decimals < 0 || decimals > 6) throw py::value_error("to_layers: decimals must be 0 to 6");
    r.firstStakeNumber = static_cast<int>(startNumber);
    return r;
}

// The shots of a mapping (a dict, a pandas DataFrame) by column: northing, easting and the
// optional height, names, codes; checked as Alignment.check checks them, against `offsets`.
std::vector<zel_landxml::CheckShot> checkedShots(const RoadAlignment& a, const py::object& shots,
                                                 const py::object& tolH, const py::object& tolV,
                                                 const py::object& offsets,
                                                 const zel_landxml::StationStyle& style) {
    const auto column = [&](const char* key) {
        return shots.attr("__contains__")(key).cast<bool>() ? py::object(shots[key])
                                                            : py::object(py::none());
    };
    if (column("northing").is_none() || column("easting").is_none())
        throw py::value_error("to_layers: shots need 'northing' and 'easting'");
    const CheckedShots c =
        checkShots(a, column("northing"), column("easting"), column("height"), column("names"),
                   column("codes"), tolH, tolV, offsets, py::none());
    return zel_landxml::checkShotsOf(c.shots, c.results, a.stationing(), style);
}

py::dict toLayers(const RoadAlignment& a, const py::object& interval, const py::object& offsets,
                  const py::object& chordError, long long startNumber, int decimals,
                  const py::object& shots, const py::object& tolH, const py::object& tolV) {
    const zel_landxml::LayerRequest r =
        request(a, interval, offsets, chordError, startNumber, decimals);
    std::vector<zel_landxml::CheckShot> checked;
    if (!shots.is_none()) checked = checkedShots(a, shots, tolH, tolV, offsets, r.stationStyle);
    std::vector<Layer> layers;
    std::string error;
    bool ok = false;
    {
        const py::gil_scoped_release release;
        ok = a.withAlnt([&](const CAlnt& alnt) {
            if (!zel_landxml::buildRoadLayers(alnt, a.stationing(), r, layers, error)) return false;
            if (shots.is_none()) return true;
            layers.emplace_back();
            return zel_landxml::buildCheckLayer(alnt, checked, r.unit, layers.back(), error);
        });
    }
    if (!ok) throw py::value_error("to_layers: " + error);
    py::dict out;
    for (const Layer& layer : layers) {
        py::list features;
        for (const Feature& f : layer.features)
            features.append(feature(a, layer, f));
        py::dict collection;
        collection["type"] = "FeatureCollection";
        collection["features"] = features;
        out[layer.name.c_str()] = collection;
    }
    return out;
}

}  // namespace

void bindLayers(py::module_& m) {
    auto cls = py::reinterpret_borrow<py::class_<RoadAlignment, std::shared_ptr<RoadAlignment>>>(
        m.attr("Alignment"));
    cls.def("to_layers", &toLayers, py::arg("interval") = py::none(),
            py::arg("offsets") = std::vector<double>{0.0}, py::arg("chord_error") = py::none(),
            py::arg("start_number") = 1, py::arg("decimals") = 2, py::kw_only(),
            py::arg("shots") = py::none(), py::arg("tol_h") = py::none(),
            py::arg("tol_v") = py::none(),
            "The road as the CAD/GIS layers velmor-road export writes, as a dict of GeoJSON-like "
            "FeatureCollections: centreline, offsets, stations, keypoints, stakes (the same "
            "features and attribute names as every exported format). Coordinates are "
            "(easting, northing) in the alignment's unit on its own grid (GeoJSON's x, y "
            "order); lengths in the attributes in that unit too, named by the attribute "
            "`unit`. interval: stake-out station interval (default 20 m or 50 ft); offsets: "
            "offset lines and stakes (right positive); chord_error: the largest distance of a "
            "drawn chord from the true curve (default 1 mm). shots: as-built shots, a dict or "
            "DataFrame with columns northing, easting and optionally height, names, codes: a "
            "check layer (point, station, chainage, offset, h_dev, v_dev, h_result, v_result) "
            "of the shots checked as check() checks them against `offsets` with tol_h and "
            "tol_v, bad shots left out. "
            "geopandas.GeoDataFrame.from_features(layers['stakes']) loads a layer.");
}

}  // namespace pyvelmor
