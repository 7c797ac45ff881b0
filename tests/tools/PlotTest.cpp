#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>

#include "Plot.h"
#include "RoadTool.h"
#include "SampleRoad.h"
#include "ToolRun.h"
#include "support/AnglePointRoad.h"

namespace {

constexpr double kUsFoot = 1200.0 / 3937.0;  // metres

road::PlotOptions metres() {
    road::PlotOptions o;
    o.intervalM = 20.0;
    o.date = "2026-12-05";
    return o;
}

road::PlotOptions usFeet() {
    road::PlotOptions o = metres();
    o.metresPerUnit = kUsFoot;
    o.unitSymbol = "usft";
    o.stationStyle.unit = zel_landxml::LinearUnit::USSurveyFoot;
    o.intervalM = 50.0 * kUsFoot;
    return o;
}

struct SvgText {
    std::string role, text;
    road::Box box;
};

// The labels of a drawing as its SVG text layer gives them.
std::vector<SvgText> svgTexts(const std::string& svg) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(svg.c_str())) << svg.substr(0, 300);
    std::vector<SvgText> out;
    for (const pugi::xpath_node& n : doc.select_nodes("//*[@id='text']/*[local-name()='text']")) {
        SvgText t;
        t.role = n.node().attribute("class").value();
        t.text = n.node().text().get();
        std::sscanf(n.node().attribute("data-box").value(), "%lf %lf %lf %lf", &t.box.x0, &t.box.y0,
                    &t.box.x1, &t.box.y1);
        out.push_back(t);
    }
    return out;
}

std::string render(const road::PlotModel& m, road::PlotFormat f) {
    std::string bytes, error;
    EXPECT_TRUE(road::renderPlot(m, f, bytes, error)) << error;
    return bytes;
}

road::PlotModel layout(const CAlnt& a, const road::PlotOptions& o) {
    road::PlotModel m;
    std::string error;
    EXPECT_TRUE(road::layoutPlot(a, o, m, error)) << error;
    return m;
}

bool hasText(const std::vector<SvgText>& texts, const std::string& role, const std::string& text) {
    for (const SvgText& t : texts)
        if (t.role == role && t.text == text) return true;
    return false;
}

double distanceToSegment(road::PagePoint p, road::PagePoint a, road::PagePoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0., 1.);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

double distanceToBox(road::PagePoint p, const road::Box& b) {
    return std::hypot(std::max({b.x0 - p.x, 0.0, p.x - b.x1}),
                      std::max({b.y0 - p.y, 0.0, p.y - b.y1}));
}

// The sample road's defining values, worked out by hand: R 400 m arc of 120 m with 60 m
// spirals (A = sqrt(60 * 400) = 154.919); grades of +2 %, -2 %, +1.5 %; a 120 m parabola
// between +2 % and -2 % (K = 120 / 4 = 30); a 6000 m circular curve from -2 % to +1.5 %
// (K = L / 3.5 with the arc's own length, 209.966 m). In US survey feet the same road. The high
// and low points against a brute-force search of the library's heights, 1 mm apart.
TEST(Plot, SvgCarriesTheDesignValues) {
    CAlnt a;
    road::buildSampleRoad(a);
    struct Case {
        road::PlotOptions options;
        std::vector<std::pair<std::string, std::string>> expected;  // role, text
    };
    const Case cases[] = {
        {usFeet(),
         {{"element", "Arc right R=1312.333 usft L=393.700 usft"},
          {"vcurve", "L=393.700 usft K=98.4"},
          {"vip", "VIP 9+84.25 EL 347.77"},
          {"grid", "N 17000"}}},
        {metres(),
         {{"element", "Arc right R=400.000 m L=120.000 m"},
          {"element", "Clothoid A=154.919 m L=60.000 m R=\u221E\u2192400.000 m"},
          {"element", "Line L=150.000 m"},
          {"grade", "+2.000%"},
          {"grade", "-2.000%"},
          {"vcurve", "L=120.000 m K=30.0"},
          {"vcurve", "R=6000.000 m L=209.966 m K=60.0"},
          {"vip", "VIP 0+300.00 EL 106.000"},
          {"boundary", "TS 0+150.00"},
          {"grid", "E 2200"}}},
    };
    std::vector<SvgText> texts;
    for (const Case& c : cases) {
        texts = svgTexts(render(layout(a, c.options), road::PlotFormat::Svg));
        for (const auto& [role, text] : c.expected)
            EXPECT_TRUE(hasText(texts, role, text)) << c.options.unitSymbol << ": " << text;
    }
    // High and low points on the metric drawing (the last case's).
    struct Range {
        double from, to;
        bool high;
    };
    for (const Range r : {Range{240, 360, true}, Range{590, 810, false}, Range{1025, 1175, true}}) {
        double best = 0, bestH = r.high ? -1e9 : 1e9;
        for (double c = r.from; c <= r.to; c += 0.001) {
            double h = 0;
            ASSERT_TRUE(a.getPosHAtChain(c, h));
            if (r.high ? h > bestH : h < bestH) best = c, bestH = h;
        }
        char want[64];
        std::snprintf(want, sizeof want, "%s pt %d+%06.2f EL %.3f", r.high ? "High" : "Low",
                      static_cast<int>(best / 1000), std::fmod(best, 1000.0), bestH);
        EXPECT_TRUE(hasText(texts, "highlow", want)) << want;
    }
}

