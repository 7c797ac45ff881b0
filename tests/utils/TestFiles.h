#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// Scratch files for the file tests: folders of each test's own under VELMORUTILS_TEST_TMP (or
// the system's temporary folder), emptied when they are handed out.
inline std::filesystem::path TestRoot() {
    const char* root = std::getenv("VELMORUTILS_TEST_TMP");
    return root && *root ? std::filesystem::path(root)
                         : std::filesystem::temp_directory_path() / "vmu";
}

// The folder of the running test, named after its suite and test, so that no two tests, in one
// process or in two running side by side, ever write the same path.
inline std::filesystem::path OwnTestRoot() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return TestRoot() / (info ? std::string(info->test_suite_name()) + "." + info->name()
                              : std::string("outside_tests"));
}

inline std::string TestFolder(const std::string& name) {
    const std::filesystem::path dir = OwnTestRoot() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Lines without their "\n".
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

// A path the library wrote with "\" separators, as this system names it.
inline std::string Native(std::string path) {
    for (char& c : path)
        c = c == '\\' ? '/' : c;
    return path;
}
