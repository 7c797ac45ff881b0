#pragma once

#include <limits>
#include <string>
#include <vector>

// The alignments of a LandXML 1.2 file as plain data, in metres, before they become library
// alignments. Reading and writing the XML and building the alignment are separate steps so that
// each can report its own errors with the file's line numbers.
namespace zel_landxml {

inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInfinite = std::numeric_limits<double>::infinity();

enum class LinearUnit { Meter, USSurveyFoot, InternationalFoot };

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

// A vertical intersection point with the curve fitted at it.
struct Vip {
    double station = kNone;
    double elevation = kNone;
    VCurve curve = VCurve::None;
    double length = 0.0;  // curve length along the chainage
    double radius = 0.0;  // circular curves
    int line = 0;
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
    double staStart = 0.0;  // running chainage of the first element's start
    int line = 0;
    std::vector<HElement> elements;
    std::vector<Vip> profile;
    std::vector<StaEquation> equations;  // in increasing staInternal
    double staIncrement = kNone;         // the file's own station interval, when it gives one
};

struct Document {
    LinearUnit unit = LinearUnit::Meter;
    std::vector<Alignment> alignments;
};

// Metres per file unit, through the library's own conversions.
double toMetres(double value, LinearUnit unit);
double fromMetres(double metres, LinearUnit unit);
const char* unitName(LinearUnit unit);

// Parses LandXML text. On failure returns false and a message naming the element and line;
// nothing partial is ever returned as a whole document.
bool parse(const std::string& text, Document& doc, std::string& error);
bool readFile(const std::string& path, Document& doc, std::string& error);

// Writes the document as LandXML 1.2 in the given unit.
std::string write(const Document& doc, LinearUnit unit);

}  // namespace zel_landxml
