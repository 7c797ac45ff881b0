#pragma once

#include <string>

namespace zel_formats {

// The answer of a validity check: usable, or not with a message that says what is wrong in the
// words a surveyor reads (the door that asked puts its own place in front: a file's line, a
// Python method's name). Converts to true when the value is usable.
struct Verdict {
    bool ok = true;
    std::string message;  // empty when ok

    static Verdict pass() { return {}; }
    static Verdict fail(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace zel_formats
