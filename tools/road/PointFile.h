#pragma once

#include <cstddef>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Units.h"

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
    bool hasUnit = false;      // the file names its unit (LandXML): coordinates are in `unit`
    Unit unit = Unit::Metre;
    // The coordinate system the file names (LandXML's CoordinateSystem), as PROJ takes it, with
    // its heights' vertical datum; empty when it names none.
    std::string crs, verticalDatum;
};

// What a point may be: coordinates within 100 000 km of the origin (any projection's false
// origin fits), heights within 100 km, in the file's unit. Beyond them a value is a typing
// or export error, never a place on a road.
inline constexpr double kMaxAbsCoordinate = 1e8;
inline constexpr double kMaxAbsHeight = 1e5;

// The delimiter used by most of the first lines: tab, semicolon, comma, else runs of spaces.
char detectDelimiter(const std::string& text);

// The lines of a text, read from a file in chunks (so that a file of any size needs only a
// bounded buffer) or from memory. A line ends at '\n'; a '\r' before it is dropped, and a UTF-8
// byte-order mark before the first line too.
class LineSource {
public:
    // A line longer than this is cut there (the rest is skipped and the line flagged): no point
    // line comes near it, and a file without line ends must not take all memory.
    static constexpr std::size_t kMaxLineLength = 64 * 1024;

    explicit LineSource(std::FILE* file);  // not owned, not closed
    explicit LineSource(std::string_view text);

    // The next line into `line`; false at the end of the text or on a read error.
    bool next(std::string& line, bool& cut);
    bool readFailed() const { return failed_; }
    // What the system said when the read failed.
    const std::string& readError() const { return error_; }
    // Bytes consumed so far, for progress against the file size.
    long long bytesRead() const { return consumed_; }

private:
    bool refill();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    std::string error_;
    bool first_ = true;
    long long consumed_ = 0;
};

// Reads a point file block by block. start() reads the first lines ahead to find the delimiter
// and the header row; readBlock() then gives the points in file order, a block at a time, with
// the bad lines among them, so that a file of millions of points is answered as it is read.
class PointFileReader {
public:
    PointFileReader(LineSource& source, const ColumnLayout& layout);

    // Reads ahead. False with a message naming the line when the text is not plain text: UTF-16
    // or a zero byte within the lines read ahead (any later line with a zero byte is a bad line).
    bool start(std::string& error);
    // Appends up to maxPoints points, and every bad line met on the way, to the vectors (which it
    // does not clear); false when the text had no more lines.
    bool readBlock(std::size_t maxPoints, std::vector<MeasuredPoint>& points,
                   std::vector<BadLine>& bad);

    char delimiter() const { return delimiter_; }
    int headerLine() const { return headerLine_; }
    const std::string& headerText() const { return headerText_; }

private:
    struct Line {
        int number = 0;
        std::string text;
        bool cut = false;
    };
    bool nextLine(Line& line);
    void readLine(const Line& line, std::vector<MeasuredPoint>& points, std::vector<BadLine>& bad);

    LineSource& source_;
    ColumnLayout layout_;
    std::deque<Line> ahead_;
    int lineNo_ = 0;
    char delimiter_ = ',';
    int headerLine_ = 0;
    std::string headerText_;
    bool first_ = true;
    std::vector<std::string> fields_;
};

// Reads every line. The first non-blank line is a header only when its northing and easting
// fields are both not numbers; any other line that does not read is a bad line, and the
// points around it are still read. Fields may be quoted; with a delimiter other than the
// comma a decimal comma is accepted.
// LandXML text (its first character other than white space is '<') is read as CgPoints
// instead, whatever the layout: see readCgPointFile.
PointFile readPointFile(const std::string& text, const ColumnLayout& layout);

// Whether a text is XML rather than delimited lines.
bool looksLikeXml(const std::string& text);
// The CgPoint elements of LandXML text as points in its unit: P the name, N E Z the text, D the
// description (with the code in front where the description does not start with it), so that
// a point reads as it would from a PNEZD file. A CgPoint that is not a point is a bad line; a
// file that is not LandXML with CgPoints is one bad line that says why.
PointFile readCgPointFile(const std::string& text);

}  // namespace road
