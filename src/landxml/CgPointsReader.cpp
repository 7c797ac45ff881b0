#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include <velmorutils/landxml/StakePoints.h>

#include "landxml/CoordinateSystemXml.h"

namespace zel_landxml {
namespace {

std::string localName(const pugi::xml_node& n) {
    const std::string name = n.name();
    const size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

class LineIndex {
public:
    LineIndex(const std::string& text, size_t skipped) : skipped_(skipped) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') starts_.push_back(i + 1);
    }
    int of(size_t offset) const {
        return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                                starts_.begin()) +
               1;
    }
    int of(const pugi::xml_node& n) const {
        return of(static_cast<size_t>(n.offset_debug()) + skipped_);
    }

private:
    std::vector<size_t> starts_;
    size_t skipped_;
};

bool unitOf(const pugi::xml_node& root, LinearUnit& unit) {
    for (const pugi::xml_node& units : root.children()) {
        if (localName(units) != "Units") continue;
        for (const pugi::xml_node& u : units.children()) {
            const std::string kind = localName(u);
            if (kind != "Metric" && kind != "Imperial") continue;
            const std::string lin = u.attribute("linearUnit").value();
            if (lin == "USSurveyFoot") return unit = LinearUnit::USSurveyFoot, true;
            if (lin == "foot" || lin == "internationalFoot")
                return unit = LinearUnit::InternationalFoot, true;
            if (lin == "meter" || (lin.empty() && kind == "Metric"))
                return unit = LinearUnit::Meter, true;
            return false;
        }
    }
    return true;
}

// "north east [height]" as the file writes them; false with why.
bool readCoordinates(const std::string& text, CgPointRecord& p, std::string& why) {
    std::istringstream in(text);
    std::vector<double> v;
    std::string word;
    while (in >> word) {
        errno = 0;
        char* end = nullptr;
        const double x = std::strtod(word.c_str(), &end);
        if (*end != '\0' || errno == ERANGE || !std::isfinite(x))
            return why = "'" + word + "' is not a number", false;
        v.push_back(x);
    }
    if (v.size() < 2 || v.size() > 3)
        return why = "expected 'northing easting [elevation]', found '" + text + "'", false;
    const double limit = kMaxCoordinateM * 4.0;  // a foot value of a coordinate on the bound
    if (std::fabs(v[0]) > limit || std::fabs(v[1]) > limit ||
        (v.size() == 3 && std::fabs(v[2]) > limit))
        return why = "a value beyond the bounds of a survey", false;
    p.north = v[0];
    p.east = v[1];
    p.height = v.size() == 3 ? v[2] : kNone;
    return true;
}

}  // namespace

bool readCgPoints(const std::string& text, CgPointList& list, std::string& error) {
    list = CgPointList();
    const size_t bom = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    const LineIndex lines(text, bom);
    pugi::xml_document xml;
    const pugi::xml_parse_result res = xml.load_buffer(text.data() + bom, text.size() - bom,
                                                       pugi::parse_default, pugi::encoding_utf8);
    if (!res)
        return error = "line " + std::to_string(lines.of(static_cast<size_t>(res.offset) + bom)) +
                       ": malformed XML: " + res.description(),
               false;
    const pugi::xml_node root = xml.document_element();
    if (!unitOf(root, list.unit))
        return error = "line " + std::to_string(lines.of(root)) +
                       ": Units: a linear unit other than meter, USSurveyFoot, foot",
               false;
    bool any = false;
    for (const pugi::xml_node& group : root.children()) {
        if (localName(group) == "CoordinateSystem")
            list.coordinateSystem = coordinate_system_xml::read(group, lines.of(group));
        if (localName(group) != "CgPoints") continue;
        any = true;
        for (const pugi::xml_node& n : group.children()) {
            if (localName(n) != "CgPoint") continue;
            CgPointRecord p;
            p.line = lines.of(n);
            p.name = n.attribute("name").value();
            p.code = n.attribute("code").value();
            p.desc = n.attribute("desc").value();
            std::string why;
            if (readCoordinates(n.text().get(), p, why))
                list.points.push_back(std::move(p));
            else
                list.bad.emplace_back(p.line, "CgPoint: " + why);
        }
    }
    if (!any) return error = "line " + std::to_string(lines.of(root)) + ": no CgPoints", false;
    return true;
}

}  // namespace zel_landxml
