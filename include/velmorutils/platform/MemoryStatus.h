#pragma once

#include "velmorutils/platform/Export.h"

namespace zel_platform {

struct MemoryStatus {
    unsigned long availPhys;     // physical memory the system can still give, in bytes
    unsigned long availVirtual;  // address space this process can still reserve, in bytes
};

// The system's memory status; false (and zeros) when it cannot be read.
VELMORUTILS_API bool GetMemoryStatus(MemoryStatus& status);

}  // namespace zel_platform
