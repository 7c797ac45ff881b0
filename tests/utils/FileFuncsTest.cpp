#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using namespace FileFuncs;
using Text = zel_text::CZelStringT<char>;

namespace {

std::string str(const Text& s) {
    return std::string(s, s.GetLength());
}

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
