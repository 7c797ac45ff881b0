#include <velmorutils/gis/LayerWriter.h>

#include "ExportLayers.h"

namespace road {

bool knownLayerFormat(const std::string& format) {
    zel_gis::Format f;
    return zel_gis::formatFromText(format, f);
}

bool formatNeedsCrs(const std::string& format) {
    zel_gis::Format f;
    return zel_gis::formatFromText(format, f) && zel_gis::needsCrs(f);
}

bool writeLayerFile(const std::string& path, const std::string& format,
                    const std::vector<zel_landxml::Layer>& layers, Unit unit,
                    const std::string& crs, std::string& error) {
    zel_gis::Target target;
    if (!zel_gis::formatFromText(format, target.format)) {
        error = "unknown format '" + format + "'";
        return false;
    }
    target.unit = unit;
    target.crs = crs;
    return zel_gis::writeLayers(path, layers, target, error);
}

}  // namespace road
