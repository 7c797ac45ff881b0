#include "velmorutils/utils/CINIFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"

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

TEST(CINIFile, SavesSectionsAndKeysSortedWithCrLfAndAnEmptyLineAfterEach) {
    const CINIFile ini = LoadBytes("sorted", "[B]\r\ny=2\r\nb=0\r\n[A]\r\nx=1\r\n");
    EXPECT_EQ("[A]\r\nx=1\r\n\r\n[B]\r\nb=0\r\ny=2\r\n\r\n", SavedBytes(ini, "sorted"));
}

TEST(CINIFile, ReadsLfAndCrLfAlikeAndAHeaderWithoutLineEnd) {
    const CINIFile lf = LoadBytes("lf", "[Job]\nName=Ring road\n[Last]");
    const CINIFile crlf = LoadBytes("crlf", "[Job]\r\nName=Ring road\r\n[Last]\r\n");
    EXPECT_EQ("Ring road", Value(lf, "Job", "Name"));
    EXPECT_EQ(SavedBytes(crlf, "crlf"), SavedBytes(lf, "lf"));
    int n = -1;
    EXPECT_TRUE(lf.GetSectionSize(Str("Last"), n));
    EXPECT_EQ(0, n);
    EXPECT_TRUE(lf.GetNumberOfSections(n));
    EXPECT_EQ(2, n);
}

