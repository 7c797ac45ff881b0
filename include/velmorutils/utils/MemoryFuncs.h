#pragma once

#include "velmorutils/platform/Export.h"

// The device's free memory, for programs that size their work to what is left.
class VELMORUTILS_API MemoryFuncs {
public:
    // Logs "Virtual memory available: ... Physical memory available: ..." (level 2) and returns
    // the available physical memory in bytes.
    static unsigned long GetFreeSliderMemory();
    // The smaller of the available virtual and physical memory, in bytes.
    static unsigned long GetFreeVirtMemory();
};
