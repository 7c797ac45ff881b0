#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

using zel_text::CZelStringT;
using namespace std::string_literals;

namespace {

std::string str(const CZelStringT<char>& s) {
    return std::string(static_cast<const char*>(s), static_cast<size_t>(s.GetLength()));
}

std::vector<std::string> items(const CZelStringArray& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(str(a[i]));
    return out;
}

using Fields = std::vector<std::string>;

}  // namespace

TEST(NumberParsing, DecimalCommaAndFailureValues) {
    EXPECT_DOUBLE_EQ(StringToDouble(CZelStringT<char>("1,5")), 1.5);
    EXPECT_DOUBLE_EQ(StringToDouble(CZelStringT<char>("")), 0.0);
    EXPECT_DOUBLE_EQ(StringToDouble(CZelStringT<char>("x1")), 0.0);
    EXPECT_FLOAT_EQ(StringToFloat(CZelStringT<char>("-2,25")), -2.25f);
    EXPECT_EQ(StringToInt(CZelStringT<char>("12abc")), 12);
    EXPECT_EQ(StringToInt(CZelStringT<char>("abc")), 0);

    char text[] = "3,5";
    double v = 9.0;
    EXPECT_EQ(StringToDouble(text, v), 1);
    EXPECT_DOUBLE_EQ(v, 3.5);
    EXPECT_STREQ(text, "3,5");  // the caller's text is untouched
    for (const char* bad : {static_cast<const char*>(nullptr), "", "  ", "-", "abc"}) {
        v = 9.0;
        EXPECT_EQ(StringToDouble(bad, v), 0);
        EXPECT_EQ(v, 0.0);
    }
    float f = 1.0f;
    EXPECT_EQ(StringToFloat("0,125", f), 1);
    EXPECT_EQ(f, 0.125f);
    int i = 5;
    EXPECT_EQ(StringToInt("  -7x", i), 1);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(StringToInt(nullptr, i), 0);
    EXPECT_EQ(i, 0);
    long l = 5;
    EXPECT_EQ(StringToLong("x", l), 0);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(str(ReplaceCommasWithDecPt("1,2,3")), "1.2.3");
}

TEST(ParseValues, FieldsTrimmedAndForbiddenCharactersStop) {
    CZelStringArray out;
    EXPECT_TRUE(ParseValues("1;2;3", out, ';', ""));
    EXPECT_EQ(items(out), (Fields{"1", "2", "3"}));

    out.RemoveAll();
    EXPECT_FALSE(ParseValues("1;2;3", out, ';', "2"));
    EXPECT_EQ(items(out), (Fields{"1"}));

    // out is appended to; fields lose white space and every CR and LF.
    EXPECT_TRUE(ParseValues(" a\r ;\tb\nc ;", out, ';', ""));
    EXPECT_EQ(items(out), (Fields{"1", "a", "bc"}));

    out.RemoveAll();
    EXPECT_TRUE(ParseValues("", out, ';', ""));
    EXPECT_EQ(items(out), (Fields{""}));
    out.RemoveAll();
    EXPECT_TRUE(ParseValues(";a;b", out, ';', ""));  // a leading delimiter does not split
    EXPECT_EQ(items(out), (Fields{";a;b"}));
    out.RemoveAll();
    EXPECT_TRUE(ParseValues("a;;b", out, ';', ""));
    EXPECT_EQ(items(out), (Fields{"a", "", "b"}));
}

TEST(ParseDelimitersValues, AnyDelimiterSplits) {
    CZelStringArray out;
    EXPECT_TRUE(ParseDelimitersValues("a, b;c\r\n", out, ",;"));
    EXPECT_EQ(items(out), (Fields{"a", "b", "c"}));
    out.RemoveAll();
    // A delimiter that starts the remaining text keeps it whole.
    EXPECT_TRUE(ParseDelimitersValues("a,,b", out, ","));
    EXPECT_EQ(items(out), (Fields{"a", ",b"}));
    out.RemoveAll();
    EXPECT_TRUE(ParseDelimitersValues("", out, ","));
    EXPECT_EQ(items(out), (Fields{""}));
}

TEST(StringArrays, JoinAndMembership) {
    CZelStringArray a;
    EXPECT_EQ(str(StringArrayToString(a)), "");
    EXPECT_FALSE(IsStringInStringArray(a, ""));
    a.Add("Pt1");
    a.Add("pt2");
    EXPECT_EQ(str(StringArrayToString(a)), "Pt1,pt2");
    EXPECT_TRUE(IsStringInStringArray(a, "pt2"));
    EXPECT_FALSE(IsStringInStringArray(a, "PT2"));

    CZelUIntArray ids;
    ids.Add(3u);
    ids.Add(0xFFFFFFFFu);
    EXPECT_TRUE(IsUIntInUIntArray(ids, 3));
    EXPECT_FALSE(IsUIntInUIntArray(ids, 4));
    EXPECT_TRUE(IsUIntInUIntArray(ids, -1));
}

