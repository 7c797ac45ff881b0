#pragma once

#include "velmorutils/platform/Export.h"

// Reports an internal inconsistency ("*** error in <source>, line <line>") to the process log at
// level 2 and returns; the caller decides how to go on. Nothing aborts.
VELMORUTILS_API void ReportAssertion(const char* source, int line);
