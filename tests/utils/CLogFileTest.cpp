#include "velmorutils/utils/CLogFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "FixedClock.h"
#include "support/FilesScratch.h"

namespace {

constexpr long kModeFile = 1;
constexpr long kModeDeleteUnused = 8;
constexpr long kModeAppend = 16;

// Starts a log on path with threshold 3, runs body on it, stops it and returns the file.
template <class Body>
std::string Logged(const std::string& path, long mode, long format, Body body) {
    CLogFile log;
    EXPECT_EQ(0, log.Start(path.c_str(), mode, format, 3));
    body(log);
    EXPECT_EQ(0, log.Stop());
    return ReadWholeFile(path);
}

}  // namespace

// The elapsed time also survives the tick counter wrapping between the two lines.
TEST(CLogFile, PrefixesAppearInNumberTimeLevelIndentOrder) {
    const std::string path = TestFolder("log_prefixes") + "/run.log";
    FixedClock clock(0xFFFFFF00u);
    EXPECT_EQ(Logged(path, kModeFile, 14,
                     [](CLogFile& log) {
                         log.LogMessage("first", 1);
                         FixedClock::Set(2'244);  // 2500 ms later, across the wrap
                         log.LogMessage(3, "%d points, rms %.3f m", 12, 0.0125);
                     }),
              "   1 - (0.000) - <1> - first\n   2 - (2.500) - <3> - 12 points, rms 0.013 m\n");
}

TEST(CLogFile, LevelsAtOrBelowTheThresholdAppendAndDeleteUnused) {
    EXPECT_EQ(Logged(TestFolder("log_levels") + "/a.log", kModeFile, 4,
                     [](CLogFile& log) {
                         log.LogMessage("four", 4);
                         log.LogMessage("three", 3);
                         log.LogMessage("minus one", -1);
                         log.SetLevel(0);
                         log.LogMessage("one", 1);
                         log.LogMessage("zero", 0);
                         log.SetLevel(-1);
                         log.LogMessage("minus five", -5);  // a negative threshold silences all
                     }),
              "<3> - three\n<-1> - minus one\n<0> - zero\n");
    // Append keeps earlier lines; delete-unused removes only a new empty file.
    const std::string path = TestFolder("log_mode8") + "/fresh.log";
    const auto line = [](const char* text, long level) {
        return [=](CLogFile& log) { log.LogMessage(text, level); };
    };
    const long deleteUnused = kModeFile | kModeDeleteUnused;
    Logged(path, deleteUnused, 0,
           [&path](CLogFile&) { EXPECT_TRUE(std::filesystem::exists(path)); });
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ("old\n", Logged(path, deleteUnused, 0, line("old", 0)));
    // Content from before the start keeps the file even when nothing was added.
    EXPECT_EQ("old\n", Logged(path, deleteUnused | kModeAppend, 0, line("filtered", 9)));
    EXPECT_EQ("old\nnew\n", Logged(path, kModeFile | kModeAppend, 0, line("new", 0)));
    EXPECT_EQ("only\n", Logged(path, kModeFile, 0, line("only", 0)));  // truncated
}

TEST(CLogFile, OverlongMessageIsCutToOneBufferedLine) {
    const std::string huge(5000, 'x');
    const std::string file =
        Logged(TestFolder("log_long") + "/l.log", kModeFile, 8, [&huge](CLogFile& log) {
            log.LogMessage(huge.c_str(), 0);
            log.LogMessage(0, "%s", huge.c_str());
            log.LogMessage("after", 0);
        });
    const std::string cut = std::string(CLogFile::kBufferSize - 2 - 7, 'x') + "\n";
    EXPECT_EQ("   1 - " + cut + "   2 - " + cut + "   3 - after\n", file);
}

TEST(CLogFile, ThreadsLoggingAtOnceLoseAndMixNoLines) {
    const std::string path = TestFolder("log_threads") + "/t.log";
    constexpr int kThreads = 8;
    constexpr int kPerThread = 400;
    Logged(path, kModeFile, 8, [](CLogFile& log) {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&log, t] {
                for (int m = 0; m < kPerThread; ++m)
                    log.LogMessage(1, "thread %d message %d %s", t, m, "tail of the line");
            });
        }
        for (auto& th : threads)
            th.join();
    });

    const auto lines = ReadLines(path);
    ASSERT_EQ(static_cast<size_t>(kThreads * kPerThread), lines.size());
    const std::regex shape(R"( *(\d+) - thread (\d+) message (\d+) tail of the line)");
    std::set<std::pair<int, int>> seen;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, shape)) << lines[i];
        EXPECT_EQ(static_cast<int>(i + 1), std::stoi(m[1]));  // numbered in file order
        seen.emplace(std::stoi(m[2]), std::stoi(m[3]));
    }
    EXPECT_EQ(static_cast<size_t>(kThreads * kPerThread), seen.size());
}
