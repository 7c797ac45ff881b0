#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/XmlText.h>

#include "landxml/CoordinateSystemXml.h"

namespace zel_landxml {
namespace {

bool wholeNumber(const std::string& s) {
    return !s.empty() && s.size() <= 9 &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string trimmed(std::string s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

// The attributes in the order they are written, with the field each fills.
std::vector<std::pair<const char*, std::string CoordinateSystem::*>> attributes() {
    return {{"name", &CoordinateSystem::name},
            {"epsgCode", &CoordinateSystem::epsgCode},
            {"ogcWktCode", &CoordinateSystem::ogcWktCode},
            {"horizontalDatum", &CoordinateSystem::horizontalDatum},
            {"verticalDatum", &CoordinateSystem::verticalDatum},
            {"horizontalCoordinateSystemName", &CoordinateSystem::horizontalCoordinateSystemName}};
}

}  // namespace

std::string crsDefinition(const CoordinateSystem& cs) {
    if (wholeNumber(cs.epsgCode)) return "EPSG:" + cs.epsgCode;
    if (!cs.ogcWktCode.empty()) return cs.ogcWktCode;
    return cs.horizontalCoordinateSystemName;
}

namespace coordinate_system_xml {

CoordinateSystem read(const pugi::xml_node& element, int line) {
    CoordinateSystem cs;
    for (const auto& [name, field] : attributes())
        cs.*field = trimmed(element.attribute(name).value());
    cs.line = line;
    return cs;
}

std::string write(const CoordinateSystem& cs) {
    if (!cs.present()) return "";
    std::string xml = "<CoordinateSystem";
    for (const auto& [name, field] : attributes())
        if (!(cs.*field).empty())
            xml += std::string(" ") + name + "=\"" + xmlText(cs.*field) + "\"";
    return xml + "/>";
}

}  // namespace coordinate_system_xml
}  // namespace zel_landxml
