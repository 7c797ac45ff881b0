#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FilesScratch.h"
#include "text/StringTestSupport.h"
#include "velmorutils/velmorutils.h"

using namespace AppStrPaths;

namespace {

// The cached folders are computed once per process, so their tests run in a fresh child
// process each; a mismatch is written to standard error and fails the child.
int mismatches = 0;
void expectText(const char* what, const zel_text::CZelStringT<char>& got, const std::string& want) {
    if (str(got) == want) return;
    std::fprintf(stderr, "%s: got \"%s\", want \"%s\"\n", what, str(got).c_str(), want.c_str());
    ++mismatches;
}
void expectTrue(const char* what, bool value) {
    if (value) return;
    std::fprintf(stderr, "%s is false\n", what);
    ++mismatches;
}

class CachedPaths : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

}  // namespace

TEST_F(CachedPaths, UserSettingsFolderIsMadeOnceAndKept) {
    FilesScratch dir;
    EXPECT_EXIT(
        {
            SetAppDir(dir.app().c_str());
            const std::string want = dir.app() + "\\vlm_setup";
            expectText("first", GetUserSettingsPath(), want);
            expectTrue("created", dir.exists("vlm_setup"));
            std::filesystem::remove(dir.native("vlm_setup"));
            SetAppDir("\\elsewhere");  // not seen any more
            expectText("second", GetUserSettingsPath(), want);
            expectTrue("not made again", !dir.exists("vlm_setup"));
            expectText("geoids", GetLastGeoidsPath(), want + "\\lastgeoids");
            expectText("images", GetLastBackgroundImagesPath(), want + "\\lastBkgndImages");
            // The program's temporary folder adds "\Velmor" to the temporary folder, which
            // ends in a separator already.
            setenv("TMPDIR", dir.native("tmp").c_str(), 1);  // missing: made on first use
            expectText("temp", GetTempDir(), dir.app("tmp") + "\\");
            expectText("program temp", GetTempOrvanePath(), dir.app("tmp") + "\\\\Velmor");
            expectTrue("temp created", dir.exists("tmp/Velmor"));
            std::exit(mismatches);
        },
        ::testing::ExitedWithCode(0), "");
}
