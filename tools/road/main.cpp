#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>

#include "CurveTable.h"
#include "SampleRoad.h"
#include "Stakeout.h"
#include "StationOffset.h"
#include "SvgPlot.h"

namespace landxml = zel_landxml;

namespace {

// The built-in example curve: a 450 m radius with a 180 m arc, typical of a rural road.
constexpr double kExampleRadius = 450.0;
constexpr double kExampleLength = 180.0;
// Without an interval in the file, stations every 20 m, the usual spacing for staking a road.
constexpr double kDefaultInterval = 20.0;

const char* kUsage =
    "usage: velmor-road COMMAND [options]\n"
    "commands:\n"
    "  stakeout [FILE.xml]              stake-out table (built-in road without a file)\n"
    "  station-offset FILE.xml POINTS   station and offset of measured points\n"
    "  plot [FILE.xml] --svg OUT.svg    plan and profile as SVG\n"
    "  export-landxml [FILE.xml]        write the alignment as LandXML 1.2\n"
    "  curve [RADIUS LENGTH]            relations of a circular curve\n"
    "'velmor-road COMMAND --help' describes a command. Without a command: stakeout.\n";

struct Args {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for flags)
    bool help = false;

    const std::string* get(const std::string& name) const {
        for (const auto& [n, v] : options)
            if (n == name) return &v;
        return nullptr;
    }
    bool has(const std::string& name) const { return get(name) != nullptr; }
};

// Options that take a value; every other "--x" is a flag.
bool takesValue(const std::string& name) {
    for (const char* n : {"--interval", "--offsets", "--svg", "--unit", "--out", "--alignment"})
        if (name == n) return true;
    return false;
}

bool parseArgs(int argc, char** argv, Args& args) {
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            args.help = true;
        } else if (a.rfind("--", 0) == 0) {
            std::string name = a, value;
            const size_t eq = a.find('=');
            if (eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
            } else if (takesValue(a)) {
                if (i + 1 >= argc) {
                    std::fprintf(stderr, "velmor-road: %s needs a value\n", a.c_str());
                    return false;
                }
                value = argv[++i];
            }
            args.options.push_back({name, value});
        } else {
            args.positional.push_back(a);
        }
    }
    return true;
}

bool parseNumber(const std::string& text, double& v) {
    errno = 0;
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno != ERANGE && std::isfinite(v);
}

bool parseOffsets(const std::string& text, std::vector<double>& offsets) {
    offsets.clear();
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        double v = 0;
        if (!parseNumber(item, v)) return false;
        offsets.push_back(v);
    }
    return !offsets.empty();
}

// Reads the road of a file (the named alignment, or the first) or builds the sample road, and
// tells the user how well the file's own end points agree with the computed geometry.
bool loadRoad(const std::string* file, const Args& args, CAlnt& alnt) {
    if (file == nullptr) {
        road::buildSampleRoad(alnt);
        return true;
    }
    landxml::Document doc;
    std::string error;
    if (!landxml::readFile(*file, doc, error)) {
        std::fprintf(stderr, "velmor-road: %s\n", error.c_str());
        return false;
    }
    const landxml::Alignment* chosen = &doc.alignments.front();
    if (const std::string* name = args.get("--alignment")) {
        chosen = nullptr;
        for (const auto& a : doc.alignments)
            if (a.name == *name) chosen = &a;
        if (chosen == nullptr) {
            std::fprintf(stderr, "velmor-road: %s: no alignment named '%s'\n", file->c_str(),
                         name->c_str());
            return false;
        }
    }
    landxml::BuildReport report;
    if (!landxml::buildAlignment(*chosen, alnt, report, error)) {
        std::fprintf(stderr, "velmor-road: %s: %s\n", file->c_str(), error.c_str());
        return false;
    }
    alnt.setName(chosen->name.c_str());
    alnt.setChainageIntervalInM(chosen->staIncrement > 0.0 ? chosen->staIncrement
                                                           : kDefaultInterval);
    for (const std::string& w : doc.warnings)
        std::fprintf(stderr, "velmor-road: %s: warning: %s\n", file->c_str(), w.c_str());
    for (const std::string& w : report.warnings)
        std::fprintf(stderr, "velmor-road: warning: %s\n", w.c_str());
    for (const std::string& n : report.notes)
        std::fprintf(stderr, "velmor-road: note: %s\n", n.c_str());
    if (report.checkedEnds > 0)
        std::fprintf(stderr,
                     "velmor-road: %s: %d elements; largest difference between computed and file "
                     "end points %.4f m (element %d)\n",
                     file->c_str(), alnt.getNumOfHes(), report.largestEndDifference,
                     report.worstElement + 1);
    return true;
}

