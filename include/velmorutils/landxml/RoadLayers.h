#pragma once

#include <string>
#include <vector>

#include <velmorutils/landxml/AsBuiltCheck.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace zel_math {
class CRoadCorridor;
struct TGround;
}  // namespace zel_math

// A road as the vector layers a CAD or GIS file holds: geometry and attributes as plain data,
// with nothing of any file format. The GIS writer (velmorutils::gis) and the Python module both
// take their features from here, so every format carries the same features with the same
// attribute names.
//
// Frame and units: every vertex is a plane point of the design's grid, northing first, in
// metres (a writer converts it to its file's unit or projects it). Attribute lengths and
// stations are in the unit of the request (LayerRequest::unit), which the attribute `unit`
// names ("m", "usft", "ft") on every feature that carries a length; azimuths are decimal
// degrees clockwise from grid north, in [0, 360). Offsets are positive to the right of
// increasing chainage. Attribute names have at most 10 characters, so that a Shapefile (dBASE)
// keeps them unchanged, and none is "name" or "description" in any case, which KML takes for
// its placemark's own.
namespace zel_landxml {

// Chord error of a curve drawn as vertices when none is asked for: 1 mm.
inline constexpr double kDefaultChordErrorM = 0.001;
// The smallest chord error a request may ask for (0.01 mm), and the largest (1 m): below it the
// vertices of a long clothoid would run to millions, above it the drawing is no longer the road.
inline constexpr double kMinChordErrorM = 1e-5;
inline constexpr double kMaxChordErrorM = 1.0;

enum class FieldType { Text, Real, Integer };

struct Field {
    std::string name;
    FieldType type = FieldType::Text;
};

// One attribute value; `null` when the feature has none for this field (a line's radius).
struct FieldValue {
    bool null = true;
    double real = 0.0;
    long long integer = 0;
    std::string text;
};

struct Vertex {
    double north = 0.0;  // metres
    double east = 0.0;
};

// A circular arc as CAD draws it (DXF ARC): from `vertices.front()` to `vertices.back()` of its
// feature about `center`, turning right (clockwise seen from above) when `clockwise`. Metres.
struct ArcShape {
    Vertex center;
    double radius = 0.0;
    bool clockwise = true;
};

enum class GeometryKind { Point, Line };

struct Feature {
    // A point has one vertex. A line has two or more, none farther than the request's chord
    // error from the true curve between its neighbours; its first and last vertex are the exact
    // ends.
    std::vector<Vertex> vertices;
    // Set where the line is a circular arc (centre lines and offsets of arcs): formats with true
    // arcs draw it from this, the others from the vertices.
    bool isArc = false;
    ArcShape arc;
    // Text drawn beside a point in CAD (the station of a station tick, the name of a key point);
    // empty: none.
    std::string label;
    std::vector<FieldValue> values;  // one per field of its layer, in the layer's field order
};

struct Layer {
    std::string name;  // centreline, offsets, stations, keypoints, stakes, check
    GeometryKind geometry = GeometryKind::Point;
    std::vector<Field> fields;
    std::vector<Feature> features;
    // The index of a field by name; -1 when the layer has none of that name.
    int fieldIndex(const std::string& fieldName) const;
};

struct LayerRequest {
    LinearUnit unit = LinearUnit::Meter;  // of attribute lengths and station text
    StationStyle stationStyle;            // station text (its unit should be `unit`)
    double chordErrorM = kDefaultChordErrorM;
    double intervalM = 20.0;  // stake-out station interval, metres of design station
    // Offsets of the offset lines and the stake points, metres, right positive; 0 is the centre
    // line (staked, but no offset line).
    std::vector<double> offsetsM{0.0};
    int firstStakeNumber = 1;
    // The road beyond its centre line (both may be null): with a design model the stakes carry
    // the design height at their own offset and a sections layer is written; with a ground as
    // well, a catchpoints layer of the slope stakes at every stake-out station, both sides,
    // searching searchM beyond the hinge.
    const zel_math::CRoadCorridor* corridor = nullptr;
    const zel_math::TGround* ground = nullptr;
    double searchM = 100.0;
};

// An as-built shot as a check reports it, in the request's unit: where it was taken (its
// station and offset on the road), its horizontal and vertical deviation from the design (NaN:
// not checked) and the verdict of each against its tolerance. The layer places the shot where it
// was measured (north, east) when given, else at its chainage and offset, which reproduce the
// measured point everywhere but beyond the road's ends (a shot there is measured at the end).
struct CheckShot {
    std::string point;
    double north = kNone;  // the measured point, metres of the design's grid; NaN: not given
    double east = kNone;
    std::string station;
    double chainage = 0.0;  // running chainage, in the request's unit
    double offset = 0.0;
    double hDev = kNone;
    double vDev = kNone;
    std::string hResult;  // "pass" / "fail" / "" when not checked
    std::string vResult;
};

// The layers of an alignment, in this order: centreline (one line per element, attributes
// kind "line"/"arc"/"spiral", turn "left"/"right"/"", radius (arcs), r_start and r_end
// (spirals; null where the spiral meets a tangent), length, start_sta, end_sta, start_ch,
// end_ch, unit), offsets (one line per offset and element: offset, side "L"/"R", kind,
// start_sta, end_sta, unit), stations (the round stake-out stations on the centre line:
// station, chainage, azimuth, unit; labelled with the station), keypoints (every key point the
// stake-out names, TS SC CS ST PC PT PCC PRC SS POT, Start and End, and the PI of every curve
// between two tangents: keypoint (its name, "TS 0+150.00", "PI 1"), code, station, chainage,
// unit), stakes (every stake-out row at
// every offset, the library's stake-out rule unchanged: number, desc, station, chainage,
// offset, height (the design height at the stake's offset with a design model, else the centre
// line's; null where there is none), unit); with a design model, sections (the finished surface
// at every stake-out station as a line across the road in plan, from its leftmost to its rightmost
// point: station, chainage, left, right (the outermost offsets), unit); with a design model and
// a ground, catchpoints (where each side slope meets the ground: station, chainage, side
// "L"/"R", offset, height, cut_fill (catch height minus hinge height, positive a cut), slope
// (H:V), unit; sides without a catch are left out).
// False with a message when the road has no element, the request is out of range, or a point
// cannot be computed; the layers are then empty.
bool buildRoadLayers(const CAlnt& alnt, const Stationing& stationing, const LayerRequest& request,
                     std::vector<Layer>& layers, std::string& error);

// The check layer of as-built shots: point, station, chainage, offset, h_dev, v_dev, h_result,
// v_result, unit. False with a message naming the shot when its chainage cannot be placed.
bool buildCheckLayer(const CAlnt& alnt, const std::vector<CheckShot>& shots, LinearUnit unit,
                     Layer& layer, std::string& error);

// The check layer's shots from an as-built check (AsBuiltCheck.h; results[i] belongs to
// shots[i]): every shot that was checked, in order, bad shots left out; station text by the
// stationing in style, lengths in style.unit, v_dev and v_result empty where a shot has no
// vertical check. The road tool's `check` table and `export --check` both show these numbers.
std::vector<CheckShot> checkShotsOf(const std::vector<AsBuiltShot>& shots,
                                    const std::vector<AsBuiltResult>& results,
                                    const Stationing& stationing, const StationStyle& style);

// The arc length (metres) one chord may span on a curve of curvature `curvature` (1/m, either
// sign) so that the curve stays within `chordErrorM` of it: 2 R acos(1 - e / R). A curve whose
// curvature never exceeds this one in magnitude over the chord stays within the same error.
double chordStepFor(double curvature, double chordErrorM);

}  // namespace zel_landxml
