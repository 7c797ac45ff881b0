#pragma once

#include <string>

#include "TestFiles.h"
#include "velmorutils/utils/AppDirs.h"
#include "velmorutils/utils/Logging.h"

// The application folder of the tests: a scratch folder, so that the process log (named after
// the program) and the settings files land there. Set before the first use of the log.
inline std::string UseTestAppFolder() {
    static const std::string folder = TestFolder("app");
    SetAppDir(folder.c_str());
    return folder;
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