const std::string* optionalFile(const Args& args) {
    return args.positional.empty() ? nullptr : &args.positional.front();
}

int runStakeout(const Args& args) {
    if (args.help) {
        std::printf(
            "usage: velmor-road stakeout [FILE.xml] [--interval M] [--offsets A,B,...] [--csv]\n"
            "       [--alignment NAME]\n"
            "Stations from start to end at the interval (default the alignment's, 20 m), plus "
            "every\n"
            "element boundary (marked *), with northing, easting, design height and azimuth, for\n"
            "each offset (right of increasing chainage positive). Without FILE: the built-in "
            "road.\n");
        return 0;
    }
    if (args.positional.size() > 1) return std::fprintf(stderr, "%s", kUsage), 2;
    CAlnt alnt;
    if (!loadRoad(optionalFile(args), args, alnt)) return 1;
    road::StakeoutOptions options;
    options.interval = alnt.getChainageIntervalInM();
    options.csv = args.has("--csv");
    if (const std::string* v = args.get("--interval"))
        if (!parseNumber(*v, options.interval) || options.interval <= 0.0)
            return std::fprintf(stderr, "velmor-road: --interval needs a positive number\n"), 2;
    if (const std::string* v = args.get("--offsets"))
        if (!parseOffsets(*v, options.offsets))
            return std::fprintf(stderr, "velmor-road: --offsets needs numbers like -3.5,0,3.5\n"),
                   2;
    // Progress only where a person watches, and never in the table itself.
    if (isatty(STDERR_FILENO))
        options.progress = [](double done) {
            std::fprintf(stderr, "\rstake-out %3.0f%%", done * 100);
        };
    std::string error;
    const bool ok = road::writeStakeout(stdout, alnt, options, error);
    if (options.progress) std::fprintf(stderr, "\r                \r");
    if (!ok) return std::fprintf(stderr, "velmor-road: %s\n", error.c_str()), 1;
    return 0;
}

