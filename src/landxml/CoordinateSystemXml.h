#pragma once

#include <pugixml.hpp>

#include <string>

#include <velmorutils/landxml/Model.h>

// LandXML's CoordinateSystem element, read and written apart from the alignments.
namespace zel_landxml::coordinate_system_xml {

// The attributes of a CoordinateSystem element (line: its line in the file).
CoordinateSystem read(const pugi::xml_node& element, int line);
// The element as one line of XML, attributes escaped (line ends kept as character references,
// so that a WKT over several lines reads back the same); empty when nothing is present.
std::string write(const CoordinateSystem& cs);

}  // namespace zel_landxml::coordinate_system_xml
