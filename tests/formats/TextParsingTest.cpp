#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/FilesScratch.h"
#include "support/Refused.h"
#include "text/StringTestSupport.h"
#include "velmorutils/formats/PlainText.h"
#include "velmorutils/velmorutils.h"

using zel_text::CZelStringT;
using namespace std::string_literals;

namespace {

using Fields = std::vector<std::string>;

Fields items(const CZelStringArray& a) {
    Fields out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(str(a[i]));
    return out;
}

}  // namespace

TEST(NumberParsing, DecimalCommaAndFailureValues) {
    EXPECT_FLOAT_EQ(StringToFloat(CZelStringT<char>("-2,25")), -2.25f);
    EXPECT_EQ(StringToInt(CZelStringT<char>("12abc")), 12);
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
    int i = 5;
    EXPECT_EQ(StringToInt("  -7x", i), 1);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(StringToInt(nullptr, i), 0);
    EXPECT_EQ(i, 0);
}

TEST(ParseValues, FieldsAreTrimmedAndAForbiddenCharacterStops) {
    struct Case {
        const char* text;
        const char* forbidden;
        bool clean;
        Fields fields;
    };
    const Case cases[] = {
        {"1;2;3", "", true, {"1", "2", "3"}},
        {"1;2;3", "2", false, {"1"}},
        {" a\r ;\tb\nc ;", "", true, {"a", "bc"}},  // white space, CR and LF go
        {"", "", true, {""}},
        {";a;b", "", true, {";a;b"}},  // a leading delimiter does not split
        {"a;;b", "", true, {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        CZelStringArray out;
        EXPECT_EQ(ParseValues(c.text, out, ';', c.forbidden), c.clean) << c.text;
        EXPECT_EQ(items(out), c.fields) << c.text;
    }
    CZelStringArray out;
    out.Add("kept");
    ParseValues("x", out, ';', "");
    EXPECT_EQ(items(out), (Fields{"kept", "x"}));  // appended to, not cleared
}

TEST(ParseDelimitersValues, AnyDelimiterSplitsUnlessItStartsTheRestAndTokenizeSkipsRuns) {
    CZelStringArray out;
    EXPECT_TRUE(ParseDelimitersValues("a, b;c\r\n", out, ",;"));
    EXPECT_EQ(items(out), (Fields{"a", "b", "c"}));
    out.RemoveAll();
    EXPECT_TRUE(ParseDelimitersValues("a,,b", out, ","));
    EXPECT_EQ(items(out), (Fields{"a", ",b"}));
    // Tokenize skips runs of delimiters and ends with -1.
    const auto tokens = [](const char* text, const char* delimiters, int pos) {
        CZelStringT<char> s(text);
        std::string out;
        while (pos >= 0)
            out += str(Tokenize(s, delimiters, pos)) + "|";
        return out;
    };
    EXPECT_EQ(tokens("a,,b", ",", 0), "a|b||");
    EXPECT_EQ(tokens(",; x y;", ",; ", 0), "x|y||");
    EXPECT_EQ(tokens("a,,b", ",", 100), "|");
    EXPECT_EQ(tokens("a,,b", nullptr, 4), "|");
    CZelStringT<char> s("a,,b");
    int pos = 2;  // without delimiters: the rest, and pos stays
    EXPECT_EQ(str(Tokenize(s, "", pos)), ",b");
    EXPECT_EQ(pos, 2);
}

TEST(GetTextValType, ClassifiesNumbersDatesAndText) {
    const std::pair<const char*, int> cases[] = {{"  -12  ", tvtInteger},
                                                 {"-", tvtInteger},
                                                 {"3.", tvtReal},
                                                 {".5 ", tvtReal},
                                                 {".", tvtText},
                                                 {"-.", tvtText},
                                                 {"1e5", tvtText},
                                                 {"1.2.3", tvtText},
                                                 {"2007-02-28", tvtDate},
                                                 {"2007-02-30", tvtText},
                                                 {"2007-13-01", tvtText},
                                                 {"2007-02-28 24:00:00", tvtDateTime},
                                                 {"2007-02-28 25:00:00", tvtText},
                                                 {"2007-02-28 12:60:00", tvtText},
                                                 {"   ", tvtEmpty},
                                                 {nullptr, tvtEmpty}};
    for (const auto& [text, type] : cases)
        EXPECT_EQ(getTextValType(text), type) << (text ? text : "null");
}

TEST(TextIO, ReadLineSkipsBreaksAndBlankLines) {
    FilesScratch dir;
    const std::string longLine(300, 'x');
    dir.write("in.txt", "first\r\n\r\n  \nsec\0nd\n"s + longLine + "\nlast");
    CFile file;
    ASSERT_TRUE(file.Open(dir.app("in.txt").c_str(), CFile::modeRead));
    CZelStringT<char> line("stale");
    Fields lines;
    for (int i = 0; i < 7; ++i) {
        ReadLine(file, line);
        lines.push_back(str(line));
    }
    EXPECT_EQ(lines, (Fields{"first", "", "sec\0nd"s, longLine, "last", "", ""}));
    EXPECT_EQ(file.GetPosition(), file.GetLength());

    CFile missing;
    EXPECT_FALSE(missing.Open(dir.app("none.txt").c_str(), CFile::modeRead));
    ReadLine(missing, line);
    EXPECT_EQ(str(line), "");
}

// Week 1024 starts 22 August 1999; the day is counted three hours behind GPS time.
TEST(CorrectionService, SubscriptionDatesMatchTheCalendar) {
    using namespace std::chrono;
    const sys_days gpsEpoch = 1980y / January / 6;
    std::mt19937 rng(5);
    std::uniform_int_distribution<long> secondsOf(619315200L, 2147483647L);
    for (int i = 0; i < 20000; ++i) {
        const long s = i < 2 ? 619315200L + i * 3 * 3600 : secondsOf(rng);  // first days too
        const year_month_day date{floor<days>(gpsEpoch + seconds(s) - hours(3))};
        char expected[32];
        std::snprintf(expected, sizeof expected, "%u/%u/%d", unsigned(date.month()),
                      unsigned(date.day()), int(date.year()));
        CZelStringT<char> out;
        ASSERT_TRUE(QuilSubscriptionToString(s, out));
        ASSERT_EQ(str(out), expected) << s;
    }
    CZelStringT<char> out;
    QuilSubscriptionToString(619315200L, out);
    EXPECT_EQ(str(out), "8/21/1999");
}

TEST(PlainText, Utf16AndZeroBytesAreRefusedWithTheirLine) {
    using zel_formats::checkPlainText;
    int line = 0;
    EXPECT_TRUE(checkPlainText("a;b\n\xEF\xBB\xBFx\n", 1, line));
    EXPECT_TRUE(refused(checkPlainText("\xFF\xFE\x61", 1, line), "UTF-16 text; save the file"));
    EXPECT_EQ(line, 1);
    EXPECT_FALSE(checkPlainText("\xFE\xFF", 1, line));
    // A UTF-16 mark counts only where a file starts.
    EXPECT_TRUE(checkPlainText("\xFF\xFE", 2, line));
    const std::string zero("p1\np2\np3\0\n", 10);
    EXPECT_TRUE(refused(checkPlainText(zero, 1, line), "a zero byte; the file is not plain text"));
    EXPECT_EQ(line, 3);
    EXPECT_FALSE(checkPlainText(zero, 5, line));
    EXPECT_EQ(line, 7);
}
