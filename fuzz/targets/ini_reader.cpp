#include <cstdio>
#include <map>
#include <string>

#include "../FuzzTarget.h"
#include "velmorutils/utils/CINIFile.h"
#include "velmorutils/utils/ZelTemplPosition.h"

// The settings reader on arbitrary bytes. Whatever it reads must save, and the saved file must
// read back as the same sections, keys and values (a line never spills into another, a long
// value is never cut), and saving that again must give the same bytes.
namespace {

using velmor_fuzz::check;
using Contents = std::map<std::string, std::map<std::string, std::string>>;

std::string str(const CINIFile::String& s) {
    return std::string(s, static_cast<size_t>(s.GetLength()));
}

Contents contentsOf(const CINIFile& ini) {
    Contents out;
    zel_templ::ZelTemplPosition sections;
    ini.SetFilePosOnStart(sections);
    while (!sections.IsEmpty()) {
        CINIFile::String name;
        ini.LookThroughFile(name, sections);
        auto& section = out[str(name)];
        zel_templ::ZelTemplPosition entries;
        ini.SetSectionPosOnStart(name, entries);
        while (!entries.IsEmpty()) {
            CINIFile::String key, value;
            ini.LookThroughSection(name, key, value, entries);
            section[str(key)] = str(value);
            ini.GetIntValue(name, key, 0);
            ini.GetRealValue(name, key, 0.0);
        }
    }
    return out;
}

std::string readAll(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string folder = velmor_fuzz::scratchFolder();
    const std::string in = folder + "/in.ini", out = folder + "/out.ini",
                      again = folder + "/again.ini";
    if (std::FILE* f = std::fopen(in.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    CINIFile ini;
    check(ini.LoadIni(in.c_str()), "LoadIni of an existing file");
    const Contents read = contentsOf(ini);
    check(ini.SaveIni(out.c_str()), "SaveIni of what was read");
    CINIFile back;
    check(back.LoadIni(out.c_str()), "LoadIni of the saved file");
    check(contentsOf(back) == read, "saved file reads back differently");
    check(back.SaveIni(again.c_str()), "SaveIni of the reread file");
    check(readAll(again) == readAll(out), "second save differs from the first");
    const CINIFile copy(back);
    check(contentsOf(copy) == read, "copy differs");
    return 0;
}
