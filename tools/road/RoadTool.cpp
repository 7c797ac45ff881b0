#include "RoadTool.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "ExportLayers.h"
#include "RoadCommands.h"
#include "RoadVersion.h"

namespace road {
namespace {

bool parseFinite(const std::string& text, double& v) {
    errno = 0;
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno != ERANGE && std::isfinite(v);
}

// Every number on the command line must be a finite number; CLI11 itself would take "nan".
const CLI::Validator kFinite(
    [](std::string& s) -> std::string {
        double v = 0.0;
        return parseFinite(s, v) ? std::string() : "'" + s + "' is not a finite number";
    },
    "NUMBER", "finite");

// A station is a whole number of units, as the station text needs: 1 to 1 000 000.
const CLI::Validator kWholeStation(
    [](std::string& s) -> std::string {
        double v = 0.0;
        if (parseFinite(s, v) && v >= 1.0 && v <= 1e6 && v == std::floor(v)) return std::string();
        return "'" + s + "' is not a whole number from 1 to 1000000";
    },
    "WHOLE", "station length");

const std::vector<std::string> kUnits{"m", "usft", "ft"};
const std::vector<std::string> kAngles{"dms", "deg", "gon"};

// For the commands that use heights.
void addProfileOption(CLI::App* cmd, Common& c) {
    cmd->add_option("--profile", c.profile,
                    "the design profile to use (default: the first; the others are named on "
                    "standard error)");
}

// `alignmentDefault` says what the command does without --alignment.
void addDesignOptions(CLI::App* cmd, Common& c,
                      const char* alignmentDefault = "(default: the first)") {
    cmd->add_option("--alignment", c.alignment,
                    std::string("the alignment of the file to use ") + alignmentDefault);
    cmd->add_option("--unit", c.unit, "unit of every number printed and read (default: the file's)")
        ->check(CLI::IsMember(kUnits));
}

void addTableOptions(CLI::App* cmd, Common& c) {
    addDesignOptions(cmd, c);
    cmd->add_flag("--csv", c.csv, "comma-separated values for machines, numbers only");
    cmd->add_option("--angles", c.angles, "azimuth as dms, deg or gon (CSV: dms gives deg)")
        ->check(CLI::IsMember(kAngles));
    cmd->add_option("--station-length", c.stationLength,
                    "length of one station in the output unit (default 1000 m, 100 ft)")
        ->check(kWholeStation);
    cmd->add_option("--station-decimals", c.stationDecimals, "decimals of station text (0 to 6)");
    cmd->add_option("--out", c.out, "write the table to this file instead of standard output");
}

CLI::App* addStakeout(CLI::App& app, StakeoutArgs& stake, Common& common) {
    CLI::App* cStake = app.add_subcommand(
        "stakeout", "stations from start to end at the interval plus every element boundary");
    cStake->add_option("FILE", stake.file,
                       "LandXML design, or 'builtin' (default: the built-in road, metres)");
    cStake
        ->add_option("--interval", stake.interval,
                     "station interval in the output unit (default: the file's, else 20 m "
                     "or 50 ft)")
        ->check(kFinite);
    cStake
        ->add_option("--offsets", stake.offsets,
                     "offsets in the output unit, right positive, e.g. -3.5,0,3.5")
        ->delimiter(',')
        ->check(kFinite);
    cStake->add_option("--from", stake.from, "first station (included)");
    cStake->add_option("--to", stake.to, "last station (included)");
    addPointsOutOptions(cStake, stake);
    cStake
        ->add_option("--codes", stake.codes,
                     "with a section model: stake the section points of these codes on each "
                     "side, e.g. ETW,BackCurb")
        ->delimiter(',');
    addTableOptions(cStake, common);
    addProfileOption(cStake, common);
    addSectionOptions(cStake, stake.sections);
    addOutCrsOption(cStake, stake.crs);
    addDesignCrsOptions(cStake, stake.crs);
    return cStake;
}

CLI::App* addSlopeStake(CLI::App& app, SlopeStakeArgs& ss, Common& common) {
    CLI::App* cmd = app.add_subcommand(
        "slope-stake",
        "per station and side: hinge, catch point of the side slope on the ground, and an "
        "offset stake beyond it with its cut or fill to the hinge");
    cmd->add_option("FILE", ss.file, "LandXML design, or 'builtin' (with --template)")->required();
    cmd->add_option("--interval", ss.interval,
                    "station interval in the output unit (default: the file's, else 20 m or 50 ft)")
        ->check(kFinite);
    cmd->add_option("--from", ss.from, "first station (included)");
    cmd->add_option("--to", ss.to, "last station (included)");
    cmd->add_option("--stake-offset", ss.stakeOffset,
                    "distance of the offset stake beyond the catch point, output unit (default 3)")
        ->check(kFinite);
    cmd->add_option("--search", ss.search,
                    "how far beyond the hinge the slope may meet the ground, output unit "
                    "(default 100)")
        ->check(kFinite);
    addTableOptions(cmd, common);
    addProfileOption(cmd, common);
    addSectionOptions(cmd, ss.sections);
    return cmd;
}

CLI::App* addStationOffset(CLI::App& app, StationOffsetArgs& so, Common& common) {
    CLI::App* cSo = app.add_subcommand("station-offset",
                                       "station, offset and height difference of measured points");
    cSo->add_option("FILE", so.file, "LandXML design, or 'builtin'")->required();
    cSo->add_option("POINTS", so.points,
                    "point file (comma, semicolon, tab or spaces), or - for standard input")
        ->required();
    cSo->add_option(
        "--columns", so.columns,
        "field order: P name, N, E, Z height, D code, S station (default PNEZD; Z, D, S "
        "optional)");
    CLI::Option* corridor =
        cSo->add_option("--corridor", so.corridor,
                        "points farther than this from the road (output unit, 1 mm to 100 km) "
                        "are off the road (default: every point gets its nearest foot)")
            ->check(kFinite);
    cSo->add_flag("--all-feet", so.allFeet,
                  "one row for every foot within the corridor (a point inside a tight curve "
                  "can be square to several elements)")
        ->needs(corridor);
    addTableOptions(cSo, common);
    addProfileOption(cSo, common);
    addSectionOptions(cSo, so.sections);
    addPointsCrsOption(cSo, so.crs);
    addDesignCrsOptions(cSo, so.crs);
    return cSo;
}

CLI::App* addPlot(CLI::App& app, PlotArgs& plot, Common& common) {
    CLI::App* cPlot = app.add_subcommand(
        "plot", "plan and profile on one drawing: SVG, PDF or PNG by the file's extension");
    cPlot->add_option("FILE", plot.file,
                      "LandXML design, or 'builtin' (default: the built-in road)");
    cPlot->add_option("-o,--out,--svg", plot.output, "the drawing to write: .svg, .pdf or .png")
        ->required();
    cPlot
        ->add_option("--paper", plot.paper,
                     "sheet A4, A3 or A1 (landscape) with a title block "
                     "and scales; default: the drawing fits its content")
        ->check(CLI::IsMember({"A4", "A3", "A1"}, CLI::ignore_case));
    cPlot
        ->add_option("--interval", plot.interval,
                     "station tick interval in the output unit (default: the file's, else 20 m "
                     "or 50 ft); labels thin out to multiples of it as the scale needs")
        ->check(kFinite);
    cPlot->add_option("--offsets", plot.offsets, "offset lines in the output unit, right positive")
        ->delimiter(',')
        ->check(kFinite);
    cPlot->add_option("--sections", plot.sections,
                      "FROM..TO: instead of plan and profile, one cross-section drawing per "
                      "section between these stations (the file's sections, else one per "
                      "interval), with ground, hinges, catch points and codes");
    addDesignOptions(cPlot, common);
    addProfileOption(cPlot, common);
    addSectionOptions(cPlot, plot.model);
    return cPlot;
}

CLI::App* addExport(CLI::App& app, std::string& exportFile, Common& common) {
    CLI::App* cExport = app.add_subcommand(
        "export-landxml",
        "every alignment (or the one named) with every profile as LandXML 1.2 in the file's "
        "unit; an alignment that cannot be read is left out and named (exit 1)");
    cExport->add_option("FILE", exportFile,
                        "LandXML design, or 'builtin' (default: the built-in road)");
    cExport->add_option("--out", common.out, "write to this file instead of standard output");
    addDesignOptions(cExport, common, "(default: every alignment of the file)");
    return cExport;
}

CLI::App* addList(CLI::App& app, std::string& listFile, Common& common) {
    CLI::App* cList = app.add_subcommand(
        "list",
        "each alignment's name, length, elements, stations, profiles and state (ok or refused: "
        "why), and the unit; exit 1 when any alignment is refused");
    cList->add_option("FILE", listFile, "LandXML file, or 'builtin'")->required();
    addDesignOptions(cList, common, "(default: every alignment of the file)");
    return cList;
}

CLI::App* addCurve(CLI::App& app, double& radius, double& length, Common& common) {
    CLI::App* cCurve = app.add_subcommand("curve", "every relation of a circular curve");
    cCurve->add_option("RADIUS", radius, "radius in the unit (default 450 m)")->check(kFinite);
    cCurve->add_option("LENGTH", length, "arc length in the unit (default 180 m)")->check(kFinite);
    cCurve
        ->add_option("--unit", common.unit,
                     "unit of the radius and every length, and base of the degree of curve "
                     "(100 m, 100 ft; default m)")
        ->check(CLI::IsMember(kUnits));
    return cCurve;
}

bool isCommand(const CLI::App& app, const std::string& name) {
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->get_name() == name) return true;
    return false;
}

const char* kFooter =
    "Exit codes: 0 done; 1 some input lines or the design refused (the good lines are still "
    "in the table); 2 usage error; 3 a file or standard output could not be read or written.\n";

// Parses the command line into `app`'s options; -1 when a command is to run, else the exit code.
int parseCommandLine(CLI::App& app, int argc, const char* const* argv, std::FILE* out,
                     std::FILE* err) {
    // Without a command the tool stakes out the built-in road.
    std::vector<const char*> args(argv, argv + argc);
    if (argc <= 1) args = {argc > 0 ? argv[0] : "velmor-road", "stakeout"};
    if (args.size() > 1 && args[1][0] != '-' && !isCommand(app, args[1])) {
        say(err, std::string("unknown command '") + args[1] +
                     "'; the commands are stakeout, slope-stake, station-offset, plot, "
                     "export-landxml, export, list, curve, check, factors");
        return kExitUsage;
    }
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), out);
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        std::fprintf(out, "%s\n", e.what());
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        say(err, e.what());
        std::fprintf(err, "Run 'velmor-road --help' or 'velmor-road COMMAND --help'.\n");
        return kExitUsage;
    }
    return -1;
}

}  // namespace

