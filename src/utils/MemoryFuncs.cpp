#include "velmorutils/utils/MemoryFuncs.h"

#include <algorithm>

#include "velmorutils/platform/MemoryStatus.h"
#include "velmorutils/utils/Logging.h"

unsigned long MemoryFuncs::GetFreeSliderMemory() {
    zel_platform::MemoryStatus status{};
    zel_platform::GetMemoryStatus(status);
    // The figures are 64-bit here, so they are printed with the matching length modifier.
    LOGMESSAGE(2, "Virtual memory available: %lu Physical memory available: %lu",
               status.availVirtual, status.availPhys);
    return status.availPhys;
}

unsigned long MemoryFuncs::GetFreeVirtMemory() {
    zel_platform::MemoryStatus status{};
    zel_platform::GetMemoryStatus(status);
    return std::min(status.availVirtual, status.availPhys);
}
