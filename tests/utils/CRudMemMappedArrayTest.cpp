#include "velmorutils/utils/CRudMemMappedArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SharedLogRedirect.h"
#include "support/FilesScratch.h"
#include "velmorutils/platform/CFileStream.h"
#include "velmorutils/platform/CMemoryStream.h"

using zel_platform::CFileStream;
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
    EXPECT_FALSE(std::filesystem::exists(firstFile));
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

// The count leads, little-endian, then the bytes; the file is larger than one view.
TEST(CRudMemMappedArray, StreamRoundTripThroughAFileRestoresBytesAndSize) {
    RedirectSharedLog("mm_file_stream_log", -1);
    const std::string dir = TestFolder("mm_file_stream");
    constexpr int kSize = 3 * kMiB + 5;
    const std::string path = dir + "\\array.bin";
    {
        CRudMemMappedArray source(dir.c_str(), kSize);
        Fill(source, kSize);
        CFileStream out(path.c_str(), CFileStream::Mode::kCreate);
        ASSERT_EQ(0, source.WriteToStream(&out));
    }
    const std::string bytes = ReadWholeFile(dir + "/array.bin");
    ASSERT_EQ(4u + kSize, bytes.size());
    EXPECT_EQ(std::string("\x05\x00\x30\x00", 4), bytes.substr(0, 4));
    CFileStream in(path.c_str(), CFileStream::Mode::kRead);
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

TEST(Streams, MemoryStreamReadsBackWhatWasWrittenAndReportsShortReads) {
    CMemoryStream stream;
    unsigned long done = 99;
    EXPECT_EQ(0, stream.Write("abcdef", 6, &done));
    EXPECT_EQ(6u, done);
    stream.Rewind();
    EXPECT_EQ(0, stream.Write("XY", 2, nullptr));  // overwrites at the position
    stream.Rewind();
    char buffer[8] = {};
    EXPECT_EQ(0, stream.Read(buffer, 4, &done));
    EXPECT_EQ("XYcd", std::string(buffer, 4));
    EXPECT_EQ(zel_platform::kStreamReadFault, stream.Read(buffer, 4, &done));
    EXPECT_EQ(2u, done);
    EXPECT_EQ("ef", std::string(buffer, 2));
    EXPECT_EQ(zel_platform::kStreamInvalid, stream.Read(nullptr, 1, &done));
}

TEST(Streams, FileStreamWritesAppendsAndReads) {
    const std::string dir = TestFolder("file_stream");
    const std::string path = dir + "\\data.bin";
    {
        CFileStream out(path.c_str(), CFileStream::Mode::kCreate);
        ASSERT_TRUE(out.IsOpen());
        EXPECT_EQ(0, out.Write("12345", 5, nullptr));
    }
    {
        CFileStream more(path.c_str(), CFileStream::Mode::kAppend);
        EXPECT_EQ(0, more.Write("67", 2, nullptr));
    }
    EXPECT_EQ("1234567", ReadWholeFile(dir + "/data.bin"));
    CFileStream in(path.c_str(), CFileStream::Mode::kRead);
    char buffer[10] = {};
    unsigned long done = 0;
    EXPECT_EQ(zel_platform::kStreamReadFault, in.Read(buffer, 10, &done));
    EXPECT_EQ(7u, done);
    in.Close();
    EXPECT_EQ(zel_platform::kStreamInvalid, in.Read(buffer, 1, &done));

    CFileStream missing((dir + "/none/x.bin").c_str(), CFileStream::Mode::kCreate);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(zel_platform::kStreamInvalid, missing.Write("a", 1, nullptr));
    CFileStream full("/dev/full", CFileStream::Mode::kCreate);
    // Buffered: the failure may show at the write or only at the flush, never as success of all.
    std::string block(1 << 16, 'z');
    EXPECT_EQ(zel_platform::kStreamWriteFault, full.Write(block.data(), block.size(), nullptr));
}