int runRoadTool(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    CLI::App app(
        "velmor-road: stake-out tables, station and offset of measured points, plots "
        "and LandXML export of road alignments.",
        "velmor-road");
    app.footer(kFooter);
    app.require_subcommand(1, 1);
    app.set_version_flag("--version", std::string("velmor-road ") + kVelmorRoadVersion,
                         "print the version and stop");
    Common common;
    StakeoutArgs stake;
    CLI::App* cStake = addStakeout(app, stake, common);
    SlopeStakeArgs slope;
    CLI::App* cSlope = addSlopeStake(app, slope, common);
    StationOffsetArgs so;
    CLI::App* cSo = addStationOffset(app, so, common);
    PlotArgs plot;
    CLI::App* cPlot = addPlot(app, plot, common);
    std::string exportFile;
    CLI::App* cExport = addExport(app, exportFile, common);
    LayerExportArgs layerExport;
    CLI::App* cLayers = addLayerExport(app, layerExport, common);
    std::string listFile;
    CLI::App* cList = addList(app, listFile, common);
    CheckArgs check;
    CLI::App* cCheck = addCheck(app, check, common);
    addPointsCrsOption(cCheck, check.crs);
    addDesignCrsOptions(cCheck, check.crs);
    addTableOptions(cCheck, common);
    addProfileOption(cCheck, common);
    double radius = kExampleRadius, length = kExampleLength;
    CLI::App* cCurve = addCurve(app, radius, length, common);
    FactorsArgs factors;
    CLI::App* cFactors = addFactors(app, factors);
    addTableOptions(cFactors, common);
    addProfileOption(cFactors, common);
    if (const int code = parseCommandLine(app, argc, argv, out, err); code >= 0) return code;
    if (common.stationDecimals < 0 || common.stationDecimals > 6)
        return fail(err, "--station-decimals must lie between 0 and 6", kExitUsage);
    if (cStake->parsed()) return runStakeout(stake, common, out, err);
    if (cSlope->parsed()) return runSlopeStake(slope, common, out, err);
    if (cSo->parsed()) return runStationOffset(so, common, out, err);
    if (cPlot->parsed()) return runPlot(plot, common, err);
    if (cExport->parsed()) return runExport(exportFile, common, out, err);
    if (cLayers->parsed()) return runLayerExport(layerExport, common, err);
    if (cList->parsed()) return runList(listFile, common, out, err);
    if (cCheck->parsed()) return runCheck(check, common, out, err);
    if (cFactors->parsed()) return runFactors(factors, common, out, err);
    return runCurve(cCurve, radius, length, common, out, err);
}

}  // namespace road
