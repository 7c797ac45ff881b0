#pragma once

#include <optional>
#include <string>
#include <vector>

namespace road {

// A measured point as the field software wrote it, coordinates in the file's unit.
struct MeasuredPoint {
    std::string name;  // P; without a P column, the line number
    double north = 0.0;
    double east = 0.0;
    double height = 0.0;
    bool hasHeight = false;
    std::string code;          // D, passed through untouched
    std::string station;       // S, the station the point carries, as typed
    bool hasChainage = false;  // the station S read against the design
    double chainageM = 0.0;    // its running chainage, metres
    int line = 0;
};

// The order of fields on a line, as letters: P name, N northing, E easting, Z height,
// D code, S station (as the design writes it, e.g. 1+020.00). N and E are required, each letter
// at most once. Z, D and S may be missing or empty on a line; when D is the last column,
// everything after the earlier fields is the code (so a code may contain the delimiter).
struct ColumnLayout {
    std::string letters = "PNEZD";
};
// Nullopt with a message when the letters are not a layout.
std::optional<ColumnLayout> parseColumns(const std::string& letters, std::string& error);

// A line that is not a point: its number (from 1), its text and why.
struct BadLine {
    int line = 0;
    std::string text;
    std::string reason;
};

struct PointFile {
    char delimiter = ',';    // ',', ';', '\t', or ' ' for runs of spaces and tabs
    int headerLine = 0;      // the header row skipped, 0 when there was none
    std::string headerText;  // its text
    std::vector<MeasuredPoint> points;
    std::vector<BadLine> bad;  // every line that is neither blank, nor the header, nor a point
};

// What a point may be: coordinates within 100 000 km of the origin (any projection's false
// origin fits), heights within 100 km, in the file's unit. Beyond them a value is a typing
// or export error, never a place on a road.
inline constexpr double kMaxAbsCoordinate = 1e8;
inline constexpr double kMaxAbsHeight = 1e5;

// The delimiter used by most of the first lines: tab, semicolon, comma, else runs of spaces.
char detectDelimiter(const std::string& text);

// Reads every line. The first non-blank line is a header only when its northing and easting
// fields are both not numbers; any other line that does not read is a bad line, and the
// points around it are still read. Fields may be quoted; with a delimiter other than the
// comma a decimal comma is accepted.
PointFile readPointFile(const std::string& text, const ColumnLayout& layout);

}  // namespace road
