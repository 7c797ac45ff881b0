#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"

// The fuzzer's side of FuzzTarget.h.
namespace velmor_fuzz {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "velmor fuzz check failed: %s\n", what);
    std::abort();
}

std::string scratchFolder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmor-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return folder;
}

}  // namespace velmor_fuzz
