#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using namespace zel_platform;

namespace {

std::vector<std::string> search(const std::string& pattern) {
    std::vector<std::string> names;
    CFindFile find;
    WIN32_FIND_DATAA found;
    for (bool more = find.FindFirst(pattern.c_str(), found); more; more = find.FindNext(found)) {
        names.push_back(found.cFileName);
    }
    return names;
}

}  // namespace

TEST(Wildcards, FollowTheOriginalPlatformRules) {
    EXPECT_TRUE(MatchesWildcard("SURVEY.VMJOB", "*.vmjob"));  // letters regardless of case
    EXPECT_FALSE(MatchesWildcard("survey.vmjob.bak", "*.vmjob"));
    EXPECT_TRUE(MatchesWildcard("README", "*.*"));  // "*.*" is every name
    EXPECT_TRUE(MatchesWildcard("..", "*.*"));
    EXPECT_FALSE(MatchesWildcard("job12.txt", "job?.txt"));
    EXPECT_TRUE(MatchesWildcard("job.txt", "job?.txt"));  // "?" matches nothing at a dot
    EXPECT_TRUE(MatchesWildcard("ab", "ab??"));           // ... or at the end
    EXPECT_FALSE(MatchesWildcard("a.b", "a?b"));
    EXPECT_TRUE(MatchesWildcard("Makefile", "Makefile.*"));  // a final ".*" is optional
    EXPECT_FALSE(MatchesWildcard("Makefile.in", "Make*."));
    EXPECT_TRUE(MatchesWildcard("a.b.c", "*.c"));
    EXPECT_FALSE(MatchesWildcard("x", ""));
    EXPECT_FALSE(MatchesWildcard(nullptr, "*"));
    EXPECT_TRUE(MatchesWildcard(std::string(200, 'a').c_str(), "*a*a*a*a*a*a*a*a*"));
}

TEST(CFindFile, ListsDotsFirstThenNamesRegardlessOfCaseAndLinksAsFiles) {
    FilesScratch dir;
    dir.write("b.txt", "1");
    dir.write("A.txt", "22");
    dir.write("c.dat", "333");
    std::filesystem::create_directory(dir.native("Sub"));
    std::filesystem::create_directory_symlink(dir.native("Sub"), dir.native("link"));
    EXPECT_EQ(search(dir.app("*")),
              (std::vector<std::string>{".", "..", "A.txt", "b.txt", "c.dat", "link", "Sub"}));
    EXPECT_EQ(search(dir.app("*.txt")), (std::vector<std::string>{"A.txt", "b.txt"}));
    EXPECT_EQ(search(dir.native("c.dat")), (std::vector<std::string>{"c.dat"}));
    EXPECT_TRUE(search(dir.app("missing\\*")).empty());
    EXPECT_TRUE(search(dir.app("") + "\\").empty());
    EXPECT_TRUE(search("").empty());

    CFindFile find;
    WIN32_FIND_DATAA found;
    ASSERT_TRUE(find.FindFirst(dir.app("c.dat").c_str(), found));
    EXPECT_EQ(found.nFileSizeLow, 3u);
    EXPECT_EQ(found.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(find.FindFirst(dir.app("Sub").c_str(), found));
    EXPECT_NE(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(find.FindNext(found));
    ASSERT_TRUE(find.FindFirst(dir.app("l*").c_str(), found));
    EXPECT_EQ(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);  // a link is never a folder
}

TEST(CopyFile, KeepsTimesAndPermissionsAndNeverDestroysTheTarget) {
    FilesScratch dir;
    dir.write("from.txt", "new contents");
    dir.write("to.txt", "old");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    std::filesystem::last_write_time(dir.native("from.txt"), old);

    const std::string from = dir.app("from.txt");
    const std::string to = dir.app("to.txt");
    EXPECT_FALSE(CopyFile(from.c_str(), to.c_str(), true));
    EXPECT_EQ(dir.read("to.txt"), "old");
    ASSERT_TRUE(CopyFile(from.c_str(), to.c_str(), false));
    EXPECT_EQ(dir.read("to.txt"), "new contents");
    EXPECT_EQ(std::filesystem::last_write_time(dir.native("to.txt")), old);

    dir.write("locked.txt", "keep");
    chmod(dir.native("locked.txt").c_str(), 0444);
    EXPECT_FALSE(CopyFile(from.c_str(), dir.app("locked.txt").c_str(), false));
    EXPECT_EQ(dir.read("locked.txt"), "keep");
    EXPECT_FALSE(CopyFile(from.c_str(), from.c_str(), false));  // onto itself
    EXPECT_EQ(dir.read("from.txt"), "new contents");
    EXPECT_FALSE(CopyFile(dir.app("").c_str(), dir.app("dirCopy").c_str(), false));
    EXPECT_FALSE(CopyFile(from.c_str(), dir.app("no\\such\\folder.txt").c_str(), false));
    EXPECT_FALSE(CopyFile(from.c_str(), "", false));
    // Nothing half-written is left behind beside the targets.
    EXPECT_EQ(search(dir.app(".vmcopy*")).size(), 0u);
}
