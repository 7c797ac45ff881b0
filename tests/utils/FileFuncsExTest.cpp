#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using namespace FileFuncsEx;

namespace {

void setWritten(const std::string& path, time_t written) {
    const struct timespec times[2] = {{written, 0}, {written, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Folder "job" with two files, a read-only file and a sub-folder holding one more file.
void makeJobFolder(const FilesScratch& dir) {
    std::filesystem::create_directories(dir.native("job/Sub"));
    dir.write("job/a.txt", "alpha");
    dir.write("job/b.dat", "beta");
    dir.write("job/Sub/c.txt", "gamma");
    dir.write("job/z.txt", "zeta");
    chmod(dir.native("job/z.txt").c_str(), 0444);
}

}  // namespace

TEST(GetPathSize, ReportsLargeFilesInTwoHalves) {
    FilesScratch dir;
    const std::string big = dir.native("big.bin");
    const int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (off_t{1} << 32) + 10), 0);  // sparse: 4 GiB + 10 bytes
    close(fd);
    unsigned long low = 0, high = 0;
    ASSERT_TRUE(GetPathSize(dir.app("big.bin").c_str(), low, &high));
    EXPECT_EQ(low, 10ul);
    EXPECT_EQ(high, 1ul);
    ASSERT_EQ(truncate(big.c_str(), 0xFFFFFFFFll), 0);  // low half reads as "invalid"
    EXPECT_FALSE(GetPathSize(dir.app("big.bin").c_str(), low, nullptr));
    EXPECT_FALSE(GetPathSize(dir.app("missing").c_str(), low, &high));
    EXPECT_FALSE(GetPathSize(dir.app().c_str(), low, &high));  // a folder
    EXPECT_FALSE(GetPathSize("", low, &high));
}

TEST(CopyFromTo, LeavesAnExistingTargetUnlessOverwritingAndWithTheDateCheckCopiesOnlyNewer) {
    FilesScratch dir;
    dir.write("from.txt", "new");
    dir.write("to.txt", "old");
    const std::string from = dir.app("from.txt"), to = dir.app("to.txt");
    EXPECT_EQ(CopyFromTo(from.c_str(), to.c_str(), 0), 1);
    EXPECT_EQ(dir.read("to.txt"), "old");
    EXPECT_NE(CopyFromTo(from.c_str(), to.c_str(), 1), 0);
    EXPECT_EQ(dir.read("to.txt"), "new");
    EXPECT_EQ(CopyFromTo(dir.app("none").c_str(), dir.app("other").c_str(), 1), 0);
    EXPECT_EQ(CopyFromTo(nullptr, nullptr, 1), 0);
    // With the date check only a newer source is copied.
    dir.write("from.txt", "survey 2");
    dir.write("to.txt", "survey 1");
    setWritten(dir.native("to.txt"), 1173270840);
    for (const time_t written : {1173270840, 1173270839}) {  // equally old, older
        setWritten(dir.native("from.txt"), written);
        EXPECT_EQ(CopyFromToCheckDate(from.c_str(), to.c_str()), 1);
        EXPECT_EQ(dir.read("to.txt"), "survey 1");
    }
    setWritten(dir.native("from.txt"), 1173270841);  // a second newer
    EXPECT_NE(CopyFromToCheckDate(from.c_str(), to.c_str()), 0);
    EXPECT_EQ(dir.read("to.txt"), "survey 2");
    EXPECT_EQ(CopyFromToCheckDate(dir.app("none").c_str(), to.c_str()), 0);
}

TEST(CopyDirectory, CopiesFilesAndWithRecursionFolders) {
    FilesScratch dir;
    makeJobFolder(dir);
    EXPECT_NE(CopyDirectory(dir.app("job").c_str(), dir.app("deep").c_str(), 1), 0);
    EXPECT_EQ(dir.read("deep/Sub/c.txt"), "gamma");
    EXPECT_EQ(dir.read("deep/z.txt"), "zeta");
    // Without recursion the sub-folder cannot be copied as a file: the walk ends there, after
    // a.txt and b.dat, before z.txt.
    EXPECT_EQ(CopyDirectory(dir.app("job").c_str(), dir.app("flat").c_str(), 0), 0);
    EXPECT_EQ(dir.read("flat/b.dat"), "beta");
    EXPECT_FALSE(dir.exists("flat/z.txt"));
    EXPECT_EQ(CopyDirectory("", dir.app("x").c_str(), 1), 0);
}

// A tree made with either separator is removed again with its read-only files.
TEST(DirectoryTree, CreatedWithBothSeparatorsAndRemovedWithReadOnlyFiles) {
    FilesScratch dir;
    EXPECT_NE(CreateDirectoryTree((dir.native("a") + "\\b/c\\d").c_str()), 0);
    EXPECT_TRUE(dir.exists("a/b/c/d"));
    dir.write("a/b/c/d/ro.txt", "x");
    chmod(dir.native("a/b/c/d/ro.txt").c_str(), 0444);
    EXPECT_NE(RemoveDirectoryTree(dir.app("a").c_str()), 0);
    EXPECT_FALSE(dir.exists("a"));
    EXPECT_EQ(RemoveDirectoryTree(dir.app("a").c_str()), 0);
    EXPECT_EQ(RemoveDirectoryTree("\\"), 0);
    dir.write("file", "");
    EXPECT_EQ(CreateDirectoryTree(dir.app("file\\sub").c_str()), 0);
    EXPECT_EQ(CreateDirectoryTree(""), 0);
}
