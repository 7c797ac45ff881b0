#include "landxml/ReaderText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>

namespace zel_landxml::reader_text {

std::string localName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isNamed(const pugi::xml_node& node, const char* name) {
    const char* full = node.name();
    const char* colon = std::strrchr(full, ':');
    return std::strcmp(colon ? colon + 1 : full, name) == 0;
}

pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name) {
    for (const pugi::xml_node& c : parent.children())
        if (c.type() == pugi::node_element && localName(c) == name) return c;
    return {};
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

namespace {

bool numberIn(const char* first, const char* last, double& v) {
    if (first != last && *first == '+') ++first;
    if (first == last ||
        !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '-' || *first == '.'))
        return false;
    const auto r = std::from_chars(first, last, v, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(v);
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool toNumber(const std::string& word, double& v) {
    return numberIn(word.data(), word.data() + word.size(), v);
}

std::vector<std::string> words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

bool WordCursor::next(const char*& first, const char*& last) {
    while (*p_ != '\0' && blank(*p_))
        ++p_;
    if (*p_ == '\0') return false;
    first = p_;
    while (*p_ != '\0' && !blank(*p_))
        ++p_;
    last = p_;
    return true;
}

bool WordCursor::atEnd() {
    while (*p_ != '\0' && blank(*p_))
        ++p_;
    return *p_ == '\0';
}

bool WordCursor::number(double& v) {
    const char *first = nullptr, *last = nullptr;
    word_.clear();
    if (!next(first, last)) return false;
    if (numberIn(first, last, v)) return true;
    word_.assign(first, last);
    return false;
}

bool WordCursor::integer(std::int64_t& v) {
    const char *first = nullptr, *last = nullptr;
    word_.clear();
    if (!next(first, last)) return false;
    if (first != last && *first == '+') ++first;
    const auto r = std::from_chars(first, last, v);
    if (r.ec == std::errc() && r.ptr == last) return true;
    word_.assign(first, last);
    return false;
}

ReadContext::ReadContext(const std::string& text, std::size_t bomOffset, LinearUnit unit,
                         std::vector<std::string>& warnings)
    : bom_(bomOffset), unit_(unit), warnings_(warnings) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') lineStarts_.push_back(i + 1);
}

int ReadContext::lineOfOffset(std::size_t offset) const {
    return static_cast<int>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) -
                            lineStarts_.begin()) +
           1;
}

int ReadContext::lineOf(const pugi::xml_node& n) const {
    return lineOfOffset(static_cast<std::size_t>(n.offset_debug()) + bom_);
}

int ReadContext::LineWalker::lineOf(const pugi::xml_node& n) {
    const std::size_t offset = static_cast<std::size_t>(n.offset_debug()) + c_.bom_;
    const std::vector<std::size_t>& starts = c_.lineStarts_;
    if (next_ > 0 && next_ <= starts.size() && starts[next_ - 1] > offset) next_ = 0;
    while (next_ < starts.size() && starts[next_] <= offset)
        ++next_;
    return static_cast<int>(next_) + 1;
}

std::string ReadContext::message(const pugi::xml_node& n, const std::string& what) const {
    return "line " + std::to_string(lineOf(n)) + ": " + localName(n) + ": " + what;
}

bool ReadContext::fail(const pugi::xml_node& n, const std::string& what, std::string& error) const {
    error = message(n, what);
    return false;
}

void ReadContext::warn(const pugi::xml_node& n, const std::string& what) const {
    warnings_.push_back(message(n, what));
}

bool ReadContext::quantityOf(const pugi::xml_node& n, const std::string& field, double raw,
                             zel_math::Quantity q, double& metres, std::string& error) const {
    metres = toMetres(raw, unit_);
    if (zel_math::withinBounds(metres, q)) return true;
    std::ostringstream text;
    text.precision(12);
    text << raw;
    return fail(n,
                field + " is " + text.str() + " " + unitName(unit_) + ": " + zel_math::boundText(q),
                error);
}

bool ReadContext::quantity(const pugi::xml_node& n, const std::string& field,
                           const std::string& word, zel_math::Quantity q, double& metres,
                           std::string& error) const {
    double raw = 0.0;
    if (!toNumber(trimmed(word), raw))
        return fail(n, field + " is not a finite number: '" + word + "'", error);
    return quantityOf(n, field, raw, q, metres, error);
}

}  // namespace zel_landxml::reader_text
