#include <velmorutils/gis/LayerWriter.h>

#include <cmath>
#include <cstdio>

namespace zel_gis {
namespace {

using zel_landxml::Feature;
using zel_landxml::FieldType;
using zel_landxml::FieldValue;
using zel_landxml::Vertex;

constexpr double kPi = 3.141592653589793;
// The application name of the attributes in each entity's extended data.
constexpr const char* kAppId = "VELMOR";

// AutoCAD colour index of each layer, chosen to tell the layers apart on a white or a black
// sheet; any other layer draws in white/black (7).
int layerColour(const std::string& name) {
    if (name == "centreline") return 1;   // red
    if (name == "offsets") return 3;      // green
    if (name == "stations") return 5;     // blue
    if (name == "keypoints") return 6;    // magenta
    if (name == "stakes") return 4;       // cyan
    if (name == "check") return 30;       // orange
    if (name == "sections") return 8;     // grey
    if (name == "catchpoints") return 2;  // yellow
    return 7;
}

int insUnits(LinearUnit unit) {
    switch (unit) {
        case LinearUnit::USSurveyFoot:
            return 21;
        case LinearUnit::InternationalFoot:
            return 2;
        default:
            return 6;
    }
}

class DxfText {
public:
    void group(int code, const std::string& value) {
        char head[16];
        std::snprintf(head, sizeof head, "%3d\n", code);
        text_ += head;
        text_ += value;
        text_ += '\n';
    }
    void group(int code, int value) { group(code, std::to_string(value)); }
    // Fixed decimals, trailing zeros cut: every DXF reader takes it, and 1e-9 of the unit is
    // below any survey's concern.
    void number(int code, double value) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.9f", value == 0.0 ? 0.0 : value);
        std::string s = buf;
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.push_back('0');
        group(code, s);
    }
    void point(int base, double x, double y) {
        number(base, x);
        number(base + 10, y);
        number(base + 20, 0.0);
    }
    std::string& text() { return text_; }

private:
    std::string text_;
};

std::string valueText(const FieldValue& v, FieldType type) {
    if (type == FieldType::Text) return v.text;
    if (type == FieldType::Integer) return std::to_string(v.integer);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v.real);
    return buf;
}

// Extended data strings hold at most 255 characters; a longer value is cut there.
void writeAttributes(DxfText& d, const Layer& layer, const Feature& f) {
    d.group(1001, kAppId);
    for (std::size_t i = 0; i < layer.fields.size() && i < f.values.size(); ++i) {
        if (f.values[i].null) continue;
        std::string s = layer.fields[i].name + "=" + valueText(f.values[i], layer.fields[i].type);
        if (s.size() > 255) s.resize(255);
        d.group(1000, s);
    }
}

struct Scale {
    double perMetre;  // drawing units per metre
    double x(const Vertex& v) const { return v.east * perMetre; }
    double y(const Vertex& v) const { return v.north * perMetre; }
};

double angleDeg(const Vertex& from, const Vertex& to) {
    const double a = std::atan2(to.north - from.north, to.east - from.east) * 180.0 / kPi;
    return a < 0.0 ? a + 360.0 : a;
}

void writeArc(DxfText& d, const Layer& layer, const Feature& f, const Scale& s) {
    d.group(0, "ARC");
    d.group(8, layer.name);
    d.point(10, s.x(f.arc.center), s.y(f.arc.center));
    d.number(40, f.arc.radius * s.perMetre);
    // DXF arcs run counter-clockwise from the start angle: a right-turning arc from its end.
    const double a0 = angleDeg(f.arc.center, f.vertices.front());
    const double a1 = angleDeg(f.arc.center, f.vertices.back());
    d.number(50, f.arc.clockwise ? a1 : a0);
    d.number(51, f.arc.clockwise ? a0 : a1);
    writeAttributes(d, layer, f);
}

void writePolyline(DxfText& d, const Layer& layer, const Feature& f, const Scale& s) {
    d.group(0, "POLYLINE");
    d.group(8, layer.name);
    d.group(66, 1);
    d.point(10, 0.0, 0.0);
    d.group(70, 0);
    writeAttributes(d, layer, f);
    for (const Vertex& v : f.vertices) {
        d.group(0, "VERTEX");
        d.group(8, layer.name);
        d.point(10, s.x(v), s.y(v));
    }
    d.group(0, "SEQEND");
    d.group(8, layer.name);
}

