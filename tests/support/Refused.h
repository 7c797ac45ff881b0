#pragma once

#include <gtest/gtest.h>

#include <string>

#include "velmorutils/formats/Verdict.h"

// A verdict that refuses with a message starting with the given text: the part of the message
// that names what is wrong and by how much, without the advice that may follow.
inline ::testing::AssertionResult refused(const zel_formats::Verdict& v, const std::string& start) {
    if (!v.ok && v.message.rfind(start, 0) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (v.ok ? "accepted" : "refused: " + v.message);
}
