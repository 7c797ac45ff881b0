#pragma once

#include <cstdint>

/// Result of evaluating an alignment element at a length along it. Callers treat anything above
/// ecOk as failure; a composite element that gets ecBeyondEnd from its first part retries with
/// its second part, so the order of the values matters.
enum errCodes : std::int32_t {
    ecOk = 0,
    ecBeforeStart = 1,  // the length lies before the element's start
    ecBeyondEnd = 2,    // the length lies beyond the element's end
};