void writePoint(DxfText& d, const Layer& layer, const Feature& f, const Scale& s,
                double textHeight) {
    const Vertex& v = f.vertices.front();
    d.group(0, "POINT");
    d.group(8, layer.name);
    d.point(10, s.x(v), s.y(v));
    writeAttributes(d, layer, f);
    if (f.label.empty()) return;
    // Station labels stand square to the road, reading away from it to the right.
    const int az = layer.fieldIndex("azimuth");
    const double rotation = az >= 0 ? std::fmod(360.0 - f.values[az].real, 360.0) : 0.0;
    d.group(0, "TEXT");
    d.group(8, layer.name);
    d.point(10, s.x(v) + 0.5 * textHeight, s.y(v) + 0.5 * textHeight);
    d.number(40, textHeight);
    d.group(1, f.label);
    d.number(50, rotation);
}

void writeHeader(DxfText& d, LinearUnit unit) {
    d.group(0, "SECTION");
    d.group(2, "HEADER");
    d.group(9, "$ACADVER");
    d.group(1, "AC1009");
    d.group(9, "$INSUNITS");
    d.group(70, insUnits(unit));
    d.group(9, "$MEASUREMENT");
    d.group(70, unit == LinearUnit::Meter ? 1 : 0);
    d.group(0, "ENDSEC");
}

void writeTables(DxfText& d, const std::vector<Layer>& layers) {
    d.group(0, "SECTION");
    d.group(2, "TABLES");
    d.group(0, "TABLE");
    d.group(2, "LTYPE");
    d.group(70, 1);
    d.group(0, "LTYPE");
    d.group(2, "CONTINUOUS");
    d.group(70, 0);
    d.group(3, "Solid line");
    d.group(72, 65);
    d.group(73, 0);
    d.number(40, 0.0);
    d.group(0, "ENDTAB");
    d.group(0, "TABLE");
    d.group(2, "LAYER");
    d.group(70, static_cast<int>(layers.size()) + 1);
    std::vector<std::string> names{"0"};
    for (const Layer& l : layers)
        names.push_back(l.name);
    for (const std::string& n : names) {
        d.group(0, "LAYER");
        d.group(2, n);
        d.group(70, 0);
        d.group(62, layerColour(n));
        d.group(6, "CONTINUOUS");
    }
    d.group(0, "ENDTAB");
    d.group(0, "TABLE");
    d.group(2, "STYLE");
    d.group(70, 1);
    d.group(0, "STYLE");
    d.group(2, "STANDARD");
    d.group(70, 0);
    d.number(40, 0.0);
    d.number(41, 1.0);
    d.number(50, 0.0);
    d.group(71, 0);
    d.number(42, 2.5);
    d.group(3, "txt");
    d.group(4, "");
    d.group(0, "ENDTAB");
    d.group(0, "TABLE");
    d.group(2, "APPID");
    d.group(70, 2);
    for (const char* app : {"ACAD", kAppId}) {
        d.group(0, "APPID");
        d.group(2, app);
        d.group(70, 0);
    }
    d.group(0, "ENDTAB");
    d.group(0, "ENDSEC");
}

}  // namespace

std::string dxfText(const std::vector<Layer>& layers, LinearUnit unit) {
    DxfText d;
    const Scale s{zel_landxml::fromMetres(1.0, unit)};
    // Labels 1 m high, or 3 ft: legible on a plan at 1:500 and 1:1000.
    const double textHeight = unit == LinearUnit::Meter ? 1.0 : 3.0;
    writeHeader(d, unit);
    writeTables(d, layers);
    d.group(0, "SECTION");
    d.group(2, "BLOCKS");
    d.group(0, "ENDSEC");
    d.group(0, "SECTION");
    d.group(2, "ENTITIES");
    for (const Layer& layer : layers) {
        for (const Feature& f : layer.features) {
            if (f.vertices.empty()) continue;
            if (layer.geometry == zel_landxml::GeometryKind::Point)
                writePoint(d, layer, f, s, textHeight);
            else if (f.isArc)
                writeArc(d, layer, f, s);
            else
                writePolyline(d, layer, f, s);
        }
    }
    d.group(0, "ENDSEC");
    d.group(0, "EOF");
    return std::move(d.text());
}

}  // namespace zel_gis
