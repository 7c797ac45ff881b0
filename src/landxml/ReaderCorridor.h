#pragma once

// The parts of a LandXML file beyond the centre line: cross sections, superelevation and TIN
// surfaces; not part of the public interface. A fault is kept with what it spoils (the
// alignment's sectionsError or superelevationError, the surface's error) instead of refusing the
// file: the centre line stays usable, and the part is refused when it is asked for.

#include <pugixml.hpp>

#include <velmorutils/landxml/Model.h>

#include "landxml/ReaderText.h"

namespace zel_landxml::reader_corridor {

using reader_text::ReadContext;

// A CrossSects element of an alignment: its CrossSect in increasing station.
void readCrossSects(const pugi::xml_node& crossSects, const ReadContext& c, Alignment& a);

// One Superelevation period of an alignment, checked for the order of its stations and against
// the period before it.
void readSuperelevation(const pugi::xml_node& superelevation, const ReadContext& c, Alignment& a);

// Every Surface of a Surfaces element that holds a TIN definition.
void readSurfaces(const pugi::xml_node& surfaces, const ReadContext& c, Document& doc);

}  // namespace zel_landxml::reader_corridor
