#include <gtest/gtest.h>

#include "StringTestSupport.h"

namespace {

TEST(StringExtract, MidLeftRightClampTheirArguments) {
    const S8 s("0123456789");
    EXPECT_EQ(str(s.Mid(-3, 2)), "01");
    EXPECT_EQ(str(s.Mid(8, 5)), "89");
    EXPECT_EQ(str(s.Mid(12, 5)), "");
    EXPECT_EQ(str(s.Mid(4)), "456789");
    EXPECT_EQ(str(s.Mid(3, -1)), "");
    EXPECT_EQ(str(s.Left(-1)), "");
    EXPECT_EQ(str(s.Left(3)), "012");
    EXPECT_EQ(str(s.Right(3)), "789");
    EXPECT_EQ(str(s.Right(-2)), "");
    EXPECT_EQ(str(s.SpanIncluding("0123")), "0123");
    EXPECT_EQ(str(s.SpanExcluding("5x")), "01234");
}

TEST(StringFind, SearchesFromAStartAndReportsMinusOne) {
    const S8 s("N 45 E 12 N");
    EXPECT_EQ(s.Find("N"), 0);
    EXPECT_EQ(s.Find("N", 1), 10);
    EXPECT_EQ(s.Find("", s.GetLength()), s.GetLength());
    EXPECT_EQ(s.Find("N", s.GetLength() + 1), -1);
    EXPECT_EQ(s.Find('N', s.GetLength()), -1);
    EXPECT_EQ(s.Find('E'), 5);
    EXPECT_EQ(s.Find('Q'), -1);
    EXPECT_EQ(s.ReverseFind('N'), 10);
    EXPECT_EQ(s.ReverseFind('Z'), -1);
    EXPECT_EQ(s.FindOneOf("E1"), 5);
    EXPECT_EQ(s.FindOneOf("xyz"), -1);
}

TEST(StringReplace, TextReplacementKeepsOtherSharersAndSizesExactly) {
    S8 s("abab");
    const S8 sharer(s);
    EXPECT_EQ(s.Replace("ab", "xyz"), 2);
    EXPECT_EQ(str(s), "xyzxyz");
    EXPECT_EQ(s.GetAllocLength(), 6);
    EXPECT_EQ(str(sharer), "abab");
    EXPECT_EQ(P8::refs(sharer), 1);

    S8 t("aaaa");
    EXPECT_EQ(t.Replace("aa", "b"), 2);  // non-overlapping, left to right
    EXPECT_EQ(str(t), "bb");
    EXPECT_EQ(t.GetAllocLength(), 4);  // shrinking works in place
    EXPECT_EQ(t.Replace("b", nullptr), 2);
    EXPECT_TRUE(t.IsEmpty());

    S8 u("none here");
    const S8 uSharer(u);
    EXPECT_EQ(u.Replace("zz", "y"), 0);
    EXPECT_EQ(P8::refs(u), 2);  // no match: no copy
    EXPECT_EQ(u.Replace("", "y"), 0);
    EXPECT_EQ(u.Replace(static_cast<const char*>(nullptr), "y"), 0);
}

TEST(StringReplace, TextWithEmbeddedZerosIsSearchedSegmentBySegment) {
    S8 s("ab\0ab\0cab", 9);
    EXPECT_EQ(s.Replace("ab", "XYZ"), 3);
    EXPECT_EQ(s.GetLength(), 12);
    EXPECT_EQ(str(s), std::string("XYZ\0XYZ\0cXYZ", 12));
}

TEST(StringReplace, CharacterReplacementAndRemoval) {
    S8 s("1,234,567.8");
    EXPECT_EQ(s.Replace(',', ','), 0);
    EXPECT_EQ(s.Replace(',', ' '), 2);
    EXPECT_EQ(str(s), "1 234 567.8");
    EXPECT_EQ(s.Remove(' '), 2);
    EXPECT_EQ(str(s), "1234567.8");
    EXPECT_EQ(s.GetLength(), 9);
    EXPECT_EQ(s.Remove('x'), 0);
}

TEST(StringTrim, WhitespaceCharactersAndSets) {
    S8 s(" \t\r\n 12.5 \v\f");
    s.Trim();
    EXPECT_EQ(str(s), "12.5");
    S8 t("xxabcxx");
    t.Trim('x');
    EXPECT_EQ(str(t), "abc");
    S8 u("--==abc==--");
    u.TrimLeft("-=");
    EXPECT_EQ(str(u), "abc==--");
    u.TrimRight("-=");
    EXPECT_EQ(str(u), "abc");
    S8 high("\xA0value\xA0");  // a no-break space is not whitespace
    high.Trim();
    EXPECT_EQ(high.GetLength(), 7);
}

TEST(StringTrim, EmptySetsLeaveTextButDifferOnSharing) {
    S8 s("  abc  ");
    const S8 sharer(s);
    s.TrimLeft("");
    s.TrimLeft(static_cast<const char*>(nullptr));
    EXPECT_EQ(P8::refs(s), 2);  // returned at once, still shared
    s.TrimRight("");
    EXPECT_EQ(P8::refs(s), 1);  // unshared, nothing removed
    EXPECT_EQ(str(s), "  abc  ");
    EXPECT_EQ(str(sharer), "  abc  ");
}

TEST(StringInsertDelete, IndexesAreClampedAndLengthsReturned) {
    S8 s("0123456789");
    EXPECT_EQ(s.Delete(5, 100), 10);
    EXPECT_EQ(str(s), "01234");
    S8 t("0123456789");
    EXPECT_EQ(t.Delete(10, 1), 10);
    EXPECT_EQ(str(t), "0123456789");
    EXPECT_EQ(t.Delete(-4, 2), 10);
    EXPECT_EQ(str(t), "23456789");
    EXPECT_EQ(t.Delete(2, 0), 8);
    EXPECT_EQ(str(t), "23456789");

    S8 u("1250");
    const S8 sharer(u);
    EXPECT_EQ(u.Insert(1, "+"), 5);
    EXPECT_EQ(str(u), "1+250");
    EXPECT_EQ(u.GetAllocLength(), 5);
    EXPECT_EQ(u.Insert(99, ".00"), 8);
    EXPECT_EQ(u.Insert(-5, 'K'), 9);
    EXPECT_EQ(str(u), "K1+250.00");
    EXPECT_EQ(u.Insert(3, ""), 9);
    EXPECT_EQ(u.Insert(3, static_cast<const char*>(nullptr)), 9);
    EXPECT_EQ(str(sharer), "1250");
    S8 self("ab");
    self.Insert(1, self);  // the inserted text may be the string itself
    EXPECT_EQ(str(self), "aabb");
}

TEST(StringCase, UpperLowerReverseAndComparisons) {
    S8 s("Road Alignment");
    EXPECT_EQ(str(S8(s).MakeUpper()), "ROAD ALIGNMENT");
    EXPECT_EQ(str(S8(s).MakeLower()), "road alignment");
    EXPECT_EQ(str(S8(s).MakeReverse()), "tnemngilA daoR");
    EXPECT_EQ(s.Compare("Road Alignment"), 0);
    EXPECT_LT(s.Compare("Road alignment"), 0);
    EXPECT_EQ(s.CompareNoCase("ROAD alignment"), 0);
    EXPECT_GT(s.CompareNoCase("road"), 0);
    EXPECT_EQ(s.Collate("Road Alignment"), 0);
    EXPECT_EQ(s.CollateNoCase("road ALIGNMENT"), 0);
    EXPECT_TRUE(s == "Road Alignment");
    EXPECT_TRUE(s < S8("Road B"));
}

TEST(StringConcat, AppendingReallocatesToTheExactTotal) {
    S8 s("N");
    s += "orth";
    EXPECT_EQ(s.GetAllocLength(), 5);
    s += ' ';
    s += S8("1000.000");
    EXPECT_EQ(str(s), "North 1000.000");
    EXPECT_EQ(s.GetAllocLength(), 14);
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(s.GetLength(), 14);
    s.GetBuffer(40);
    const char* block = s;
    s += "!";
    EXPECT_EQ(static_cast<const char*>(s), block);  // room left: appended in place
    EXPECT_EQ(str(S8("a") + S8("b") + "c" + 'd'), "abcd");
    EXPECT_EQ(str("x" + S8("y")), "xy");
    EXPECT_EQ(str('<' + S8("tag")), "<tag");
    S8 self("ab");
    self += self;
    EXPECT_EQ(str(self), "abab");
}

TEST(StringConstruct, CountedRepeatedAndFrameworkStrings) {
    S8 zeros("a\0b", 3);
    EXPECT_EQ(zeros.GetLength(), 3);
    EXPECT_EQ(str(S8('-', 5)), "-----");
    EXPECT_TRUE(S8('-', -1).IsEmpty());
    const std::string framework("from the framework");
    S8 f(framework);
    EXPECT_EQ(str(f), framework);
    S8 g;
    g = std::string("assigned");
    EXPECT_EQ(str(g), "assigned");
    EXPECT_EQ(f.mfcString().str(), framework);
    EXPECT_EQ(f.mfcString().owner(), &f);
    const unsigned char bytes[] = {'u', 'c', 0};
    EXPECT_EQ(str(S8(bytes)), "uc");
    g = 'c';
    EXPECT_EQ(str(g), "c");
}

}  // namespace
