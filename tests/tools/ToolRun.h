#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DesignInput.h"
#include "RoadTool.h"
#include "support/FilesScratch.h"
#include "support/Says.h"

// Runs the road tool in this process as a user would from the shell, with standard output and
// standard error caught in temporary files.
struct ToolRun {
    int code = -1;
    std::string out, err;
};

inline std::string ReadAndCloseTool(std::FILE* f) {
    std::string s;
    std::rewind(f);
    char buf[1 << 16];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        s.append(buf, n);
    std::fclose(f);
    return s;
}

// The fields of one line separated by `sep`; a separator at the end gives an empty last field,
// as a CSV reader reads it.
inline std::vector<std::string> SplitFields(const std::string& line, char sep = ',') {
    std::vector<std::string> f(1);
    for (const char c : line)
        if (c == sep)
            f.emplace_back();
        else
            f.back().push_back(c);
    return f;
}

// The rows of a CSV table, blank lines left out.
inline std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& l : SplitFields(text, '\n'))
        if (!l.empty()) rows.push_back(SplitFields(l));
    return rows;
}

// Writes a file into a test's folder and gives its path.
inline std::string PutFile(const FilesScratch& dir, const std::string& name,
                           const std::string& text) {
    dir.write(name, text);
    return dir.native(name);
}

// A design file ("builtin" for the built-in road) loaded as the tool loads it.
inline road::Design LoadDesign(const std::string& file) {
    road::Design d;
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(road::loadDesign(file, road::Common(), err, d), road::kExitOk);
    std::fclose(err);
    return d;
}

inline ToolRun RunTool(std::vector<std::string> args) {
    args.insert(args.begin(), "velmor-road");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ToolRun r;
    r.code = road::runRoadTool(static_cast<int>(argv.size()), argv.data(), out, err);
    r.out = ReadAndCloseTool(out);
    r.err = ReadAndCloseTool(err);
    return r;
}
