#include "ExportLayers.h"

// The tool built without GDAL: the formats are known, and each is refused with the reason.
namespace road {

bool knownLayerFormat(const std::string& format) {
    return format == "dxf" || format == "gpkg" || format == "geojson" || format == "kml" ||
           format == "shp";
}

bool formatNeedsCrs(const std::string& format) {
    return format == "geojson" || format == "kml";
}

bool writeLayerFile(const std::string& path, const std::string&,
                    const std::vector<zel_landxml::Layer>&, Unit, const std::string&,
                    std::string& error) {
    error = path +
            ": this velmor-road was built without GDAL (libgdal-dev), which writes CAD "
            "and GIS files";
    return false;
}

}  // namespace road
