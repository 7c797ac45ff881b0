#pragma once

#include <gtest/gtest.h>

#include <cmath>

// Both values of a pair (north and east, east and north, length and distance) within tol of the
// expected ones, with the pairs in the message when they are not.
inline ::testing::AssertionResult nearPair(double a, double b, double A, double B,
                                           double tol = 1e-9) {
    if (std::fabs(a - A) <= tol && std::fabs(b - B) <= tol) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a << ", " << b << ") is not (" << A << ", " << B << ")";
}
