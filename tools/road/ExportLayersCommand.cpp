#include <CLI/CLI.hpp>

#include <cmath>

#include "ExportLayers.h"
#include "RoadCommands.h"
#include "Stakeout.h"

namespace road {
CLI::App* addLayerExport(CLI::App& app, LayerExportArgs& a, Common& c) {
    CLI::App* cmd = app.add_subcommand(
        "export",
        "the road as CAD and GIS layers (centreline, offsets, stations, keypoints, stakes; "
        "sections and catchpoints with a section model; check with --check): DXF in the "
        "design's unit, GeoPackage, a Shapefile folder, GeoJSON or KML (WGS 84)");
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
        ->check(finiteNumber());
    cmd->add_option("--interval", a.interval,
                    "station interval in the output unit (default: the file's, else 20 m or 50 "
                    "ft)")
        ->check(finiteNumber());
    cmd->add_option("--offsets", a.offsets,
                    "offsets in the output unit, right positive: offset lines and stakes "
                    "(default 0: the centre line)")
        ->delimiter(',')
        ->check(finiteNumber());
    cmd->add_option("--start-number", a.startNumber, "number of the first stake (default 1)");
    CLI::Option* check = cmd->add_option(
        "--check", a.check.file,
        "as-built shots (a point file, see --columns, or LandXML CgPoints): a check layer of "
        "each shot's deviations and pass/fail, as the check command gives them, against the "
        "--offsets lines (or the section model)");
    addShotOptions(cmd, a.check, check);
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

// The check layer of --check: the shots read and checked as the check command does. kExitOk,
// or kExitBadInput (after the layer is made) when some shots were bad, as `check` answers.
int checkLayer(const LayerExportArgs& a, const Common& c, const Design& d,
               const zel_landxml::LayerRequest& request, zel_landxml::Layer& layer,
               std::FILE* err) {
    const Unit unit = outputUnit(c, d);
    CheckRun run;
    run.design = a.file;
    run.shotFile = a.check.file;
    if (!toleranceOptions(a.check, unit, run.options, err)) return kExitUsage;
    run.options.offsets = request.offsetsM;
    run.options.corridor = request.corridor;
    CrsArgs crs;
    crs.crs = a.crs;
    int code = kExitOk;
    if ((code = readShots(a.check, crs, d, unit, run, err)) != kExitOk ||
        (code = evaluateShots(d, run, err)) != kExitOk)
        return code;
    const std::vector<zel_landxml::CheckShot> shots =
        zel_landxml::checkShotsOf(run.shots, run.results, d.stationing, request.stationStyle);
    std::string error;
    if (!zel_landxml::buildCheckLayer(d.alnt, shots, request.unit, layer, error))
        return fail(err, a.check.file + ": " + error, kExitBadInput);
    const long long bad = badShots(run);
    if (bad == 0) return kExitOk;
    say(err, a.check.file + ": " + counted(bad, "bad shot", "bad shots") +
                 " (listed above) left out of the check layer");
    return kExitBadInput;
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
    int checked = kExitOk;
    if (!a.check.file.empty()) {
        layers.emplace_back();
        checked = checkLayer(a, c, d, request, layers.back(), err);
        if (checked != kExitOk && checked != kExitBadInput) return checked;
    }
    if (!writeLayerFile(a.output, a.format, layers, outputUnit(c, d), crs, error))
        return fail(err, error, kExitFile);
    return checked;
}

}  // namespace road
