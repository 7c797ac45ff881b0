#include "velmorutils/utils/CINIFile.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/utils/AtomicFileWriter.h"

namespace {

using zel_templ::ZelTemplPosition;

// A position's iterator into one of the maps.
template <class It>
class MapIterator : public ZelTemplPosition::Iterator {
public:
    explicit MapIterator(It it) : m_it(it) {}
    Iterator* Clone() const override { return new MapIterator(m_it); }
    It m_it;
};

template <class It>
It* IteratorOf(const ZelTemplPosition& pos) {
    auto* holder = dynamic_cast<MapIterator<It>*>(pos.GetIterator());
    return holder ? &holder->m_it : nullptr;
}

// Moves the position past the entry it names, emptying it after the last one.
template <class Map>
void Advance(const Map& map, ZelTemplPosition& pos, typename Map::const_iterator& it) {
    ++it;
    if (it == map.end()) pos.Reset();
}

// Reads the next line whole, however long, as text mode does: CR LF becomes "\n". The result
// keeps its "\n" when it had one; false at the end of the file.
bool ReadWholeLine(std::FILE* file, std::string& line) {
    line.clear();
    for (;;) {
        int c = std::getc(file);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

// Writes text with every "\n" stored as CR LF.
bool WriteText(std::FILE* file, const char* text, std::size_t length) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '\n') continue;
        if (std::fwrite(text + start, 1, i - start, file) != i - start) return false;
        if (std::fwrite("\r\n", 1, 2, file) != 2) return false;
        start = i + 1;
    }
    return std::fwrite(text + start, 1, length - start, file) == length - start;
}

// Names and values are written as C strings: a zero character ends them.
bool HasLineBreak(const char* text) {
    return std::strchr(text, '\n') != nullptr;
}

// A key is read back as itself unless it holds "=" (the first "=" ends the key), a line break,
// or starts like a comment or a section header.
bool IsWritableKey(const char* key) {
    if (std::strchr(";#/[", key[0]) != nullptr && key[0] != '\0') return false;
    return std::strchr(key, '=') == nullptr && !HasLineBreak(key);
}

bool WriteText(std::FILE* file, const char* text) {
    return WriteText(file, text, std::strlen(text));
}

}  // namespace

CINIFile::Section* CINIFile::NewSection(const Section& contents) {
    zel_mem::zel_dl_allocator<Section> alloc;
    Section* section = alloc.allocate(1);
    return ::new (static_cast<void*>(section)) Section(contents);
}

void CINIFile::DeleteSection(Section* section) {
    if (!section) return;
    section->~Section();
    zel_mem::zel_dl_allocator<Section>().deallocate(section, 1);
}

CINIFile::CINIFile(const CINIFile& other) {
    *this = other;
}

CINIFile& CINIFile::operator=(const CINIFile& other) {
    if (this == &other) return *this;
    Clear();
    for (const auto& [name, section] : other.m_sections) {
        m_sections.emplace(name, NewSection(section ? *section : Section()));
    }
    return *this;
}

CINIFile::~CINIFile() {
    Clear();
}

void CINIFile::Clear() {
    for (auto& entry : m_sections)
        DeleteSection(entry.second);
    m_sections.clear();
}

CINIFile::Section* CINIFile::FindSection(const char* name) const {
    const auto it = m_sections.find(name ? name : "");
    return it == m_sections.end() ? nullptr : it->second;
}

CINIFile::Section& CINIFile::SectionFor(const char* name) {
    if (Section* section = FindSection(name)) return *section;
    return *m_sections.emplace(String(name), NewSection(Section())).first->second;
}

CINIFile::Section& CINIFile::ReplaceSection(const String& name) {
    auto it = m_sections.find(name);
    if (it == m_sections.end()) {
        it = m_sections.emplace(name, NewSection(Section())).first;
    } else {
        DeleteSection(it->second);
        it->second = NewSection(Section());
    }
    return *it->second;
}

bool CINIFile::LoadIni(const char* path) {
    std::FILE* file = std::fopen(zel_platform::toNativePath(path).c_str(), "rb");
    if (!file) return false;

    Section* current = nullptr;
    std::string text;
    while (ReadWholeLine(file, text)) {
        // A zero byte ends the text of a line, as for any C string read by line. Lengths beyond
        // the int range are cut there: no single setting is that long.
        const char* line = text.c_str();
        const int length = static_cast<int>(std::min<std::size_t>(std::strlen(line), INT_MAX - 1));
        if (length < 2) continue;
        if (line[0] == ';' || line[0] == '#' || line[0] == '/') continue;
        const bool hasEnd = line[length - 1] == '\n';
        const int textLength = hasEnd ? length - 1 : length;
        if (line[0] == '[') {
            // The character before the line end is taken to be the closing "]".
            const int nameLength = textLength > 2 ? textLength - 2 : 0;
            current = &ReplaceSection(String(line + 1, nameLength));
            continue;
        }
        if (!current) continue;
        const char* equals = static_cast<const char*>(std::memchr(line, '=', textLength));
        if (!equals) continue;
        const int keyLength = static_cast<int>(equals - line);
        (*current)[String(line, keyLength)] = String(equals + 1, textLength - keyLength - 1);
    }
    std::fclose(file);
    return true;
}

