#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A fresh folder for one test under VELMORUTILS_TEST_TMP, removed again afterwards even when a
// test left read-only files in it. The name is the test's own, so that a test re-run in a child
// process (death tests) finds the same folder.
class FilesScratch {
public:
    FilesScratch() {
        const char* base = std::getenv("VELMORUTILS_TEST_TMP");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = std::filesystem::path(base && *base ? base : "/tmp/velmorutils-tests") /
                 (std::string(info->test_suite_name()) + "_" + info->name());
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
        std::ofstream(native(name), std::ios::binary) << contents;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(native(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
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
