#include "velmorutils/platform/MemoryStatus.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace zel_platform {

namespace {

// "MemAvailable" counts reclaimable caches too, which is what a program can still obtain;
// kernels without it fall back to free plus buffer memory.
bool AvailablePhysical(unsigned long& bytes) {
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long kib = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f)) {
            found = std::sscanf(line, "MemAvailable: %lu kB", &kib) == 1;
        }
        std::fclose(f);
        if (found) {
            bytes = kib * 1024UL;
            return true;
        }
    }
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return false;
    bytes = (info.freeram + info.bufferram) * static_cast<unsigned long>(info.mem_unit);
    return true;
}

// The address space still free: the process limit (or the user half of a 48-bit address space
// when unlimited) less what the process has mapped already.
bool AvailableVirtual(unsigned long& bytes) {
    unsigned long limit = 1UL << 47;
    struct rlimit rl {};
    if (getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY && rl.rlim_cur < limit) {
        limit = static_cast<unsigned long>(rl.rlim_cur);
    }
    unsigned long pages = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return false;
    const bool read = std::fscanf(f, "%lu", &pages) == 1;
    std::fclose(f);
    if (!read) return false;
    const unsigned long used = pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE));
    bytes = used < limit ? limit - used : 0;
    return true;
}

}  // namespace

bool GetMemoryStatus(MemoryStatus& status) {
    status = MemoryStatus{0, 0};
    return AvailablePhysical(status.availPhys) && AvailableVirtual(status.availVirtual);
}

}  // namespace zel_platform
