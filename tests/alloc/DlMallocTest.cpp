#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "utils/SharedLogRedirect.h"
#include "velmorutils/velmorutils.h"

namespace {

size_t inUse() {
    return zel_mem::heapStatistics().inUseBytes;
}

TEST(DlMalloc, BlocksAreAlignedWritableZeroGivesAMinimalBlockAndBeyond32BitsNull) {
    std::vector<void*> blocks;
    for (size_t n : {0u, 1u, 13u, 300000u}) {
        void* p = dlmalloc(n);
        ASSERT_NE(p, nullptr) << n;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u) << n;
        std::memset(p, 0xAB, n);
        blocks.push_back(p);
    }
    EXPECT_NE(blocks[0], blocks[1]);  // two live minimal blocks are distinct
    for (void* p : blocks)
        dlfree(p);
    dlfree(nullptr);
    // Requests beyond the 32-bit limit give null.
    EXPECT_EQ(dlmalloc(SIZE_MAX), nullptr);
    EXPECT_EQ(dlmalloc(zel_mem::kMaxHeapRequest + 1), nullptr);
    EXPECT_EQ(dlcalloc(65536, 65536), nullptr);  // 4 GiB
    EXPECT_EQ(dlcalloc(SIZE_MAX / 2, 3), nullptr);
    EXPECT_EQ(dlcalloc(3, SIZE_MAX / 2), nullptr);
    void* zero = dlcalloc(0, 10);
    ASSERT_NE(zero, nullptr);
    dlfree(zero);
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

TEST(DlRealloc, ContentsSurviveAndFailureOrZeroKeepABlock) {
    auto* p = static_cast<char*>(dlrealloc(nullptr, 16));  // null acts as malloc
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "0123456789abcde", 16);
    p = static_cast<char*>(dlrealloc(p, 100000));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "0123456789abcde");
    EXPECT_EQ(dlrealloc(p, SIZE_MAX - 10), nullptr);
    EXPECT_EQ(dlrealloc(p, zel_mem::kMaxHeapRequest + 1), nullptr);
    EXPECT_STREQ(p, "0123456789abcde");  // the old block is still valid
    p = static_cast<char*>(dlrealloc(p, 4));
    EXPECT_EQ(std::string(p, 4), "0123");
    p = static_cast<char*>(dlrealloc(p, 0));  // a minimal block, not a free
    ASSERT_NE(p, nullptr);
    dlfree(p);
}

TEST(HeapStatistics, AccountingFollowsAllocationsAndTheReportPrintsIt) {
    const zel_mem::HeapStatistics before = zel_mem::heapStatistics();
    void* p = dlmalloc(5000);
    const zel_mem::HeapStatistics during = zel_mem::heapStatistics();
    EXPECT_EQ(during.inUseBytes, before.inUseBytes + 5000);
    EXPECT_GE(during.systemBytes, before.systemBytes + 5000);
    p = dlrealloc(p, 100);
    EXPECT_EQ(inUse(), before.inUseBytes + 100);
    char inUseLine[64];
    std::snprintf(inUseLine, sizeof inUseLine, "in use bytes     = %10lu\n",
                  static_cast<unsigned long>(before.inUseBytes + 100));
    testing::internal::CaptureStderr();
    zel_mem::reportHeapStatistics();
    EXPECT_NE(testing::internal::GetCapturedStderr().find(inUseLine), std::string::npos);
    dlfree(p);
    const zel_mem::HeapStatistics after = zel_mem::heapStatistics();
    EXPECT_EQ(after.inUseBytes, before.inUseBytes);
    EXPECT_EQ(after.systemBytes, before.systemBytes);
    EXPECT_GE(after.maxSystemBytes, during.systemBytes);  // the peak is remembered
}

TEST(DlMalloc, ConcurrentThreadsKeepTheAccountingExact) {
    const size_t before = inUse();
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
    EXPECT_EQ(inUse(), before);
}

TEST(ZelDlAllocator, StorageComesFromTheLibraryHeapWithinThirtyTwoBitLimits) {
    const size_t before = inUse();
    {
        std::vector<double, zel_mem::zel_dl_allocator<double>> v;
        v.reserve(100);
        EXPECT_EQ(inUse(), before + 100 * sizeof(double));
    }
    EXPECT_EQ(inUse(), before);
    struct Huge {
        char bytes[size_t{1} << 33];
    };
    EXPECT_EQ(zel_mem::zel_dl_allocator<char>().max_size(), size_t{UINT32_MAX});
    EXPECT_EQ(zel_mem::zel_dl_allocator<double>().max_size(), size_t{UINT32_MAX} / 8);
    EXPECT_EQ(zel_mem::zel_dl_allocator<Huge>().max_size(), 1u);
}

}  // namespace

// The heap sits below the log: a pointer it never handed out is refused and reported through
// the platform hook, which the library points at the log, as the assertion line at level 2.
TEST(DlMalloc, ForeignPointerIsRefusedAndReportedToTheLog) {
    const std::string path = RedirectSharedLog("heap", 3);
    const size_t before = inUse();
    alignas(16) unsigned char foreign[64] = {};
    dlfree(foreign + 32);
    GetProcessLog().Stop();
    EXPECT_EQ(inUse(), before);
    const std::string log = ReadWholeFile(path);
    EXPECT_EQ(log.rfind("<2> - *** error in alloc/DlMalloc, line ", 0), 0u) << log;
}