bool CINIFile::IsWritable() const {
    for (const auto& [name, section] : m_sections) {
        if (HasLineBreak(name)) return false;
        if (!section) continue;
        for (const auto& [key, value] : *section) {
            if (!IsWritableKey(key) || HasLineBreak(value)) return false;
        }
    }
    return true;
}

bool CINIFile::SaveIni(const char* path) const {
    // What could not be read back as written is not written at all: the file keeps its
    // previous contents rather than gain a stray line or section.
    if (!IsWritable()) return false;
    CAtomicFileWriter out(path);
    std::FILE* file = out.File();
    if (!file) return false;
    bool ok = true;
    for (auto s = m_sections.begin(); ok && s != m_sections.end(); ++s) {
        ok = WriteText(file, "[") && WriteText(file, s->first) && WriteText(file, "]\n");
        if (s->second) {
            for (auto e = s->second->begin(); ok && e != s->second->end(); ++e) {
                ok = WriteText(file, e->first) && WriteText(file, "=") &&
                     WriteText(file, e->second) && WriteText(file, "\n");
            }
        }
        ok = ok && WriteText(file, "\n");
    }
    // Until Commit the previous file is untouched; a failure anywhere leaves it so.
    return ok && out.Commit();
}

CINIFile::String CINIFile::GetValue(const char* section, const char* key, const String& def) const {
    const Section* s = FindSection(section);
    if (!s) return def;
    const auto it = s->find(key ? key : "");
    return it == s->end() ? def : it->second;
}

int CINIFile::GetIntValue(const char* section, const char* key, int def) const {
    const Section* s = FindSection(section);
    if (!s) return def;
    const auto it = s->find(key ? key : "");
    return it == s->end() ? def : std::atoi(it->second);
}

double CINIFile::GetRealValue(const char* section, const char* key, double def) const {
    const Section* s = FindSection(section);
    if (!s) return def;
    const auto it = s->find(key ? key : "");
    if (it == s->end()) return def;
    double value = 0.0;
    return std::sscanf(it->second, "%lf", &value) == 1 ? value : def;
}

void CINIFile::SetValue(const char* section, const char* key, const String& value) {
    SectionFor(section).insert_or_assign(String(key), value);
}

void CINIFile::SetIntValue(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetValue(section, key, String(text));
}

void CINIFile::SetRealValue(const char* section, const char* key, double value) {
    // The largest double has 309 integer digits; with nine decimals it still fits.
    char text[400];
    std::snprintf(text, sizeof text, "%.9lf", value);
    SetValue(section, key, String(text));
}

void CINIFile::RemoveValue(const char* section, const char* key) {
    if (Section* s = FindSection(section)) {
        const auto it = s->find(key ? key : "");
        if (it != s->end()) s->erase(it);
    }
}

bool CINIFile::GetNumberOfSections(int& n) const {
    n = static_cast<int>(m_sections.size());
    return true;
}

bool CINIFile::GetSectionSize(const String& section, int& n) const {
    const Section* s = FindSection(section);
    n = s ? static_cast<int>(s->size()) : 0;
    return true;
}

bool CINIFile::SetFilePosOnStart(ZelTemplPosition& pos) const {
    if (m_sections.empty()) {
        pos.Reset();
    } else {
        pos.Reset(new MapIterator<SectionMap::const_iterator>(m_sections.begin()));
    }
    return true;
}

bool CINIFile::LookThroughFile(String& name, ZelTemplPosition& pos) const {
    auto* it = IteratorOf<SectionMap::const_iterator>(pos);
    if (!it) return false;
    name = (*it)->first;
    const bool hasSection = (*it)->second != nullptr;
    Advance(m_sections, pos, *it);
    return hasSection;
}

bool CINIFile::SetSectionPosOnStart(const String& section, ZelTemplPosition& pos) const {
    const Section* s = FindSection(section);
    if (!s) {
        pos.Reset();  // a stale position must not walk another section
        return false;
    }
    if (s->empty()) {
        pos.Reset();
    } else {
        pos.Reset(new MapIterator<Section::const_iterator>(s->begin()));
    }
    return true;
}

bool CINIFile::LookThroughSection(const String& section, String& key, String& value,
                                  ZelTemplPosition& pos) const {
    const Section* s = FindSection(section);
    if (!s) return false;
    auto* it = IteratorOf<Section::const_iterator>(pos);
    if (!it) return false;
    key = (*it)->first;
    value = (*it)->second;
    Advance(*s, pos, *it);
    return true;
}
