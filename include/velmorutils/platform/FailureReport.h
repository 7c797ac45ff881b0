#pragma once

#include "velmorutils/platform/Export.h"

namespace zel_platform {

// Failure reporting for the layers below the log (the heap, the containers). They find internal
// inconsistencies (a bad free, an index beyond the end) but cannot call the log, which sits
// above them and allocates on the very heap that may be reporting. They report here instead;
// the utils layer installs the log behind this hook when the library is loaded, so a report
// becomes the log line "*** error in <source>, line <line>" at level 2.
//
// source: the module path of the reporting code ("alloc/DlMalloc"); line: its source line.
using FailureReporter = void (*)(const char* source, int line);

// Installs the receiver of failure reports and returns the previous one. Null restores the
// default receiver, which writes the same line to the debugger output channel without
// allocating. Not synchronised with reports running on other threads beyond the atomic swap.
VELMORUTILS_API FailureReporter SetFailureReporter(FailureReporter reporter);

// Hands a report to the installed receiver and returns; nothing aborts. The hook itself takes
// no memory: only what the installed receiver does may allocate.
VELMORUTILS_API void ReportFailure(const char* source, int line);

}  // namespace zel_platform
