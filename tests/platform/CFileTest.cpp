#include <gtest/gtest.h>

#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/velmorutils.h"

TEST(CFile, ReadsWritesAndSeeksOnOnePosition) {
    FilesScratch dir;
    CFile file;
    ASSERT_TRUE(file.Open(dir.app("data.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_EQ(file.Write("abcdef", 6), 6u);
    EXPECT_EQ(file.GetLength(), 6);
    EXPECT_EQ(file.Seek(-4, CFile::current), 2);
    char buf[8] = {};
    EXPECT_EQ(file.Read(buf, 1), 1u);
    EXPECT_EQ(buf[0], 'c');
    // Stepping back over a byte just read, then writing over it.
    EXPECT_EQ(file.Seek(-1, CFile::current), 2);
    EXPECT_EQ(file.Write("X", 1), 1u);
    EXPECT_EQ(file.GetPosition(), 3);
    EXPECT_EQ(file.Read(buf, 8), 3u);
    EXPECT_EQ(std::string(buf, 3), "def");
    EXPECT_EQ(file.Read(buf, 8), 0u);
    // A move before the start is refused and leaves the position alone.
    EXPECT_EQ(file.Seek(-7, CFile::end), -1);
    EXPECT_EQ(file.GetPosition(), 6);
    EXPECT_EQ(file.Seek(-6, CFile::end), 0);  // back to the very first byte
    EXPECT_EQ(file.Read(buf, 6), 6u);
    EXPECT_EQ(std::string(buf, 6), "abXdef");
    file.Close();
    EXPECT_EQ(file.Read(buf, 1), 0u);
    EXPECT_EQ(file.Seek(0, CFile::begin), -1);

    // Create without truncating keeps what is there.
    ASSERT_TRUE(file.Open(dir.app("data.bin").c_str(),
                          CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 6);
    EXPECT_FALSE(file.Open(dir.app("missing\\none.bin").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.Open("", CFile::modeRead));
}
