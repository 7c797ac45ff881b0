#include "velmorutils/platform/DebugOutput.h"

#include <cstdio>

namespace zel_platform {

void OutputDebugText(const char* text) {
    if (!text) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}

}  // namespace zel_platform
