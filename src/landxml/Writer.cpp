#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/utils/AtomicFileWriter.h>

#include <velmorutils/zelmath/angles/LengthUnits.h>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/XmlText.h>

#include "landxml/CoordinateSystemXml.h"

namespace zel_landxml {

double toMetres(double value, LinearUnit unit) {
    switch (unit) {
        case LinearUnit::USSurveyFoot:
            return USFeet2Meter(value);
        case LinearUnit::InternationalFoot:
            return IFeet2Meter(value);
        default:
            return value;
    }
}

// Not through Meter2USFeet / Meter2IFeet: those round to 5 decimals of a foot for display, and a
// file written for another program must keep the geometry to the nanometre.
double fromMetres(double metres, LinearUnit unit) {
    return zel_math::metresToUnit(metres, unit);
}

const char* unitName(LinearUnit unit) {
    return zel_math::linearUnitName(unit);
}

namespace {

// What a feet number may move the metres by; 12 decimals of a foot are well below it.
constexpr double kFeetToleranceM = 1e-9;
constexpr int kMaxFeetDecimals = 12;

// A point of a PI or Center beyond the coordinate bound would not read back; the element's
// radius, length and direction define it without one.
bool writable(const Point& p) {
    const double bound = kMaxCoordinateM * (1.0 + kBoundSlack);
    return std::fabs(p.north) <= bound && std::fabs(p.east) <= bound;
}

class Writer {
public:
    explicit Writer(LinearUnit unit) : unit_(unit) {}

    // A metre value as the shortest text that reads back to the same double. In feet the
    // shortest text that reads back to the same metres within 1e-9 m, or as close as metres /
    // foot itself where a double's step is coarser than that (beyond about 1e7 m).
    std::string num(double metres) const {
        if (unit_ == LinearUnit::Meter) return shortest(metres);
        const double v = fromMetres(metres, unit_);
        const double tolerance = std::max(kFeetToleranceM, std::fabs(toMetres(v, unit_) - metres));
        char buf[64];
        for (int decimals = 0; decimals <= kMaxFeetDecimals; ++decimals) {
            const std::to_chars_result r =
                std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
            double back = 0.0;
            if (r.ec != std::errc() || std::from_chars(buf, r.ptr, back).ec != std::errc()) break;
            // A value that is not zero is not written as zero: a tiny element stays one.
            if (back == 0.0 && metres != 0.0) continue;
            if (std::fabs(toMetres(back, unit_) - metres) <= tolerance)
                return back == 0.0 ? "0" : std::string(buf, r.ptr);
        }
        return shortest(v);
    }

    static std::string shortest(double v) {
        if (v == 0.0) v = 0.0;  // no "-0"
        char buf[64];
        const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
        return std::string(buf, r.ptr);
    }

    std::string radius(double metres) const { return std::isinf(metres) ? "INF" : num(metres); }

    void point(const char* name, const Point& p, int indent) {
        if (!p.present()) return;
        // Built by appending: GCC 12 warns falsely on a long chain of string additions here.
        std::string text = "<";
        text.append(name).append(">").append(num(p.north)).append(" ").append(num(p.east));
        text.append("</").append(name).append(">");
        line(indent, text);
    }

    void line(int indent, const std::string& text) {
        out_.append(static_cast<size_t>(indent) * 2, ' ');
        out_ += text;
        out_ += '\n';
    }

    void element(const HElement& e) {
        const std::string rot = std::string(" rot=\"") + (e.clockwise ? "cw" : "ccw") + "\"";
        const std::string sta =
            e.staStart == e.staStart ? " staStart=\"" + num(e.staStart) + "\"" : "";
        std::string tag;
        switch (e.kind) {
            case HKind::Line:
                tag = "Line";
                line(4, "<Line" + sta + " length=\"" + num(e.length) + "\">");
                break;
            case HKind::Curve:
                tag = "Curve";
                line(4, "<Curve" + sta + rot + " crvType=\"arc\" radius=\"" + num(e.radius) +
                            "\" length=\"" + num(e.length) + "\">");
                break;
            case HKind::Spiral:
                tag = "Spiral";
                line(4, "<Spiral" + sta + rot + " spiType=\"clothoid\" length=\"" + num(e.length) +
                            "\" radiusStart=\"" + radius(e.radiusStart) + "\" radiusEnd=\"" +
                            radius(e.radiusEnd) + "\">");
                break;
        }
        point("Start", e.start, 5);
        if (writable(e.center)) point("Center", e.center, 5);
        point("End", e.end, 5);
        if (writable(e.pi)) point("PI", e.pi, 5);
        line(4, "</" + tag + ">");
    }

