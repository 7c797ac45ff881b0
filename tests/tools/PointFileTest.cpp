#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PointFile.h"
#include "RoadTool.h"
#include "ToolRun.h"

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
                EXPECT_EQ((std::vector{f.points[0].north, f.points[0].east, f.points[2].north,
                                       f.points[2].east}),
                          (std::vector{5000.125, 2000.25, -12.5, 7.25}));
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
        {"A,2e8,1\nB,1,2,2e5\nC,1,-2e8\n", {1, 2, 3}, 0, 0},  // beyond any survey

        // Spaces on most lines: a comma inside one line's code is not the delimiter.
        {"A 1 2 3 kerb, left\nB 1 2 3 CL\nC 1 2 3 EP\n", {}, 3, 0},
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
    // The one point of a line, field by field; an empty quoted height is no height.
    const auto one = [](const char* text) {
        const road::PointFile f = road::readPointFile(text, {});
        EXPECT_EQ(f.points.size(), 1u) << text;
        return f.points.empty() ? road::MeasuredPoint{} : f.points[0];
    };
    EXPECT_EQ(one("\"A, west\",1,2,,\"kerb, left\"\n").name, "A, west");
    EXPECT_EQ(one("\"A, west\",1,2,,\"kerb, left\"\n").code, "kerb, left");
    EXPECT_EQ(one("A 1 2 3 edge of road\n").code, "edge of road");
    // A decimal comma is read beside a semicolon or a tab.
    for (const char* text : {"A;1,5;2,25;3\n", "A\t1,5\t2,25\t3\n"}) {
        EXPECT_EQ(one(text).north, 1.5) << text;
        EXPECT_EQ(one(text).east, 2.25) << text;
    }
    EXPECT_FALSE(one("\"101\",1,2,\"\",\"CL\"\n").hasHeight);
    EXPECT_EQ(one("\"101\",1,2,\"\",\"CL\"\n").code, "CL");
    // A station column may be missing on a line, as a height or a code may.
    const road::PointFile st =
        road::readPointFile("1\t5017.32\t2010\n2\t5034.64\t2020\t0+039.90\n", {"PNES"});
    EXPECT_TRUE(st.bad.empty());
    ASSERT_EQ(st.points.size(), 2u);
    EXPECT_EQ(st.points[0].station, "");
    EXPECT_EQ(st.points[1].station, "0+039.90");
}

TEST(PointFile, ColumnLettersAreChecked) {
    std::string error;
    for (const char* bad : {"PNX", "PNNE", "PEZD", ""})
        EXPECT_FALSE(road::parseColumns(bad, error)) << bad;
    EXPECT_TRUE(road::parseColumns("ENZ", error));
}

TEST(PointFile, StationOffsetKeepsGoodPointsAndExitsNonZeroOnBadLines) {
    FilesScratch dir;
    // The built-in road runs north-north-east from 5000 N, 2000 E.
    dir.write("pts.txt",
              "Pt;N;E;H;Code\n1;5017,3205;2010,0000;100,4;CL\n2;oops;2010\n"
              "3;5034,6410;2020,0000;;EP\n");
    const ToolRun r = RunTool({"station-offset", "builtin", dir.native("pts.txt"), "--csv"});
    EXPECT_EQ(r.code, road::kExitBadInput);
    for (const char* says : {"line 1 skipped as a header", "1 line could not be read",
                             "line 3: northing 'oops' is not a number: 2;oops;2010"})
        EXPECT_TRUE(Says(r.err, says));
    for (const char* says :
         {"\n1,5017.320500,2010.000000,100.400000,0+020.00,19.99999", ",100.400,0.000,square,CL,\n",
          ",100.800,,square,EP,\n", "\n3,5034.641000,2020.000000,,0+040.00,39.99998"})
        EXPECT_TRUE(Says(r.out, says));
    // Stations carried in a column are compared with the design's; one that is not a station
    // is a bad line.
    dir.write("sta.txt", "1\t5017.3205\t2010\t0+020.00\n3\t5034.641\t2020\t20+\n");
    const ToolRun st =
        RunTool({"station-offset", "builtin", dir.native("sta.txt"), "--columns", "PNES", "--csv"});
    EXPECT_EQ(st.code, road::kExitBadInput);
    EXPECT_TRUE(Says(st.out, "carried_station,dstation_m"));
}

// Lines read from a file in 1 MiB chunks: a line across a chunk boundary stays whole, CR LF and
// a byte-order mark are dropped, a last line without its end is kept, and a line beyond the
// length limit is cut and flagged instead of filling memory.
TEST(PointFile, LinesReadInChunksAreTheLinesOfTheText) {
    const std::string longLine(road::LineSource::kMaxLineLength + 10, 'x');
    std::string text =
        "\xEF\xBB\xBF"
        "first\r\n";
    std::vector<std::string> want{"first"};
    for (int i = 0; text.size() < (1u << 20) + 100; ++i) {
        want.push_back("P" + std::to_string(i) + ",5000.125,2000.250,100.5,CL");
        text += want.back() + (i % 2 ? "\n" : "\r\n");
    }
    text += longLine + "\n\nlast";
    want.push_back(longLine.substr(0, road::LineSource::kMaxLineLength));
    want.push_back("");
    want.push_back("last");
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    for (int source = 0; source < 2; ++source) {
        SCOPED_TRACE(source == 0 ? "file" : "memory");
        road::LineSource file(f), memory{std::string_view(text)};
        road::LineSource& lines = source == 0 ? file : memory;
        std::string line;
        bool cut = false;
        for (size_t i = 0; i < want.size(); ++i) {
            ASSERT_TRUE(lines.next(line, cut)) << i;
            ASSERT_EQ(line, want[i]) << i;
            EXPECT_EQ(cut, want[i].size() == road::LineSource::kMaxLineLength) << i;
        }
        EXPECT_FALSE(lines.next(line, cut));
        EXPECT_FALSE(lines.readFailed());
        EXPECT_EQ(lines.bytesRead(), static_cast<long long>(text.size()));
    }
    std::fclose(f);
}