// On every sheet, in metres and feet, for short and long roads: no two labels overlap, none
// leaves the page or lies on the centre line, and the long road thins its labels out instead;
// grid lines, heights and the scale bar step by 1, 2 or 5 times a power of ten; the plan is
// north up at the stated scale, grid labels on their lines, a station label beside its tick.
TEST(Plot, EverySheetIsLegibleAndToScale) {
    CAlnt sample, longRoad, veryLong;
    road::buildSampleRoad(sample);
    road::buildLongRoad(longRoad, 5000.0);
    road::buildLongRoad(veryLong, 30000.0);
    auto oneTwoFive = [](double step) {
        const double m = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        return std::fabs(m - 1) < 1e-6 || std::fabs(m - 2) < 1e-6 || std::fabs(m - 5) < 1e-6;
    };
    struct Case {
        const CAlnt* road;
        road::Paper paper;
        bool feet;
    };
    std::vector<Case> cases{{&veryLong, road::Paper::A3, false}};
    for (const CAlnt* r : {&sample, &longRoad})
        for (road::Paper paper :
             {road::Paper::Fit, road::Paper::A4, road::Paper::A3, road::Paper::A1})
            for (bool feet : {false, true})
                cases.push_back({r, paper, feet});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.paper)) + (c.feet ? " usft" : " m"));
        road::PlotOptions o = c.feet ? usFeet() : metres();
        o.paper = c.paper;
        o.offsets = {-3.5, 3.5};
        const road::PlotModel m = layout(*c.road, o);
        const std::vector<SvgText> texts = svgTexts(render(m, road::PlotFormat::Svg));
        ASSERT_EQ(texts.size(), m.labels.size());
        const road::Box page{0, 0, m.width, m.height};
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_TRUE(texts[i].box.inside(page)) << texts[i].text;
            for (size_t j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(texts[i].box.overlaps(texts[j].box))
                    << "'" << texts[i].text << "' and '" << texts[j].text << "'";
        }
        for (const road::Stroke& s : m.strokes) {
            if (s.role != "centreline") continue;
            for (const road::Label& l : m.labels)
                for (const road::PagePoint& p : s.points)
                    EXPECT_FALSE(p.x > l.box.x0 && p.x < l.box.x1 && p.y > l.box.y0 &&
                                 p.y < l.box.y1)
                        << l.text;
        }
        double end = 0;
        c.road->getFinalChainageInM(end);
        int stations = 0;
        std::map<std::string, std::vector<double>> values;  // "N", "E", heights
        for (const road::Label& l : m.labels) {
            stations += l.role == "station";
            if (l.role == "grid")
                values[l.text.substr(0, 1)].push_back(std::stod(l.text.substr(2)));
            if (l.role == "elevation") values["H"].push_back(std::stod(l.text));
            if (l.role == "scale" && l.text != "0" && l.text.rfind("1:", 0) != 0) {
                EXPECT_TRUE(oneTwoFive(std::stod(l.text))) << "scale bar " << l.text;
            }
            if (l.role == "grid" && l.text.rfind("N ", 0) == 0) {
                const double y = m.planToPage(std::stod(l.text.substr(2)) * o.metresPerUnit, 0.0).y;
                EXPECT_NEAR((l.box.y0 + l.box.y1) / 2, y, 0.5) << l.text;
            }
        }
        // Thinning: the station labels left are far fewer than the stations on the road.
        EXPECT_LT(stations, 2 * end / o.intervalM / 5 + 4);
        for (auto& [axis, v] : values) {
            ASSERT_GE(v.size(), 2u) << axis;
            std::sort(v.begin(), v.end());
            double step = 1e300;
            for (size_t i = 1; i < v.size(); ++i)
                step = std::min(step, v[i] - v[i - 1]);
            EXPECT_TRUE(oneTwoFive(step)) << axis << " step " << step;
        }
        if (c.road != &sample || c.feet) continue;
        if (c.paper == road::Paper::A3) {
            EXPECT_EQ(m.planRatio, 10000.0);  // 850 m of northing in a 16 cm frame
            EXPECT_NEAR(m.planPtPerMetre, 72.0 / 0.0254 / 10000.0, 1e-12);
        }
        double n = 0, e = 0;
        ASSERT_TRUE(sample.getPosNeAtChainAndOffsetExtr(0.0, 0.0, n, e));
        const road::PagePoint p = m.planToPage(n, e);
        bool found = false;
        for (const road::Label& l : m.labels)
            if (l.role == "station" && l.text == "0+000.00") {
                found = true;
                EXPECT_LT(distanceToBox(p, l.box), 15.0);
            }
        EXPECT_TRUE(found);
    }
}