    void vip(const Vip& v) {
        const std::string se = num(v.station) + " " + num(v.elevation);
        switch (v.curve) {
            case VCurve::None:
                line(5, "<PVI>" + se + "</PVI>");
                break;
            case VCurve::Parabola:
                line(5, "<ParaCurve length=\"" + num(v.length) + "\">" + se + "</ParaCurve>");
                break;
            case VCurve::Circle:
                line(5, "<CircCurve length=\"" + num(v.length) + "\" radius=\"" + num(v.radius) +
                            "\">" + se + "</CircCurve>");
                break;
        }
    }

    // Every design profile under its own name; a profile without names under the alignment's.
    void profiles(const Alignment& a) {
        std::vector<Profile> all = a.profiles;
        if (all.empty() && !a.profile.empty()) all.push_back({a.name, 0, a.profile});
        if (all.empty()) return;
        line(3, "<Profile name=\"" + xmlText(a.name) + "\">");
        for (const Profile& p : all) {
            line(4, "<ProfAlign name=\"" + xmlText(p.name) + "\">");
            for (const Vip& v : p.vips)
                vip(v);
            line(4, "</ProfAlign>");
        }
        line(3, "</Profile>");
    }

    std::string run(const Document& doc) {
        line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        line(0, "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">");
        const bool metric = unit_ == LinearUnit::Meter;
        line(1, "<Units>");
        line(2, std::string(metric ? "<Metric" : "<Imperial") + " linearUnit=\"" + unitName(unit_) +
                    "\" areaUnit=\"" + (metric ? "squareMeter" : "squareFoot") +
                    "\" volumeUnit=\"" + (metric ? "cubicMeter" : "cubicFeet") +
                    "\" angularUnit=\"decimal degrees\" directionUnit=\"decimal degrees\"/>");
        line(1, "</Units>");
        if (doc.coordinateSystem.present())
            line(1, coordinate_system_xml::write(doc.coordinateSystem));
        line(1, "<Alignments>");
        for (const Alignment& a : doc.alignments) {
            double total = 0.0;
            for (const HElement& e : a.elements)
                total += e.length;
            line(2, "<Alignment name=\"" + xmlText(a.name) + "\" length=\"" + num(total) +
                        "\" staStart=\"" + num(a.staStart) + "\">");
            line(3, "<CoordGeom>");
            for (const HElement& e : a.elements)
                element(e);
            line(3, "</CoordGeom>");
            for (const StaEquation& e : a.equations)
                line(3, "<StaEquation staInternal=\"" + num(e.staInternal) + "\"" +
                            (std::isnan(e.staBack) ? "" : " staBack=\"" + num(e.staBack) + "\"") +
                            " staAhead=\"" + num(e.staAhead) + "\"/>");
            profiles(a);
            line(2, "</Alignment>");
        }
        line(1, "</Alignments>");
        line(0, "</LandXML>");
        return out_;
    }

private:
    LinearUnit unit_;
    std::string out_;
};

}  // namespace

std::string write(const Document& doc, LinearUnit unit) {
    return Writer(unit).run(doc);
}

bool writeFile(const std::string& path, const Document& doc, LinearUnit unit, std::string& error) {
    const std::string text = write(doc, unit);
    std::string why;
    if (WriteFileWhole(path.c_str(), text.data(), text.size(), &why)) return true;
    error = why.empty() ? path + ": cannot write the file" : why;
    return false;
}

}  // namespace zel_landxml
