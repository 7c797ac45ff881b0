#include <gtest/gtest.h>

#include "StringTestSupport.h"

namespace {

TEST(WideString, SearchingAndSpansWorkOnSixteenBitUnits) {
    const S16 s(w(u"\u00b0N 45\u00b0 E \u20ac"));
    EXPECT_EQ(s.Find(w(u"45")), 3);
    EXPECT_EQ(s.Find(static_cast<unsigned short>(0x00B0), 1), 5);
    EXPECT_EQ(s.ReverseFind(static_cast<unsigned short>(0x20AC)), 9);
    EXPECT_EQ(s.FindOneOf(w(u"E\u20ac")), 7);
    EXPECT_EQ(s.Find(w(u"zz")), -1);
    EXPECT_EQ(s.Find(w(u""), s.GetLength()), s.GetLength());
    EXPECT_EQ(u16(s.SpanIncluding(w(u"\u00b0N "))), u"\u00b0N ");
    EXPECT_EQ(u16(s.SpanExcluding(w(u"5"))), u"\u00b0N 4");
}

TEST(WideString, EditingMatchesTheEightBitRules) {
    S16 s(w(u" \t\u00e9l\u00e9vation \r\n"));
    s.Trim();
    EXPECT_EQ(u16(s), u"\u00e9l\u00e9vation");
    S16 upper(s);
    upper.MakeUpper();
    S16 lower(upper);
    lower.MakeLower();
    EXPECT_EQ(u16(lower), u16(s));
    EXPECT_EQ(upper.CompareNoCase(s), 0);
    EXPECT_NE(upper.Compare(s), 0);
    EXPECT_EQ(s.Replace(w(u"\u00e9"), w(u"e")), 2);
    EXPECT_EQ(u16(s), u"elevation");
    EXPECT_EQ(s.Insert(0, w(u"\u2192")), 10);
    EXPECT_EQ(s.Delete(1, 1), 10);
    EXPECT_EQ(u16(s), u"\u2192levation");
    s.MakeReverse();
    EXPECT_EQ(u16(s), u"noitavel\u2192");
    EXPECT_LT(S16(w(u"abc")).Compare(w(u"abd")), 0);
    EXPECT_GT(S16(w(u"\u20ac")).Compare(w(u"a")), 0);  // units compare unsigned
    EXPECT_EQ(S16(w(u"same")).Collate(w(u"same")), 0);
}

TEST(WideString, NarrowTextAssignedToAWideStringReusesItsBlock) {
    S16 s(w(u"0123456789"));
    const unsigned short* block = s;
    s = "abc";
    EXPECT_EQ(static_cast<const unsigned short*>(s), block);
    EXPECT_EQ(u16(s), u"abc");
    EXPECT_EQ(s.GetAllocLength(), 10);
    const S16 sharer(s);
    s = "x";
    EXPECT_NE(static_cast<const unsigned short*>(s), block);  // shared: a new block of 2n
    EXPECT_EQ(s.GetAllocLength(), 2);
    EXPECT_EQ(u16(sharer), u"abc");
}

TEST(StringStatics, EmptyStringAndNilTextsStayEmpty) {
    struct Access : S8 {
        static const S8& empty() { return AfxGetEmptyString(); }
        static const char* chNil() { return get_afxChNil(); }
    };
    EXPECT_TRUE(P8::isNil(Access::empty()));
    EXPECT_EQ(*Access::chNil(), '\0');
    S8 copy(Access::empty());
    copy += "x";
    EXPECT_TRUE(Access::empty().IsEmpty());
}

}  // namespace
