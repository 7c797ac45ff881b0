#include <gtest/gtest.h>

#include "StringTestSupport.h"

namespace {

TEST(WideString, SearchingAndEditingWorkOnSixteenBitUnits) {
    const S16 s(w(u"\u00b0N 45\u00b0 E \u20ac"));
    EXPECT_EQ(s.Find(static_cast<unsigned short>(0x00B0), 1), 5);
    EXPECT_EQ(s.ReverseFind(static_cast<unsigned short>(0x20AC)), 9);
    EXPECT_EQ(s.FindOneOf(w(u"E\u20ac")), 7);
    EXPECT_EQ(u16(s.SpanExcluding(w(u"5"))), u"\u00b0N 4");

    S16 e(w(u" \t\u00e9l\u00e9vation \r\n"));
    e.Trim();
    S16 upper(e);
    upper.MakeUpper();
    EXPECT_EQ(upper.CompareNoCase(e), 0);
    EXPECT_NE(upper.Compare(e), 0);
    EXPECT_EQ(e.Replace(w(u"\u00e9"), w(u"e")), 2);
    EXPECT_EQ(e.Insert(0, w(u"\u2192")), 10);
    EXPECT_EQ(u16(e.MakeReverse()), u"noitavele\u2192");
    EXPECT_GT(S16(w(u"\u20ac")).Compare(w(u"a")), 0);  // units compare unsigned
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

}  // namespace