TEST(CINIFile, LinesAreSplitAtTheFirstEqualsSignWithoutTrimming) {
    const CINIFile ini = LoadBytes("split",
                                   "orphan=before any header\n"
                                   "[S]\n"
                                   "k=a=b\n"
                                   "empty=\n"
                                   "=v\n"
                                   "key = value\n"
                                   "no equals sign\n"
                                   "; comment=1\n# comment=2\n/ comment=3\n"
                                   "x\n"
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
    int n = 0;
    ini.GetSectionSize(Str("S"), n);
    EXPECT_EQ(6, n);  // k, empty, "", "key ", Key, key
    ini.GetNumberOfSections(n);
    EXPECT_EQ(2, n);
    EXPECT_EQ("<missing>", Value(ini, "S", "orphan"));
    EXPECT_EQ("<missing>", Value(ini, "S", "; comment"));
}

TEST(CINIFile, RepeatedHeaderDropsTheKeysReadBeforeIt) {
    const CINIFile ini = LoadBytes("repeat", "[S]\na=1\nb=2\n[T]\nt=0\n[S]\nc=3\n");
    EXPECT_EQ("<missing>", Value(ini, "S", "a"));
    EXPECT_EQ("3", Value(ini, "S", "c"));
    EXPECT_EQ("0", Value(ini, "T", "t"));
}

TEST(CINIFile, NumbersAreStoredAsTextAndConvertedWhenRead) {
    CINIFile ini;
    ini.SetRealValue("Units", "Scale", 0.1);
    ini.SetRealValue("Units", "Half", 2.5);
    ini.SetRealValue("Units", "Chainage", -1234.5678901234);
    ini.SetIntValue("Units", "Min", -2147483647 - 1);
    ini.SetValue("Units", "Mixed", Str("12abc"));
    ini.SetValue("Units", "Text", Str("abc"));
    ini.SetValue("Units", "Padded", Str("  42"));
    EXPECT_EQ("0.100000000", Value(ini, "Units", "Scale"));
    EXPECT_EQ("2.500000000", Value(ini, "Units", "Half"));
    EXPECT_EQ("-1234.567890123", Value(ini, "Units", "Chainage"));
    EXPECT_EQ("-2147483648", Value(ini, "Units", "Min"));
    EXPECT_EQ(-2147483647 - 1, ini.GetIntValue("Units", "Min", 0));
    EXPECT_EQ(12, ini.GetIntValue("Units", "Mixed", 99));
    EXPECT_EQ(0, ini.GetIntValue("Units", "Text", 99));
    EXPECT_EQ(42, ini.GetIntValue("Units", "Padded", 99));
    EXPECT_EQ(99, ini.GetIntValue("Units", "Missing", 99));
    EXPECT_EQ(99, ini.GetIntValue("Nowhere", "Min", 99));
    EXPECT_DOUBLE_EQ(2.5, ini.GetRealValue("Units", "Half", 0.0));
    EXPECT_DOUBLE_EQ(-1234.567890123, ini.GetRealValue("Units", "Chainage", 0.0));
    EXPECT_DOUBLE_EQ(12.0, ini.GetRealValue("Units", "Mixed", 0.0));
    EXPECT_DOUBLE_EQ(7.5, ini.GetRealValue("Units", "Text", 7.5));
    EXPECT_DOUBLE_EQ(7.5, ini.GetRealValue("Units", "Missing", 7.5));
    // Lookups never create anything.
    int n = 0;
    ini.GetNumberOfSections(n);
    EXPECT_EQ(1, n);
}

TEST(CINIFile, RemovingTheLastKeyKeepsTheSection) {
    CINIFile ini;
    ini.SetValue("Gps", "Antenna", Str("1.800"));
    ini.SetValue("Gps", "Antenna", Str("2.000"));
    EXPECT_EQ("2.000", Value(ini, "Gps", "Antenna"));
    ini.RemoveValue("Gps", "Missing");
    ini.RemoveValue("Missing", "Antenna");
    ini.RemoveValue("Gps", "Antenna");
    int n = -1;
    EXPECT_TRUE(ini.GetSectionSize(Str("Gps"), n));
    EXPECT_EQ(0, n);
    EXPECT_TRUE(ini.GetSectionSize(Str("Absent"), n));
    EXPECT_EQ(0, n);
    EXPECT_EQ("[Gps]\r\n\r\n", SavedBytes(ini, "removed"));
}

TEST(CINIFile, FailedLoadOrSaveLeavesObjectAndDiskAlone) {
    CINIFile ini;
    ini.SetValue("Job", "Name", Str("Bridge"));
    const std::string dir = TestFolder("ini_fail");
    EXPECT_FALSE(ini.LoadIni((dir + "/missing.ini").c_str()));
    EXPECT_FALSE(ini.SaveIni((dir + "/no/such/folder/out.ini").c_str()));
    EXPECT_FALSE(FileExists(dir + "/no"));
    EXPECT_FALSE(ini.SaveIni("/dev/full"));  // every write fails
    EXPECT_EQ("[Job]\r\nName=Bridge\r\n\r\n", SavedBytes(ini, "fail"));
}

TEST(CINIFile, LoadAddsToWhatIsHeldAndBackslashPathsWork) {
    const std::string dir = TestFolder("ini_merge");
    WriteWholeFile(dir + "/more.ini", "[B]\nb=2\n[A]\nnew=1\n");
    CINIFile ini;
    ini.SetValue("A", "old", Str("kept?"));
    ini.SetValue("C", "c", Str("3"));
    std::string appPath = dir + "\\more.ini";
    ASSERT_TRUE(ini.LoadIni(appPath.c_str()));
    EXPECT_EQ("<missing>", Value(ini, "A", "old"));  // the header [A] replaced the section
    EXPECT_EQ("1", Value(ini, "A", "new"));
    EXPECT_EQ("2", Value(ini, "B", "b"));
    EXPECT_EQ("3", Value(ini, "C", "c"));
}

TEST(CINIFile, LongLinesAreWrittenWholeAndReadIn1023CharacterPieces) {
    CINIFile ini;
    const std::string longValue(3000, 'v');
    ini.SetValue("Big", "k", Str(longValue.c_str()));
    const std::string bytes = SavedBytes(ini, "long");
    EXPECT_EQ("[Big]\r\nk=" + longValue + "\r\n\r\n", bytes);

    // Reading: "k=" plus 1021 characters make the first piece; the rest has no "=" and is skipped.
    const CINIFile back = LoadBytes("long", bytes);
    EXPECT_EQ(std::string(1021, 'v'), Value(back, "Big", "k"));
    int n = 0;
    back.GetSectionSize(Str("Big"), n);
    EXPECT_EQ(1, n);

    // A continuation piece that holds "=" becomes a key line of its own.
    const CINIFile split =
        LoadBytes("split_piece", "[S]\na=" + std::string(1021, 'x') + "q=tail\n");
    EXPECT_EQ("tail", Value(split, "S", "q"));
}

TEST(CINIFile, AZeroCharacterEndsTheTextOfALineOrValue) {
    const CINIFile read = LoadBytes("zero", std::string("[S]\nk=a\0b\nnext=1\n", 17));
    EXPECT_EQ("a", Value(read, "S", "k"));
    EXPECT_EQ("1", Value(read, "S", "next"));
    CINIFile written;
    written.SetValue("S", "k", Str("ab\0cd", 5));
    EXPECT_EQ("[S]\r\nk=ab\r\n\r\n", SavedBytes(written, "zero"));
}

TEST(CINIFile, CopiesAreIndependent) {
    CINIFile original;
    original.SetValue("S", "k", Str("1"));
    CINIFile copy(original);
    copy.SetValue("S", "k", Str("2"));
    copy.SetValue("T", "t", Str("3"));
    CINIFile assigned;
    assigned.SetValue("Old", "o", Str("0"));
    assigned = original;
    original.RemoveValue("S", "k");
    EXPECT_EQ("2", Value(copy, "S", "k"));
    EXPECT_EQ("1", Value(assigned, "S", "k"));
    EXPECT_EQ("<missing>", Value(assigned, "Old", "o"));
    EXPECT_EQ("<missing>", Value(original, "T", "t"));
}

TEST(CINIFile, WalkVisitsSectionsAndEntriesInSortedOrder) {
    CINIFile ini;
    ini.SetValue("b", "z", Str("26"));
    ini.SetValue("b", "a", Str("1"));
    ini.SetValue("B", "x", Str("24"));
    ini.SetValue("Empty", "gone", Str(""));
    ini.RemoveValue("Empty", "gone");

    std::vector<std::string> names;
    ZelTemplPosition pos;
    EXPECT_TRUE(ini.SetFilePosOnStart(pos));
    while (pos != nullptr) {
        Str name;
        EXPECT_TRUE(ini.LookThroughFile(name, pos));
        names.emplace_back(name);
    }
    EXPECT_EQ((std::vector<std::string>{"B", "Empty", "b"}), names);

    std::vector<std::string> entries;
    ASSERT_TRUE(ini.SetSectionPosOnStart(Str("b"), pos));
    ZelTemplPosition saved;
    while (!pos.IsEmpty()) {
        if (entries.empty()) saved = pos;
        Str key, value;
        EXPECT_TRUE(ini.LookThroughSection(Str("b"), key, value, pos));
        entries.push_back(std::string(key) + "=" + std::string(value));
    }
    EXPECT_EQ((std::vector<std::string>{"a=1", "z=26"}), entries);

    // A copied position walks on its own.
    Str key, value;
    ASSERT_TRUE(saved);
    EXPECT_TRUE(ini.LookThroughSection(Str("b"), key, value, saved));
    EXPECT_EQ("a", std::string(key));
    EXPECT_TRUE(saved);

    EXPECT_TRUE(ini.SetSectionPosOnStart(Str("Empty"), pos));
    EXPECT_TRUE(pos.IsEmpty());
    EXPECT_FALSE(ini.SetSectionPosOnStart(Str("missing"), pos));
    EXPECT_FALSE(ini.LookThroughSection(Str("missing"), key, value, saved));

    const CINIFile none;
    EXPECT_TRUE(none.SetFilePosOnStart(pos));
    EXPECT_TRUE(pos == nullptr);
}
