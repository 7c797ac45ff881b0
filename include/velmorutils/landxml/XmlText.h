#pragma once

#include <string>

namespace zel_landxml {

// Text made safe for an XML attribute value or element content, as every XML file the library
// and the road tool write (LandXML designs, stake point files, SVG drawings) needs it: & < > "
// as entities, and line ends and tabs as character references, so that an attribute holding
// several lines (a WKT) reads back the same instead of being folded into spaces by the reader.
std::string xmlText(const std::string& s);

}  // namespace zel_landxml