TEST(Plot, StationEquationsAndKinksAreMarked) {
    CAlnt a;
    road::buildSampleRoad(a);
    road::PlotOptions o = metres();
    std::string error;
    // At chainage 500 the stations jump from 0+500 back on to 0+600 ahead.
    ASSERT_TRUE(o.stationing.assign(0.0, {{500.0, 500.0, 600.0, 0}}, error)) << error;
    const std::vector<SvgText> texts = svgTexts(render(layout(a, o), road::PlotFormat::Svg));
    EXPECT_TRUE(hasText(texts, "equation", "Stn eq. back 0+500.00 = ahead 0+600.00"));
    // Round stations ahead of the equation are round in design stations: 0+600 at chainage 500.
    EXPECT_TRUE(hasText(texts, "station", "0+600.00") || hasText(texts, "station", "0+800.00"));
    for (const SvgText& t : texts)
        EXPECT_EQ(t.role == "kink", false) << "the sample road is tangent-continuous: " << t.text;
    // Angle points of 0.14 and 90 degrees to the right: each a kink named with its turn, and
    // each joint ticked once (Start, two angle points, PC, End), as the stake-out names it.
    CAlnt k;
    test_roads::anglePointRoad(k);
    const road::PlotModel model = layout(k, metres());
    const std::vector<SvgText> kinked = svgTexts(render(model, road::PlotFormat::Svg));
    EXPECT_TRUE(hasText(kinked, "kink", "kink right 0\u00B008'24\""));
    EXPECT_TRUE(hasText(kinked, "kink", "kink right 90\u00B000'00\""));
    EXPECT_TRUE(hasText(kinked, "boundary", "PC 0+300.00"));
    EXPECT_EQ(std::count_if(model.strokes.begin(), model.strokes.end(),
                            [](const road::Stroke& t) { return t.role == "boundary"; }),
              5);
}

