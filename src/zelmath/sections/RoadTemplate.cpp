#include "velmorutils/zelmath/sections/RoadTemplate.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/utils/CINIFile.h"

namespace zel_math {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// A section name as written between "[" and "]", without blanks or what follows "]".
std::string sectionName(const std::string& raw) {
    return trim(raw.substr(0, raw.find(']')));
}

// A value up to its comment.
std::string valueText(const std::string& raw) {
    return trim(raw.substr(0, raw.find(';')));
}

bool number(const std::string& text, double& x) {
    const std::string t = trim(text);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    x = std::strtod(t.c_str(), &end);
    return end && *end == '\0' && errno != ERANGE && std::isfinite(x);
}

// The template's settings: section -> key -> value, names and values without blanks and
// comments, and where each key stands in the file (its last line, as the settings reader keeps
// the last one).
struct Settings {
    std::map<std::string, std::map<std::string, std::string>> values;
    std::map<std::string, int> lines;  // "section\nkey" or "section" -> line number
    std::string path;

    bool has(const std::string& section, const std::string& key) const {
        auto s = values.find(section);
        return s != values.end() && s->second.count(key) > 0;
    }
    std::string get(const std::string& section, const std::string& key) const {
        return has(section, key) ? values.at(section).at(key) : std::string();
    }
    std::string where(const std::string& section, const std::string& key) const {
        std::string out = path;
        auto line = lines.find(section + "\n" + key);
        if (line == lines.end()) line = lines.find(section);
        if (line != lines.end()) out += ", line " + std::to_string(line->second);
        return out + ", [" + section + "] " + key + ": ";
    }
};

bool load(const char* path, Settings& settings) {
    CINIFile ini;
    if (!ini.LoadIni(path)) return false;
    settings.path = path;
    zel_templ::ZelTemplPosition file;
    CINIFile::String name, key, value;
    ini.SetFilePosOnStart(file);
    while (!file.IsEmpty() && ini.LookThroughFile(name, file)) {
        const std::string section = sectionName(static_cast<const char*>(name));
        zel_templ::ZelTemplPosition pos;
        ini.SetSectionPosOnStart(name, pos);
        while (!pos.IsEmpty() && ini.LookThroughSection(name, key, value, pos)) {
            settings.values[section][trim(static_cast<const char*>(key))] =
                valueText(static_cast<const char*>(value));
        }
    }
    // Where each section and key stands, for messages.
    std::ifstream in(zel_platform::toNativePath(path), std::ios::binary);
    std::string line, section;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t[0] == '[') {
            section = sectionName(t.substr(1));
            if (!settings.lines.count(section)) settings.lines[section] = number;
            continue;
        }
        const auto equals = t.find('=');
        if (equals != std::string::npos)
            settings.lines[section + "\n" + trim(t.substr(0, equals))] = number;
    }
    return true;
}

bool parseSegments(const Settings& s, const std::string& side, double unit,
                   std::vector<TTemplateSegment>& out, std::string& error) {
    const std::string text = s.get(side, "segments");
    if (text.empty()) {
        error = s.where(side, "segments") + "no segments (give \"code width slope%, ...\")";
        return false;
    }
    std::stringstream items(text);
    std::string item;
    for (int index = 1; std::getline(items, item, ','); ++index) {
        std::stringstream words(item);
        std::string code, width, slope, extra;
        words >> code >> width >> slope;
        TTemplateSegment seg{code, 0, 0};
        const std::string which = "segment " + std::to_string(index) + " \"" + trim(item) + "\" ";
        if (slope.empty() || (words >> extra) || !number(width, seg.width) ||
            !number(slope, seg.slopePercent)) {
            error = s.where(side, "segments") + which + "is not \"code width slope%\"";
            return false;
        }
        if (!(seg.width > 0)) {
            error = s.where(side, "segments") + which + "has a width that is not above 0";
            return false;
        }
        seg.width *= unit;
        out.push_back(seg);
    }
    return true;
}

// A side slope "2.0" or "2:1" (horizontal : vertical); missing or 0 is none.
bool parseSlope(const Settings& s, const std::string& side, const char* key, double& hv,
                std::string& error) {
    hv = 0;
    const std::string text = s.get(side, key);
    if (text.empty()) return true;
    const auto colon = text.find(':');
    double h = 0, v = 1;
    bool ok = colon == std::string::npos
                  ? number(text, h)
                  : number(text.substr(0, colon), h) && number(text.substr(colon + 1), v) && v > 0;
    if (!ok || h < 0) {
        error = s.where(side, key) + "\"" + text + "\" is not a side slope (H:V, 0 or more)";
        return false;
    }
    hv = h / v;
    return true;
}

bool parseDitch(const Settings& s, const std::string& side, double unit, double& width,
                double& depth, std::string& error) {
    width = depth = 0;
    const std::string text = s.get(side, "ditch");
    if (text.empty()) return true;
    std::stringstream words(text);
    std::string w, d, extra;
    words >> w >> d;
    if (d.empty() || (words >> extra) || !number(w, width) || !number(d, depth) || width < 0 ||
        depth < 0) {
        error = s.where(side, "ditch") + "\"" + text + "\" is not \"width depth\" (0 or more)";
        return false;
    }
    width *= unit, depth *= unit;
    return true;
}

bool parseSide(const Settings& s, const std::string& side, double unit,
               std::vector<TTemplateSegment>& segments, double& cut, double& fill,
               double& ditchWidth, double& ditchDepth, std::string& error) {
    return parseSegments(s, side, unit, segments, error) &&
           parseSlope(s, side, "cut", cut, error) && parseSlope(s, side, "fill", fill, error) &&
           parseDitch(s, side, unit, ditchWidth, ditchDepth, error);
}

}  // namespace

bool readRoadTemplate(const char* path, double metresPerUnit, TRoadTemplate& road,
                      std::string& error) {
    Settings s;
    if (!path || !load(path, s)) {
        error = std::string(path ? path : "(no file)") + ": cannot be read";
        return false;
    }
    if (!(metresPerUnit > 0) || !std::isfinite(metresPerUnit)) {
        error = s.path + ": the unit is not a positive length";
        return false;
    }
    TRoadTemplate out;
    if (!parseSide(s, "left", metresPerUnit, out.left, out.cutHVLeft, out.fillHVLeft,
                   out.ditchWidthLeft, out.ditchDepthLeft, error) ||
        !parseSide(s, "right", metresPerUnit, out.right, out.cutHVRight, out.fillHVRight,
                   out.ditchWidthRight, out.ditchDepthRight, error)) {
        return false;
    }
    if (s.has("road", "pivot")) {
        if (!number(s.get("road", "pivot"), out.pivotOffset)) {
            error =
                s.where("road", "pivot") + "\"" + s.get("road", "pivot") + "\" is not an offset";
            return false;
        }
        out.pivotOffset *= metresPerUnit;
    }
    road = std::move(out);
    return true;
}

}  // namespace zel_math
