#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using namespace AppStrPaths;

namespace {

std::string str(const zel_text::CZelStringT<char>& s) {
    return std::string(s, s.GetLength());
}

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

TEST(AppStrPaths, ComposesEveryPathFromTheBaseFolders) {
    SetAppDir("C:\\Program Files\\Velmor");
    SetUserDir("C:\\Users\\survey\\Documents\\Velmor");
    const std::string root = "C:\\Program Files\\Velmor";
    const std::string docs = "C:\\Users\\survey\\Documents\\Velmor";
    EXPECT_EQ(str(GetRootDir()), root);
    EXPECT_EQ(str(GetExeDir()), root);
    EXPECT_EQ(str(GetApplicationPath()), root);
    EXPECT_EQ(str(::GetDocsDir()), docs);
    EXPECT_EQ(str(GetLogFilePath()), root);
    EXPECT_EQ(str(GetStylesDBPath()), root);
    EXPECT_EQ(str(GetInitialJobPath()), root);
    EXPECT_EQ(str(GetInitialJobVersionPath()), root);
    EXPECT_EQ(str(GetSessionSettingsPath()), root + "\\FileSettings");
    EXPECT_EQ(str(GetIESettingsPath()), root + "\\FileSettings");
    EXPECT_EQ(str(GetCodeLibraryPath()), root + "\\IEFiles");
    EXPECT_EQ(str(GetUserDefinedAntennaFilePath()), root + "\\antennas\\userdefined");
    EXPECT_EQ(str(GetRowDataPath()), root + "\\RawData");
    EXPECT_EQ(str(GetLngFilePath()), root + "\\Lng");
    EXPECT_EQ(str(GetAntennaFilePath()), root + "\\antennas");
    EXPECT_EQ(str(GetPreDefinedAntennaFilePath()), root + "\\antennas\\antenna_db.xml");
    EXPECT_EQ(str(GetSoundFilePath()), root + "\\sounds");
    EXPECT_EQ(str(GetCustomDevicesPath()), root + "\\CustomDevices");
    EXPECT_EQ(str(GetGeoidsListPath()), root + "\\Geoids");
    EXPECT_EQ(str(GetJobDBPath()), docs + "\\Jobs");
    EXPECT_EQ(str(GetDefaultJobDBPath()), docs + "\\Jobs\\Default.vmjob");
    EXPECT_EQ(str(GetIEFilePath()), docs + "\\IEFiles");
    EXPECT_EQ(str(GetQV3000FilePathForExport()), docs + "\\IEFiles\\QV3000");
    EXPECT_EQ(str(GetRQ3FilePath()), docs + "\\DTM");
    EXPECT_EQ(str(GetImageDataPath()), docs + "\\Images");
    EXPECT_EQ(str(GetCameraDataPath()), docs + "\\Camera");
    EXPECT_EQ(str(AppStrXForm::GetVmGeoFolder()), root + "\\Geo\\");
    EXPECT_EQ(str(AppStrXForm::GetVmUserGeoFolder()), root + "\\Geo\\");
    EXPECT_EQ(str(AppStrXForm::GetVmAplFileName()), root + "\\Geo\\_apl2_.ini");
    SetAppDir(nullptr);
    SetUserDir("");
    EXPECT_NE(str(GetRootDir()), root);  // back to the executable's folder
    EXPECT_EQ(str(GetRootDir()).find('/'), std::string::npos);
}

TEST(AppStrPaths, NamesAndExtensionsAreFixedTexts) {
    const std::pair<zel_text::CZelStringT<char>, const char*> names[] = {
        {GetJobExt(), ".vmjob"},
        {GetJobExtensionName(), ".vmjob"},
        {GetInitialJobName(), "initial.ti0"},
        {GetInitialJobVersionName(), "jobversion."},
        {GetStylesDBName(), "Styles.vmstyles"},
        {GetProgramName(), "Velmor"},
        {GetMainHelpName(), "velmor.htm"},
        {GetGpsHelpName(), "vlmGps.htm"},
        {GetTsHelpName(), "vlmTs.htm"},
        {GetCogoHelpName(), "vlmCogo.htm"},
        {GetQuorixHelpName(), "Quorix.htm"},
        {GetDarvoHelpName(), "Darvo.htm"},
        {GetRQ3Ext(), ".rq3"},
        {GetRQ3ExtensionName(), "rq3"},
        {GetImageExt(), ".jpg"},
        {GetCameraExt(), ".cmr"},
        {GetScanFileExt(), ".dbs"},
        {GetIMCFileExt(), ".imc"},
    };
    for (const auto& [got, want] : names)
        EXPECT_EQ(str(got), want);
}

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
            std::exit(mismatches);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CachedPaths, UserSettingsFolderDoesNotDoubleAFinalSeparator) {
    FilesScratch dir;
    EXPECT_EXIT(
        {
            SetAppDir((dir.app() + "\\").c_str());
            expectText("settings", GetUserSettingsPath(), dir.app() + "\\vlm_setup");
            expectTrue("created", dir.exists("vlm_setup"));
            std::exit(mismatches);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CachedPaths, ProgramTempFolderFollowsTheTempFolderSeparator) {
    FilesScratch dir;
    EXPECT_EXIT(
        {
            setenv("TMPDIR", dir.native("tmp").c_str(), 1);  // missing: made on first use
            expectText("temp", GetTempDir(), dir.app("tmp") + "\\");
            expectText("program temp", GetTempOrvanePath(), dir.app("tmp") + "\\\\Velmor");
            expectTrue("created", dir.exists("tmp/Velmor"));
            std::exit(mismatches);
        },
        ::testing::ExitedWithCode(0), "");
}
