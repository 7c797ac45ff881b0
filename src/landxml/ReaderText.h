#pragma once

// Text helpers and the line-aware context the LandXML reader's parts share; not part of the
// public interface.

#include <pugixml.hpp>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/angles/ValueBounds.h>

namespace zel_landxml::reader_text {

// Element names without a namespace prefix: exporters differ in how they write them.
std::string localName(const pugi::xml_node& node);
// Whether the element's local name is `name`, without building a string (large surfaces).
bool isNamed(const pugi::xml_node& node, const char* name);
pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name);
std::string trimmed(const std::string& s);

// A decimal number (sign, fraction and exponent allowed) that fills the whole word; no locale,
// no hexadecimal, no "inf" or "nan", nothing that overflows a double.
bool toNumber(const std::string& word, double& v);
// The blank-separated words of a text.
std::vector<std::string> words(const char* text);

// Reads the blank-separated words of a text one at a time without copying (the point lists of
// large surfaces).
class WordCursor {
public:
    explicit WordCursor(const char* text) : p_(text) {}
    // The next word [first, last); false at the end.
    bool next(const char*& first, const char*& last);
    // The next word as a finite decimal number / a whole number; false at the end or when the
    // word is not one (word() then holds it).
    bool number(double& v);
    bool integer(std::int64_t& v);
    const std::string& word() const { return word_; }
    bool atEnd();

private:
    const char* p_;
    std::string word_;
};

// Where the reader stands in a file: the line of a node, messages "line N: Element: what", and
// values of the file's unit converted to metres and checked against their bounds.
class ReadContext {
public:
    ReadContext(const std::string& text, std::size_t bomOffset, LinearUnit unit,
                std::vector<std::string>& warnings);

    LinearUnit unit() const { return unit_; }
    void setUnit(LinearUnit unit) { unit_ = unit; }
    void setBomOffset(std::size_t bom) { bom_ = bom; }
    int lineOfOffset(std::size_t offset) const;
    int lineOf(const pugi::xml_node& n) const;
    // Lines of nodes met in increasing file order, in amortised constant time each.
    class LineWalker {
    public:
        explicit LineWalker(const ReadContext& c) : c_(c) {}
        int lineOf(const pugi::xml_node& n);

    private:
        const ReadContext& c_;
        std::size_t next_ = 0;
    };

    // "line N: Element: message"
    std::string message(const pugi::xml_node& n, const std::string& what) const;
    bool fail(const pugi::xml_node& n, const std::string& what, std::string& error) const;
    void warn(const pugi::xml_node& n, const std::string& what) const;
    // A number of the file's unit as metres within the quantity's bounds.
    bool quantity(const pugi::xml_node& n, const std::string& field, const std::string& word,
                  zel_math::Quantity q, double& metres, std::string& error) const;
    // The same check on a value already read (raw in the file's unit).
    bool quantityOf(const pugi::xml_node& n, const std::string& field, double raw,
                    zel_math::Quantity q, double& metres, std::string& error) const;

private:
    std::vector<std::size_t> lineStarts_;
    std::size_t bom_;
    LinearUnit unit_;
    std::vector<std::string>& warnings_;
};

}  // namespace zel_landxml::reader_text
