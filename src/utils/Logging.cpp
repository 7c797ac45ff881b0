#include "velmorutils/utils/Logging.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>

#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/platform/TickCount.h"
#include "velmorutils/text/CZelStringT.h"
#include "velmorutils/utils/AppStrPaths.h"
#include "velmorutils/utils/CINIFile.h"
#include "velmorutils/utils/FileFuncs.h"

namespace {

constexpr long kSharedMode = 1;     // a named file, truncated at every start
constexpr long kSharedFormat = 14;  // message number, seconds since start, level
constexpr long kSharedLevel = 3;

// The shared log lives in storage that is never released: at process exit it is stopped, but a
// report from another static object's destructor after that still finds a valid, stopped log
// and is dropped.
alignas(CLogFile) unsigned char g_sharedStorage[sizeof(CLogFile)];
bool g_exiting = false;

struct StopAtExit {
    ~StopAtExit() {
        g_exiting = true;
        GetProcessLog().Stop();
    }
};

// Process-wide. Atomic only so that a first message from two threads at once is no data race;
// the start itself is not serialised beyond the log's own lock.
std::atomic<bool> g_initialised{false};

// A log beside the program, named like it: only the last component of the path loses its
// extension. Cutting at the last dot anywhere would let a dot in a folder name
// ("/opt/velmor-1.2/bin", a temporary folder "tmp.AbC123") move the log up into another folder,
// where every program below that folder would share it. A leading dot (".velmor") names a hidden
// folder and is no extension.
zel_text::CZelStringT<char> LogBesideProgram(const zel_text::CZelStringT<char>& appPath) {
    const int nameStart = FileFuncs::GetFileNameStart(appPath);
    const int dot = appPath.ReverseFind('.');
    const int end = dot > nameStart ? dot : appPath.GetLength();
    return appPath.Left(end) + ".log";
}

zel_text::CZelStringT<char> SharedLogFileName() {
    const zel_text::CZelStringT<char> appPath = AppStrPaths::GetApplicationPath();
    const zel_text::CZelStringT<char> name =
        appPath.IsEmpty() ? AppStrPaths::GetLogFilePath() + "\\zel.log" : LogBesideProgram(appPath);
    return name.Left(CLogFile::kMaxFileName);
}

}  // namespace

CLogFile& GetProcessLog() {
    static CLogFile* const log = [] {
        CLogFile* created = ::new (static_cast<void*>(g_sharedStorage)) CLogFile;
        static StopAtExit stopper;
        return created;
    }();
    return *log;
}

void InitLogging() {
    if (g_exiting) return;
    CLogFile& log = GetProcessLog();
    const long started = log.Start(SharedLogFileName(), kSharedMode, kSharedFormat, kSharedLevel);

    CINIFile debugIni;
    if (debugIni.LoadIni("debug.ini")) {
        log.SetLevel(debugIni.GetIntValue("Options", "ErrorLevel", 0));
    }
    if (started == 0) {
        g_initialised = true;
        LOGMESSAGE("Program started.", 1);
    }
}

void FinishLogging() {
    if (!g_initialised) return;
    LOGMESSAGE("Program finished.", 1);
    GetProcessLog().Stop();
}

long LOGMESSAGE(const char* text, long level) {
    if (!g_initialised) InitLogging();
    return GetProcessLog().LogMessage(text, level);
}

long LOGMESSAGE(long level, const char* fmt, ...) {
    // Each call formats into its own buffer, so formatted calls from several threads do not
    // overwrite each other's text.
    char buffer[CLogFile::kBufferSize];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt ? fmt : "", args);
    va_end(args);
    return LOGMESSAGE(buffer, level);
}

void QUICKLOG(const char* fmt, ...) {
    // Never released, so that a late call during process exit still finds it.
    static std::string& path = *new std::string;
    static bool started = false;
    static std::uint32_t startTicks = 0;
    if (!started) {
        // The quick log of an earlier run is removed once, by the first call of the process.
        path = zel_platform::toNativePath(AppStrPaths::GetLogFilePath() + "\\quicklog.txt");
        std::remove(path.c_str());
        startTicks = zel_platform::GetTickCount32();
        started = true;
    }
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) return;
    char buffer[CLogFile::kBufferSize];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt ? fmt : "", args);
    va_end(args);
    const std::uint32_t elapsed = zel_platform::GetTickCount32() - startTicks;
    std::fprintf(file, "(%.3lf) - %s\n", elapsed / 1000.0, buffer);
    std::fclose(file);
}
