// The as-built check through the tool: shots placed at known deviations on both sides of each
// tolerance, their results and the summary against a plain computation, bad shots by line, the
// report's text.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

#include "DesignInput.h"
#include "ToolRun.h"

namespace {

constexpr double kTolH = 0.02, kTolV = 0.01;

struct Placed {
    double chainage, offset, dh, dv;
    const char* code;
};

// Around each tolerance: just inside, just outside, on it, and far off; on both sides.
const Placed kShots[] = {
    {100, 0.0, 0.000, 0.000, "CL"},      {100, -3.5, 0.018, -0.009, "EP-L"},
    {100, 3.5, -0.022, 0.011, "EP-R"},   {250, 0.0, 0.020, -0.010, "CL"},
    {250, -3.5, -0.019, 0.0095, "EP-L"}, {250, 3.5, 0.021, -0.0105, "EP-R"},
    {500, 0.0, -0.150, 0.060, "CL"},     {500, -3.5, 0.005, -0.003, "EP-L"},
    {500, 3.5, 0.0199, 0.0099, "EP-R"},  {900, 0.0, -0.0201, -0.0101, "CL"},
    {900, -3.5, 0.012, 0.004, "EP-L"},   {900, 3.5, -0.001, 0.025, "EP-R"},
};

struct Expect {
    int n = 0, inH = 0, inV = 0;
    double sumH = 0, sqH = 0, maxH = 0, sumV = 0, sqV = 0, maxV = 0;
    void add(const Placed& p) {
        ++n;
        inH += std::fabs(p.dh) <= kTolH + 1e-6;
        inV += std::fabs(p.dv) <= kTolV + 1e-6;
        sumH += p.dh, sqH += p.dh * p.dh, maxH = std::max(maxH, std::fabs(p.dh));
        sumV += p.dv, sqV += p.dv * p.dv, maxV = std::max(maxV, std::fabs(p.dv));
    }
};

// The shot file: every placed shot, then a shot without a number, one before the road's start
// and a line whose easting is not a number.
std::string shotFile(const CAlnt& alnt, double unitM = 1.0) {
    std::string t = "P,N,E,Z,D\n";
    int number = 1;
    char buf[160];
    for (const Placed& p : kShots) {
        TAlntEval at;
        EXPECT_TRUE(evaluateAlnt(alnt, p.chainage, at));
        double n = 0, e = 0;
        alntOffsetPoint(at, p.offset + p.dh, n, e);
        std::snprintf(buf, sizeof buf, "%d,%.6f,%.6f,%.6f,%s\n", number++, n / unitM, e / unitM,
                      (at.height + p.dv) / unitM, p.code);
        t += buf;
    }
    TAlntEval at;
    evaluateAlnt(alnt, 300.0, at);
    std::snprintf(buf, sizeof buf, ",%.6f,%.6f,%.3f,CL\n", at.north, at.east, at.height);
    t += buf;  // line 14: no number
    evaluateAlnt(alnt, 0.0, at);
    std::snprintf(buf, sizeof buf, "99,%.6f,%.6f,%.3f,CL\n",
                  at.north - 30.0 * std::cos(at.azimuthDeg * M_PI / 180.0),
                  at.east - 30.0 * std::sin(at.azimuthDeg * M_PI / 180.0), at.height);
    t += buf;                                // line 15: 30 m before the start
    return t + "100,5000.1,20O0.5,99,CL\n";  // line 16: a letter O
}

std::map<std::string, std::vector<std::string>> rowsByFirst(const std::string& csv) {
    std::map<std::string, std::vector<std::string>> rows;
    for (const std::vector<std::string>& row : CsvRows(csv))
        rows[row[0]] = row;
    return rows;
}

void expectRow(const std::vector<std::string>& r, const Expect& e, int bad) {
    ASSERT_EQ(r.size(), 13u);
    EXPECT_EQ(std::stoi(r[1]), e.n + bad);
    EXPECT_EQ(std::stoi(r[2]), bad);
    EXPECT_EQ(std::stoi(r[3]), e.n);
    EXPECT_NEAR(std::stod(r[4]), e.sumH / e.n, 1e-4);
    EXPECT_NEAR(std::stod(r[5]), std::sqrt(e.sqH / e.n), 1e-4);
    EXPECT_NEAR(std::stod(r[6]), e.maxH, 1e-4);
    EXPECT_NEAR(std::stod(r[7]), 100.0 * e.inH / e.n, 0.01);
    EXPECT_EQ(std::stoi(r[8]), e.n);
    EXPECT_NEAR(std::stod(r[9]), e.sumV / e.n, 1e-4);
    EXPECT_NEAR(std::stod(r[10]), std::sqrt(e.sqV / e.n), 1e-4);
    EXPECT_NEAR(std::stod(r[11]), e.maxV, 1e-4);
    EXPECT_NEAR(std::stod(r[12]), 100.0 * e.inV / e.n, 0.01);
}

// Each shot's result and the summary against the deviations placed; in feet every number and
// header follows the unit, the tolerances are read in it too; the report page's text holds the
// summary, and a .svg report is refused before any work.
TEST(AsBuiltCheck, ResultsSummaryAndReportMatchThePlacedDeviations) {
    FilesScratch dir;
    const road::Design d = LoadDesign("builtin");
    dir.write("shots.csv", shotFile(d.alnt));
    const ToolRun run = RunTool({"check", "builtin", dir.native("shots.csv"), "--tol-h", "0.02",
                                 "--tol-v", "0.01", "--offsets=-3.5,0,3.5", "--csv", "--summary",
                                 dir.native("summary.csv"), "--report", dir.native("r.pdf")});
    EXPECT_EQ(run.code, road::kExitBadInput) << run.err;
    // Each shot's own result, on both sides of each tolerance.
    const auto rows = rowsByFirst(run.out);

    for (size_t i = 0; i < std::size(kShots); ++i) {
        const auto& r = rows.at(std::to_string(i + 1));
        EXPECT_NEAR(std::stod(r[4]), kShots[i].dh, 1e-4) << i + 1;
        EXPECT_NEAR(std::stod(r[5]), kShots[i].dv, 1e-4) << i + 1;
        EXPECT_EQ(r[6], std::fabs(kShots[i].dh) <= kTolH + 1e-6 ? "pass" : "fail") << i + 1;
        EXPECT_EQ(r[7], std::fabs(kShots[i].dv) <= kTolV + 1e-6 ? "pass" : "fail") << i + 1;
    }
    // The summary: all shots, then each code; the three bad shots counted and named by line.
    Expect all;
    std::map<std::string, Expect> byCode;
    for (const Placed& p : kShots) {
        all.add(p);
        byCode[p.code].add(p);
    }
    const auto summary = rowsByFirst(dir.read("summary.csv"));
    expectRow(summary.at("all"), all, 3);
    expectRow(summary.at("CL"), byCode["CL"], 2);
    expectRow(summary.at("EP-L"), byCode["EP-L"], 0);
    for (const char* line :
         {"line 14: shot without a number", "line 15: shot 99: outside", "line 16: easting"})
        EXPECT_TRUE(Says(run.err, line));

    dir.write("feet.csv", shotFile(d.alnt, 1200.0 / 3937.0));
    const ToolRun feet = RunTool({"check", "builtin", dir.native("feet.csv"), "--unit", "usft",
                                  "--tol-h", "0.066", "--tol-v", "0.033", "--csv"});
    const auto feetRows = rowsByFirst(feet.out);
    ASSERT_EQ(feetRows.at("point")[5], "v_dev_usft");
    // Against the centre line alone an edge shot lies 3.5 m off: it fails.
    const auto& edge = feetRows.at("2");
    EXPECT_NEAR(std::stod(edge[4]) * 1200.0 / 3937.0, -3.5 + 0.018, 1e-4);
    EXPECT_EQ(edge[6], "fail");
    EXPECT_TRUE(Says(feet.err, "no section model"));

    EXPECT_EQ(RunTool({"check", "builtin", dir.native("shots.csv"), "--report", "r.svg"}).code,
              road::kExitUsage);
    if (std::system("command -v pdftotext > /dev/null") != 0) GTEST_SKIP() << "no pdftotext";
    const std::string txt = dir.native("r.txt");
    ASSERT_EQ(std::system(("pdftotext -layout " + dir.native("r.pdf") + " " + txt).c_str()), 0);
    char want[200];
    std::snprintf(want, sizeof want, "all %d 3 %d %.3f %.3f %.3f %.1f%% %d", all.n + 3, all.n,
                  all.sumH / all.n, std::sqrt(all.sqH / all.n), all.maxH, 100.0 * all.inH / all.n,
                  all.n);
    std::string squeezed;
    for (const char c : dir.read("r.txt"))
        if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) squeezed += c;
    EXPECT_TRUE(Says(squeezed, want));
    EXPECT_TRUE(Says(squeezed, "tolerance 0.020 m"));
    EXPECT_TRUE(Says(squeezed, "As-built check: shots.csv against builtin")) << squeezed;
}

