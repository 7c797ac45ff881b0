#pragma once

#include <string>
#include <vector>

#include <velmorutils/landxml/RoadLayers.h>

// Writes the layers of a road (zel_landxml::buildRoadLayers) as a CAD or GIS file. GeoPackage,
// Shapefile, GeoJSON and KML go through GDAL's OGR; DXF is written here directly, since OGR's DXF
// writer keeps neither true arcs, attributes, nor the drawing unit. Nothing here throws; every
// file is written whole or not at all (a failed write leaves the previous file or folder as it
// was).
//
// Axis order: the layers hold northing first; every file holds x = easting (or longitude),
// y = northing (or latitude), GIS's traditional order, which the writer sets explicitly on every
// spatial reference (OAMS_TRADITIONAL_GIS_ORDER), whatever order the CRS's authority declares.
//
// Attribute names are the layers' own in every format: GeoPackage, Shapefile and KML fields,
// GeoJSON properties, and DXF extended data (application VELMOR, one "name=value" string per
// attribute that has a value). GeoJSON, a single layer, carries every feature with the name of
// its layer in the attribute `layer`. A feature's label (Feature::label) is DXF TEXT beside a
// point and the placemark name in KML (KML's own Name field).
namespace zel_gis {

using zel_landxml::Layer;
using zel_landxml::LinearUnit;

enum class Format { Dxf, GeoPackage, GeoJson, Kml, Shapefile };

// "dxf", "gpkg", "geojson", "kml", "shp".
bool formatFromText(const std::string& text, Format& format);
const char* formatText(Format format);
// GeoJSON (RFC 7946) and KML hold WGS 84 longitude and latitude only: they need the design's CRS.
bool needsCrs(Format format);

struct Target {
    Format format = Format::GeoPackage;
    // Plane coordinates in DXF, and in GeoPackage and Shapefile without a CRS. With a CRS these
    // two hold the CRS's own linear unit (US survey feet for a State Plane zone in feet).
    LinearUnit unit = LinearUnit::Meter;
    // The design's coordinate reference system as GDAL reads it: "EPSG:3878", WKT, or a PROJ
    // string; a projected CRS (the layers are plane grid points). Empty: none. GeoPackage and
    // Shapefile carry it; GeoJSON and KML are projected from it to WGS 84 (EPSG:4326) with the
    // operation PROJ chooses (its own accuracy, sub-millimetre for a datum-free projection).
    std::string crs;
};

// Writes the layers to `path`: one file (DXF, GeoPackage with one table per layer, GeoJSON, KML
// with one folder per layer), or a folder of one Shapefile per layer. False with a message
// naming the file and the reason (an unknown CRS, a format that needs one without it, a driver
// GDAL lacks, a full disk); the target is then as it was.
bool writeLayers(const std::string& path, const std::vector<Layer>& layers, const Target& target,
                 std::string& error);

// The DXF text of the layers (R12, which every CAD program reads): $INSUNITS set for the unit
// (6 metres, 2 feet, 21 US survey feet), one DXF layer per layer with its own colour, lines as
// POLYLINEs and arcs as ARCs, points as POINTs with their label as TEXT beside them.
std::string dxfText(const std::vector<Layer>& layers, LinearUnit unit);

}  // namespace zel_gis
