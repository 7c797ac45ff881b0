#pragma once

#include <limits>
#include <string>
#include <vector>

#include <velmorutils/landxml/CrossSections.h>
#include <velmorutils/landxml/Surfaces.h>
#include <velmorutils/zelmath/angles/LinearUnit.h>
#include <velmorutils/zelmath/angles/ValueBounds.h>

// The alignments of a LandXML file (1.0 to 2.0) as plain data, in metres, before they become
// library alignments. Reading and writing the XML and building the alignment are separate steps
// so that each can report its own errors with the file's line numbers. Nothing here throws.
namespace zel_landxml {

inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInfinite = std::numeric_limits<double>::infinity();

// The library's one unit type (Meter, USSurveyFoot, InternationalFoot).
using LinearUnit = zel_math::LinearUnit;

// What a road can be. The reader refuses any value outside these bounds, and any number that is
// not finite, with the file, line and field: a value beyond them is a broken or hostile file,
// and would otherwise come out as a hang, an exhausted memory or a position far from any road.
// All in metres, after conversion from the file's unit.
// The bounds are the library's own (ValueBounds.h), so every door refuses the same values.
inline constexpr double kMaxCoordinateM = zel_math::kMaxCoordinateM;  // |northing|, |easting|
inline constexpr double kMaxLengthM = zel_math::kMaxLengthM;          // an element, a curve
inline constexpr double kMinRadiusM = zel_math::kMinRadiusM;          // arcs and spiral ends
// An arc beyond kMaxRadiusM is refused; a spiral end beyond it (or written 0) is INF, a tangent.
inline constexpr double kMaxRadiusM = zel_math::kMaxRadiusM;
inline constexpr double kMaxStationM = zel_math::kMaxStationM;      // |station|, staStart, VIPs
inline constexpr double kMaxElevationM = zel_math::kMaxElevationM;  // |elevation|
// A value within this fraction of a bound counts as on it (a value on a bound in metres, written
// in feet, reads back a few units in the last place away and must still read).
inline constexpr double kBoundSlack = zel_math::kBoundSlack;

// A point of the file's grid in metres; absent (NaN) where the file does not give it.
struct Point {
    double north = kNone;
    double east = kNone;
    bool present() const { return north == north && east == east; }
};

enum class HKind { Line, Curve, Spiral };

struct HElement {
    HKind kind = HKind::Line;
    int line = 0;             // line in the file, for messages
    double staStart = kNone;  // as the file gives it (not used for geometry)
    double length = kNone;
    bool clockwise = true;           // rot="cw": turns right
    double radius = kNone;           // arcs
    double radiusStart = kInfinite;  // spirals: infinite = tangent
    double radiusEnd = kInfinite;
    Point start, end, center, pi;
};

enum class VCurve { None, Parabola, Circle };

// A vertical intersection point with the curve fitted at it. Stations of a profile, like the
// element staStart, are running chainage (LandXML's internal stations), not station-equation
// stations.
struct Vip {
    double station = kNone;
    double elevation = kNone;
    VCurve curve = VCurve::None;
    double length = 0.0;  // parabola: length along the chainage; circle: its arc length
    double radius = 0.0;  // circular curves
    int line = 0;
    // One unit of the last decimal the file wrote for this point's station and curve length
    // (metres; 0 when not known): what the writer's rounding may have moved them by.
    double writtenStep = 0.0;
};

// A design profile of an alignment (LandXML's ProfAlign): its name and its VIPs.
struct Profile {
    std::string name;
    int line = 0;
    std::vector<Vip> vips;
};

// A station equation of a LandXML alignment, in metres.
//   staInternal  the running chainage at which the equation stands (the chainage of the geometry)
//   staBack      the design station of that point on the road behind it
//   staAhead     the design station of that point on the road ahead of it
// staAhead > staBack is a gap (the stations between do not exist); staAhead < staBack an overlap
// (the stations between occur twice).
struct StaEquation {
    double staInternal = 0.0;
    double staBack = 0.0;
    double staAhead = 0.0;
    int line = 0;  // line in the file, for messages
};

struct Alignment {
    std::string name;
    std::string description;
    double staStart = 0.0;  // running chainage of the first element's start
    int line = 0;
    std::vector<HElement> elements;
    // The profile in use: the first design profile of the file unless useProfile chose another.
    std::vector<Vip> profile;
    // Every design profile in file order (the reader fills it; the writer writes each under its
    // own name, or `profile` under the alignment's name when this is empty).
    std::vector<Profile> profiles;
    std::vector<StaEquation> equations;  // in increasing staInternal
    double staIncrement = kNone;         // the file's own station interval, when it gives one
    // Cross sections in increasing station, and superelevation periods in file order. A fault in
    // them (a point without two numbers, stations out of order) does not refuse the alignment:
    // its message ("line N: Element: what") is kept here, the records are dropped, and the
    // section model refuses to build from them.
    std::vector<CrossSectRecord> sections;
    std::string sectionsError;
    std::vector<SuperelevationRecord> superelevation;
    std::string superelevationError;
};

// Makes the named design profile the one in use. False with a message naming the alignment's
// profiles when it has none of that name.
bool useProfile(Alignment& alignment, const std::string& name, std::string& error);

// An alignment of the file that could not be read: its fault is its own and the file's other
// alignments are read as if it were not there. message: "line N: Element: what".
struct RefusedAlignment {
    std::string name;
    int line = 0;
    std::string message;
};

struct Document {
    LinearUnit unit = LinearUnit::Meter;
    std::string path;  // the file it was read from, for messages ("" when parsed from text)
    std::vector<Alignment> alignments;  // the alignments that could be read, in file order
    std::vector<RefusedAlignment> refused;
    std::vector<SurfaceRecord> surfaces;  // TIN surfaces, in file order
    // What the reader accepted but a user should know: "line N: element: ...".
    std::vector<std::string> warnings;
};

// One line of a file's list of alignments.
struct AlignmentSummary {
    std::string name;
    double lengthM = 0.0;  // sum of the element lengths
    int elements = 0;
    double startChainageM = 0.0;  // running chainage; Stationing gives the design stations
    double endChainageM = 0.0;
    bool hasProfile = false;
};
AlignmentSummary summarize(const Alignment& alignment);

// Metres per file unit, through the library's own conversions.
double toMetres(double value, LinearUnit unit);
double fromMetres(double metres, LinearUnit unit);
const char* unitName(LinearUnit unit);

// Parses LandXML text (UTF-8, with or without a byte-order mark). On failure returns false and a
// message "line N: Element: what" (readFile puts the path in front); the caller's document is
// then untouched, nothing partial is returned. A fault within one alignment (its geometry, a
// profile, its equations) refuses that alignment alone: it goes to Document::refused with its
// message and the others are read. The parse fails only for faults of the file itself and when
// no alignment can be read (the message is then the refusal's, or each one's after its name).
// Elements that are not geometry (Feature, Property, program extensions) are ignored wherever they
// stand; geometry that cannot be read exactly (other spiral types, chord-defined curves, irregular
// lines, unsymmetric vertical curves) is refused.
bool parse(const std::string& text, Document& doc, std::string& error);
bool readFile(const std::string& path, Document& doc, std::string& error);
// Reads only a file's units and TIN surfaces (a ground or design surface kept apart from the
// alignment): doc.surfaces in metres from that file's own unit, doc.unit its unit. A file
// without alignments reads; one without a surface fails with a message naming the file.
bool readSurfaceFile(const std::string& path, Document& doc, std::string& error);
// As parse, but a file whose every alignment is refused is still returned, so that a listing can
// show each one with its reason (doc.alignments is then empty).
bool parseKeepingRefused(const std::string& text, Document& doc, std::string& error);

// Writes the document as LandXML 1.2 in the given unit. A metre document is written as the
// shortest text that reads back to the same double, bit for bit. In feet every number is the
// shortest text that reads back to the same metres within 1e-9 m (477200, not
// 477199.99999999994); where no text does (a value beyond about 1e7 m, where a double's own
// step is coarser), the nearest. No "-0". What is written reads back: a PI or Center that would
// lie beyond kMaxCoordinateM (the PI of an arc near a half circle) is left out, since the radius,
// length and direction already define the element.
std::string write(const Document& doc, LinearUnit unit);
// Writes the document to a file whole or not at all: a failed write (a full disk, a missing
// folder) leaves the previous file as it was. False with a message naming the file and the
// system's reason.
bool writeFile(const std::string& path, const Document& doc, LinearUnit unit, std::string& error);

}  // namespace zel_landxml
