#pragma once

#include <gtest/gtest.h>

#include <string>

// Whether `text` holds `part`; a failure shows the whole text.
inline ::testing::AssertionResult Says(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no '" << part << "' in:\n" << text;
}
