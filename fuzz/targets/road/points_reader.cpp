#include <cmath>
#include <string>
#include <vector>

#include "../../FuzzTarget.h"
#include "FileIo.h"
#include "PointFile.h"

// The road tool's points file reader on arbitrary bytes, as the tool reads a file: the text check
// (UTF-16, zero bytes, byte-order mark) and then every line. A refused text names its line;
// otherwise every line that is not blank is exactly one of the header, a point or a bad line with
// its number and a reason, in order, so no line is ever dropped; every point is finite and within
// the reader's bounds. The first byte of the input picks the column layout.
namespace {

using velmor_fuzz::check;

const char* const kLayouts[] = {"PNEZD", "NEZ", "PENZ", "NE", "PNEZDS", "DNE", "PNEZSD", "ENZP"};

// The file's lines as the tool numbers them: split at '\n', one '\r' before it dropped; a last
// line without '\n' counts, an empty text has none.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool isBlank(const std::string& line) {
    for (const char c : line)
        if (c != ' ' && c != '\t') return false;
    return true;
}

bool pointIsSound(const road::MeasuredPoint& p) {
    return std::isfinite(p.north) && std::isfinite(p.east) &&
           std::fabs(p.north) <= road::kMaxAbsCoordinate &&
           std::fabs(p.east) <= road::kMaxAbsCoordinate &&
           (!p.hasHeight ||
            (std::isfinite(p.height) && std::fabs(p.height) <= road::kMaxAbsHeight));
}

// Every non-blank line is accounted for exactly once, in order.
// readPointFile takes a byte-order mark off the start of the text it is given, as the streamed
// reader does at the start of a file; the text checked here may start with a second one.
void checkEveryLine(std::string text, const road::PointFile& file) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    const std::vector<std::string> lines = linesOf(text);
    size_t nextPoint = 0, nextBad = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        const bool isPoint =
            nextPoint < file.points.size() && file.points[nextPoint].line == lineNo;
        const bool isBad = nextBad < file.bad.size() && file.bad[nextBad].line == lineNo;
        const bool isHeader = file.headerLine == lineNo;
        if (isBlank(lines[i])) {
            check(!isPoint && !isBad && !isHeader, "a blank line read as something");
            continue;
        }
        check(int(isPoint) + int(isBad) + int(isHeader) == 1,
              "a line that is not exactly one of header, point and bad line (dropped?)");
        if (isPoint) {
            check(pointIsSound(file.points[nextPoint]), "a point not finite or out of bounds");
            ++nextPoint;
        }
        if (isBad) {
            check(!file.bad[nextBad].reason.empty(), "a bad line without a reason");
            check(file.bad[nextBad].text == lines[i], "a bad line's text is not the line");
            ++nextBad;
        }
    }
    check(nextPoint == file.points.size() && nextBad == file.bad.size(),
          "points or bad lines out of order or past the end of the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string letters = kLayouts[data[0] % (sizeof kLayouts / sizeof kLayouts[0])];
    std::string error;
    const std::optional<road::ColumnLayout> layout = road::parseColumns(letters, error);
    check(layout.has_value(), "a valid column layout refused");
    if (!layout) return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string original = text;
    if (!road::checkText("points.txt", text, error)) {
        check(error.find(": line ") != std::string::npos, "a refused text without its line");
        return 0;
    }
    check(text.find('\0') == std::string::npos, "a zero byte passed the text check");
    const road::PointFile file = road::readPointFile(text, *layout);
    // A file refused whole (UTF-16 behind a UTF-8 byte-order mark, or XML that does not parse) is
    // one bad entry with its line and a reason, and no point.
    if (file.points.empty() && file.bad.size() == 1 && file.bad[0].text.empty()) {
        check(file.bad[0].line >= 1 && !file.bad[0].reason.empty(), "a refusal without its line");
        return 0;
    }
    checkEveryLine(text, file);
    // A byte-order mark changes nothing: the same text without it reads the same.
    if (original.size() != text.size()) {
        const road::PointFile plain = road::readPointFile(original.substr(3), *layout);
        check(plain.points.size() == file.points.size() && plain.bad.size() == file.bad.size(),
              "a byte-order mark changed what was read");
    }
    return 0;
}
