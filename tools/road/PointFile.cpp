#include "PointFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <velmorutils/formats/PlainText.h>

namespace road {
namespace {

// The lines read ahead to find the delimiter (and, with them, the header).
constexpr int kLinesToDetect = 50;
// How much of a file is read at a time.
constexpr std::size_t kChunk = 1 << 20;

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

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// Trims in place, without allocating.
void trim(std::string& s) {
    size_t end = s.size();
    while (end > 0 && isSpace(s[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && isSpace(s[begin]))
        ++begin;
    s.erase(end);
    s.erase(0, begin);
}

// The next field slot of `out`, emptied; the strings of earlier lines are reused, so that
// reading millions of lines does not allocate per field.
std::string& nextField(std::vector<std::string>& out, size_t& used) {
    if (used == out.size()) out.emplace_back();
    std::string& f = out[used++];
    f.clear();
    return f;
}

// Splits on the delimiter outside double quotes; quotes around a field are removed and a
// doubled quote inside one is a quote. With ' ' the fields are separated by runs of spaces and
// tabs.
void splitFields(const std::string& line, char delimiter, std::vector<std::string>& out) {
    size_t used = 0;
    if (delimiter == ' ') {
        for (size_t i = line.find_first_not_of(" \t"); i != std::string::npos;) {
            const size_t end = line.find_first_of(" \t", i);
            nextField(out, used).assign(line, i, end == std::string::npos ? end : end - i);
            i = end == std::string::npos ? end : line.find_first_not_of(" \t", end);
        }
        out.resize(used);
        return;
    }
    std::string* cur = &nextField(out, used);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                *cur += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == delimiter && !quoted) {
            trim(*cur);
            cur = &nextField(out, used);
        } else {
            *cur += c;
        }
    }
    trim(*cur);
    out.resize(used);
}

// The delimiter used by most of the lines: tab, semicolon, comma, else runs of spaces.
template <typename Lines, typename TextOf>
char delimiterOf(const Lines& lines, TextOf textOf) {
    const char candidates[] = {'\t', ';', ','};
    int count[3] = {0, 0, 0};
    int seen = 0;
    for (const auto& l : lines) {
        const std::string& line = textOf(l);
        if (blank(line)) continue;
        for (int i = 0; i < 3; ++i)
            count[i] += line.find(candidates[i]) != std::string::npos;
        if (++seen == kLinesToDetect) break;
    }
    int best = -1;
    for (int i = 0; i < 3; ++i)
        if (count[i] * 2 > seen && (best < 0 || count[i] > count[best])) best = i;
    return best < 0 ? ' ' : candidates[best];
}

// A line's text for a message: control bytes shown as '?', very long lines shortened.
std::string shown(const std::string& text) {
    std::string s = text.substr(0, 200);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = '?';
    return s.size() < text.size() ? s + "..." : s;
}

bool readNumber(std::string s, char delimiter, double& v) {
    if (s.empty()) return false;
    if (delimiter != ',' && s.find('.') == std::string::npos) {
        const size_t comma = s.find(',');
        if (comma != std::string::npos && s.find(',', comma + 1) == std::string::npos)
            s[comma] = '.';
    }
    // from_chars reads the plain decimal forms a point file holds, several times faster than
    // strtod; anything else (a leading '+', hexadecimal) still goes to strtod.
    const char* first = s.data() + (s[0] == '+' && s.size() > 1 && s[1] != '-');
    const std::from_chars_result r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec == std::errc() && r.ptr == s.data() + s.size()) return std::isfinite(v);
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
    return delimiterOf(splitLines(text),
                       [](const std::string& l) -> const std::string& { return l; });
}

LineSource::LineSource(std::FILE* file) : file_(file) {}

LineSource::LineSource(std::string_view text) : buffer_(text), eof_(true) {}

bool LineSource::refill() {
    if (eof_) return false;
    buffer_.erase(0, pos_);
    pos_ = 0;
    const size_t had = buffer_.size();
    buffer_.resize(had + kChunk);
    const size_t got = std::fread(buffer_.data() + had, 1, kChunk, file_);
    buffer_.resize(had + got);
    if (got == 0) {
        eof_ = true;
        failed_ = std::ferror(file_) != 0;
        if (failed_) error_ = std::strerror(errno);
    }
    return got > 0;
}

bool LineSource::next(std::string& line, bool& cut) {
    line.clear();
    cut = false;
    bool any = false;
    for (;;) {
        const char* begin = buffer_.data() + pos_;
        const size_t avail = buffer_.size() - pos_;
        const char* end = static_cast<const char*>(std::memchr(begin, '\n', avail));
        const size_t take = end != nullptr ? static_cast<size_t>(end - begin) : avail;
        const size_t room = kMaxLineLength - line.size();
        cut = cut || take > room;
        line.append(begin, std::min(take, room));
        any = any || take > 0 || end != nullptr;
        pos_ += take + (end != nullptr);
        consumed_ += static_cast<long long>(take + (end != nullptr));
        if (end != nullptr || !refill()) break;
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first_ && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    first_ = false;
    return true;
}

PointFileReader::PointFileReader(LineSource& source, const ColumnLayout& layout)
    : source_(source), layout_(layout) {}

bool PointFileReader::nextLine(Line& line) {
    if (!ahead_.empty()) {
        line = std::move(ahead_.front());
        ahead_.pop_front();
        return true;
    }
    if (!source_.next(line.text, line.cut)) return false;
    line.number = ++lineNo_;
    return true;
}

bool PointFileReader::start(std::string& error) {
    int nonBlank = 0;
    Line l;
    while (nonBlank < kLinesToDetect && source_.next(l.text, l.cut)) {
        l.number = ++lineNo_;
        int at = 0;
        if (const zel_formats::Verdict v = zel_formats::checkPlainText(l.text, l.number, at); !v) {
            error = "line " + std::to_string(at) + ": " + v.message;
            return false;
        }
        nonBlank += !blank(l.text);
        ahead_.push_back(l);
    }
    delimiter_ = delimiterOf(ahead_, [](const Line& x) -> const std::string& { return x.text; });
    return true;
}

void PointFileReader::readLine(const Line& line, std::vector<MeasuredPoint>& points,
                               std::vector<BadLine>& bad) {
    if (line.cut) {
        bad.push_back(
            {line.number, shown(line.text),
             "longer than " + std::to_string(LineSource::kMaxLineLength) + " characters"});
        return;
    }
    if (line.text.find('\0') != std::string::npos) {
        bad.push_back({line.number, shown(line.text), "a zero byte; the line is not plain text"});
        return;
    }
    splitFields(line.text, delimiter_, fields_);
    if (first_ && looksLikeHeader(fields_, layout_, delimiter_)) {
        headerLine_ = line.number;
        headerText_ = line.text;
        first_ = false;
        return;
    }
    first_ = false;
    MeasuredPoint p;
    p.line = line.number;
    std::string reason;
    if (readPoint(fields_, layout_, delimiter_, p, reason))
        points.push_back(std::move(p));
    else
        bad.push_back({line.number, line.text, reason});
}

bool PointFileReader::readBlock(std::size_t maxPoints, std::vector<MeasuredPoint>& points,
                                std::vector<BadLine>& bad) {
    const size_t target = points.size() + maxPoints;
    bool any = false;
    Line line;
    while (points.size() < target && nextLine(line)) {
        any = true;
        if (!blank(line.text)) readLine(line, points, bad);
    }
    return any;
}

PointFile readPointFile(const std::string& text, const ColumnLayout& layout) {
    if (looksLikeXml(text)) return readCgPointFile(text);
    PointFile out;
    LineSource source{std::string_view(text)};
    PointFileReader reader(source, layout);
    std::string error;
    if (!reader.start(error)) {
        out.bad.push_back({1, std::string(), error});
        return out;
    }
    while (reader.readBlock(static_cast<size_t>(-1) / 2, out.points, out.bad)) {
    }
    out.delimiter = reader.delimiter();
    out.headerLine = reader.headerLine();
    out.headerText = reader.headerText();
    return out;
}

}  // namespace road
