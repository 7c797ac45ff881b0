#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/utils/CLogFile.h"

// The process-wide log. It starts itself on the first LOGMESSAGE: the file lies beside the
// program and is named like it: the program's path with the extension of its last component
// replaced by ".log" ("/opt/velmor-1.2/bin" logs to "/opt/velmor-1.2/bin.log", "C:\\Apps\\Field"
// to "C:\\Apps\\Field.log"; a dot in a folder name is never taken for an extension), or
// "zel.log" in the log folder when the program's path is unknown. It is truncated at every start,
// and its lines carry the message number, the seconds since the start and the level. The threshold
// is 3, or the value "ErrorLevel" of section "Options" of a "debug.ini" in the current directory.

// Starts the shared log. A failed start is retried by the next LOGMESSAGE.
VELMORUTILS_API void InitLogging();
// Writes "Program finished." and stops the shared log; later messages are dropped.
VELMORUTILS_API void FinishLogging();

VELMORUTILS_API long LOGMESSAGE(const char* text, long level);
VELMORUTILS_API long LOGMESSAGE(long level, const char* fmt, ...)
    __attribute__((format(printf, 2, 3)));

// Appends "(seconds) - message" to "quicklog.txt" in the log folder; the file of an earlier run
// is deleted on the first call of a process.
VELMORUTILS_API void QUICKLOG(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The shared log itself, for callers that want to inspect or redirect it.
VELMORUTILS_API CLogFile& GetProcessLog();