TEST(Tokenize, SkipsDelimiterRunsAndEndsWithMinusOne) {
    CZelStringT<char> s("a,,b");
    int pos = 0;
    EXPECT_EQ(str(Tokenize(s, ",", pos)), "a");
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(str(Tokenize(s, ",", pos)), "b");
    EXPECT_EQ(str(Tokenize(s, ",", pos)), "");
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(str(Tokenize(s, ",", pos)), "");
    EXPECT_EQ(pos, -1);

    CZelStringT<char> t(",; x y;");
    pos = 0;
    EXPECT_EQ(str(Tokenize(t, ",; ", pos)), "x");
    EXPECT_EQ(str(Tokenize(t, ",; ", pos)), "y");
    EXPECT_EQ(str(Tokenize(t, ",; ", pos)), "");
    EXPECT_EQ(pos, -1);

    pos = 2;  // without delimiters: the rest, and pos stays
    EXPECT_EQ(str(Tokenize(s, "", pos)), ",b");
    EXPECT_EQ(pos, 2);
    pos = 4;
    EXPECT_EQ(str(Tokenize(s, nullptr, pos)), "");
    EXPECT_EQ(pos, -1);
    pos = 100;
    EXPECT_EQ(str(Tokenize(s, ",", pos)), "");
    EXPECT_EQ(pos, -1);
}

TEST(ReplaceChars, RunsBecomeOneReplacement) {
    CZelStringT<char> out("old");
    EXPECT_EQ(replaceChars("a  b   c", " ", "_", out), 2);
    EXPECT_EQ(str(out), "a_b_c");
    EXPECT_EQ(replaceChars(" \ta\t", " \t", nullptr, out), 2);
    EXPECT_EQ(str(out), "a");
    EXPECT_EQ(replaceChars("abc", "", "_", out), 0);
    EXPECT_EQ(str(out), "");
    EXPECT_EQ(replaceChars(nullptr, "x", "_", out), 0);
    EXPECT_EQ(str(out), "");
    out = "x--y";
    EXPECT_EQ(replaceChars(out, "-", "+-+", out), 1);  // source is the output itself
    EXPECT_EQ(str(out), "x+-+y");
}

TEST(CheckFormat, DigitsAndLettersFitNine) {
    EXPECT_TRUE(CheckFormat("AB12", "9999"));
    EXPECT_FALSE(CheckFormat("12-3", "9999"));
    EXPECT_TRUE(CheckFormat("2007-02-15", "9999-99-99"));
    EXPECT_TRUE(CheckFormat("Pt7", "Pt9"));
    EXPECT_FALSE(CheckFormat("pt7", "Pt9"));
    EXPECT_FALSE(CheckFormat("5", "5"));  // a digit fits only '9'
    EXPECT_FALSE(CheckFormat("123", "99"));
    EXPECT_TRUE(CheckFormat(nullptr, ""));
    EXPECT_FALSE(CheckFormat(nullptr, "9"));
}

TEST(GetTextValType, ClassifiesNumbersDatesAndText) {
    EXPECT_EQ(getTextValType("  -12  "), tvtInteger);
    EXPECT_EQ(getTextValType("3.25"), tvtReal);
    EXPECT_EQ(getTextValType("3."), tvtReal);
    EXPECT_EQ(getTextValType(".5 "), tvtReal);
    EXPECT_EQ(getTextValType("."), tvtText);
    EXPECT_EQ(getTextValType("-."), tvtText);
    EXPECT_EQ(getTextValType("-"), tvtInteger);
    EXPECT_EQ(getTextValType("1e5"), tvtText);
    EXPECT_EQ(getTextValType("1.2.3"), tvtText);
    EXPECT_EQ(getTextValType("2007-02-28"), tvtDate);
    EXPECT_EQ(getTextValType("2007-02-30"), tvtText);
    EXPECT_EQ(getTextValType("2007-13-01"), tvtText);
    EXPECT_EQ(getTextValType("2007-02-28 24:00:00"), tvtDateTime);
    EXPECT_EQ(getTextValType("2007-02-28 25:00:00"), tvtText);
    EXPECT_EQ(getTextValType("2007-02-28 12:60:00"), tvtText);
    EXPECT_EQ(getTextValType("   "), tvtEmpty);
    EXPECT_EQ(getTextValType(""), tvtEmpty);
    EXPECT_EQ(getTextValType(nullptr), tvtEmpty);
}

