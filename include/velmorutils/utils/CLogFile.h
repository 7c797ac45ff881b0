#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>

#include "velmorutils/platform/Export.h"

// A text log: every message becomes one line with optional number, elapsed-time, level and
// indentation prefixes, filtered by a level threshold, written to a file and/or the debugger's
// output. Every public operation holds the object's own lock, so several threads may log to one
// object; the ...MT members are the unlocked bodies.
//
// Mode bits: 1 file named as given, 2 file without a name (the open fails), 4 file named as given
// plus the local start time "HHmmss", 8 delete the file on Stop if it was new and nothing was
// written, 16 append instead of truncate, 64 also send every line to the debugger's output.
// Format bits, in this order on the line: 8 "%4ld - " message number, 2 "(%.3lf) - " seconds since
// Start, 4 "<%ld> - " level, 256 indentation of 3 x level.
//
// Result codes: 0 done, 1 file not opened, 2 Stop without file/not started, Pause while not
// running, 3 Continue while not paused, 4 Start while started, 5 Start without any output,
// 6 Start with mode 0.
class VELMORUTILS_API CLogFile {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kMaxFileName = 260;

    enum Status : std::int32_t { kStopped = 0, kRunning = 1, kPaused = 2 };

    CLogFile();
    // A copy gets its own handle on the same file (reopened for appending), so that each object
    // closes only what it opened. Each object keeps its own lock.
    CLogFile(const CLogFile& other);
    ~CLogFile();
    CLogFile& operator=(const CLogFile& other);

    long Start(const char* name, long mode, long format, long level);
    long Start(long mode, long format, long level);
    long LogMessage(const char* text, long level);
    long LogMessage(long level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    long Stop();
    long Pause();
    long Continue();

    void SetLevel(long level);
    long GetMode() const;
    long GetLevel() const;
    long GetStatus() const;
    const char* GetFilename() const;

protected:
    long StartMT(const char* name, long mode, long format, long level);
    long LogMessageMT(const char* text, long level);
    long StopMT();

private:
    void CopyFieldsFrom(const CLogFile& other);
    void CloseWithoutDeleting();
    void BuildLine(const char* text, long level);

    std::FILE* m_file;
    std::int32_t m_format;
    std::int32_t m_level;
    std::int32_t m_status;
    std::int32_t m_mode;
    std::int32_t m_count;
    std::uint32_t m_startTicks;
    char m_fileName[kMaxFileName + 1];
    bool m_wasEmpty;
    bool m_toFile;
    char m_line[kBufferSize];
    char m_message[kBufferSize];
    char m_prefix[kBufferSize];
    char m_debug[kBufferSize];
    mutable std::recursive_mutex m_lock;
};
