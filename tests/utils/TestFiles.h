#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// Scratch files for the file tests: one folder per test under VELMORUTILS_TEST_TMP (or the
// system's temporary folder), emptied when it is handed out.
inline std::filesystem::path TestRoot() {
    const char* root = std::getenv("VELMORUTILS_TEST_TMP");
    return root && *root ? std::filesystem::path(root)
                         : std::filesystem::temp_directory_path() / "vmu";
}

inline std::string TestFolder(const std::string& name) {
    const std::filesystem::path dir = TestRoot() / name;
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
