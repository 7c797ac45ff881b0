#pragma once

#include <string>

#include "TestFiles.h"
#include "velmorutils/utils/Logging.h"

// Points the process log at a fresh file of the test (level prefix only, so lines read
// "<level> - text") and returns its path. The log has been started once before, so later
// messages do not start it again.
inline std::string RedirectSharedLog(const std::string& test, long threshold = 5) {
    InitLogging();
    GetProcessLog().Stop();
    const std::string path = TestFolder(test) + "/shared.log";
    GetProcessLog().Start(path.c_str(), 1, 4, threshold);
    return path;
}
