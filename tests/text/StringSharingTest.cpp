#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <thread>

#include "StringTestSupport.h"

namespace {

TEST(StringSharing, EmptyStringsReferToTheNilRecordAndAllocateNothing) {
    const size_t before = zel_mem::heapStatistics().inUseBytes;
    S8 a;
    S8 b(static_cast<const char*>(nullptr));
    S8 d("abc", 0);
    EXPECT_TRUE(P8::isNil(a) && P8::isNil(b) && P8::isNil(d) && P16::isNil(S16("")));
    EXPECT_EQ(P8::refs(a), -1);
    EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before);
    S8 text("chainage");
    EXPECT_TRUE(P8::isNil(text.Mid(text.GetLength())));
    text.Empty();
    EXPECT_TRUE(P8::isNil(text));
    EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before);
}

TEST(StringSharing, CopiesAndWholeTextExtractionsShareUntilOneChangesAndPartsCopy) {
    S8 a("station 1+250.00");
    EXPECT_EQ(P8::refs(a), 1);
    EXPECT_EQ(a.GetAllocLength(), 16);  // exact size, no reserve
    S8 b(a);
    S8 c;
    c = b;
    EXPECT_EQ(P8::refs(a), 3);
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(c));
    c.SetAt(0, 'S');
    EXPECT_EQ(P8::refs(a), 2);
    EXPECT_EQ(str(c), "Station 1+250.00");
    b.MakeUpper();
    EXPECT_EQ(P8::refs(a), 1);
    EXPECT_EQ(str(a), "station 1+250.00");
    EXPECT_EQ(str(b), "STATION 1+250.00");
    // Whole-text extractions share the block; parts are copies.
    S8 s("0123456789");
    {
        S8 m = s.Mid(0, 10);
        S8 l = s.Left(25);
        S8 r = s.Right(10);
        EXPECT_EQ(P8::refs(s), 4);
        S8 part = s.Mid(2, 3);
        EXPECT_EQ(str(part), "234");
        EXPECT_EQ(part.GetAllocLength(), 3);
        EXPECT_EQ(P8::refs(part), 1);
    }
    EXPECT_EQ(P8::refs(s), 1);
}

TEST(StringSharing, LockedBlocksAreNeverSharedAndEmptyKeepsThem) {
    S8 s("locked text");
    char* p = s.LockBuffer();
    EXPECT_EQ(P8::refs(s), -1);
    S8 copy(s);
    EXPECT_NE(static_cast<const char*>(copy), static_cast<const char*>(s));
    EXPECT_EQ(P8::refs(copy), 1);
    S8 assigned;
    assigned = s;
    EXPECT_EQ(P8::refs(assigned), 1);
    EXPECT_EQ(str(assigned), "locked text");
    // Assigning a shareable string to a locked one copies the characters into the locked block.
    s = copy;
    EXPECT_EQ(static_cast<const char*>(s), p);
    s.Empty();
    EXPECT_EQ(static_cast<const char*>(s), p);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(s.GetAllocLength(), 11);
    s.UnlockBuffer();
    EXPECT_EQ(P8::refs(s), 1);
    S8 nil;
    nil.LockBuffer();
    EXPECT_TRUE(P8::isNil(nil));
    nil.UnlockBuffer();
    EXPECT_EQ(P8::refs(nil), -1);
}

TEST(StringSharing, BlocksReturnToTheHeapWithTheirLastOwner) {
    const size_t before = zel_mem::heapStatistics().inUseBytes;
    {
        S8 a("a text long enough to notice");
        S8 b = a;
        S16 wide(w(u"wide"));
        S8 locked("x");
        locked.LockBuffer();  // a locked block is freed by its only owner
        EXPECT_GT(zel_mem::heapStatistics().inUseBytes, before);
    }
    EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before);
}

TEST(StringBuffer, GetBufferReleaseBufferAndFreeExtra) {
    S8 s("abc");
    S8 shared(s);
    char* p = s.GetBuffer(10);
    EXPECT_EQ(s.GetAllocLength(), 10);
    EXPECT_EQ(P8::refs(shared), 1);
    std::strcpy(p, "abcdefg");
    s.ReleaseBuffer();
    s.ReleaseBuffer(2);
    EXPECT_EQ(str(s), "ab");
    EXPECT_EQ(s.GetBuffer(5), static_cast<const char*>(s));  // fits and unshared: same block
    s.FreeExtra();
    EXPECT_EQ(s.GetAllocLength(), 2);
    char* q = s.GetBufferSetLength(4);
    EXPECT_EQ(s.GetLength(), 4);
    EXPECT_EQ(q[4], '\0');
    S8 z("zz");
    z.ReleaseBuffer(0);
    EXPECT_FALSE(P8::isNil(z));  // a block of length 0 may exist
    EXPECT_EQ(z.GetAllocLength(), 2);
    EXPECT_TRUE(z.IsEmpty());
}

TEST(StringSharing, ConcurrentCopiesKeepTheCountExact) {
    S8 shared("shared between threads");
    auto work = [&shared] {
        for (int i = 0; i < 20000; ++i) {
            S8 local(shared);
            S8 other;
            other = local;
        }
    };
    std::thread t1(work), t2(work), t3(work);
    t1.join();
    t2.join();
    t3.join();
    EXPECT_EQ(P8::refs(shared), 1);
}

TEST(StringMemory, BlocksBeyondTheHeapLimitThrowTheMemoryException) {
    S16 s(w(u"kept"));
    EXPECT_THROW(s.GetBuffer(INT_MAX), CMemoryException);  // 4 GiB of 16-bit units
    EXPECT_EQ(u16(s), u"kept");
    EXPECT_THROW(S16(static_cast<unsigned short>('x'), INT_MAX), CMemoryException);
}

}  // namespace
