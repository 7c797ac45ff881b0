#include "velmorutils/platform/OleStrings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The byte count of a BSTR is 32-bit, so len is limited to what it can express.
constexpr unsigned int kMaxUnits = (UINT32_MAX - 8u) / 2u;

uint32_t* prefixOf(BSTR s) {
    return reinterpret_cast<uint32_t*>(s) - 1;
}

BSTR allocate(unsigned int len) {
    if (len > kMaxUnits) return nullptr;
    auto* raw = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) + (len + 1u) * 2u));
    if (raw == nullptr) return nullptr;
    raw[0] = len * 2u;
    BSTR s = reinterpret_cast<BSTR>(raw + 1);
    s[len] = 0;
    return s;
}

}  // namespace

BSTR SysAllocStringLen(const unsigned short* src, unsigned int len) {
    BSTR s = allocate(len);
    if (s == nullptr) return nullptr;
    if (src != nullptr)
        std::memcpy(s, src, len * 2u);
    else
        std::memset(s, 0, len * 2u);
    return s;
}

int SysReAllocStringLen(BSTR* p, const unsigned short* src, unsigned int len) {
    if (p == nullptr) return 0;
    // A fresh block first, so src may point into the old one.
    BSTR s = SysAllocStringLen(src, len);
    if (s == nullptr) return 0;
    SysFreeString(*p);
    *p = s;
    return 1;
}

void SysFreeString(BSTR s) {
    if (s != nullptr) std::free(prefixOf(s));
}

unsigned int SysStringLen(BSTR s) {
    return s == nullptr ? 0u : *prefixOf(s) / 2u;
}
