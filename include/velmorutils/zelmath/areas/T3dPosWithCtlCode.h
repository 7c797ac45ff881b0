#pragma once

#include <cstdint>

#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/areas/TCtlCodeEnum.h"

/// A measured point of a coded line: northing, easting and height, each valid or not, with up
/// to two control codes.
struct T3dPosWithCtlCode {
    static constexpr std::uint32_t kNorthValid = 1u;
    static constexpr std::uint32_t kEastValid = 2u;
    static constexpr std::uint32_t kHeightValid = 4u;
    static constexpr std::uint32_t kPlanValid = kNorthValid | kEastValid;
    static constexpr std::uint32_t kAllValid = kPlanValid | kHeightValid;

    TCtlCodeEnum code1 = ccNone;
    TCtlCodeEnum code2 = ccNone;
    double coords[3] = {0.0, 0.0, 0.0};  ///< northing, easting, height
    std::uint32_t mask = kAllValid;

    constexpr T3dPosWithCtlCode() = default;
    /// Northing, easting and height in metres, all valid.
    constexpr T3dPosWithCtlCode(double n, double e, double h) : coords{n, e, h} {}
    /// A plan position only: no height.
    constexpr explicit T3dPosWithCtlCode(const C2dPos& p) { set(p); }

    ///@{
    /// Index 0 northing, 1 easting, 2 height; any other index reads 0.0 and writes the northing.
    constexpr double get(int i) const { return i >= 0 && i < 3 ? coords[i] : 0.0; }
    /// Index 0 northing, 1 easting, 2 height (metres); any other index writes the northing.
    constexpr void set(int i, double v) { coords[i >= 0 && i < 3 ? i : 0] = v; }
    constexpr double operator[](int i) const { return get(i); }
    ///@}

    /// All three coordinates (metres), all valid.
    constexpr void set(double n, double e, double h) {
        coords[0] = n;
        coords[1] = e;
        coords[2] = h;
        mask = kAllValid;
    }
    /// A plan position only (metres): the height becomes 0 and invalid.
    constexpr void set(const C2dPos& p) {
        coords[0] = p.north;
        coords[1] = p.east;
        coords[2] = 0.0;
        mask = kPlanValid;
    }

    ///@{
    /// Northing, easting and height in metres, and the plan position.
    constexpr double north() const { return coords[0]; }
    constexpr double east() const { return coords[1]; }
    constexpr double height() const { return coords[2]; }
    constexpr C2dPos getPos() const { return {coords[0], coords[1]}; }
    ///@}

    ///@{
    /// Whether the plan position and the height are valid.
    constexpr bool hasPlanPos() const { return (mask & kPlanValid) == kPlanValid; }
    constexpr bool hasHeight() const { return (mask & kHeightValid) != 0; }
    ///@}

    /// Fills the first empty slot; a third code has nowhere to go and is dropped.
    constexpr void addCtlCode(TCtlCodeEnum code) {
        if (code1 == ccNone) {
            code1 = code;
        } else if (code2 == ccNone) {
            code2 = code;
        }
    }
    ///@{
    /// Whether either slot holds code; clearCtlCodes() empties both.
    constexpr bool hasCtlCode(TCtlCodeEnum code) const { return code1 == code || code2 == code; }
    constexpr void clearCtlCodes() { code1 = code2 = ccNone; }
    ///@}

    constexpr bool operator==(const T3dPosWithCtlCode&) const = default;
};
