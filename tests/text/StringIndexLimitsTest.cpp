#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "StringTestSupport.h"

// Every index and count member at the ends of the int range. The expected results come from a
// plain std::string model of the clamping rules, computed in 64 bits so the model itself cannot
// overflow; under -fsanitize=undefined any overflow in the class fails the run.
namespace {

const std::string kText = "STA 12+345.678";

std::vector<long long> interestingInts(long long len) {
    return {INT_MIN, INT_MIN + 1LL, -len - 1,      -1,     0, 1, len - 1,
            len,     len + 1,       INT_MAX - 1LL, INT_MAX};
}

long long clampTo(long long v, long long lo, long long hi) {
    return std::min(std::max(v, lo), hi);
}

std::string modelMid(const std::string& s, long long first, long long count) {
    const long long len = static_cast<long long>(s.size());
    first = std::max(first, 0LL);
    count = std::max(count, 0LL);
    if (first + count > len) count = len - first;
    if (first > len) return "";
    return s.substr(static_cast<size_t>(first), static_cast<size_t>(count));
}

std::string modelDelete(std::string s, long long index, long long count) {
    const long long len = static_cast<long long>(s.size());
    index = std::max(index, 0LL);
    count = std::min(count, len - index);
    if (count >= 1 && index < len) s.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return s;
}

TEST(StringIndexLimits, ExtractionClampsEveryIntArgument) {
    const S8 s(kText.c_str());
    const long long len = s.GetLength();
    for (const long long a : interestingInts(len)) {
        const int ia = static_cast<int>(a);
        SCOPED_TRACE(a);
        EXPECT_EQ(str(s.Mid(ia)), modelMid(kText, a, len - a));
        EXPECT_EQ(str(s.Left(ia)), kText.substr(0, static_cast<size_t>(clampTo(a, 0, len))));
        const long long r = clampTo(a, 0, len);
        EXPECT_EQ(str(s.Right(ia)), kText.substr(static_cast<size_t>(len - r)));
        for (const long long b : interestingInts(len)) {
            SCOPED_TRACE(b);
            EXPECT_EQ(str(s.Mid(ia, static_cast<int>(b))), modelMid(kText, a, b));
        }
    }
}

TEST(StringIndexLimits, SearchFromAnyStart) {
    const S8 s(kText.c_str());
    const long long len = s.GetLength();
    for (const long long a : interestingInts(len)) {
        SCOPED_TRACE(a);
        const int start = static_cast<int>(a);
        const size_t from = static_cast<size_t>(clampTo(a, 0, len));
        const auto expectFound = [](size_t pos) {
            return pos == std::string::npos ? -1 : static_cast<int>(pos);
        };
        EXPECT_EQ(s.Find("+", start), a > len ? -1 : expectFound(kText.find('+', from)));
        EXPECT_EQ(s.Find("", start), a > len ? -1 : static_cast<int>(from));
        EXPECT_EQ(s.Find('5', start), a >= len ? -1 : expectFound(kText.find('5', from)));
    }
}

TEST(StringIndexLimits, EditingClampsEveryIntArgument) {
    const long long len = static_cast<long long>(kText.size());
    for (const long long a : interestingInts(len)) {
        SCOPED_TRACE(a);
        const size_t at = static_cast<size_t>(clampTo(a, 0, len));
        S8 text(kText.c_str());
        EXPECT_EQ(text.Insert(static_cast<int>(a), "xy"), len + 2);
        EXPECT_EQ(str(text), std::string(kText).insert(at, "xy"));
        S8 ch(kText.c_str());
        EXPECT_EQ(ch.Insert(static_cast<int>(a), 'z'), len + 1);
        EXPECT_EQ(str(ch), std::string(kText).insert(at, 1, 'z'));
        for (const long long b : interestingInts(len)) {
            SCOPED_TRACE(b);
            S8 d(kText.c_str());
            EXPECT_EQ(d.Delete(static_cast<int>(a), static_cast<int>(b)), len);
            EXPECT_EQ(str(d), modelDelete(kText, a, b));
        }
    }
}

TEST(StringIndexLimits, CharacterAccessOutsideTheTextTouchesNothing) {
    S8 s(kText.c_str());
    const S8 sharer(s);
    const long long len = s.GetLength();
    for (const long long a : interestingInts(len)) {
        SCOPED_TRACE(a);
        const bool inside = a >= 0 && a < len;
        const char expected = inside ? kText[static_cast<size_t>(a)] : '\0';
        EXPECT_EQ(s.GetAt(static_cast<int>(a)), expected);
        EXPECT_EQ(s[static_cast<int>(a)], expected);
        if (inside) continue;
        s.SetAt(static_cast<int>(a), '#');
        EXPECT_EQ(str(s), kText);
        EXPECT_EQ(P8::refs(s), 2);  // nothing set, so nothing was unshared either
    }
    s.SetAt(0, '#');
    EXPECT_EQ(str(s), "#" + kText.substr(1));
    EXPECT_EQ(str(sharer), kText);
}

TEST(StringIndexLimits, BufferLengthsOutsideTheBlockAreClamped) {
    S8 s(kText.c_str());
    s.GetBuffer(INT_MIN);
    EXPECT_EQ(str(s), kText);
    s.ReleaseBuffer(INT_MAX);  // at most the room the block has
    EXPECT_EQ(s.GetLength(), s.GetAllocLength());
    s.ReleaseBuffer(INT_MIN);  // any negative length means: measure up to the first zero
    EXPECT_EQ(str(s), kText);
    s.GetBufferSetLength(INT_MIN);
    EXPECT_EQ(s.GetLength(), 0);
    const S16 wide(w(u"Az 45\u00B0"));
    EXPECT_EQ(u16(wide.Mid(INT_MIN)), u"Az 45\u00B0");
    EXPECT_EQ(u16(wide.Mid(INT_MAX)), u"");
    EXPECT_EQ(wide.GetAt(INT_MIN), 0);
}

}  // namespace
