#pragma once

#include <string>

namespace zel_utils_detail {

// Paths are composed with '\' as the application writes them; the OS here wants '/'.
inline std::string ToNativePath(const char* path) {
    std::string native(path ? path : "");
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

}  // namespace zel_utils_detail
