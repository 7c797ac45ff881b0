#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "RoadTool.h"

#include "TableFormat.h"
#include "ToolRun.h"

namespace {

namespace fs = std::filesystem;

// A design in US survey feet: 500 ft north, a 1000 ft right-hand curve of 300 ft, 400 ft of
// straight, a 1 % grade from station 1000; and a second alignment of one line.
const char* kFeetDesign = R"(<?xml version="1.0"?>
<LandXML version="1.2"><Units><Imperial linearUnit="USSurveyFoot"/></Units>
<Alignments>
<Alignment name="Main" staStart="1000"><CoordGeom>
<Line><Start>10000 5000</Start><End>10500 5000</End></Line>
<Curve rot="cw" radius="1000" length="300"><Start>10500 5000</Start><Center>10500 6000</Center><End>10795.520207 5044.663511</End></Curve>
<Line><Start>10795.520207 5044.663511</Start><End>11177.654802 5162.871594</End></Line>
</CoordGeom><Profile><ProfAlign name="p"><PVI>1000 100</PVI><PVI>2200 112</PVI></ProfAlign></Profile></Alignment>
<Alignment name="Ramp" staStart="0"><CoordGeom><Line><Start>0 0</Start><End>100 0</End></Line></CoordGeom></Alignment>
</Alignments></LandXML>
)";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> l = SplitFields(text, '\n');
    if (!l.empty() && l.back().empty()) l.pop_back();
    return l;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> w;
    std::istringstream in(line);
    for (std::string s; in >> s;)
        w.push_back(s);
    return w;
}

}  // namespace

TEST(RoadCli, FeetDesignStakedInFeetAndMetresAgrees) {
    FilesScratch dir;
    const std::string xml = PutFile(dir, "feet.xml", kFeetDesign);
    const double ft = 1200.0 / 3937.0;
    const ToolRun feet = RunTool({"stakeout", xml, "--csv"});
    char interval[32];
    std::snprintf(interval, sizeof interval, "%.17g", 50 * ft);
    const ToolRun metres =
        RunTool({"stakeout", xml, "--csv", "--unit", "m", "--interval", interval});
    ASSERT_EQ(feet.code, 0) << feet.err;
    ASSERT_EQ(metres.code, 0) << metres.err;
    // The summary line in the output unit.
    EXPECT_TRUE(Says(feet.err, "computed and file end points 0.0000 usft"));
    EXPECT_TRUE(Says(metres.err, "computed and file end points 0.0000 m"));
    EXPECT_TRUE(Says(feet.err, "using the first, 'Main'"));

    const auto f = CsvRows(feet.out), m = CsvRows(metres.out);
    ASSERT_EQ(f.size(), m.size());
    EXPECT_TRUE(Says(feet.out, "northing_usft,easting_usft,cl_design_height_usft"));
    // The file's default interval in feet is 50 ft: stations at round feet.
    EXPECT_EQ(f[2][1], "1050.0000");
    for (size_t i = 1; i < f.size(); ++i) {
        const auto &a = f[i], &b = m[i];
        ASSERT_TRUE(a.size() == 10 && b.size() == 10) << i;
        for (int col : {1, 2, 3, 4, 5}) {
            // Each table rounds to its printed decimals; beyond that they agree to 1e-6.
            const double half = col == 5 || col == 2 ? 5e-4 : 5e-5;
            EXPECT_NEAR(std::stod(a[col]), std::stod(b[col]) / ft, half + half / ft + 1e-6) << i;
        }
        EXPECT_EQ(a[6] + a[7], b[6] + b[7]) << i;
    }
    // The end of the curve: 500 + 300 ft after the start, 1 % up from 100 ft.
    EXPECT_TRUE(Says(feet.out, ",1800.0000,0.000,"));
    EXPECT_TRUE(Says(feet.out, ",108.000,"));
}