// A straight road due north, named in Japanese: a crest at a third of its length, a sag 40 m
// before its end (with a curve of `sagL` m, or none), and a closing grade of 11.733 %.
void steepEnd(CAlnt& a, double length, double sagL) {
    namespace lx = zel_landxml;
    lx::Alignment al;
    al.name = "\u56FD\u9053\uFF11\u53F7 \u6771\u4EAC\u30D0\u30A4\u30D1\u30B9";
    lx::HElement line;
    line.length = length;
    line.start = {5000, 2000};
    line.end = {5000 + length, 2000};
    al.elements = {line};
    al.profile = {{0, 100},
                  {length / 3, 106, lx::VCurve::Parabola, 120},
                  {length - 40, 80, sagL > 0 ? lx::VCurve::Parabola : lx::VCurve::None, sagL},
                  {length, 80 + 40 * 0.11733}};
    lx::BuildReport report;
    std::string error;
    ASSERT_TRUE(lx::buildAlignment(al, a, report, error)) << error;
}

// Every grade has its label, on short steep closing grades too (crowded by the VIP texts at both
// ends); a label away from its grade line has a leader from the line to it. The title names the
// design file without its folders.
TEST(Plot, EveryGradeIsLabelledAndTheTitleNamesTheFile) {
    struct Case {
        double length, sagL;
        road::Paper paper;
    };
    for (const Case c : {Case{700, 60, road::Paper::Fit}, Case{1200, 40, road::Paper::A4},
                         Case{6000, 40, road::Paper::A3}}) {
        CAlnt a;
        steepEnd(a, c.length, c.sagL);
        road::PlotOptions o = metres();
        o.paper = c.paper;
        o.fileName = "/srv/designs/dir with folders/\u6771\u4EAC.xml";
        const road::PlotModel m = layout(a, o);
        const std::vector<SvgText> texts = svgTexts(render(m, road::PlotFormat::Svg));
        const double grades[] = {600 / (c.length / 3), -2600 / (c.length * 2 / 3 - 40), 11.733};
        const road::Stroke* tangents = nullptr;
        for (const road::Stroke& s : m.strokes)
            if (s.role == "grades") tangents = &s;
        ASSERT_TRUE(tangents != nullptr && tangents->points.size() == 4);
        for (int i = 0; i < 3; ++i) {
            char want[32];
            std::snprintf(want, sizeof want, "%+.3f%%", grades[i]);
            const road::Label* l = nullptr;
            for (const road::Label& k : m.labels)
                if (k.role == "grade" && k.text == want) l = &k;
            ASSERT_TRUE(l != nullptr) << c.length << " m: " << want;
            const road::PagePoint a0 = tangents->points[i], a1 = tangents->points[i + 1];
            double apart = 1e300;  // from the grade line to the label's box
            for (double t = 0; t <= 1; t += 1.0 / 256)
                apart = std::min(
                    apart,
                    distanceToBox({a0.x + t * (a1.x - a0.x), a0.y + t * (a1.y - a0.y)}, l->box));
            if (apart < 20) continue;
            bool led = false;
            for (const road::Stroke& s : m.strokes)
                led = led || (s.role == "leader" && distanceToBox(s.points[1], l->box) < 2 &&
                              distanceToSegment(s.points[0], a0, a1) < 3);
            EXPECT_TRUE(led) << c.length << " m: " << want << " has no leader";
        }
        bool titled = false;
        for (const SvgText& t : texts)
            if (t.role == "title") {
                EXPECT_EQ(t.text.find("folders"), std::string::npos) << t.text;
                titled = titled || t.text.find("\u6771\u4EAC.xml") != std::string::npos;
            }
        EXPECT_TRUE(titled);
    }
}

