#include <gtest/gtest.h>

#include "StringTestSupport.h"

namespace {

TEST(StringConversion, DegreeAndEuroSignsBothWays) {
    const S16 wide("45\xB0 12' \x80");
    EXPECT_EQ(u16(wide), u"45\u00b0 12' \u20ac");
    EXPECT_EQ(wide.GetAllocLength(), 2 * 9);  // room for two units per byte
    const S8 narrow(w(u"45\u00b0 \u20ac"));
    EXPECT_EQ(str(narrow), "45\xB0 \x80");
    EXPECT_EQ(narrow.GetAllocLength(), 5);
    S8 assigned;
    assigned = w(u"\u00b0");
    EXPECT_EQ(str(assigned), "\xB0");
    S16 w2;
    w2 = "\x80";
    EXPECT_EQ(u16(w2), u"\u20ac");
    w2 = std::string("\xB0");
    EXPECT_EQ(u16(w2), u"\u00b0");
}

TEST(StringConversion, CountedConversionsKeepEmbeddedZeros) {
    const unsigned short units[] = {'a', 0, 0x00B0, 'b'};
    const S8 narrow(units, 4);
    EXPECT_EQ(str(narrow), std::string("a\0\xB0\x62", 4));  // 0x62: b
    const S16 wide("a\0\x80", 3);
    EXPECT_EQ(wide.GetLength(), 3);
    EXPECT_EQ(wide.GetAllocLength(), 6);
    EXPECT_EQ(u16(wide), std::u16string(u"a\0\u20ac", 3));
    // The zero-terminated forms stop at the first zero.
    const S8 cut(w(u"ab\0cd"));
    EXPECT_EQ(str(cut), "ab");
}

TEST(StringConversion, UnitsWithoutABytAndBytesWithoutACharacterAreReplaced) {
    const S8 narrow(w(u"\u4e2d|\U0001F600|\xD800|ok"));
    EXPECT_EQ(str(narrow), "?|?|?|ok");  // a surrogate pair is one character
    const S16 wide("\x81\x8D|\x9D");
    EXPECT_EQ(u16(wide), u"\ufffd\ufffd|\ufffd");
}

}  // namespace
