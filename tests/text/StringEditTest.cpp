#include <gtest/gtest.h>

#include "StringTestSupport.h"

namespace {

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

    S8 zeros("ab\0ab\0cab", 9);  // searched segment by segment
    EXPECT_EQ(zeros.Replace("ab", "XYZ"), 3);
    EXPECT_EQ(str(zeros), std::string("XYZ\0XYZ\0cXYZ", 12));
}

TEST(StringTrim, WhitespaceCharactersSetsAndSharing) {
    S8 s(" \t\r\n 12.5 \v\f");
    s.Trim();
    EXPECT_EQ(str(s), "12.5");
    S8 u("--==abc==--");
    u.TrimLeft("-=");
    EXPECT_EQ(str(u), "abc==--");
    u.TrimRight('-');
    EXPECT_EQ(str(u), "abc==");
    S8 high("\xA0value\xA0");  // a no-break space is not whitespace
    high.Trim();
    EXPECT_EQ(high.GetLength(), 7);
    // A text of blanks only trims to nothing from either side.
    S8 blanks[] = {S8(" \t  "), S8(" \t  "), S8(" \t  ")};
    blanks[0].Trim();
    blanks[1].TrimLeft();
    blanks[2].TrimRight();
    for (const S8& b : blanks)
        EXPECT_TRUE(b.IsEmpty()) << "[" << str(b) << "]";

    // An empty set leaves the text, but TrimLeft returns at once while TrimRight unshares.
    S8 e("  abc  ");
    const S8 sharer(e);
    e.TrimLeft("");
    e.TrimLeft(static_cast<const char*>(nullptr));
    EXPECT_EQ(P8::refs(e), 2);
    e.TrimRight("");
    EXPECT_EQ(P8::refs(e), 1);
    EXPECT_EQ(str(e), "  abc  ");
}

// Clamped indexes and the lengths returned are held to a model in StringIndexLimitsTest.
TEST(StringInsert, SizesExactlyKeepsSharersAndTakesItsOwnText) {
    S8 u("1250");
    const S8 sharer(u);
    EXPECT_EQ(u.Insert(1, "+"), 5);
    EXPECT_EQ(u.GetAllocLength(), 5);
    EXPECT_EQ(u.Insert(3, ""), 5);
    EXPECT_EQ(str(u), "1+250");
    EXPECT_EQ(str(sharer), "1250");
    S8 self("ab");
    self.Insert(1, self);  // the inserted text may be the string itself
    EXPECT_EQ(str(self), "aabb");
}

TEST(StringConcat, AppendingReallocatesToTheExactTotal) {
    S8 s("N");
    s += "orth";
    EXPECT_EQ(s.GetAllocLength(), 5);
    s += ' ';
    s += S8("1000.000");
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(str(s), "North 1000.000");
    EXPECT_EQ(s.GetAllocLength(), 14);
    s.GetBuffer(40);
    const char* block = s;
    s += "!";
    EXPECT_EQ(static_cast<const char*>(s), block);  // room left: appended in place
    // Room in a block that another string shares is not ours: the append copies first.
    S8 sharer(s);
    sharer += "?";
    EXPECT_EQ(str(s), "North 1000.000!");
    EXPECT_EQ(str(sharer), "North 1000.000!?");
    EXPECT_EQ(str(S8("a") + S8("b") + "c" + 'd'), "abcd");
    S8 self("ab");
    self += self;
    EXPECT_EQ(str(self), "abab");
}

}  // namespace