const char* kTemplate =
    "[left]\nsegments = lane 3.50 -2.5, shoulder 1.00 -4.0\ncut = 2\nfill = 3\n"
    "[right]\nsegments = lane 3.50 -2.5, shoulder 1.00 -4.0\ncut = 2\nfill = 3\n";

// The typical section's height below the centre line at an offset, in closed form.
double crownDrop(double offset) {
    const double o = std::fabs(offset);
    return o <= 3.5 ? 0.025 * o : 0.0875 + 0.04 * (o - 3.5);
}

// With a section model each shot is measured against the point of its code (any case), or the
// nearest point without one, and in height against the design at its own offset; a code the
// section lacks is a bad shot.
TEST(AsBuiltCheck, AgainstSectionPointsByCode) {
    FilesScratch dir;
    dir.write("t.ini", kTemplate);
    const road::Design d = LoadDesign("builtin");
    struct Shot {
        double chainage, design, dh, dv;
        const char* code;
    } shots[] = {{300, 3.5, 0.015, -0.012, "lane"},     {300, -3.5, -0.025, 0.004, "LANE 7"},
                 {600, 4.5, -0.010, 0.009, "shoulder"}, {600, -4.5, 0.300, -0.002, ""},
                 {700, 3.5, 0.0, 0.0, "ditch"},         {800, 4.5, 0.010, 0.003, "shoulder"},
                 {800, -4.5, -0.100, 0.0, "shoulder"},  {150, 0.0, 0.012, -0.004, "TS"}};
    std::string file;
    char buf[160];
    int number = 1;
    for (const Shot& s : shots) {
        TAlntEval at;
        ASSERT_TRUE(evaluateAlnt(d.alnt, s.chainage, at));
        double n = 0, e = 0;
        const double off = s.design + s.dh;
        alntOffsetPoint(at, off, n, e);
        std::snprintf(buf, sizeof buf, "%d,%.6f,%.6f,%.6f,%s\n", number++, n, e,
                      at.height - crownDrop(off) + s.dv, s.code);
        file += buf;
    }
    dir.write("shots.csv", file);
    const ToolRun run = RunTool(
        {"check", "builtin", dir.native("shots.csv"), "--template", dir.native("t.ini"), "--csv"});
    EXPECT_EQ(run.code, road::kExitBadInput) << run.err;
    const auto rows = rowsByFirst(run.out);
    for (int i = 0; i < 4; ++i) {
        const auto& r = rows.at(std::to_string(i + 1));
        EXPECT_NEAR(std::stod(r[3]), shots[i].design + shots[i].dh, 1e-4) << i + 1;
        EXPECT_NEAR(std::stod(r[4]), shots[i].dh, 1e-4) << i + 1;
        EXPECT_NEAR(std::stod(r[5]), shots[i].dv, 1e-4) << i + 1;
    }
    // Just beyond the surface's edge the edge's slope goes on; far beyond only the horizontal
    // is checked; a key point's code is the centre line.
    EXPECT_NEAR(std::stod(rows.at("6")[5]), 0.003, 1e-4);
    EXPECT_EQ(rows.at("7")[6], "fail");
    EXPECT_EQ(rows.at("7")[5], "");
    EXPECT_TRUE(Says(run.err, "line 7: shot 7: no vertical check"));
    EXPECT_NEAR(std::stod(rows.at("8")[4]), 0.012, 1e-4);
    EXPECT_EQ(rows.at("2")[6], "fail");
    EXPECT_EQ(rows.at("4")[6], "fail");
    EXPECT_EQ(rows.count("5"), 0u);
    EXPECT_TRUE(Says(run.err, "line 5: shot 5: no design point coded ditch"));
    EXPECT_TRUE(Says(run.err, "design height at each shot's own offset"));
}

}  // namespace
