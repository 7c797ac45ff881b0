#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdlib>

#include "ExportLayers.h"
#include "RoadCommands.h"
#include "Stakeout.h"

namespace road {
namespace {

// "nan" and "inf" read as numbers; none is a distance.
const CLI::Validator kFiniteNumber(
    [](std::string& s) -> std::string {
        char* end = nullptr;
        const double v = std::strtod(s.c_str(), &end);
        return !s.empty() && *end == '\0' && std::isfinite(v)
                   ? std::string()
                   : "'" + s + "' is not a finite number";
    },
    "NUMBER", "finite");

}  // namespace

CLI::App* addLayerExport(CLI::App& app, LayerExportArgs& a, Common& c) {
    CLI::App* cmd = app.add_subcommand(
        "export",
        "the road as CAD and GIS layers (centreline, offsets, stations, keypoints, stakes): DXF "
        "in the design's unit, GeoPackage, a Shapefile folder, GeoJSON or KML (WGS 84)");
    cmd->add_option("FILE", a.file, "LandXML design, or 'builtin'")->required();
    cmd->add_option("--format", a.format, "dxf, gpkg, geojson, kml or shp")
        ->required()
        ->check(CLI::IsMember({"dxf", "gpkg", "geojson", "kml", "shp"}));
    cmd->add_option("-o,--out", a.output,
                    "the file to write (a folder for shp), whole or not at all")
        ->required();
    cmd->add_option("--crs", a.crs,
                    "the design's coordinate system (EPSG:3878, WKT or a PROJ string; default: "
                    "the one the design file names); GeoJSON and KML need it, GeoPackage and "
                    "Shapefile carry it");
    cmd->add_option("--chord-error", a.chordError,
                    "largest distance of a drawn chord from the true curve, output unit "
                    "(default 1 mm; arcs are true arcs in DXF)")
        ->check(kFiniteNumber);
    cmd->add_option("--interval", a.interval,
                    "station interval in the output unit (default: the file's, else 20 m or 50 "
                    "ft)")
        ->check(kFiniteNumber);
    cmd->add_option("--offsets", a.offsets,
                    "offsets in the output unit, right positive: offset lines and stakes "
                    "(default 0: the centre line)")
        ->delimiter(',')
        ->check(kFiniteNumber);
    cmd->add_option("--start-number", a.startNumber, "number of the first stake (default 1)");
    addSectionOptions(cmd, a.sections);
    cmd->add_option("--alignment", c.alignment, "the alignment of the file (default: the first)");
    cmd->add_option("--unit", c.unit,
                    "unit of the drawing and the attributes (default: the file's)")
        ->check(CLI::IsMember({"m", "usft", "ft"}));
    cmd->add_option("--profile", c.profile, "the design profile of the stake heights");
    cmd->add_option("--station-length", c.stationLength,
                    "length of one station in the output unit (default 1000 m, 100 ft)");
    cmd->add_option("--station-decimals", c.stationDecimals, "decimals of station text (0 to 6)");
    return cmd;
}

namespace {

int layerRequest(const LayerExportArgs& a, const Common& c, const Design& d,
                 zel_landxml::LayerRequest& r, std::FILE* err) {
    const Unit unit = outputUnit(c, d);
    if (!intervalOf(a.interval, unit, d, r.intervalM, err) ||
        !offsetsOf(a.offsets, unit, r.offsetsM, err))
        return kExitUsage;
    if (!std::isnan(a.chordError)) r.chordErrorM = toMetres(a.chordError, unit);
    if (!(r.chordErrorM >= zel_landxml::kMinChordErrorM &&
          r.chordErrorM <= zel_landxml::kMaxChordErrorM))
        return fail(err,
                    boundsMessage("--chord-error", zel_landxml::kMinChordErrorM,
                                  zel_landxml::kMaxChordErrorM, unit),
                    kExitUsage);
    r.unit = landXmlUnit(unit);
    r.stationStyle = stationStyle(c, unit);
    r.firstStakeNumber = a.startNumber;
    StakeoutOptions o;
    o.interval = r.intervalM;
    o.offsets = r.offsetsM;
    o.stationing = &d.stationing;
    if (stakeoutRowCount(d.alnt, o) > kMaxStakeoutRows)
        return fail(err, "--interval: the stake-out would have more than 10 million rows",
                    kExitUsage);
    return kExitOk;
}

}  // namespace

int runLayerExport(const LayerExportArgs& a, const Common& c, std::FILE* err) {
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    // --crs overrules the coordinate system the design file names.
    const std::string crs = a.crs.empty() ? zel_landxml::crsDefinition(d.coordinateSystem) : a.crs;
    if (formatNeedsCrs(a.format) && crs.empty())
        return fail(err,
                    a.format +
                        " is written in WGS 84 longitude and latitude, which needs the "
                        "design's coordinate system: the design names none; give it "
                        "with --crs (e.g. --crs EPSG:3878)",
                    kExitUsage);
    zel_landxml::LayerRequest request;
    if ((code = layerRequest(a, c, d, request, err)) != kExitOk) return code;
    RoadModel model;
    if ((code = loadRoadModel(a.sections, c, d, model, err)) != kExitOk) return code;
    if (model.hasModel()) {
        request.corridor = model.corridor.get();
        if (model.hasGround()) request.ground = &model.ground;
    }
    std::vector<zel_landxml::Layer> layers;
    std::string error;
    if (!zel_landxml::buildRoadLayers(d.alnt, d.stationing, request, layers, error))
        return fail(err, a.file + ": " + error, kExitBadInput);
    if (!writeLayerFile(a.output, a.format, layers, outputUnit(c, d), crs, error))
        return fail(err, error, kExitFile);
    return kExitOk;
}

}  // namespace road
