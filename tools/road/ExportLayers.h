#pragma once

// `velmor-road export`: the road and its stake-out as CAD and GIS layers (DXF, GeoPackage,
// Shapefile, GeoJSON, KML), and as-built shots with their deviations as a check layer.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/landxml/RoadLayers.h>

#include "CheckShots.h"
#include "DesignInput.h"
#include "RoadModel.h"

namespace CLI {
class App;
}

namespace road {

struct LayerExportArgs {
    std::string file;
    std::string format;  // dxf, gpkg, geojson, kml, shp
    std::string output;
    std::string crs;          // the design's CRS when its file names none
    double chordError = NAN;  // output unit; NaN: 1 mm
    double interval = NAN;    // output unit; NaN: the file's, else 20 m or 50 ft
    std::vector<double> offsets{0.0};
    int startNumber = 1;
    SectionArgs sections;  // the road beyond the centre line: sections and catchpoints layers
    // --check SHOTS with --columns, --tol-h, --tol-v: a check layer of the shots, checked as
    // `check` checks them against the design lines of --offsets (or the section model).
    ShotArgs check;
};

CLI::App* addLayerExport(CLI::App& app, LayerExportArgs& a, Common& c);
int runLayerExport(const LayerExportArgs& a, const Common& c, std::FILE* err);

// Where the layers go: "dxf", "gpkg", "geojson", "kml" or "shp". Written by the GIS component
// where the tool was built with it; without GDAL every format is refused with a message saying
// so. unit: of the plane coordinates (DXF; GeoPackage and Shapefile without a CRS).
bool knownLayerFormat(const std::string& format);
bool formatNeedsCrs(const std::string& format);
bool writeLayerFile(const std::string& path, const std::string& format,
                    const std::vector<zel_landxml::Layer>& layers, Unit unit,
                    const std::string& crs, std::string& error);

}  // namespace road
