#include "velmorutils/platform/FailureReport.h"

#include <atomic>
#include <cstdio>

#include "velmorutils/platform/DebugOutput.h"

namespace zel_platform {

namespace {

// Until the log is installed (static construction of the library, or a program that never
// links the log), reports go to the debugger channel from a stack buffer.
void ReportToDebugOutput(const char* source, int line) {
    char text[256];
    std::snprintf(text, sizeof text, "*** error in %s, line %d\n", source ? source : "", line);
    OutputDebugText(text);
}

// Constant-initialised, so the hook is usable before any static constructor runs.
constinit std::atomic<FailureReporter> g_reporter{&ReportToDebugOutput};

}  // namespace

FailureReporter SetFailureReporter(FailureReporter reporter) {
    return g_reporter.exchange(reporter ? reporter : &ReportToDebugOutput);
}

void ReportFailure(const char* source, int line) {
    g_reporter.load()(source, line);
}

}  // namespace zel_platform
