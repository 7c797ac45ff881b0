#include <cstdio>
#include <string>

#include "LandXmlChecks.h"

// Structure-aware LandXML: the input bytes choose a sequence of elements (units, alignments,
// Line, Curve, Spiral, PVI, ParaCurve, CircCurve, StaEquation) and their numbers, from which a
// well-formed document is written, so the fuzzer explores geometry rather than XML syntax:
// extreme and non-finite numbers, huge lengths, tiny radii, spirals that turn too far, vertical
// curves that overlap or outrun their tangents, equations out of order. The checks are those of
// the raw target: a refusal names its line; otherwise every queried position and height is
// finite and within the reader's bounds, and the document writes and reads back.
namespace {

using velmor_fuzz::ByteReader;

// Texts a file can hold where a number belongs: boundaries of the reader's limits, numbers that
// round to nothing, the spellings of infinity and NaN, and words that are no number at all.
const char* const kSpecial[] = {"0",   "-0",     "1",    "-1",      "1e-300", "3e-10", "1e-9",
                                "0.1", "0.0999", "1e6",  "1000001", "1e8",    "1e8.5", "100000001",
                                "1e9", "1e12",   "1e18", "1e308",   "-1e308", "1e999", "NaN",
                                "nan", "INF",    "-INF", "inf",     "0x10",   " 12 ",  "",
                                "1,5", "4e-324", "1e5",  "-1e5"};
constexpr int kSpecialCount = sizeof kSpecial / sizeof kSpecial[0];

// A number's text: mostly values a road has (a few metres to tens of kilometres, of either
// sign where the byte says), sometimes a special text, sometimes any double at all.
std::string number(ByteReader& in) {
    const uint8_t pick = in.byte();
    char buf[64];
    if (pick < 40) return kSpecial[pick % kSpecialCount];
    if (pick < 56) {
        std::snprintf(buf, sizeof buf, "%.17g", in.anyDouble());
        return buf;
    }
    const double scale[] = {0.001, 0.1, 1.0, 10.0, 1000.0};
    const double v = (in.byte() << 8 | in.byte()) * scale[pick % 5];
    std::snprintf(buf, sizeof buf, "%.6f", (pick & 0x80) && (pick & 0x40) ? -v : v);
    return buf;
}

std::string attr(const char* name, ByteReader& in) {
    return std::string(" ") + name + "=\"" + number(in) + "\"";
}

std::string point(const char* tag, ByteReader& in) {
    return std::string("<") + tag + ">" + number(in) + " " + number(in) + "</" + tag + ">";
}

// Points of an element: each present when its bit of the byte is set.
std::string points(ByteReader& in, bool center) {
    const uint8_t which = in.byte();
    std::string s;
    if (which & 1) s += point("Start", in);
    if (center && (which & 2)) s += point("Center", in);
    if (which & 4) s += point("End", in);
    if (which & 8) s += point("PI", in);
    return s;
}

std::string rot(ByteReader& in) {
    const uint8_t r = in.byte() % 4;
    return r == 0 ? " rot=\"cw\"" : r == 1 ? " rot=\"ccw\"" : r == 2 ? "" : " rot=\"up\"";
}

std::string radiusAttr(const char* name, ByteReader& in) {
    if (in.byte() % 4 == 0) return std::string(" ") + name + "=\"INF\"";
    return attr(name, in);
}

struct Parts {
    std::string geometry, profile, equations;
};

void element(ByteReader& in, Parts& p) {
    switch (in.byte() % 9) {
        case 0:
        case 1:
            p.geometry += "<Line" + (in.byte() & 1 ? attr("length", in) : "") + ">" +
                          points(in, false) + "</Line>\n";
            break;
        case 2:
            p.geometry += "<Curve" + rot(in) + attr("radius", in) +
                          (in.byte() & 1 ? attr("length", in) : "") + ">" + points(in, true) +
                          "</Curve>\n";
            break;
        case 3:
            p.geometry += "<Spiral" + rot(in) + " spiType=\"clothoid\"" + attr("length", in) +
                          radiusAttr("radiusStart", in) + radiusAttr("radiusEnd", in) + ">" +
                          points(in, false) + "</Spiral>\n";
            break;
        case 4:
        case 5:
            p.profile += "<PVI>" + number(in) + " " + number(in) + "</PVI>\n";
            break;
        case 6:
            p.profile += "<ParaCurve" + attr("length", in) + ">" + number(in) + " " + number(in) +
                         "</ParaCurve>\n";
            break;
        case 7:
            p.profile += "<CircCurve" + attr("length", in) + attr("radius", in) + ">" + number(in) +
                         " " + number(in) + "</CircCurve>\n";
            break;
        default:
            p.equations += "<StaEquation" + attr("staInternal", in) + attr("staBack", in) +
                           attr("staAhead", in) + "/>\n";
            break;
    }
}

std::string alignment(ByteReader& in) {
    Parts p;
    const std::string head = "<Alignment name=\"a\"" + (in.byte() & 1 ? attr("staStart", in) : "");
    const int count = in.byte() % 24;
    for (int i = 0; i < count && !in.empty(); ++i)
        element(in, p);
    std::string s = head + ">\n<CoordGeom>\n" + p.geometry + "</CoordGeom>\n" + p.equations;
    if (!p.profile.empty())
        s += "<Profile><ProfAlign name=\"p\">\n" + p.profile + "</ProfAlign></Profile>\n";
    return s + "</Alignment>\n";
}

std::string document(ByteReader& in) {
    const char* const units[] = {"<Units><Metric linearUnit=\"meter\"/></Units>\n",
                                 "<Units><Imperial linearUnit=\"USSurveyFoot\"/></Units>\n",
                                 "<Units><Imperial linearUnit=\"foot\"/></Units>\n", ""};
    std::string s = "<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\">\n";
    s += units[in.byte() % 4];
    s += "<Alignments>\n";
    const int count = 1 + in.byte() % 3;
    for (int i = 0; i < count; ++i)
        s += alignment(in);
    return s + "</Alignments>\n</LandXML>\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    landxml_fuzz::checkText(document(in));
    return 0;
}
