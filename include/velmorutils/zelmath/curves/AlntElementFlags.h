#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"

/// How a radius was entered. Any other value (0 included) reads as the radius itself.
enum AlntElementRadiusDisplay : std::int32_t {
    ardRadius = 1,
    ardDegOfChord = 2,  // degree of curve, 100-unit chord definition
    ardDegOfCurve = 3,  // degree of curve, 100-unit arc definition
};

/// How an arc or spiral length was entered. Any other value (0 included) reads as the length.
enum AlntElementLengthDisplay : std::int32_t {
    aldDelta = 1,
    aldLength = 2,
    aldChord = 3,
    aldTangent = 4,
    aldMidOrd = 5,
    aldSpiralParam = 6,
    aldExternal = 7,
};

/// The display kinds a curve object remembers, packed in one 32-bit word so that a value can be
/// shown again as it was typed. Bits 0-3 and 14-31 belong to the caller and are kept as given.
struct VELMORUTILS_API AlntElementFlags {
    std::uint32_t word = 0;

    static constexpr int kRadiusShift = 4;
    static constexpr int kLengthShift = 6;
    static constexpr int kLength2Shift = 9;
    static constexpr int kRadius2Shift = 12;

    ///@{
    /// The whole word.
    std::uint32_t getFlags() const { return word; }
    void setFlags(std::uint32_t flags) { word = flags; }
    ///@}

    /// How the radius (or a spiral's start radius) was entered, bits 4-5.
    AlntElementRadiusDisplay getRadiusDisplay() const {
        return static_cast<AlntElementRadiusDisplay>(field(kRadiusShift, 2));
    }
    /// How the radius was entered, bits 4-5.
    void setRadiusDisplay(AlntElementRadiusDisplay v) { setField(kRadiusShift, 2, v); }
    /// How the length was entered, bits 6-8.
    AlntElementLengthDisplay getLengthDisplay() const {
        return static_cast<AlntElementLengthDisplay>(field(kLengthShift, 3));
    }
    /// How the length was entered, bits 6-8.
    void setLengthDisplay(AlntElementLengthDisplay v) { setField(kLengthShift, 3, v); }
    /// How the second length (an IP's spiral lengths) was entered, bits 9-11.
    AlntElementLengthDisplay getLength2Display() const {
        return static_cast<AlntElementLengthDisplay>(field(kLength2Shift, 3));
    }
    /// How the second length was entered, bits 9-11.
    void setLength2Display(AlntElementLengthDisplay v) { setField(kLength2Shift, 3, v); }
    /// How the second radius (a compound spiral's end radius) was entered, bits 12-13.
    AlntElementRadiusDisplay getRadius2Display() const {
        return static_cast<AlntElementRadiusDisplay>(field(kRadius2Shift, 2));
    }
    /// How the second radius was entered, bits 12-13.
    void setRadius2Display(AlntElementRadiusDisplay v) { setField(kRadius2Shift, 2, v); }

private:
    std::uint32_t field(int shift, int bits) const { return (word >> shift) & ((1u << bits) - 1u); }
    void setField(int shift, int bits, std::int32_t v) {
        const std::uint32_t mask = ((1u << bits) - 1u) << shift;
        word = (word & ~mask) | ((static_cast<std::uint32_t>(v) << shift) & mask);
    }
};
static_assert(sizeof(AlntElementFlags) == 4);