TEST(Names, ValidNamesAndPointNameRepair) {
    EXPECT_TRUE(IsValidName(CZelStringT<char>('a', 40)));
    EXPECT_FALSE(IsValidName(CZelStringT<char>('a', 41)));
    EXPECT_FALSE(IsValidName("Pt 1"));
    EXPECT_FALSE(IsValidName(""));
    EXPECT_FALSE(IsValidName("T\xE9t"));
    CZelStringT<char> file("Site_07");
    EXPECT_TRUE(IsValidFilename(file));
    EXPECT_TRUE(IsAdmisibleCharacter('_'));
    EXPECT_FALSE(IsAdmisibleCharacter('-'));

    EXPECT_EQ(str(MakePointNameCorrect("Pt 1/2")), "Pt 1_2");
    EXPECT_EQ(str(MakePointNameCorrect("a\tb+c=d\"e")), "a_b_c_d_e");
    EXPECT_EQ(str(MakePointNameCorrect("ABCDEFGHIJKLMNOPQRST/XYZW")), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(str(MakePointNameCorrect("")), "");
}

TEST(TextIO, ReadLineSkipsBreaksAndBlankLines) {
    FilesScratch dir;
    const std::string longLine(300, 'x');
    dir.write("in.txt", "first\r\n\r\n  \nsec\0nd\n"s + longLine + "\nlast");
    CFile file;
    ASSERT_TRUE(file.Open(dir.app("in.txt").c_str(), CFile::modeRead));
    CZelStringT<char> line("stale");
    std::vector<std::string> lines;
    for (int i = 0; i < 7; ++i) {
        ReadLine(file, line);
        lines.push_back(str(line));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "", std::string("sec\0nd", 6), longLine,
                                               "last", "", ""}));
    EXPECT_EQ(file.GetPosition(), file.GetLength());

    CFile missing;
    EXPECT_FALSE(missing.Open(dir.app("none.txt").c_str(), CFile::modeRead));
    ReadLine(missing, line);
    EXPECT_EQ(str(line), "");
}

TEST(TextIO, WriteStringAndBufferCopies) {
    FilesScratch dir;
    std::FILE* f = std::fopen(dir.native("out.txt").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(WriteString(f, CZelStringT<char>("a\0b", 3)));
    EXPECT_TRUE(WriteString(f, ""));
    std::fclose(f);
    EXPECT_EQ(dir.read("out.txt"), std::string("a\0b", 3));
    EXPECT_FALSE(WriteString(nullptr, "x"));

    char buf[8] = "#######";
    CString2ASCII("abcdef", 6, buf, 3);
    EXPECT_STREQ(buf, "abc");
    CString2ASCII("ab", 2, buf, 7);
    EXPECT_STREQ(buf, "ab");
    CZelStringT<char> out("x");
    ASCII2CString(nullptr, out);
    EXPECT_EQ(str(out), "");
}

TEST(CorrectionService, SatelliteNamesAndSubscriptionDates) {
    EXPECT_EQ(OmniStarSatNameToEnum("AMSC_EAST_2"), 5);
    EXPECT_EQ(OmniStarSatNameToEnum("AMSC_CENTRE"), 6);
    EXPECT_EQ(OmniStarSatNameToEnum("x_MSC_W"), 17);
    EXPECT_EQ(OmniStarSatNameToEnum("AM_SAT"), 3);
    EXPECT_EQ(OmniStarSatNameToEnum("EMS/AF_SAT"), 1);
    EXPECT_EQ(OmniStarSatNameToEnum("unknown"), 2);

    CZelStringT<char> out("unchanged");
    EXPECT_TRUE(OmniStarHPSubscriptionToString("2007-02-15T00:00:00", out));
    EXPECT_EQ(str(out), "2/15/2007");
    out = "unchanged";
    EXPECT_FALSE(OmniStarHPSubscriptionToString("2007-02-15T00:00:0", out));
    EXPECT_EQ(str(out), "unchanged");

    // Week 1024 starts 22 August 1999; the day is counted three hours behind GPS time.
    EXPECT_TRUE(QuilSubscriptionToString(619315200L, out));
    EXPECT_EQ(str(out), "8/21/1999");
    EXPECT_TRUE(QuilSubscriptionToString(619315200L + 3 * 3600, out));
    EXPECT_EQ(str(out), "8/22/1999");
    EXPECT_TRUE(QuilSubscriptionToString(635860800L, out));
    EXPECT_EQ(str(out), "2/29/2000");
    EXPECT_TRUE(QuilSubscriptionToString(756907200L, out));
    EXPECT_EQ(str(out), "12/31/2003");
    out = "unchanged";
    for (const long early : {0L, -5L, 619315199L}) {
        EXPECT_FALSE(QuilSubscriptionToString(early, out)) << early;
    }
    EXPECT_EQ(str(out), "unchanged");
}

TEST(CorrectionService, SubscriptionDatesMatchTheCalendar) {
    using namespace std::chrono;
    const sys_days gpsEpoch = 1980y / January / 6;
    std::mt19937 rng(5);
    std::uniform_int_distribution<long> secondsOf(619315200L, 2147483647L);
    for (int i = 0; i < 20000; ++i) {
        const long s = secondsOf(rng);
        const year_month_day date{floor<days>(gpsEpoch + seconds(s) - hours(3))};
        char expected[32];
        std::snprintf(expected, sizeof expected, "%u/%u/%d", unsigned(date.month()),
                      unsigned(date.day()), int(date.year()));
        CZelStringT<char> out;
        ASSERT_TRUE(QuilSubscriptionToString(s, out));
        ASSERT_EQ(str(out), expected) << s;
    }
}
