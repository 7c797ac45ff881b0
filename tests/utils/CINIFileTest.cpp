#include "velmorutils/utils/CINIFile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/utils/AppDirs.h"
#include "velmorutils/utils/SettingsFile.h"

using zel_templ::ZelTemplPosition;
using Str = zel_text::CZelStringT<char>;

namespace {

std::string Value(const CINIFile& ini, const char* section, const char* key) {
    return std::string(ini.GetValue(section, key, Str("<missing>")));
}

CINIFile LoadBytes(const std::string& name, const std::string& bytes) {
    const std::string path = TestFolder("ini_" + name) + "/in.ini";
    WriteWholeFile(path, bytes);
    CINIFile ini;
    EXPECT_TRUE(ini.LoadIni(path.c_str()));
    return ini;
}

std::string SavedBytes(const CINIFile& ini, const std::string& name) {
    const std::string path = TestFolder("ini_save_" + name) + "/out.ini";
    EXPECT_TRUE(ini.SaveIni(path.c_str()));
    return ReadWholeFile(path);
}

}  // namespace

TEST(CINIFile, SavesSortedWithCrLfAndSplitsLinesAtTheFirstEqualsSignWithoutTrimming) {
    // LF or CR LF alike; the last header has no line end.
    EXPECT_EQ("[A]\r\nx=1\r\n\r\n[B]\r\nb=0\r\ny=2\r\n\r\n[Last]\r\n\r\n",
              SavedBytes(LoadBytes("sorted", "[B]\r\ny=2\nb=0\r\n[A]\nx=1\r\n[Last]"), "sorted"));
    // Lines are split at the first equals sign, without trimming.
    const CINIFile ini = LoadBytes("split",
                                   "orphan=before any header\n"
                                   "[S]\n"
                                   "k=a=b\n"
                                   "empty=\n"
                                   "=v\n"
                                   "key = value\n"
                                   "no equals sign\n"
                                   "; comment=1\n# comment=2\n/ comment=3\n"
                                   "\n"
                                   "Key=upper\nkey=lower\n"
                                   "[s]\n"
                                   "k=other section\n");
    EXPECT_EQ("a=b", Value(ini, "S", "k"));
    EXPECT_EQ("", Value(ini, "S", "empty"));
    EXPECT_EQ("v", Value(ini, "S", ""));
    EXPECT_EQ(" value", Value(ini, "S", "key "));
    EXPECT_EQ("upper", Value(ini, "S", "Key"));
    EXPECT_EQ("lower", Value(ini, "S", "key"));
    EXPECT_EQ("other section", Value(ini, "s", "k"));
    int n = -1;
    EXPECT_TRUE(ini.GetSectionSize(Str("S"), n));
    EXPECT_EQ(6, n);  // k, empty, "", "key ", Key, key
    EXPECT_EQ("<missing>", Value(ini, "S", "; comment"));
}

TEST(CINIFile, AHeaderReplacesTheSectionReadOrHeldBeforeIt) {
    const std::string dir = TestFolder("ini_merge");
    WriteWholeFile(dir + "/more.ini", "[A]\na=1\nb=2\n[B]\nb=2\n[A]\nnew=1\n");
    CINIFile ini;
    ini.SetValue("A", "old", Str("held"));
    ini.SetValue("C", "c", Str("3"));
    ASSERT_TRUE(ini.LoadIni((dir + "\\more.ini").c_str()));  // the "\" form works too
    EXPECT_EQ("[A]\r\nnew=1\r\n\r\n[B]\r\nb=2\r\n\r\n[C]\r\nc=3\r\n\r\n", SavedBytes(ini, "merge"));
}

TEST(CINIFile, NumbersAreStoredAsTextAndConvertedWhenRead) {
    CINIFile ini;
    ini.SetRealValue("Units", "Scale", 0.1);
    ini.SetRealValue("Units", "Chainage", -1234.5678901234);
    ini.SetIntValue("Units", "Min", -2147483647 - 1);
    ini.SetValue("Units", "Mixed", Str("12abc"));
    ini.SetValue("Units", "Text", Str("abc"));
    EXPECT_EQ("0.100000000", Value(ini, "Units", "Scale"));
    EXPECT_EQ("-1234.567890123", Value(ini, "Units", "Chainage"));
    EXPECT_EQ(-2147483647 - 1, ini.GetIntValue("Units", "Min", 0));
    EXPECT_EQ(12, ini.GetIntValue("Units", "Mixed", 99));
    EXPECT_EQ(0, ini.GetIntValue("Units", "Text", 99));
    EXPECT_EQ(99, ini.GetIntValue("Nowhere", "Min", 99));
    EXPECT_DOUBLE_EQ(12.0, ini.GetRealValue("Units", "Mixed", 0.0));
    EXPECT_DOUBLE_EQ(7.5, ini.GetRealValue("Units", "Missing", 7.5));
    int n = 0;
    ini.GetNumberOfSections(n);
    EXPECT_EQ(1, n);  // lookups never create anything
}

