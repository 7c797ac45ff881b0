#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/FilesScratch.h"
#include "text/StringTestSupport.h"
#include "velmorutils/velmorutils.h"

using namespace FileFuncs;
using namespace FileFuncsEx;
using Text = zel_text::CZelStringT<char>;

namespace {

void setTimes(const std::string& path, time_t accessed, time_t written) {
    const struct timespec times[2] = {{accessed, 0}, {written, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

FILETIME fileTimeOf(time_t unixSeconds) {
    return zel_platform::fileTimeFromTicks(static_cast<std::uint64_t>(unixSeconds + 11644473600LL) *
                                           10000000ULL);
}

// Local time is read from TZ; each test that formats times sets its own zone.
struct LocalZone {
    explicit LocalZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~LocalZone() {
        unsetenv("TZ");
        tzset();
    }
};

constexpr time_t k20070307_1234Utc = 1173270840;

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

TEST(PathNames, SplitAtTheLastSeparatorAndTheLastDot) {
    const Text path("C:\\Jobs\\road.v2/stake.out.txt");
    EXPECT_EQ(GetFileNameStart(path), 16);
    EXPECT_EQ(GetFileExtStart(path), 25);
    EXPECT_EQ(str(ExtractFileNameWithExtFromPathName(path)), "stake.out.txt");
    EXPECT_EQ(str(ExtractFileNameExtFromPathName(path)), "txt");
    EXPECT_EQ(str(ExtractFileNameWithoutExtFromPathName(path)), "stake.out");
    EXPECT_EQ(str(ExtractPathNameWithoutExtFromPathName(path)), "C:\\Jobs\\road.v2/stake.out");
    EXPECT_EQ(str(ExtractDirNameWithoutSlashFromPathName(path)), "C:\\Jobs\\road.v2");

    EXPECT_EQ(GetFileExtStart(Text("C:\\a.b\\file")), 4);  // a dot in a folder counts
    EXPECT_EQ(str(ExtractFileNameWithoutExtFromPathName(Text("C:\\a.b\\file"))), "");
    EXPECT_EQ(GetFileExtStart(Text("noext")), 5);
    EXPECT_EQ(str(ExtractFileNameExtFromPathName(Text("name."))), "");
    EXPECT_EQ(str(ExtractDirNameWithoutSlashFromPathName(Text("file.txt"))), "");
    EXPECT_EQ(str(ExtractDirNameWithoutSlashFromPathName(Text("\\file.txt"))), "");
    EXPECT_EQ(str(ExtractFileNameWithExtFromPathName(Text(""))), "");
}

TEST(CreateDir, MakesEveryMissingLevelBelowAnExistingFolder) {
    FilesScratch dir;
    EXPECT_TRUE(CreateDir(Text(dir.app("Jobs\\2007\\Job1").c_str())));
    EXPECT_TRUE(IsDirExist(Text(dir.app("Jobs\\2007\\Job1").c_str())));
    EXPECT_TRUE(CreateDir(Text(dir.app("Jobs\\2008\\").c_str())));  // trailing "\"
    EXPECT_TRUE(dir.exists("Jobs/2008"));
    dir.write("plain.txt", "x");
    EXPECT_FALSE(IsDirExist(Text(dir.app("plain.txt").c_str())));
    EXPECT_FALSE(CreateDir(Text(dir.app("plain.txt\\sub\\deeper").c_str())));
    EXPECT_FALSE(CreateDir(Text("")));
    EXPECT_FALSE(CreateDir(Text("relative-without-separator/missing/x")));
}

TEST(FileTimes, AreFormattedInLocalTime) {
    FilesScratch dir;
    dir.write("obs.txt", "x");
    setTimes(dir.native("obs.txt"), k20070307_1234Utc + 86400, k20070307_1234Utc);
    LocalZone zone("UTC0");
    FILETIME written{};
    ASSERT_TRUE(zelGetFileTimes(dir.app("obs.txt").c_str(), nullptr, nullptr, &written));
    EXPECT_EQ(zel_platform::fileTimeTicks(written),
              zel_platform::fileTimeTicks(fileTimeOf(k20070307_1234Utc)));
    Text d1, t1, d2("keep"), t2, d3, t3;
    EXPECT_TRUE(zelGetFileTimeFormatted(dir.app("obs.txt").c_str(), nullptr, &t1, &d2));
    EXPECT_EQ(str(d2), "keep");  // nothing without d1
    EXPECT_TRUE(zelGetFileTimeFormatted(dir.app("obs.txt").c_str(), &d1, &t1, &d2, &t2, &d3, &t3));
    EXPECT_EQ(str(d2) + " " + str(t2), "03/07/2007 12:34");  // written
    EXPECT_EQ(str(d3) + " " + str(t3), "03/08/2007 12:34");  // accessed

    EXPECT_TRUE(zelGetFileTimeFormatted(dir.app("none").c_str(), &d1, &t1, &d2, &t2, &d3, &t3));
    EXPECT_TRUE(d1.IsEmpty() && t1.IsEmpty() && d2.IsEmpty() && t3.IsEmpty());
    EXPECT_FALSE(zelGetFileTimes(dir.app().c_str(), nullptr, nullptr, nullptr));  // a folder
}

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
    setTimes(dir.native("to.txt"), k20070307_1234Utc, k20070307_1234Utc);
    for (const time_t written : {k20070307_1234Utc, k20070307_1234Utc - 1}) {  // as old, older
        setTimes(dir.native("from.txt"), written, written);
        EXPECT_EQ(CopyFromToCheckDate(from.c_str(), to.c_str()), 1);
        EXPECT_EQ(dir.read("to.txt"), "survey 1");
    }
    setTimes(dir.native("from.txt"), k20070307_1234Utc + 1,
             k20070307_1234Utc + 1);  // a second newer
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