// In every angle style; the CSV gives dms as decimal degrees.
TEST(RoadCli, CsvGivesEveryNumberTheTextTableShows) {
    for (const std::string angles : {"dms", "deg", "gon"}) {
        std::vector<std::string> args{"stakeout", "--offsets=-3.5,0,3.5", "--angles",
                                      angles,     "--interval",           "25"};
        const ToolRun text = RunTool(args);
        args.push_back("--csv");
        const ToolRun csv = RunTool(args);
        ASSERT_EQ(text.code + csv.code, 0) << text.err << csv.err;
        const auto t = lines(text.out), c = lines(csv.out);
        ASSERT_EQ(t.size(), c.size() + 1);  // the text table's footnote
        for (size_t i = 1; i < c.size(); ++i) {
            const auto w = words(t[i]);
            const auto v = SplitFields(c[i], ',');
            ASSERT_GE(w.size(), 6u) << t[i];
            ASSERT_EQ(v.size(), 10u) << c[i];
            EXPECT_EQ(w[0], v[0]);  // station text
            for (int k = 1; k <= 4; ++k)
                EXPECT_EQ(w[k], v[k + 1]) << t[i];
            EXPECT_EQ(w[5], angles == "dms" ? road::dmsText(std::stod(v[6])) : v[6]) << t[i];
            // The text's point column: the key point's code or * at a boundary, then the side.
            const std::string point = w.size() > 6 ? w[6] : "";
            EXPECT_EQ(v[7], point.empty() || point == "eq." ? "0" : "1") << t[i];
            if (!v[8].empty() && v[8] != "EQ") {
                EXPECT_EQ(point, v[8]) << t[i];
            }
            EXPECT_EQ(v[9], w.size() > 7 ? w.back() : "") << t[i];
            for (size_t k = 1; k < v.size(); ++k) {
                EXPECT_EQ(v[k].find_first_of(" \""), std::string::npos) << c[i];
                EXPECT_NE(v[k].rfind("-0.", 0) == 0 && std::stod(v[k]) == 0.0, true) << c[i];
            }
        }
    }
}

TEST(RoadCli, ListAndExportSeeEveryAlignment) {
    FilesScratch dir;
    const std::string xml = PutFile(dir, "feet.xml", kFeetDesign);
    const ToolRun list = RunTool({"list", xml});
    ASSERT_EQ(list.code, 0) << list.err;
    for (const char* says : {"2 alignments, file unit usft", "length [usft]", "3 elements",
                             "1 element ", "10+00.00 to 22+00.00"})
        EXPECT_TRUE(Says(list.out, says));
    ASSERT_EQ(RunTool({"export-landxml", xml, "--out", dir.native("out.xml")}).code, 0);
    const ToolRun back = RunTool({"list", dir.native("out.xml")});
    // The same table after the first line (which names the file).
    EXPECT_EQ(back.out.substr(back.out.find('\n')), list.out.substr(list.out.find('\n')));
    const ToolRun one = RunTool({"export-landxml", xml, "--alignment", "Ramp"});
    EXPECT_EQ(one.out.find("Main"), std::string::npos);
    EXPECT_TRUE(Says(one.out, "Ramp"));
}

