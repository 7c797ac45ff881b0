#pragma once

#include <cstring>
#include <map>
#include <utility>

#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"
#include "velmorutils/utils/ZelTemplPosition.h"

// A settings file of the sectioned key=value kind, held in memory. Sections and keys are ordered
// by byte-wise comparison (case-sensitive), and saving writes them in that order: "[section]",
// one "key=value" line per key, then an empty line, with CR LF line ends. Values are kept as
// text exactly as given or read (no trimming, quoting or escapes); numbers are converted when
// set and when read. Lookups of what is missing return the caller's default and create nothing.
class VELMORUTILS_API CINIFile {
public:
    using String = zel_text::CZelStringT<char>;

    // strcmp order; also finds by plain text without making a string.
    struct NameLess {
        using is_transparent = void;
        bool operator()(const char* a, const char* b) const {
            return std::strcmp(a ? a : "", b ? b : "") < 0;
        }
    };
    using Section = std::map<String, String, NameLess,
                             zel_mem::zel_dl_allocator<std::pair<const String, String>>>;
    // Sections are separate objects on the library heap, owned by the file object.
    using SectionMap = std::map<String, Section*, NameLess,
                                zel_mem::zel_dl_allocator<std::pair<const String, Section*>>>;

    CINIFile() = default;
    CINIFile(const CINIFile& other);
    CINIFile& operator=(const CINIFile& other);
    virtual ~CINIFile();

    // Adds the file's contents to what the object holds. False only when it cannot be opened
    // (the object is then unchanged). CR LF and LF line ends are both read; a line is read
    // whole however long it is (a zero byte ends its text).
    bool LoadIni(const char* path);
    // Writes the whole object, every line whole however long, as the new contents of the file,
    // which is replaced in one step (see CAtomicFileWriter): on any failure the result is false
    // and the previous file keeps every byte. Also false, writing nothing, when an entry could
    // not be read back as itself: a line break in a section name, key or value, or a key that
    // holds "=" or starts with ";", "#", "/" or "[". Needs permission to create a file in the
    // file's folder.
    bool SaveIni(const char* path) const;

    String GetValue(const char* section, const char* key, const String& def) const;
    // atoi of the value (a present, non-numeric value gives 0), or def when missing.
    int GetIntValue(const char* section, const char* key, int def) const;
    // The value read as "%lf", or def when missing or when the value does not start with a number.
    double GetRealValue(const char* section, const char* key, double def) const;

    void SetValue(const char* section, const char* key, const String& value);
    void SetIntValue(const char* section, const char* key, int value);      // "%d"
    void SetRealValue(const char* section, const char* key, double value);  // "%.9lf"
    // The section stays, even when it becomes empty.
    void RemoveValue(const char* section, const char* key);

    bool GetNumberOfSections(int& n) const;
    // n = 0 (and true) for a section that does not exist.
    bool GetSectionSize(const String& section, int& n) const;

    // Walking: SetFilePosOnStart, then LookThroughFile while the position is not empty; and
    // SetSectionPosOnStart, then LookThroughSection while the position is not empty.
    bool SetFilePosOnStart(zel_templ::ZelTemplPosition& pos) const;
    bool LookThroughFile(String& name, zel_templ::ZelTemplPosition& pos) const;
    bool SetSectionPosOnStart(const String& section, zel_templ::ZelTemplPosition& pos) const;
    bool LookThroughSection(const String& section, String& key, String& value,
                            zel_templ::ZelTemplPosition& pos) const;

private:
    // Whether every entry can be written as lines that read back as the same entry.
    bool IsWritable() const;
    void Clear();
    Section* FindSection(const char* name) const;
    Section& SectionFor(const char* name);
    // Stores a new, empty section under name, dropping one of that name that exists.
    Section& ReplaceSection(const String& name);
    static Section* NewSection(const Section& contents);
    static void DeleteSection(Section* section);

    SectionMap m_sections;
};
