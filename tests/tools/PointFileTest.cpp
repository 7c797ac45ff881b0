#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PointFile.h"
#include "RoadTool.h"

namespace {

// Three points as field software writes them, in the given layout and delimiter.
std::string pointText(const std::string& columns, const std::string& sep, bool header) {
    struct P {
        const char *name, *n, *e, *z, *code;
    } pts[] = {{"101", "5000.125", "2000.250", "100.5", "CL"},
               {"102", "5010.000", "2005.000", "", "EP"},
               {"103", "-12.5", "7.25", "99", ""}};
    std::string out;
    if (header) {
        for (size_t i = 0; i < columns.size(); ++i)
            out += (i ? sep : "") + std::string(1, columns[i]) + "_col";
        out += "\r\n";
    }
    for (const P& p : pts) {
        std::string line;
        for (size_t i = 0; i < columns.size(); ++i) {
            const char c = columns[i];
            const char* v = c == 'P'   ? p.name
                            : c == 'N' ? p.n
                            : c == 'E' ? p.e
                            : c == 'Z' ? p.z
                                       : p.code;
            // Runs of spaces cannot carry an empty field: leave Z and D off the end instead.
            if (sep == "   " && *v == '\0') break;
            line += (i ? sep : "") + std::string(v);
        }
        out += line + "\n";
    }
    return out;
}

}  // namespace

TEST(PointFile, EveryDelimiterAndColumnOrderReadsTheSamePoints) {
    for (const std::string sep : {",", ";", "\t", "   "}) {
        for (const std::string columns : {"PNEZD", "PENZD", "NEZ", "PNE", "NEZDP"}) {
            // Runs of spaces cannot skip a field in the middle of a line.
            if (sep == "   " && columns == "NEZDP") continue;
            for (bool header : {false, true}) {
                SCOPED_TRACE(columns + " '" + sep + "' header " + std::to_string(header));
                std::string error;
                const auto layout = road::parseColumns(columns, error);
                ASSERT_TRUE(layout) << error;
                const road::PointFile f =
                    road::readPointFile(pointText(columns, sep, header), *layout);
                EXPECT_EQ(f.delimiter, sep == "   " ? ' ' : sep[0]);
                EXPECT_EQ(f.headerLine, header ? 1 : 0);
                EXPECT_TRUE(f.bad.empty()) << f.bad[0].reason << ": " << f.bad[0].text;
                ASSERT_EQ(f.points.size(), 3u);
                EXPECT_EQ(f.points[0].north, 5000.125);
                EXPECT_EQ(f.points[0].east, 2000.25);
                EXPECT_EQ(f.points[2].north, -12.5);
                EXPECT_EQ(f.points[2].east, 7.25);
                const bool z = columns.find('Z') != std::string::npos;
                EXPECT_EQ(f.points[0].hasHeight, z);
                EXPECT_FALSE(f.points[1].hasHeight);
                if (z) {
                    EXPECT_EQ(f.points[0].height, 100.5);
                }
                const bool p = columns.find('P') != std::string::npos;
                // Without a name column a point is named by its line.
                EXPECT_EQ(f.points[1].name, p ? "102" : std::to_string(header ? 3 : 2));
                EXPECT_EQ(f.points[0].code, columns.find('D') != std::string::npos ? "CL" : "");
            }
        }
    }
}