// Design and point files alike: what is not text is refused as a whole, before any row.
TEST(RoadCli, CommandLineErrorsNameTheOptionAndExitCodesHold) {
    FilesScratch dir;
    const std::string xml = PutFile(dir, "feet.xml", kFeetDesign);
    const std::string utf16 = PutFile(dir, "u16.xml", std::string("\xFF\xFE<\0?\0", 6));
    const std::string zero = PutFile(dir, "zero.xml", std::string("<?xml?>\n<a\0>", 13));
    const std::string points = PutFile(dir, "p.csv", "1,5000,2000\n");
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* says;
    } cases[] = {
        {{"stakeout", "--bogus"}, 2, "--bogus"},

        {{"stakeout", "--interval", "nan"}, 2, "--interval"},
        {{"stakeout", "--interval", "abc"}, 2, "--interval"},
        // Bounds in the unit the user reads, never a type's limits.
        {{"stakeout", "--interval", "-5"}, 2, "--interval must lie between 0.001 m and 100000 m"},
        {{"stakeout", xml, "--interval", "0"}, 2, "between 0.00328083 usft and 328083 usft"},
        {{"plot", "-o", "x.svg", "--interval", "200000"}, 2, "between 0.001 m and 100000 m"},
        {{"stakeout", "--offsets=0,10001"}, 2, "--offsets must lie between -10000 m and 10000 m"},
        {{"station-offset", "builtin", points, "--corridor", "0"},
         2,
         "--corridor must lie between"},
        {{"curve", "0.002", "0.001", "--unit", "ft"}, 2, "RADIUS must lie between 0.00328084 ft"},
        {{"stakeout", "--offsets", "1,x"}, 2, "--offsets"},
        {{"stakeout", "--interval", "0.001", "--offsets=0,1,2,3,4,5,6,7,8,9,10,11"},
         2,
         "10 million"},
        {{"stakeout", "--unit", "km"}, 2, "--unit"},

        {{"stakeout", "--station-decimals", "9"}, 2, "--station-decimals must lie between 0 and 6"},
        {{"stakeout", xml, "--alignment", "Nope"}, 2, "'Main', 'Ramp'"},
        {{"station-offset", "builtin", "p.csv", "--columns", "PNX"}, 2, "--columns"},
        {{"station-offset", "builtin"}, 2, "POINTS"},

        {{"curve", "40"}, 2, "RADIUS and LENGTH"},
        {{"curve", "1", "7"}, 2, "whole circle"},
        {{"stakeout", dir.native()}, 3, "is a directory"},
        {{"stakeout", dir.native("missing.xml")}, 3, "missing.xml"},
        {{"stakeout", utf16}, 1, "line 1: UTF-16"},
        {{"stakeout", zero}, 1, "line 2: a zero byte"},
        {{"station-offset", "builtin", dir.native()}, 3, "is a directory"},
        {{"station-offset", "builtin", dir.native("missing.csv")}, 3, "cannot open"},
        {{"station-offset", "builtin", utf16}, 1, "line 1: UTF-16"},
        {{"station-offset", "builtin", zero}, 1, "line 2: a zero byte"},
        {{"export-landxml", "--out", dir.native("no/such/dir.xml")}, 3, "dir.xml"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[0] << " " << r.err;
        EXPECT_TRUE(Says(r.err, c.says));
        EXPECT_EQ(r.err.find("e+"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.args[0] << " " << c.says;
    }
    const ToolRun help = RunTool({"stakeout", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(Says(help.out, "--alignment"));
}

// No negative chord or tangent; "no solution" where the library answers 0 for a tangent and
// external within 1e-5 degree of a half circle (179 degrees 59'59.99": both about 3.7e9 m).
TEST(RoadCli, CurveTableHasNoSolutionInsteadOfNonsenseAndTakesAUnit) {
    std::string out[3];
    const char *radius[] = {"40", "100", "100"}, *length[] = {"30", "400", "314.15926"};
    for (const int i : {0, 1, 2}) {
        const ToolRun r = RunTool({"curve", radius[i], length[i]});

        ASSERT_EQ(r.code, 0) << r.err;
        out[i] = r.out;
        EXPECT_TRUE(Says(r.out, "no solution"));
        EXPECT_EQ(r.out.find("nan"), std::string::npos);
        EXPECT_EQ(r.out.find(" -"), std::string::npos) << r.out;
    }
    // Past 180 degrees the chord is still the straight line between the ends: 2 R sin(D / 2).
    EXPECT_TRUE(Says(out[1], road::fixed(200.0 * std::sin(2.0), 4)));
    const std::string& half = out[2];
    const size_t row = half.find("\nradius ");
    ASSERT_NE(row, std::string::npos) << half;
    const auto w = words(half.substr(row + 1, half.find('\n', row + 1) - row - 1));
    // radius, value, radius, D arc, D chord, delta, length, chord, then "no solution" twice
    // (tangent), mid ord, "no solution" (external), spiral A.
    ASSERT_EQ(w.size(), 14u) << half;
    EXPECT_EQ(w[8] + " " + w[9], "no solution");
    EXPECT_EQ(w[11] + " " + w[12], "no solution");
    // In US survey feet: the degree of curve on a 100 ft base, every length in feet.
    const ToolRun feet = RunTool({"curve", "1000", "300", "--unit", "usft"});
    ASSERT_EQ(feet.code, 0) << feet.err;
    EXPECT_TRUE(Says(feet.out, "R = 1000.0000 usft, L = 300.0000 usft"));
    EXPECT_TRUE(Says(feet.out, " 5.72958 "));
    EXPECT_TRUE(Says(feet.out, road::fixed(1000.0 * std::tan(0.15), 4)));
    // Without values the example curve of 450 m is given in the unit asked for.
    EXPECT_TRUE(Says(RunTool({"curve", "--unit", "ft"}).out, "R = 1476.3780 ft"));
}

// "builtin" stands for a file wherever one is taken; --version is the project's; every default
// set of options works (a default stake-out once died on an empty station-text function).
TEST(RoadCli, BuiltinVersionAndDefaultOptions) {
    FilesScratch dir;
    const std::string points = PutFile(dir, "p.csv", "1,5000,2000\n");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"list", "builtin"},
                                                 {"stakeout", "builtin"},
                                                 {"export-landxml", "builtin"},
                                                 {"station-offset", "builtin", points}}) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.code, 0) << args[0] << " " << r.err;
        EXPECT_FALSE(r.out.empty()) << args[0];
    }
    EXPECT_NE(RunTool({"list", "builtin"}).out.find("0+000.00 to 1+202.98"), std::string::npos);
    EXPECT_EQ(road::TableStyle().station(1234.567), "1+234.57");
}