// A name in any script is drawn with a face that has its glyphs: an ideograph is one em wide in
// a CJK face, where the plot's own face would draw a narrower empty box. Bytes that are not
// UTF-8 are measured (and drawn) as the replacement character.
TEST(Plot, TextUsesAFaceWithItsGlyphs) {
    const double em = 10.0;
    EXPECT_NEAR(road::measureText("\u6771\u4EAC", em).width, 2 * em, 0.05 * em);
    EXPECT_NEAR(road::measureText("A\u30D0", em, true).width,
                road::measureText("A", em, true).width + em, 0.05 * em);
    EXPECT_NEAR(road::measureText("\xFF", em).width, road::measureText("\uFFFD", em).width, 1e-9);
    EXPECT_GT(road::measureText("\uFFFD", em).width, 0.3 * em);
}

// Each sheet is its ISO size in landscape: the PDF's MediaBox in points, the PNG in pixels at
// 150 dots per inch (its header's width and height, big-endian at bytes 16 and 20).
TEST(Plot, PdfAndPngHaveTheSheetSize) {
    CAlnt a;
    road::buildSampleRoad(a);
    struct Sheet {
        road::Paper paper;
        double wMm, hMm;
    };
    for (const Sheet s : {Sheet{road::Paper::A4, 297, 210}, Sheet{road::Paper::A1, 841, 594}}) {
        road::PlotOptions o = metres();
        o.paper = s.paper;
        const road::PlotModel m = layout(a, o);
        const std::string pdf = render(m, road::PlotFormat::Pdf);
        const size_t box = pdf.find("/MediaBox");
        ASSERT_TRUE(pdf.rfind("%PDF-", 0) == 0 && box != std::string::npos);
        double v[4] = {};
        std::sscanf(pdf.c_str() + pdf.find('[', box) + 1, "%lf %lf %lf %lf", &v[0], &v[1], &v[2],
                    &v[3]);
        EXPECT_NEAR(v[2], s.wMm / 25.4 * 72, 0.01);
        EXPECT_NEAR(v[3], s.hMm / 25.4 * 72, 0.01);
        const std::string png = render(m, road::PlotFormat::Png);
        ASSERT_EQ(png.substr(1, 3), "PNG");
        long size[2] = {};  // width, height
        for (size_t i = 16; i < 24; ++i)
            size[i / 20] = size[i / 20] << 8 | static_cast<unsigned char>(png[i]);
        EXPECT_EQ(size[0], std::lround(std::ceil(s.wMm / 25.4 * 150)));
        EXPECT_EQ(size[1], std::lround(std::ceil(s.hMm / 25.4 * 150)));
    }
}

// The command writes the format its file's extension names (in any case), refuses what it
// cannot write, and leaves no file behind when it refuses.
TEST(Plot, CommandLine) {
    FilesScratch dir;
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string starts;  // the output file's first bytes; "" when none may exist
    };
    const std::string pdf = dir.native("plan.PDF"), png = dir.native("p.Png");
    const std::string svg = dir.native("p.svg"), txt = dir.native("p.svg.txt");

    const Case cases[] = {
        {{"plot", "-o", pdf, "--paper", "a3", "--interval", "25", "--offsets=-3.5,3.5"}, 0, "%PDF"},
        {{"plot", "--out", png}, 0, "\x89PNG"},
        {{"plot", "--svg", svg, "--unit", "ft"}, 0, "<?xml"},
        {{"plot", "-o", txt}, road::kExitUsage, ""},
        {{"plot", "-o", dir.native("d.pdf/plan")}, road::kExitUsage, ""},

        {{"plot", "-o", dir.native("q.pdf"), "--paper", "A5"}, road::kExitUsage, ""},
        {{"plot", "-o", dir.native("r.pdf"), "--interval", "0"}, road::kExitUsage, ""},
        {{"plot", "-o", dir.native("no/s.pdf")}, road::kExitFile, ""},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[2] << ": " << r.err;
        const std::string name = std::filesystem::path(c.args[2]).filename().string();
        EXPECT_EQ(dir.exists(name), !c.starts.empty()) << name;
        if (!c.starts.empty()) {
            EXPECT_EQ(dir.read(name).rfind(c.starts, 0), 0u) << name;
        }
    }
    EXPECT_TRUE(
        hasText(svgTexts(dir.read("p.svg")), "note", "Grid: northing N and easting E in ft"));
}

}  // namespace