int runStationOffset(const Args& args) {
    if (args.help || args.positional.size() != 2) {
        std::fprintf(args.help ? stdout : stderr,
                     "usage: velmor-road station-offset FILE.xml POINTS.csv [--csv]\n"
                     "POINTS.csv: name,northing,easting[,height] per line. Prints each point's\n"
                     "station, offset (right positive) and measured minus design height.\n"
                     "FILE.xml may be 'builtin' for the built-in road.\n");
        return args.help ? 0 : 2;
    }
    CAlnt alnt;
    const std::string* file = args.positional[0] == "builtin" ? nullptr : &args.positional[0];
    if (!loadRoad(file, args, alnt)) return 1;
    std::ifstream in(args.positional[1], std::ios::binary);
    if (!in)
        return std::fprintf(stderr, "velmor-road: %s: cannot open\n", args.positional[1].c_str()),
               1;
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<road::MeasuredPoint> points;
    std::string error;
    if (!road::readPoints(text.str(), points, error))
        return std::fprintf(stderr, "velmor-road: %s: %s\n", args.positional[1].c_str(),
                            error.c_str()),
               1;
    road::writeStationOffset(stdout, alnt, points, args.has("--csv"));
    return 0;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

int runPlot(const Args& args) {
    const std::string* svg = args.get("--svg");
    if (args.help || svg == nullptr || args.positional.size() > 1) {
        std::fprintf(args.help ? stdout : stderr,
                     "usage: velmor-road plot [FILE.xml] --svg OUT.svg [--offsets A,B,...]\n"
                     "Draws the plan (centre line, element boundaries, stations, offset lines)\n"
                     "and the profile (design heights, VIPs, grades) into one SVG file.\n");
        return args.help ? 0 : 2;
    }
    CAlnt alnt;
    if (!loadRoad(optionalFile(args), args, alnt)) return 1;
    road::PlotOptions options;
    if (const std::string* v = args.get("--offsets"))
        if (!parseOffsets(*v, options.offsets))
            return std::fprintf(stderr, "velmor-road: --offsets needs numbers like -3.5,3.5\n"), 2;
    if (!writeFile(*svg, road::plotSvg(alnt, options)))
        return std::fprintf(stderr, "velmor-road: %s: cannot write\n", svg->c_str()), 1;
    return 0;
}

int runExport(const Args& args) {
    if (args.help || args.positional.size() > 1) {
        std::fprintf(
            args.help ? stdout : stderr,
            "usage: velmor-road export-landxml [FILE.xml] [--unit meter|USSurveyFoot|foot]\n"
            "       [--out OUT.xml]\n"
            "Writes the alignment (the built-in road without FILE) as LandXML 1.2; a curve\n"
            "at an intersection point becomes its spirals and arc.\n");
        return args.help ? 0 : 2;
    }
    landxml::LinearUnit unit = landxml::LinearUnit::Meter;
    if (const std::string* u = args.get("--unit")) {
        if (*u == "USSurveyFoot")
            unit = landxml::LinearUnit::USSurveyFoot;
        else if (*u == "foot" || *u == "internationalFoot")
            unit = landxml::LinearUnit::InternationalFoot;
        else if (*u != "meter")
            return std::fprintf(stderr, "velmor-road: unknown unit '%s'\n", u->c_str()), 2;
    }
    CAlnt alnt;
    if (!loadRoad(optionalFile(args), args, alnt)) return 1;
    landxml::Document doc;
    doc.alignments.resize(1);
    std::string error;
    if (!landxml::describeAlignment(alnt, doc.alignments[0], error))
        return std::fprintf(stderr, "velmor-road: %s\n", error.c_str()), 1;
    const std::string xml = landxml::write(doc, unit);
    if (const std::string* out = args.get("--out")) {
        if (!writeFile(*out, xml))
            return std::fprintf(stderr, "velmor-road: %s: cannot write\n", out->c_str()), 1;
        return 0;
    }
    std::fputs(xml.c_str(), stdout);
    return 0;
}

int runCurve(const Args& args) {
    double radius = kExampleRadius, length = kExampleLength;
    const bool bad = args.positional.size() == 1 || args.positional.size() > 2 ||
                     (args.positional.size() == 2 &&
                      !(parseNumber(args.positional[0], radius) &&
                        parseNumber(args.positional[1], length) && radius > 0 && length > 0));
    if (args.help || bad) {
        std::fprintf(args.help ? stdout : stderr,
                     "usage: velmor-road curve [RADIUS LENGTH]\n"
                     "Relations of a circular curve (default R=%.0f m, L=%.0f m), entered in each\n"
                     "display kind: radius, degree of curve, central angle, chord, tangent, ...\n",
                     kExampleRadius, kExampleLength);
        return args.help ? 0 : 2;
    }
    printCurveTable(stdout, radius, length);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "stakeout";
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Args args;
    if (!parseArgs(argc > 1 ? argc - 2 : 0, argv + 2, args)) return 2;
    if (command == "stakeout") return runStakeout(args);
    if (command == "station-offset") return runStationOffset(args);
    if (command == "plot") return runPlot(args);
    if (command == "export-landxml") return runExport(args);
    if (command == "curve") return runCurve(args);
    std::fprintf(stderr, "velmor-road: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
}
