#include "velmorutils/utils/CRudMemMappedArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SharedLogRedirect.h"
#include "TestFiles.h"
#include "velmorutils/platform/CFileStream.h"
#include "velmorutils/platform/CMemoryStream.h"

using zel_platform::CMemoryStream;

namespace {

constexpr int kMiB = 1 << 20;

char Pattern(int i) {
    return static_cast<char>((i * 31) ^ (i >> 16));
}

// A stream whose writes fail from the given call on.
class FailingStream : public IStream {
public:
    explicit FailingStream(int goodWrites) : m_goodWrites(goodWrites) {}
    long Read(void*, unsigned long, unsigned long*) override { return -3; }
    long Write(const void*, unsigned long, unsigned long*) override {
        return m_goodWrites-- > 0 ? 0 : -5;
    }

private:
    int m_goodWrites;
};

void Fill(CRudMemMappedArray& array, int size) {
    for (int i = 0; i < size; ++i)
        array[i] = Pattern(i);
    array.SetSize(size);
}

bool HoldsPattern(CRudMemMappedArray& array, int size) {
    for (int i = 0; i < size; ++i) {
        if (array[i] != Pattern(i)) return false;
    }
    return array.GetSize() == size;
}

}  // namespace

TEST(CRudMemMappedArray, TemporaryFilesAreNumberedAcrossFoldersAndRemovedWithTheArray) {
    const std::string a = TestFolder("mm_names_a");
    const std::string b = TestFolder("mm_names_b");
    const int before = CRudMemMappedData::m_file_count;
    std::string firstFile;
    {
        CRudMemMappedArray first(a.c_str(), 1000);
        CRudMemMappedArray second(b.c_str(), 10);
        EXPECT_EQ(a + "\\_tmp_file_.tmp" + std::to_string(before + 1) + ".tmp",
                  std::string(first.GetData().GetFileName()));
        EXPECT_EQ(b + "\\_tmp_file_.tmp" + std::to_string(before + 2) + ".tmp",
                  std::string(second.GetData().GetFileName()));
        firstFile = Native(first.GetData().GetFileName().GetString());
        EXPECT_EQ(1000u, std::filesystem::file_size(firstFile));
    }
    EXPECT_FALSE(FileExists(firstFile));
}

TEST(CRudMemMappedArray, SequentialAccessOverFiveMiBSlidesTheViewAndKeepsEveryByte) {
    const std::string dir = TestFolder("mm_slide");
    constexpr int kCapacity = 5 * kMiB + 123;
    CRudMemMappedArray array(dir.c_str(), kCapacity);
    const CRudMemMappedData& data = array.GetData();
    ASSERT_TRUE(data.IsReady());
    for (int i = 0; i < kCapacity; ++i) {
        array[i] = Pattern(i);
        if (data.GetViewStart() != (i / kMiB) * kMiB) FAIL() << "view for offset " << i;
    }
    EXPECT_EQ(6 * kMiB - 1, data.GetViewLimit());
    // Backwards, one step at a time; the last view reaches the end, so it stays for its whole MiB.
    for (int i = kCapacity - 1; i >= 0; --i) {
        if (array[i] != Pattern(i)) FAIL() << "byte " << i;
        if (data.GetViewStart() != std::min(i / kMiB, 5) * kMiB) FAIL() << "back at " << i;
    }
    // The bytes are in the file itself.
    const std::string bytes = ReadWholeFile(Native(data.GetFileName().GetString()));
    ASSERT_EQ(static_cast<size_t>(kCapacity), bytes.size());
    for (int i = 0; i < kCapacity; i += 4093)
        EXPECT_EQ(Pattern(i), bytes[i]) << i;
}

TEST(CRudMemMappedArray, StreamRoundTripRestoresBytesAndSize) {
    RedirectSharedLog("mm_stream_log", -1);
    const std::string dir = TestFolder("mm_stream");
    constexpr int kSize = 300000;
    CRudMemMappedArray source(dir.c_str(), kSize);
    Fill(source, kSize);
    CMemoryStream stream;
    ASSERT_EQ(0, source.WriteToStream(&stream));
    const auto& raw = stream.GetData();
    ASSERT_EQ(4u + kSize, raw.size());
    EXPECT_EQ((std::vector<unsigned char>{0xE0, 0x93, 0x04, 0x00}),
              std::vector<unsigned char>(raw.begin(), raw.begin() + 4));
    stream.Rewind();
    CRudMemMappedArray target(dir.c_str(), kSize);
    ASSERT_EQ(0, target.ReadFromStream(&stream));
    EXPECT_TRUE(HoldsPattern(target, kSize));
}

TEST(CRudMemMappedArray, FileStreamCarriesAnArrayLargerThanTheView) {
    RedirectSharedLog("mm_file_stream_log", -1);
    const std::string dir = TestFolder("mm_file_stream");
    constexpr int kSize = 3 * kMiB + 5;
    const std::string path = dir + "\\array.bin";
    {
        CRudMemMappedArray source(dir.c_str(), kSize);
        Fill(source, kSize);
        zel_platform::CFileStream out(path.c_str(), zel_platform::CFileStream::Mode::kCreate);
        ASSERT_EQ(0, source.WriteToStream(&out));
    }
    EXPECT_EQ(4u + kSize, std::filesystem::file_size(dir + "/array.bin"));
    zel_platform::CFileStream in(path.c_str(), zel_platform::CFileStream::Mode::kRead);
    CRudMemMappedArray target(dir.c_str(), kSize + 100);
    ASSERT_EQ(0, target.ReadFromStream(&in));
    EXPECT_TRUE(HoldsPattern(target, kSize));
}

TEST(CRudMemMappedArray, StreamFailuresAreReturnedAndTheCapacityIsALimit) {
    RedirectSharedLog("mm_fail_log", -1);
    const std::string dir = TestFolder("mm_fail");
    CRudMemMappedArray array(dir.c_str(), 200000);
    array.SetSize(200000);
    FailingStream countOnly(1);
    EXPECT_EQ(-5, array.WriteToStream(&countOnly));
    array.SetSize(200001);
    CMemoryStream unused;
    EXPECT_EQ(zel_platform::kStreamTooLarge, array.WriteToStream(&unused));

    // A count beyond the capacity is refused; a truncated stream fails.
    CRudMemMappedArray big(dir.c_str(), 300000);
    big.SetSize(300000);
    CMemoryStream written;
    ASSERT_EQ(0, big.WriteToStream(&written));
    written.Rewind();
    EXPECT_EQ(zel_platform::kStreamTooLarge, array.ReadFromStream(&written));
    EXPECT_EQ(0, array.GetSize());
    written.GetData().resize(1000);
    written.Rewind();
    CRudMemMappedArray roomy(dir.c_str(), 300000);
    EXPECT_EQ(zel_platform::kStreamReadFault, roomy.ReadFromStream(&written));
}
