#pragma once

#include <functional>
#include <string>

#include "Units.h"

namespace road {

// The station text of a running chainage in metres with no station equations, 1000 m stations
// and 2 decimals ("1+234.57"): what a table shows unless its maker gives the design's own.
std::string standardStationText(double chainageM);

// How a table speaks: its linear unit, its angles, text for people or CSV for machines, and
// the station text of the design (running chainage in metres in, the station as the design
// writes it out).
struct TableStyle {
    Unit unit = Unit::Metre;
    AngleStyle angles = AngleStyle::Dms;
    bool csv = false;
    std::function<std::string(double chainageM)> station = standardStationText;

    // A length in metres as text in the table's unit with the given decimals.
    std::string length(double metres, int decimals) const;
    // The same appended to a line.
    void appendLength(std::string& out, double metres, int decimals) const;
    // An azimuth or direction in degrees: DMS text for people; in CSV decimal degrees (or gon),
    // since DMS is not a number.
    std::string angle(double degrees) const;
    // The same appended to a line.
    void appendAngle(std::string& out, double degrees) const;
    // Column headings naming the unit: "offset [usft]" in text, "offset_usft" in CSV.
    std::string heading(const std::string& name) const;
    std::string angleHeading(const std::string& name) const;
};

// Cut or fill as a crew reads it out, from metres in the table's unit: "C 0.250" where the
// value is positive (above the design), "F 0.100" where negative, and "0.000" where it rounds
// to zero at the decimals shown.
std::string cutFillText(const TableStyle& style, double metres, int decimals);

// Fixed-point text that never shows a negative zero: -0.0004 at 3 decimals is "0.000".
std::string fixed(double value, int decimals);
// The same appended to a line.
void appendFixed(std::string& out, double value, int decimals);

// A number as people write a bound: up to `significant` digits, no exponent, no trailing zeros
// ("0.001", "100000", "0.00328083", "328083").
std::string plainNumber(double value, int significant = 6);

// Pads text on the right to a width in characters (UTF-8 aware, so a degree sign counts once).
std::string padRight(const std::string& text, size_t width);

// "1 element", "2 elements".
std::string counted(long long n, const std::string& one, const std::string& many);

// Degrees-minutes-seconds of an angle in [0, 360), with a UTF-8 degree sign.
std::string dmsText(double degrees);

}  // namespace road
