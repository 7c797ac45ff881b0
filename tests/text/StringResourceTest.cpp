#include <gtest/gtest.h>

#include "StringTestSupport.h"

namespace {

using zel_platform::RegisterStringResource;
using zel_platform::UnregisterStringResource;

TEST(StringResource, SmallPointerValuesAreResourceIds) {
    RegisterStringResource(101, "Chainage out of range");
    const S8 s(reinterpret_cast<const char*>(101));
    EXPECT_EQ(str(s), "Chainage out of range");
    EXPECT_EQ(s.GetAllocLength(), 21);
    const S16 t(reinterpret_cast<const unsigned short*>(101));
    EXPECT_EQ(u16(t), u"Chainage out of range");
    const S8 missing(reinterpret_cast<const char*>(65535));
    EXPECT_TRUE(missing.IsEmpty());
    UnregisterStringResource(101);
}

TEST(StringResource, LongTextsAreLoadedWholeThroughTheRetry) {
    for (int n : {252, 253, 254, 255, 300, 509, 510, 700}) {
        const std::string text(static_cast<size_t>(n), 'k');
        RegisterStringResource(7000, text.c_str());
        S8 s;
        EXPECT_EQ(s.LoadStringA(7000), 1) << n;
        EXPECT_EQ(str(s), text) << n;
        S16 w16;
        EXPECT_EQ(w16.LoadStringA(7000), 1) << n;
        EXPECT_EQ(w16.GetLength(), n);
    }
    UnregisterStringResource(7000);
}

TEST(StringResource, MissingOrEmptyResourcesReportZero) {
    RegisterStringResource(7001, "");
    S8 s("kept?");
    EXPECT_EQ(s.LoadStringA(7001), 0);
    EXPECT_TRUE(s.IsEmpty());  // the 8-bit string takes the empty text
    S16 t(w(u"kept"));
    EXPECT_EQ(t.LoadStringA(7002), 0);
    EXPECT_EQ(u16(t), u"kept");  // the 16-bit string is left as it was
    UnregisterStringResource(7001);
}

TEST(StringResource, FormatsCanComeFromResources) {
    RegisterStringResource(7003, "%s at %d+%06.2f");
    S8 s;
    s.Format(7003u, "PC", 1, 50.0);
    EXPECT_EQ(str(s), "PC at 1+050.00");
    RegisterStringResource(7004, "%1 of %2!d!");
    s.FormatMessageA(7004u, "Point", 12);
    EXPECT_EQ(str(s), "Point of 12");
    UnregisterStringResource(7003);
    UnregisterStringResource(7004);
}

TEST(StringFormatMessage, InsertsEscapesAndReuse) {
    S8 s;
    s.FormatMessageA("%2 then %1, %1 again", "first", "second");
    EXPECT_EQ(str(s), "second then first, first again");
    s.FormatMessageA("%1!5d!|%2!-6.2f!|%3!x!", 42, 3.14159, 255);
    EXPECT_EQ(str(s), "   42|3.14  |ff");
    s.FormatMessageA("a%%b%nc%td%.%!% e%0ignored");
    EXPECT_EQ(str(s), "a%b\r\nc\td.! e");
    s.FormatMessageA("%1!S! %2!c!", w(u"\u00b0wide"), 'z');
    EXPECT_EQ(str(s), "\xB0wide z");
    S16 t;
    t.FormatMessageA(w(u"%1 / %2!hs! / %3!d!"), w(u"own"), "narrow\x80", -5);
    EXPECT_EQ(u16(t), u"own / narrow\u20ac / -5");
}

TEST(StringFormatMessage, FailuresThrowTheMemoryExceptionAndKeepTheString) {
    S8 s("unchanged");
    EXPECT_THROW(s.FormatMessageA("%1!d", 5), CMemoryException);
    EXPECT_THROW(s.FormatMessageA(""), CMemoryException);
    EXPECT_THROW(s.FormatMessageA("%0"), CMemoryException);
    EXPECT_EQ(str(s), "unchanged");
    EXPECT_THROW(s.FormatMessageA("%1!!", 5), std::bad_alloc);
}

TEST(StringBstr, AllocAndSetSysStringConvertOrCopy) {
    BSTR b = S8("45\xB0 \x80").AllocSysString();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(b), 6),
              std::u16string(u"45\u00b0 \u20ac", 6));
    EXPECT_EQ(S8("a longer text for the same BSTR").SetSysString(&b), b);
    EXPECT_EQ(SysStringLen(b), 31u);
    S16(w(u"\u4e2d\0x")).SetSysString(&b);  // stops at the zero
    EXPECT_EQ(SysStringLen(b), 1u);
    EXPECT_EQ(b[0], 0x4E2D);
    SysFreeString(b);
    BSTR z = S16(w(u"a\0b"), 3).AllocSysString();  // counted: keeps it
    EXPECT_EQ(SysStringLen(z), 3u);
    EXPECT_EQ(z[2], 'b');
    SysFreeString(z);
    SysFreeString(nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
}

}  // namespace
