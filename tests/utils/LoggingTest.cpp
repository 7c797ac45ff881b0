#include "velmorutils/utils/Logging.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FixedClock.h"
#include "SharedLogRedirect.h"
#include "support/FilesScratch.h"
#include "velmorutils/utils/AppStrPaths.h"
#include "velmorutils/utils/CErrStackItem.h"
#include "velmorutils/utils/FileFuncs.h"
#include "velmorutils/utils/ReportAssertion.h"

using Lines = std::vector<std::string>;

namespace {

// Runs the body with the current directory set to folder.
template <class Body>
void InFolder(const std::string& folder, Body body) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    body();
    std::filesystem::current_path(previous);
}

}  // namespace

TEST(Logging, AssertionReportsAndFormattedMessagesGoToTheSharedLog) {
    const std::string log = RedirectSharedLog("shared_assert", 3);
    ReportAssertion("zelmath/mathAlnts", 1234);
    LOGMESSAGE(1, "Alignment %s has %d elements", "CL1", 7);
    LOGMESSAGE("too detailed", 4);
    EXPECT_EQ((Lines{"<2> - *** error in zelmath/mathAlnts, line 1234",
                     "<1> - Alignment CL1 has 7 elements"}),
              ReadLines(log));
}

TEST(Logging, SharedLogIsNamedAfterTheProgramAndFramedByStartAndFinishLines) {
    const std::string folder = TestFolder("shared_start");
    UseTestAppFolder();
    FixedClock clock(5000);
    GetProcessLog().Stop();
    InFolder(folder, [] { InitLogging(); });
    // Beside the program's folder (whose path holds the dot of the test's "Suite.Test" folder),
    // named like it.
    const std::string expected(AppStrPaths::GetApplicationPath() + ".log");
    EXPECT_EQ(expected, GetProcessLog().GetFilename());
    EXPECT_EQ(3, GetProcessLog().GetLevel());
    FixedClock::Set(6250);
    LOGMESSAGE("Job opened", 3);
    FinishLogging();
    EXPECT_EQ(CLogFile::kStopped, GetProcessLog().GetStatus());
    LOGMESSAGE("after the end", 0);
    EXPECT_EQ((Lines{"   1 - (0.000) - <1> - Program started.", "   2 - (1.250) - <3> - Job opened",
                     "   3 - (1.250) - <1> - Program finished."}),
              ReadLines(Native(expected)));
}

// Only the last component of the program's path loses an extension: a dot in a folder name
// (a versioned install folder, a temporary folder made by mktemp) never moves the log upwards.
TEST(Logging, SharedLogStaysBesideAProgramWhoseFoldersHoldDots) {
    const std::string root = TestFolder("dotted");
    struct Case {
        const char* program;
        const char* log;
    };
    for (const Case& c : {Case{"/velmor-1.2/bin", "/velmor-1.2/bin.log"},
                          Case{"/tmp.AbC123/p/build/field.exe", "/tmp.AbC123/p/build/field.log"},
                          Case{"/opt/.velmor", "/opt/.velmor.log"}}) {
        const std::string program = root + c.program;
        std::filesystem::create_directories(program);
        SetAppDir(program.c_str());
        GetProcessLog().Stop();
        InitLogging();
        EXPECT_EQ(root + c.log, Native(GetProcessLog().GetFilename())) << c.program;
        EXPECT_TRUE(std::filesystem::exists(root + c.log)) << c.program;
    }
    GetProcessLog().Stop();
    SetAppDir(nullptr);
}

TEST(Logging, DebugIniInTheCurrentFolderSetsTheSharedThreshold) {
    const std::string folder = TestFolder("shared_debug_ini");
    WriteWholeFile(folder + "/debug.ini", "[Options]\r\nErrorLevel=0\r\n");
    UseTestAppFolder();
    FixedClock clock(100);
    GetProcessLog().Stop();
    InFolder(folder, [] {
        InitLogging();
        LOGMESSAGE("kept", 0);
        LOGMESSAGE("dropped", 1);
        LOGMESSAGE("kept too", -2);
    });
    // "Program started." (level 1) is filtered too.
    EXPECT_EQ((Lines{"   1 - (0.000) - <0> - kept", "   2 - (0.000) - <-2> - kept too"}),
              ReadLines(Native(GetProcessLog().GetFilename())));

    // Without the key the threshold is its default 0; without the section as well.
    WriteWholeFile(folder + "/debug.ini", "[Other]\nErrorLevel=5\n");
    GetProcessLog().Stop();
    InFolder(folder, [] { InitLogging(); });
    EXPECT_EQ(0, GetProcessLog().GetLevel());
}

TEST(Logging, QuickLogStartsAfreshInEachProcessAndTimesItsLines) {
    UseTestAppFolder();
    const std::string path = Native(std::string(AppStrPaths::GetLogFilePath() + "\\quicklog.txt"));
    WriteWholeFile(path, "from an earlier run\n");
    FixedClock clock(1000);
    QUICKLOG("Station %d+%06.3f", 12, 345.678);
    FixedClock::Set(3500);
    QUICKLOG("done");
    EXPECT_EQ("(0.000) - Station 12+345.678\n(2.500) - done\n", ReadWholeFile(path));
    std::filesystem::remove(path);
}

TEST(CErrStackItem, FailureInInnermostCallLogsItOnceWithItsCallers) {
    const std::string log = RedirectSharedLog("errstack_pqr");
    {
        CErrStackItem p("survey.cpp", "P", 10);
        { CErrStackItem sibling("survey.cpp", "S", 15); }  // Q chains to P, not to S
        {
            CErrStackItem q("survey.cpp", "Q", 20);
            {
                CErrStackItem r("geometry.cpp", "R", 30);
                r.setCurLine(40);
                EXPECT_FALSE(r = false);
            }
            EXPECT_FALSE(q.get());
            q.set(false);  // already failed: reports nothing more
        }
        EXPECT_FALSE(p);
        p = false;
    }
    EXPECT_EQ((Lines{"<5> - geometry.cpp(40): error in R", "<0> - \t****Call stack****",
                     "<0> - \tQ: survey.cpp(20)", "<0> - \tP: survey.cpp(10)",
                     "<0> - \t******************"}),
              ReadLines(log));
}