// The table's own digits against printf's, on coordinates, halves that are exact in binary
// (ties go to even) and values a hair either side of a half; never a negative zero.
TEST(RoadCli, NoNegativeZeroInAnyTable) {
    EXPECT_EQ(road::fixed(-0.0004, 3), "0.000");
    EXPECT_EQ(road::fixed(-0.0006, 3), "-0.001");
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coordinate(-6e6, 6e6);
    for (int i = 0; i < 20000; ++i) {
        const int decimals = i % 7;
        const double v = i % 3 == 0   ? coordinate(rng)
                         : i % 3 == 1 ? (std::floor(coordinate(rng)) + 0.5) / (1 << (i % 4))
                                      : std::nextafter(0.0005 * (i / 3), i % 2 ? 1e9 : -1e9);
        char want[64];
        std::snprintf(want, sizeof want, "%.*f", decimals, v);
        const bool zero = std::string(want).find_first_not_of("-0.") == std::string::npos;
        ASSERT_EQ(road::fixed(v, decimals), zero && want[0] == '-' ? want + 1 : want) << v;
    }
}

// An azimuth that rounds to the full circle is printed as 0; a column is padded by characters,
// so a degree sign (two bytes) counts once.
TEST(RoadCli, AzimuthsWrapAtTheFullCircleAndPaddingCountsCharacters) {
    road::TableStyle gon;
    gon.angles = road::AngleStyle::Gon;
    EXPECT_EQ(gon.angle(359.9999964), "0.00000");  // 399.999996 gon
    EXPECT_EQ(gon.angle(-1e-6), "0.00000");
    EXPECT_EQ(gon.angle(359.999994), "399.99999");
    EXPECT_EQ(road::padRight("12\u00B0", 5), "12\u00B0  ");
    EXPECT_EQ(road::padRight("Stra\u00DFe", 7), "Stra\u00DFe ");
}

// A full disk in the middle of writing must leave the previous file byte for byte, and say so;
// a write that succeeds replaces it.
TEST(RoadCli, FailedOutputFileLeavesThePreviousFileWhole) {
    FilesScratch dir;
    const std::string before = "station,chainage_m\n0+000.00,0.0000\n";
    for (const std::string name : {"stakes.svg", "stakes.csv"}) {
        const bool plot = name == "stakes.svg";
        const std::string target = PutFile(dir, name, before);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &small);
            const ToolRun r = plot ? RunTool({"plot", "--svg", target})
                                   : RunTool({"stakeout", "--interval", "1", "--out", target});
            ::_exit(r.code == road::kExitFile && r.err.find(name) != std::string::npos ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << name;
        EXPECT_EQ(dir.read(name), before) << name;
        fs::remove(target);
        EXPECT_TRUE(fs::is_empty(dir.native())) << name;
    }
    const std::string target = PutFile(dir, "stakes.csv", before);
    ASSERT_EQ(RunTool({"stakeout", "--csv", "--out", target}).code, 0);
    EXPECT_EQ(dir.read("stakes.csv").rfind("station,chainage_m,offset_m", 0), 0u);
}