TEST(CINIFile, FailedLoadOrSaveLeavesObjectAndDiskAlone) {
    CINIFile ini;
    ini.SetValue("Job", "Name", Str("Bridge"));
    const std::string dir = TestFolder("ini_fail");
    EXPECT_FALSE(ini.LoadIni((dir + "/missing.ini").c_str()));
    EXPECT_FALSE(ini.SaveIni((dir + "/no/such/folder/out.ini").c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir + "/no"));
    EXPECT_FALSE(ini.SaveIni("/dev/full"));  // every write fails
    EXPECT_EQ("[Job]\r\nName=Bridge\r\n\r\n", SavedBytes(ini, "fail"));
}

TEST(CINIFile, LinesOfAnyLengthAreWrittenAndReadWhole) {
    // Around the old 1023-character reading piece ("k=" plus 1021 characters filled it) and far
    // beyond: a long value never spills into a line, or a section, of its own.
    for (const size_t n : {1020u, 1021u, 1022u, 1023u, 100000u}) {
        SCOPED_TRACE(n);
        CINIFile ini;
        const std::string longValue = std::string(n - 6, 'v') + "[S]q=1";
        ini.SetValue("Big", "k", Str(longValue.c_str()));
        ini.SetValue("Big", "z", Str("after"));
        const std::string bytes = SavedBytes(ini, "long");
        EXPECT_EQ("[Big]\r\nk=" + longValue + "\r\nz=after\r\n\r\n", bytes);
        // Saved again after reading, the file is the same: nothing split, nothing added.
        EXPECT_EQ(bytes, SavedBytes(LoadBytes("long", bytes), "long_back"));
    }
}

TEST(CINIFile, EntriesThatWouldNotReadBackRefuseTheSaveAndKeepTheFile) {
    const std::string path = TestFolder("ini_unwritable") + "/keep.ini";
    WriteWholeFile(path, "[Job]\r\nName=Bridge\r\n\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {{"S", "k", "line\n[Evil]"}, {"S\nT", "k", "v"}, {"S", "a\nb", "v"},
                 {"S", "a=b", "v"},          {"S", "[k", "v"},   {"S", ";k", "v"},
                 {"S", "#k", "v"},           {"S", "/k", "v"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        CINIFile ini;
        ini.SetValue("Job", "Name", Str("Tunnel"));
        ini.SetValue(c.section, c.key, Str(c.value));
        EXPECT_FALSE(ini.SaveIni(path.c_str()));
        EXPECT_EQ("[Job]\r\nName=Bridge\r\n\r\n", ReadWholeFile(path));
    }
    // Everything a file can hold saves: "=" and ";" inside values, CR alone, an empty key.
    CINIFile fine;
    fine.SetValue("S", "", Str("a=b;c\r"));
    fine.SetValue("S", "k;#/[", Str("[x]"));
    EXPECT_TRUE(fine.SaveIni(path.c_str()));
    const CINIFile back = LoadBytes("unwritable_back", ReadWholeFile(path));
    EXPECT_EQ("a=b;c\r", Value(back, "S", ""));
    EXPECT_EQ("[x]", Value(back, "S", "k;#/["));
}

TEST(CINIFile, AZeroCharacterEndsTheTextOfALineOrValue) {
    const CINIFile read = LoadBytes("zero", std::string("[S]\nk=a\0b\nnext=1\n", 17));
    EXPECT_EQ("a", Value(read, "S", "k"));
    EXPECT_EQ("1", Value(read, "S", "next"));
    CINIFile written;
    written.SetValue("S", "k", Str("ab\0cd", 5));
    EXPECT_EQ("[S]\r\nk=ab\r\n\r\n", SavedBytes(written, "zero"));
}

TEST(SettingsFile, SavedIntoTheSettingsFolderWhichIsCreatedOnDemand) {
    const std::string root = TestFolder("settings_root");
    SetAppDir(root.c_str());
    CINIFile ini;
    EXPECT_FALSE(LoadSettingsFile(Str("survey.ini"), ini));
    ini.SetIntValue("Instrument", "Baud", 9600);
    ini.SetRealValue("Instrument", "Height", 1.65);
    ASSERT_TRUE(SaveSettingsFile(Str("survey.ini"), ini));
    EXPECT_EQ("[Instrument]\r\nBaud=9600\r\nHeight=1.650000000\r\n\r\n",
              ReadWholeFile(root + "/Settings/survey.ini"));
    ASSERT_TRUE(SaveSettingsFile(Str("second.ini"), ini));  // the folder exists now

    CINIFile back;
    ASSERT_TRUE(LoadSettingsFile(Str("survey.ini"), back));
    EXPECT_EQ(9600, back.GetIntValue("Instrument", "Baud", 0));
    EXPECT_DOUBLE_EQ(1.65, back.GetRealValue("Instrument", "Height", 0.0));

    // The settings folder cannot be made where a file stands in its way.
    const std::string blocked = TestFolder("settings_blocked");
    WriteWholeFile(blocked + "/Settings", "not a folder");
    SetAppDir(blocked.c_str());
    EXPECT_FALSE(SaveSettingsFile(Str("survey.ini"), ini));
    SetAppDir(nullptr);
}
