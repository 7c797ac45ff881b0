#include "velmorutils/utils/AtomicFileWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/utils/CINIFile.h"

namespace {

using Str = zel_text::CZelStringT<char>;

const std::string kPrevious = "[Job]\r\nName=Bridge 12 over the Velmor\r\n\r\n";

// Runs write in a child process whose files may not grow beyond limit bytes, with SIGXFSZ
// ignored so that the write fails with EFBIG as on a full disk instead of killing the child.
// The child's exit code is write's result (1 true, 0 false).
int RunWithFileSizeLimit(rlim_t limit, const std::function<bool()>& write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        ::_exit(write() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int FilesIn(const std::string& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(AtomicFileWriter, AFullFileSystemLeavesThePreviousFileByteForByte) {
    const std::string big(1 << 20, 'x');  // a 1 MB settings value against a 64 KB limit
    const struct {
        const char* name;
        std::function<bool(const std::string&)> write;
    } writers[] = {
        {"WriteFileWhole",
         [&](const std::string& p) { return WriteFileWhole(p.c_str(), big.data(), big.size()); }},
        {"fprintf and Commit",
         [&](const std::string& p) {
             CAtomicFileWriter out(p.c_str());
             std::fputs(big.c_str(), out.File());
             return out.Commit();
         }},
        {"SaveIni",
         [&](const std::string& p) {
             CINIFile ini;
             ini.SetValue("Job", "Notes", Str(big.c_str()));
             return ini.SaveIni(p.c_str());
         }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.name);
        const std::string folder = TestFolder("atomic_full");
        const std::string path = folder + "/road.ini";
        WriteWholeFile(path, kPrevious);
        EXPECT_EQ(RunWithFileSizeLimit(64 * 1024, [&] { return w.write(path); }), 0);
        EXPECT_EQ(ReadWholeFile(path), kPrevious);
        EXPECT_EQ(FilesIn(folder), 1);  // no temporary left behind
        // The same write without the limit succeeds and replaces the file.
        EXPECT_EQ(RunWithFileSizeLimit(RLIM_INFINITY, [&] { return w.write(path); }), 1);
        EXPECT_GT(ReadWholeFile(path).size(), big.size() - 1);
    }
}

TEST(AtomicFileWriter, ReplacesWholeKeepsModeAndFollowsLinks) {
    const std::string folder = TestFolder("atomic_replace");
    const std::string path = folder + "/out.xml";
    WriteWholeFile(path, "old contents that are longer than the new ones");
    ::chmod(path.c_str(), 0640);
    EXPECT_TRUE(WriteFileWhole(path.c_str(), "new", 3));
    EXPECT_EQ(ReadWholeFile(path), "new");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = folder + "/link.xml";
    std::filesystem::create_symlink(path, link);
    EXPECT_TRUE(WriteFileWhole(link.c_str(), "via link", 8));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(path), "via link");

    // Without Commit nothing changes, and the temporary goes with the writer.
    {
        CAtomicFileWriter out(path.c_str());
        EXPECT_TRUE(out.Write(std::string("abandoned")));
    }
    EXPECT_EQ(ReadWholeFile(path), "via link");
    EXPECT_EQ(FilesIn(folder), 2);
}

TEST(AtomicFileWriter, FailuresNameTheFileAndTouchNothing) {
    const std::string folder = TestFolder("atomic_fail");
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {{folder, "is a directory"},
                 {folder + "/no/such/folder/out.svg", "No such file or directory"},
                 {"", "no file name"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CAtomicFileWriter out(c.path.c_str());
        EXPECT_FALSE(out.IsOpen());
        EXPECT_FALSE(out.Write(std::string("x")));
        EXPECT_FALSE(out.Commit());
        EXPECT_NE(out.ErrorText().find(c.reason), std::string::npos) << out.ErrorText();
        if (!c.path.empty()) {
            EXPECT_NE(out.ErrorText().find(folder), std::string::npos);
        }
    }
    EXPECT_EQ(FilesIn(folder), 0);
    // Devices are written in place: /dev/null takes anything, /dev/full fails at the flush.
    EXPECT_TRUE(WriteFileWhole("/dev/null", "x", 1));
    std::string error;
    EXPECT_FALSE(WriteFileWhole("/dev/full", "x", 1, &error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos);
}

// A named pipe another program reads is written into, never replaced by a file of its name.
TEST(AtomicFileWriter, AFifoIsWrittenNotReplaced) {
    const std::string folder = TestFolder("atomic_fifo");
    const std::string path = folder + "/to-logger";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // The reading end is open first, so that the write end opens at once.
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(WriteFileWhole(path.c_str(), "0+020.00", 8));
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 8);
    EXPECT_STREQ(got, "0+020.00");
    ::close(reader);
    EXPECT_TRUE(std::filesystem::is_fifo(path));
    EXPECT_EQ(FilesIn(folder), 1);
}

}  // namespace
