#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "velmorutils/platform/CFileStream.h"
#include "velmorutils/platform/CMemoryStream.h"

using zel_platform::CFileStream;
using zel_platform::CMemoryStream;

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