TEST(RoadCli, FromAndToStationsAreBothInTheTable) {
    FilesScratch dir;
    const std::string xml = PutFile(dir, "feet.xml", kFeetDesign);
    struct Case {
        const char *first, *last;
        size_t rows;
        std::vector<std::string> args;
    } cases[] = {
        {"0+100.00", "0+210.00", 8, {"--from", "0+100.00", "--to", "0+210.00"}},
        {"0+105.50", "0+119.99", 2, {"--from", "0+105.5", "--to", "0+119.99"}},
        {"11+00.00", "13+00.00", 5, {xml, "--from", "11+00", "--to", "13+00"}},

        {"10+00.00", "22+00.00", 25, {xml, "--alignment", "Main"}},
    };
    for (Case& c : cases) {
        c.args.insert(c.args.begin(), {"stakeout", "--csv"});
        const ToolRun r = RunTool(c.args);

        ASSERT_EQ(r.code, 0) << r.err;
        const auto l = lines(r.out);
        ASSERT_EQ(l.size(), c.rows + 1) << r.out;
        EXPECT_EQ(SplitFields(l[1], ',')[0], c.first);
        EXPECT_EQ(SplitFields(l.back(), ',')[0], c.last);
    }
    EXPECT_EQ(RunTool({"stakeout", "--from", "0+200.00", "--to", "0+100.00"}).code, 2);
    EXPECT_EQ(RunTool({"stakeout", xml, "--from", "0+100", "--unit", "usft"}).code, 2);
}

// A full disk under standard output is an error, never a silent exit 0.
TEST(RoadCli, FailedStandardOutputExitsWithThree) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (full == nullptr) GTEST_SKIP() << "no /dev/full";
    std::FILE* err = std::tmpfile();
    for (const char* command : {"stakeout", "curve", "export-landxml"}) {
        const char* argv[] = {"velmor-road", command};
        EXPECT_EQ(road::runRoadTool(2, argv, full, err), road::kExitFile) << command;
        std::clearerr(full);
    }
    std::fclose(full);
    EXPECT_NE(ReadAndCloseTool(err).find("cannot write standard output"), std::string::npos);
}
// A 1000 m straight north whose stations jump forward 100 m at running chainage 400 (a gap) and
// back 50 m at 700 (an overlap: 750 to 800 occur twice).
TEST(RoadCli, StationEquationsPrintAndReadAsTheDesignWritesThem) {
    FilesScratch dir;
    const std::string xml = PutFile(
        dir, "eq.xml",
        "<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\"><Units><Metric linearUnit=\"meter\"/>"
        "</Units><Alignments><Alignment name=\"Eq\" staStart=\"0\">\n"
        "<StaEquation staInternal=\"400\" staBack=\"400\" staAhead=\"500\"/>\n"
        "<StaEquation staInternal=\"700\" staBack=\"800\" staAhead=\"750\"/>\n"
        "<CoordGeom><Line><Start>0 0</Start><End>1000 0</End></Line></CoordGeom>"
        "</Alignment></Alignments></LandXML>\n");
    const ToolRun all = RunTool({"stakeout", xml, "--csv", "--interval", "100"});
    ASSERT_EQ(all.code, 0) << all.err;
    const auto rows = CsvRows(all.out);
    std::vector<std::string> stations;
    for (const auto& row : rows)
        stations.push_back(row[0]);
    // At each equation the back station's row, then the ahead station's: a crew stakes either.
    const std::vector<std::string> want{"station",  "0+000.00",    "0+100.00",    "0+200.00",
                                        "0+300.00", "0+400.00",    "0+500.00",    "0+600.00",
                                        "0+700.00", "0+800.00 R2", "0+750.00 R3", "0+800.00 R3",
                                        "0+900.00", "1+000.00",    "1+050.00"};
    EXPECT_EQ(stations, want) << all.out;
    EXPECT_EQ(rows[5][8] + "," + rows[5][9] + " " + rows[6][8] + "," + rows[6][9],
              "EQ,back EQ,ahead");
    EXPECT_EQ(rows[9][1], rows[10][1]);  // one point, two stations
    // A station in the overlap needs its region; with it, both ends are in the table.
    const ToolRun ambiguous = RunTool({"stakeout", xml, "--from", "0+780.00"});
    EXPECT_EQ(ambiguous.code, 2);
    EXPECT_TRUE(Says(ambiguous.err, "--from"));
    const auto l = CsvRows(
        RunTool({"stakeout", xml, "--csv", "--from", "0+780.00 R3", "--to", "0+900.00"}).out);
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[1][0] + " " + l[1][1] + " " + l.back()[0], "0+780.00 R3 730.0000 0+900.00");
}

