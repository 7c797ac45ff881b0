#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "velmorutils/velmorutils.h"

namespace {

bool isAligned8(const void* p) {
    return reinterpret_cast<uintptr_t>(p) % 8 == 0;
}

TEST(DlMalloc, BlocksAreAlignedWritableAndZeroGivesAMinimalBlock) {
    std::vector<void*> blocks;
    for (size_t n : {0u, 1u, 7u, 8u, 13u, 4096u, 300000u}) {
        void* p = dlmalloc(n);
        ASSERT_NE(p, nullptr) << n;
        EXPECT_TRUE(isAligned8(p)) << n;
        std::memset(p, 0xAB, n);
        blocks.push_back(p);
    }
    EXPECT_NE(blocks[0], blocks[1]);  // two live minimal blocks are distinct
    for (void* p : blocks)
        dlfree(p);
    dlfree(nullptr);
}

TEST(DlMalloc, ImpossibleRequestsGiveNull) {
    EXPECT_EQ(dlmalloc(SIZE_MAX), nullptr);
    EXPECT_EQ(dlmalloc(size_t{1} << 32), nullptr);
    EXPECT_EQ(dlmalloc(zel_mem::kMaxHeapRequest + 1), nullptr);
}

TEST(DlCalloc, ZeroFactorsGiveMinimalBlocksAndOverflowGivesNull) {
    void* a = dlcalloc(0, 10);
    void* b = dlcalloc(10, 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    dlfree(a);
    dlfree(b);
    EXPECT_EQ(dlcalloc(65536, 65536), nullptr);  // 4 GiB: beyond the 32-bit limit
    EXPECT_EQ(dlcalloc(SIZE_MAX / 2, 3), nullptr);
    EXPECT_EQ(dlcalloc(3, SIZE_MAX / 2), nullptr);
}

TEST(DlCalloc, ReturnsZeroedMemoryEvenWhenReusingFreedBlocks) {
    for (int round = 0; round < 20; ++round) {
        auto* dirty = static_cast<unsigned char*>(dlmalloc(1000));
        std::memset(dirty, 0xFF, 1000);
        dlfree(dirty);
        auto* p = static_cast<unsigned char*>(dlcalloc(250, 4));
        ASSERT_NE(p, nullptr);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(p[i], 0) << i;
        dlfree(p);
    }
}

TEST(DlRealloc, NullActsAsMallocAndContentsSurviveGrowthAndShrinking) {
    auto* p = static_cast<char*>(dlrealloc(nullptr, 16));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "0123456789abcdef", 16);
    p = static_cast<char*>(dlrealloc(p, 100000));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p, 16), "0123456789abcdef");
    p = static_cast<char*>(dlrealloc(p, 4));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p, 4), "0123");
    // Zero keeps a minimal block rather than freeing and returning null.
    p = static_cast<char*>(dlrealloc(p, 0));
    ASSERT_NE(p, nullptr);
    dlfree(p);
}

TEST(DlRealloc, FailureLeavesTheOldBlockValid) {
    auto* p = static_cast<char*>(dlmalloc(8));
    std::memcpy(p, "survey!", 8);
    EXPECT_EQ(dlrealloc(p, SIZE_MAX - 10), nullptr);
    EXPECT_EQ(dlrealloc(p, zel_mem::kMaxHeapRequest + 1), nullptr);
    EXPECT_STREQ(p, "survey!");
    dlfree(p);
}

TEST(HeapStatistics, AccountingFollowsAllocationsAndRelease) {
    const zel_mem::HeapStatistics before = zel_mem::heapStatistics();
    void* p = dlmalloc(5000);
    const zel_mem::HeapStatistics during = zel_mem::heapStatistics();
    EXPECT_EQ(during.inUseBytes, before.inUseBytes + 5000);
    EXPECT_GE(during.systemBytes, before.systemBytes + 5000);
    EXPECT_GE(during.maxSystemBytes, during.systemBytes);
    p = dlrealloc(p, 100);
    EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before.inUseBytes + 100);
    dlfree(p);
    const zel_mem::HeapStatistics after = zel_mem::heapStatistics();
    EXPECT_EQ(after.inUseBytes, before.inUseBytes);
    EXPECT_EQ(after.systemBytes, before.systemBytes);
    EXPECT_GE(after.maxSystemBytes, during.systemBytes);  // the peak is remembered
}

TEST(HeapStatistics, ReportWritesThreeLinesToStandardError) {
    void* p = dlmalloc(1234);
    const zel_mem::HeapStatistics s = zel_mem::heapStatistics();
    testing::internal::CaptureStderr();
    zel_mem::reportHeapStatistics();
    const std::string out = testing::internal::GetCapturedStderr();
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "max system bytes = %10lu\nsystem bytes     = %10lu\nin use bytes     = %10lu\n",
                  static_cast<unsigned long>(s.maxSystemBytes),
                  static_cast<unsigned long>(s.systemBytes),
                  static_cast<unsigned long>(s.inUseBytes));
    EXPECT_EQ(out, expected);
    dlfree(p);
}

TEST(DlMalloc, ConcurrentThreadsKeepTheAccountingExact) {
    const size_t before = zel_mem::heapStatistics().inUseBytes;
    auto work = [](int seed) {
        std::vector<void*> live;
        for (int i = 0; i < 20000; ++i) {
            const size_t n = static_cast<size_t>((seed * 7919 + i * 31) % 700);
            if (i % 3 == 2 && !live.empty()) {
                dlfree(live.back());
                live.pop_back();
            } else if (i % 5 == 4 && !live.empty()) {
                live.back() = dlrealloc(live.back(), n);
            } else {
                live.push_back(dlmalloc(n));
            }
        }
        for (void* p : live)
            dlfree(p);
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(work, t + 1);
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before);
}

TEST(ZelDlAllocator, VectorStorageComesFromTheLibraryHeap) {
    const size_t before = zel_mem::heapStatistics().inUseBytes;
    {
        std::vector<double, zel_mem::zel_dl_allocator<double>> v;
        v.reserve(100);
        EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before + 100 * sizeof(double));
        for (int i = 0; i < 1000; ++i)
            v.push_back(i * 0.5);
        EXPECT_EQ(v[999], 499.5);
    }
    EXPECT_EQ(zel_mem::heapStatistics().inUseBytes, before);
}

TEST(ZelDlAllocator, MaxSizeKeepsThirtyTwoBitLimits) {
    struct Huge {
        char bytes[size_t{1} << 33];
    };
    EXPECT_EQ(zel_mem::zel_dl_allocator<char>().max_size(), size_t{UINT32_MAX});
    EXPECT_EQ(zel_mem::zel_dl_allocator<double>().max_size(), size_t{UINT32_MAX} / 8);
    EXPECT_EQ(zel_mem::zel_dl_allocator<Huge>().max_size(), 1u);
    EXPECT_TRUE(zel_mem::zel_dl_allocator<int>() == zel_mem::zel_dl_allocator<double>());
}

}  // namespace
