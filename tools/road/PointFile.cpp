#include "PointFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace road {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool blank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Splits on the delimiter outside double quotes; quotes around a field are removed and a
// doubled quote inside one is a quote.
std::vector<std::string> splitFields(const std::string& line, char delimiter) {
    std::vector<std::string> out;
    if (delimiter == ' ') {
        std::istringstream in(line);
        std::string f;
        while (in >> f)
            out.push_back(f);
        return out;
    }
    std::string cur;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                cur += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == delimiter && !quoted) {
            out.push_back(trimmed(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(trimmed(cur));
    return out;
}

bool readNumber(std::string s, char delimiter, double& v) {
    if (s.empty()) return false;
    if (delimiter != ',' && s.find('.') == std::string::npos) {
        const size_t comma = s.find(',');
        if (comma != std::string::npos && s.find(',', comma + 1) == std::string::npos)
            s[comma] = '.';
    }
    errno = 0;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return *end == '\0' && errno != ERANGE && std::isfinite(v);
}

int columnOf(const ColumnLayout& layout, char letter) {
    const size_t i = layout.letters.find(letter);
    return i == std::string::npos ? -1 : static_cast<int>(i);
}

// The fields needed on every line: all up to the last column that is not Z or D.
size_t requiredFields(const ColumnLayout& layout) {
    const size_t last = layout.letters.find_last_not_of("ZDS");
    return last == std::string::npos ? 0 : last + 1;
}

// Reads one line into a point; false with the reason.
bool readPoint(const std::vector<std::string>& f, const ColumnLayout& layout, char delimiter,
               MeasuredPoint& p, std::string& reason) {
    const std::string& cols = layout.letters;
    if (f.size() < requiredFields(layout))
        return reason = "too few fields for the columns " + cols, false;
    if (f.size() > cols.size() && cols.back() != 'D')
        return reason = "more fields than the columns " + cols, false;
    const auto field = [&](char letter) -> std::string {
        const int i = columnOf(layout, letter);
        if (i < 0 || static_cast<size_t>(i) >= f.size()) return std::string();
        if (letter != 'D' || cols.back() != 'D' || static_cast<size_t>(i) + 1 == f.size())
            return f[i];
        std::string rest = f[i];  // the code takes every field after it
        for (size_t k = i + 1; k < f.size(); ++k)
            rest += std::string(1, delimiter) + f[k];
        return rest;
    };
    const std::string n = field('N'), e = field('E'), z = field('Z');
    if (!readNumber(n, delimiter, p.north))
        return reason = "northing '" + n + "' is not a number", false;
    if (!readNumber(e, delimiter, p.east))
        return reason = "easting '" + e + "' is not a number", false;
    if (std::fabs(p.north) > kMaxAbsCoordinate || std::fabs(p.east) > kMaxAbsCoordinate)
        return reason = "a coordinate beyond 1e8", false;
    p.hasHeight = !z.empty();
    if (p.hasHeight && !readNumber(z, delimiter, p.height))
        return reason = "height '" + z + "' is not a number", false;
    if (p.hasHeight && std::fabs(p.height) > kMaxAbsHeight)
        return reason = "a height beyond 1e5", false;
    p.name = columnOf(layout, 'P') < 0 ? std::to_string(p.line) : field('P');
    p.code = field('D');
    p.station = field('S');
    return true;
}

bool looksLikeHeader(const std::vector<std::string>& f, const ColumnLayout& layout,
                     char delimiter) {
    const auto numeric = [&](char letter) {
        const int i = columnOf(layout, letter);
        double v = 0.0;
        return static_cast<size_t>(i) < f.size() && readNumber(f[i], delimiter, v);
    };
    const auto present = [&](char letter) {
        return static_cast<size_t>(columnOf(layout, letter)) < f.size() &&
               !f[columnOf(layout, letter)].empty();
    };
    return present('N') && present('E') && !numeric('N') && !numeric('E');
}

}  // namespace

std::optional<ColumnLayout> parseColumns(const std::string& letters, std::string& error) {
    for (size_t i = 0; i < letters.size(); ++i) {
        if (std::string("PNEZDS").find(letters[i]) == std::string::npos)
            return error = "'" + letters + "': the letters are P N E Z D S", std::nullopt;
        if (letters.find(letters[i], i + 1) != std::string::npos)
            return error = "'" + letters + "': " + letters[i] + " twice", std::nullopt;
    }
    if (letters.find('N') == std::string::npos || letters.find('E') == std::string::npos)
        return error = "'" + letters + "': N and E are needed", std::nullopt;
    return ColumnLayout{letters};
}

char detectDelimiter(const std::string& text) {
    const char candidates[] = {'\t', ';', ','};
    int count[3] = {0, 0, 0};
    int lines = 0;
    for (const std::string& line : splitLines(text)) {
        if (blank(line)) continue;
        for (int i = 0; i < 3; ++i)
            count[i] += line.find(candidates[i]) != std::string::npos;
        if (++lines == 50) break;
    }
    int best = -1;
    for (int i = 0; i < 3; ++i)
        if (count[i] * 2 > lines && (best < 0 || count[i] > count[best])) best = i;
    return best < 0 ? ' ' : candidates[best];
}

PointFile readPointFile(const std::string& text, const ColumnLayout& layout) {
    PointFile out;
    out.delimiter = detectDelimiter(text);
    const std::vector<std::string> lines = splitLines(text);
    bool first = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (blank(line)) continue;
        const int lineNo = static_cast<int>(i) + 1;
        const std::vector<std::string> f = splitFields(line, out.delimiter);
        if (first && looksLikeHeader(f, layout, out.delimiter)) {
            out.headerLine = lineNo;
            out.headerText = line;
            first = false;
            continue;
        }
        first = false;
        MeasuredPoint p;
        p.line = lineNo;
        std::string reason;
        if (readPoint(f, layout, out.delimiter, p, reason))
            out.points.push_back(p);
        else
            out.bad.push_back({lineNo, line, reason});
    }
    return out;
}

}  // namespace road
