#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FilesScratch.h"
#include "velmorutils/utils/AppDirs.h"
#include "velmorutils/utils/Logging.h"

// The application folder of the running test: a scratch folder of its own, so that the process
// log (named after the program, beside its folder) and the quick log (inside it) of tests run
// side by side do not meet.
inline std::string UseTestAppFolder() {
    const std::filesystem::path folder = OwnTestRoot() / "app";
    std::filesystem::create_directories(folder);
    SetAppDir(folder.string().c_str());
    return folder.string();
}

// Points the process log at a fresh file of the test (level prefix only, so lines read
// "<level> - text") and returns its path. The log has been started once before, so later
// messages do not start it again.
inline std::string RedirectSharedLog(const std::string& test, long threshold = 5) {
    UseTestAppFolder();
    InitLogging();
    GetProcessLog().Stop();
    const std::string path = TestFolder(test) + "/shared.log";
    GetProcessLog().Start(path.c_str(), 1, 4, threshold);
    return path;
}