namespace {

// Three alignments: Main with two design profiles, Bad whose vertical curves overlap by 40 m,
// Ramp of one line.
std::string threeAlignments() {
    const std::string line =
        "<CoordGeom><Line><Start>0 0</Start><End>1000 0</End></Line>"
        "</CoordGeom>\n";
    return "<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\"><Units><Metric "
           "linearUnit=\"meter\"/></Units>\n<Alignments>\n<Alignment name=\"Main\" "
           "staStart=\"0\">" +
           line +
           "<Profile><ProfAlign name=\"design\"><PVI>0 100</PVI><PVI>1000 110</PVI></ProfAlign>\n"
           "<ProfAlign name=\"alt\"><PVI>0 100</PVI><PVI>1000 121</PVI></ProfAlign></Profile>\n"
           "</Alignment>\n<Alignment name=\"Bad\" staStart=\"0\">" +
           line +
           "<Profile><ProfAlign name=\"d\"><PVI>0 100</PVI>\n<ParaCurve length=\"240\">400 108"
           "</ParaCurve><ParaCurve length=\"240\">600 100</ParaCurve><PVI>1000 100</PVI>"
           "</ProfAlign></Profile>\n</Alignment>\n<Alignment name=\"Ramp\" staStart=\"0\">" +
           line + "</Alignment>\n</Alignments></LandXML>\n";
}

// The design height of the CSV row at a station.
std::string heightAt(const std::string& csv, const std::string& station) {
    for (const std::string& l : lines(csv))
        if (l.rfind(station + ",", 0) == 0) return SplitFields(l, ',')[5];
    return "";
}

}  // namespace

// One bad alignment: listed as refused with its line, left out of the export (exit 1); the
// others work as if it were not there. Each alignment's profiles are listed and can be chosen.
TEST(RoadCli, OneBadAlignmentAndSeveralProfiles) {
    FilesScratch dir;
    const std::string xml = PutFile(dir, "three.xml", threeAlignments());
    const ToolRun list = RunTool({"list", xml});
    EXPECT_EQ(list.code, 1) << list.err;
    const std::vector<std::string> rows = lines(list.out);
    ASSERT_EQ(rows.size(), 7u) << list.out;
    EXPECT_TRUE(Says(rows[0], "3 alignments"));
    EXPECT_EQ(words(rows[2]).back(), "ok") << rows[2];
    EXPECT_TRUE(Says(rows[3], "profile 'design': 2 VIPs, 0+000.00 to 1+000.00"));
    EXPECT_TRUE(Says(rows[4], "profile 'alt': 2 VIPs"));
    EXPECT_TRUE(Says(rows[5], "Bad                  refused: " + xml +
                                  ": line 9: ProfAlign: the vertical curves ParaCurve at line 10"));
    EXPECT_EQ(words(rows[6]).back(), "ok") << rows[6];

    const ToolRun first = RunTool({"stakeout", xml, "--csv", "--interval", "500"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(heightAt(first.out, "0+500.00"), "105.000");
    EXPECT_TRUE(Says(first.err, "using the first, 'design' (choose with --profile NAME)"));
    const ToolRun alt =
        RunTool({"stakeout", xml, "--csv", "--interval", "500", "--profile", "alt"});
    EXPECT_EQ(heightAt(alt.out, "0+500.00"), "110.500") << alt.err;

    EXPECT_EQ(RunTool({"stakeout", xml, "--profile", "final"}).code, 2);
    EXPECT_EQ(RunTool({"stakeout", xml, "--alignment", "Ramp"}).code, 0);
    const ToolRun bad = RunTool({"stakeout", xml, "--alignment", "Bad"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(Says(bad.err, "alignment 'Bad' refused: line 9: ProfAlign"));

    const std::string out = dir.native("out.xml");
    const ToolRun exported = RunTool({"export-landxml", xml, "--out", out});
    EXPECT_EQ(exported.code, 1);
    EXPECT_TRUE(Says(exported.err, "left out of the export"));
    const ToolRun back = RunTool({"list", out});
    EXPECT_EQ(back.code, 0) << back.err;
    EXPECT_TRUE(Says(back.out, "2 alignments"));
}
