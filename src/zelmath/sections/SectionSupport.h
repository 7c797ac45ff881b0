#pragma once

// Helpers shared by the section classes; not part of the public interface.

#include <cctype>
#include <cstdio>
#include <string>

namespace section_support {

// A length or chainage in metres as messages give it: to the millimetre.
inline std::string metresText(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", x);
    return buf;
}

// Section codes compare without regard to case ("ETW", "etw").
inline std::string lowerCase(const std::string& s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace section_support
