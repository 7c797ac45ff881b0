#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// Scratch files for the tests: folders under VELMORUTILS_TEST_TMP named after the running test's
// suite and name, so that no two tests, in one process or in two running side by side, ever write
// the same path, and a test re-run in a child process (death tests) finds the same folder.
inline std::filesystem::path OwnTestRoot(const char* separator = ".") {
    const char* base = std::getenv("VELMORUTILS_TEST_TMP");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::filesystem::path(base && *base ? base : "/tmp/velmorutils-tests") /
           (info ? std::string(info->test_suite_name()) + separator + info->name()
                 : std::string("outside_tests"));
}

// A sub-folder of the running test's own, emptied when it is handed out.
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
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Lines without their "\n".
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A path the library wrote with "\" separators, as this system names it.
inline std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// A fresh folder for one test (its suite and name joined by "_", so that no dot of it is taken
// for a file extension), removed again afterwards even when a test left read-only files in it.
class FilesScratch {
public:
    FilesScratch() : m_root(OwnTestRoot("_")) {
        removeAll();
        std::filesystem::create_directories(m_root);
    }
    ~FilesScratch() { removeAll(); }

    // The POSIX path of a name inside the folder.
    std::string native(const std::string& name = "") const {
        return name.empty() ? m_root.string() : (m_root / name).string();
    }
    // The same path in the application's "\" form.
    std::string app(const std::string& name = "") const {
        std::string path = native(name);
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    void write(const std::string& name, const std::string& contents) const {
        WriteWholeFile(native(name), contents);
    }
    std::string read(const std::string& name) const { return ReadWholeFile(native(name)); }
    bool exists(const std::string& name) const {
        std::error_code ignored;
        return std::filesystem::exists(native(name), ignored);
    }

private:
    void removeAll() {
        std::error_code ignored;
        if (!std::filesystem::exists(m_root, ignored)) return;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(m_root, ignored);
    }

    std::filesystem::path m_root;
};
