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

TEST(StringFormatMessage, FailuresThrowTheMemoryExceptionAndKeepTheString) {
    S8 s("unchanged");
    EXPECT_THROW(s.FormatMessageA("%1!d", 5), CMemoryException);
    EXPECT_THROW(s.FormatMessageA(""), CMemoryException);
    EXPECT_THROW(s.FormatMessageA("%0"), CMemoryException);
    EXPECT_EQ(str(s), "unchanged");
    EXPECT_THROW(s.FormatMessageA("%1!!", 5), std::bad_alloc);
}

}  // namespace