TEST(PointFile, BadLinesAreReportedAndTheRestStillRead) {
    struct Case {
        const char* text;
        std::vector<int> badLines;
        size_t good;
        int header;
    } cases[] = {
        // The first line is a header only when both coordinates are words.
        {"Name,North,East\nA,1,2\n", {}, 1, 1},
        {"A,x,2\nB,1,2\n", {1}, 1, 0},
        {"A,1,2\nB,1\nC,1,2,3,4\nD,1e400,2\nE,nan,1\nF,1,2,h\n\nG,3,4\n", {2, 4, 5, 6}, 3, 0},
        {"A,1,2\nName,North,East\n", {2}, 1, 0},  // a header anywhere else is a bad line
        {"A,2e8,1\nB,1,2,2e5\n", {1, 2}, 0, 0},   // beyond any survey
        {"A;1,5;2,25;3\n", {}, 1, 0},             // decimal comma beside a semicolon
        {"\"A, west\",1,2,,\"kerb, left\"\n", {}, 1, 0},
    };
    for (const Case& c : cases) {
        const road::PointFile f = road::readPointFile(c.text, road::ColumnLayout{});
        std::vector<int> bad;
        for (const road::BadLine& b : f.bad)
            bad.push_back(b.line);
        EXPECT_EQ(bad, c.badLines) << c.text;
        EXPECT_EQ(f.points.size(), c.good) << c.text;
        EXPECT_EQ(f.headerLine, c.header) << c.text;
    }
    const road::PointFile q = road::readPointFile("\"A, west\",1,2,,\"kerb, left\"\n", {});
    ASSERT_EQ(q.points.size(), 1u);
    EXPECT_EQ(q.points[0].name, "A, west");
    EXPECT_EQ(q.points[0].code, "kerb, left");
    const road::PointFile s = road::readPointFile("A 1 2 3 edge of road\n", {});
    ASSERT_EQ(s.points.size(), 1u);
    EXPECT_EQ(s.points[0].code, "edge of road");
    const road::PointFile d = road::readPointFile("A;1,5;2,25;3\n", {});
    EXPECT_EQ(d.points[0].north, 1.5);
}

TEST(PointFile, ColumnLettersAreChecked) {
    std::string error;
    for (const char* bad : {"PNX", "PNNE", "PEZD", ""})
        EXPECT_FALSE(road::parseColumns(bad, error)) << bad;
    for (const char* good : {"PNEZD", "PENZD", "NEZ", "ENZ", "PNE"})
        EXPECT_TRUE(road::parseColumns(good, error)) << good;
}

TEST(PointFile, StationOffsetKeepsGoodPointsAndExitsNonZeroOnBadLines) {
    const std::string dir = std::filesystem::temp_directory_path() / "velmor_points_test";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/pts.txt";
    // The built-in road runs north-north-east from 5000 N, 2000 E.
    std::ofstream(path) << "Pt;N;E;H;Code\n1;5017,3205;2010,0000;100,4;CL\n2;oops;2010\n"
                           "3;5034,6410;2020,0000;;EP\n";
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const char* argv[] = {"velmor-road", "station-offset", "builtin", path.c_str(), "--csv"};
    const int code = road::runRoadTool(5, argv, out, err);
    auto text = [](std::FILE* f) {
        std::string s(1 << 16, '\0');
        std::rewind(f);
        s.resize(std::fread(s.data(), 1, s.size(), f));
        std::fclose(f);
        return s;
    };
    const std::string o = text(out), e = text(err);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(code, road::kExitBadInput);
    EXPECT_NE(e.find("line 1 skipped as a header"), std::string::npos) << e;
    EXPECT_NE(e.find("line 3: northing 'oops' is not a number: 2;oops;2010"), std::string::npos)
        << e;
    EXPECT_NE(e.find("1 line could not be read"), std::string::npos) << e;
    EXPECT_NE(o.find("1,0+020.00,20.0000,0.000,100.400,0.000,CL,"), std::string::npos) << o;
    EXPECT_NE(o.find("3,0+040.00,40.0000,0.000,100.800,,EP,"), std::string::npos) << o;
}

TEST(PointFile, CarriedStationsAreReadAsTheDesignWritesThem) {
    const std::string path = std::filesystem::temp_directory_path() / "velmor_points_sta.txt";
    std::ofstream(path) << "1\t5017.3205\t2010\t0+020.00\n2\t5034.641\t2020\t0+039.90\n"
                           "3\t5034.641\t2020\t20+\n";
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const char* argv[] = {"velmor-road", "station-offset", "builtin", path.c_str(),
                          "--columns",   "PNES",           "--csv"};
    const int code = road::runRoadTool(7, argv, out, err);
    std::filesystem::remove(path);
    std::string o(4096, '\0'), e(4096, '\0');
    std::rewind(out);
    std::rewind(err);
    o.resize(std::fread(o.data(), 1, o.size(), out));
    e.resize(std::fread(e.data(), 1, e.size(), err));
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(code, road::kExitBadInput);
    EXPECT_NE(o.find("carried_station,dstation_m"), std::string::npos) << o;
    EXPECT_NE(o.find("1,0+020.00,20.0000,0.000,100.400,,0+020.00,0.000,,"), std::string::npos) << o;
    EXPECT_NE(o.find(",0+039.90,0.100,"), std::string::npos) << o;
    EXPECT_NE(e.find("line 3: station"), std::string::npos) << e;
}
