#pragma once

#include "velmorutils/platform/Export.h"

namespace zel_platform {

// The debugger's output channel. Without a debugger service on this platform the text goes to
// standard error unchanged (the caller supplies its own line end).
VELMORUTILS_API void OutputDebugText(const char* text);

}  // namespace zel_platform
