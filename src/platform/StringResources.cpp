#include "velmorutils/platform/StringResources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

struct Registry {
    std::mutex mutex;
    std::map<unsigned int, std::string> texts;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

namespace zel_platform {

void RegisterStringResource(unsigned int id, const char* text) {
    if (text == nullptr) {
        UnregisterStringResource(id);
        return;
    }
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.texts[id] = text;
}

void UnregisterStringResource(unsigned int id) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.texts.erase(id);
}

int LoadStringA(unsigned int id, char* buffer, int capacity) {
    if (buffer == nullptr || capacity < 1) return 0;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.texts.find(id);
    if (it == r.texts.end()) {
        buffer[0] = '\0';
        return 0;
    }
    const size_t n = std::min(it->second.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, it->second.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

}  // namespace zel_platform
