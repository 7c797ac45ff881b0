#include "DesignInput.h"

#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>

#include "SampleRoad.h"
#include "Stakeout.h"

namespace road {
namespace {

// Without an interval in the file: 20 m in metres, 50 ft in feet, the usual staking spacing.
constexpr double kDefaultIntervalM = 20.0;
constexpr double kDefaultIntervalFt = 50.0;

}  // namespace

void say(std::FILE* err, const std::string& text) {
    std::fprintf(err, "velmor-road: %s\n", text.c_str());
}

// Says why and returns the exit code.
int fail(std::FILE* err, const std::string& text, int code) {
    say(err, text);
    return code;
}

// "NAME must lie between LOW and HIGH", the bounds given in metres and shown in the unit the
// user reads and types.
std::string boundsMessage(const std::string& name, double lowM, double highM, Unit unit) {
    const std::string u = std::string(" ") + unitSymbol(unit);
    return name + " must lie between " + plainNumber(fromMetres(lowM, unit)) + u + " and " +
           plainNumber(fromMetres(highM, unit)) + u;
}

// A distance option in the output unit (NaN when not given), refused outside its bounds.
bool withinBounds(const char* name, double given, double lowM, double highM, Unit unit,
                  std::FILE* err) {
    const double m = toMetres(given, unit);
    if (std::isnan(given) || (m >= lowM && m <= highM)) return true;
    say(err, boundsMessage(name, lowM, highM, unit));
    return false;
}

Unit unitOf(landxml::LinearUnit u) {
    if (u == landxml::LinearUnit::USSurveyFoot) return Unit::USSurveyFoot;
    if (u == landxml::LinearUnit::InternationalFoot) return Unit::Foot;
    return Unit::Metre;
}

landxml::LinearUnit landXmlUnit(Unit u) {
    if (u == Unit::USSurveyFoot) return landxml::LinearUnit::USSurveyFoot;
    if (u == Unit::Foot) return landxml::LinearUnit::InternationalFoot;
    return landxml::LinearUnit::Meter;
}

int readDocument(const std::string& path, landxml::Document& doc, std::FILE* err) {
    std::string text, error;
    const ReadFailure failure = readTextFile(path, text, error);
    if (failure != ReadFailure::None) {
        say(err, error);
        return failure == ReadFailure::Io ? kExitFile : kExitBadInput;
    }
    if (!landxml::parseKeepingRefused(text, doc, error))
        return fail(err, path + ": " + error, kExitBadInput);
    for (const std::string& w : doc.warnings)
        say(err, path + ": warning: " + w);
    return kExitOk;
}

std::string refusalText(const std::string& path, const landxml::RefusedAlignment& r) {
    return path + ": alignment '" + r.name + "' refused: " + r.message;
}

namespace {

// A file none of whose alignments could be read: each one's reason.
int noneRead(const std::string& path, const landxml::Document& doc, std::FILE* err) {
    for (const landxml::RefusedAlignment& r : doc.refused)
        say(err, refusalText(path, r));
    return kExitBadInput;
}

std::string namesOf(const landxml::Document& doc) {
    std::string names;
    for (const landxml::Alignment& a : doc.alignments)
        names += (names.empty() ? "'" : ", '") + a.name + "'";
    return names;
}

}  // namespace

// The alignments a command works on: the one named, or all when `all`, or the first (saying
// so when there are others).
int chooseAlignments(const std::string& path, const landxml::Document& doc,
                     const std::string& wanted, bool all, std::FILE* err,
                     std::vector<const landxml::Alignment*>& chosen) {
    chosen.clear();
    for (const landxml::Alignment& a : doc.alignments)
        if (wanted.empty() ? all || chosen.empty() : a.name == wanted) chosen.push_back(&a);
    for (const landxml::RefusedAlignment& r : doc.refused)
        if (chosen.empty() && r.name == wanted)
            return fail(err, refusalText(path, r), kExitBadInput);
    if (doc.alignments.empty()) return noneRead(path, doc, err);
    if (chosen.empty()) {
        say(err, path + ": no alignment named '" + wanted + "'; the file has " + namesOf(doc));
        return kExitUsage;
    }
    if (wanted.empty() && !all && doc.alignments.size() > 1)
        say(err, path + " has " + counted(doc.alignments.size(), "alignment", "alignments") + " (" +
                     namesOf(doc) + "); using the first, '" + chosen[0]->name +
                     "' (choose with --alignment NAME)");
    return kExitOk;
}

// Builds one alignment and tells the user how well the file's own end points agree with the
// computed geometry.
// False with the refusal (not yet said) when the geometry cannot be built.
bool buildReported(const std::string& path, const landxml::Alignment& in, Unit unit, std::FILE* err,
                   CAlnt& alnt, std::string& error) {
    landxml::BuildReport report;
    if (!buildAlignment(in, alnt, report, error)) return false;
    alnt.setName(in.name.c_str());
    for (const std::string& w : report.warnings)
        say(err, path + ": warning: " + w);
    for (const std::string& n : report.notes)
        say(err, path + ": note: " + n);
    if (report.checkedEnds > 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.4f %s", fromMetres(report.largestEndDifference, unit),
                      unitSymbol(unit));
        say(err, path + ": '" + in.name + "', " +
                     counted(alnt.getNumOfHes(), "element", "elements") +
                     "; largest difference between computed and file end points " + buf +
                     " (element " + std::to_string(report.worstElement + 1) + ")");
    }
    return true;
}

namespace {

int buildDesign(const std::string& path, const landxml::Alignment& in, Unit unit, std::FILE* err,
                CAlnt& alnt) {
    std::string error;
    if (!buildReported(path, in, unit, err, alnt, error))
        return fail(err, path + ": " + error, kExitBadInput);
    return kExitOk;
}

std::string profileNames(const landxml::Alignment& a) {
    std::string names;
    for (const landxml::Profile& p : a.profiles)
        names += (names.empty() ? "'" : ", '") + p.name + "'";
    return names;
}

// The design profile asked for, else the first (saying so when there are others).
int chooseProfile(const std::string& path, const std::string& wanted, landxml::Alignment& a,
                  std::FILE* err) {
    std::string error;
    if (!wanted.empty() && !landxml::useProfile(a, wanted, error))
        return fail(err, path + ": --profile: " + error, kExitUsage);
    if (wanted.empty() && a.profiles.size() > 1)
        say(err, path + ": '" + a.name + "' has " +
                     counted(static_cast<long long>(a.profiles.size()), "profile", "profiles") +
                     " (" + profileNames(a) + "); using the first, '" + a.profiles[0].name +
                     "' (choose with --profile NAME)");
    return kExitOk;
}

}  // namespace

// The road of a file (or the built-in road when `path` is empty or "builtin").
int loadDesign(const std::string& path, const Common& c, std::FILE* err, Design& d) {
    if (path.empty() || path == kBuiltin) {
        buildSampleRoad(d.alnt);
        d.alnt.setName("sample");
        return kExitOk;
    }
    auto document = std::make_shared<landxml::Document>();
    landxml::Document& doc = *document;
    std::vector<const landxml::Alignment*> chosen;
    int code = readDocument(path, doc, err);
    if (code == kExitOk) code = chooseAlignments(path, doc, c.alignment, false, err, chosen);
    if (code != kExitOk) return code;
    landxml::Alignment in = *chosen[0];
    if ((code = chooseProfile(path, c.profile, in, err)) != kExitOk) return code;
    d.fileUnit = unitOf(doc.unit);
    const Unit unit = c.unit.empty() ? d.fileUnit : *parseUnit(c.unit);
    if ((code = buildDesign(path, in, unit, err, d.alnt)) != kExitOk) return code;
    d.stationing = landxml::stationingOf(*chosen[0]);
    d.intervalM = chosen[0]->staIncrement;
    d.alignmentIndex = static_cast<std::size_t>(chosen[0] - doc.alignments.data());
    d.document = std::move(document);
    d.path = path;
    d.coordinateSystem = doc.coordinateSystem;
    return kExitOk;
}

Unit outputUnit(const Common& c, const Design& d) {
    return c.unit.empty() ? d.fileUnit : *parseUnit(c.unit);
}

landxml::StationStyle stationStyle(const Common& c, Unit unit) {
    landxml::StationStyle s;
    s.unit = landXmlUnit(unit);
    s.stationLength = c.stationLength;
    s.decimals = c.stationDecimals;
    return s;
}

TableStyle tableStyle(const Common& c, Unit unit, const landxml::Stationing& stationing) {
    TableStyle s;
    s.unit = unit;
    s.csv = c.csv;
    s.angles = *parseAngleStyle(c.angles);
    const landxml::StationStyle style = stationStyle(c, unit);
    s.station = [stationing, style](double chainage) { return stationing.text(chainage, style); };
    return s;
}

// The station interval in metres: the one given (output unit; NaN when not given), else the
// file's, else 20 m or 50 ft.
bool intervalOf(double given, Unit unit, const Design& d, double& intervalM, std::FILE* err) {
    const double fallback =
        unit == Unit::Metre ? kDefaultIntervalM : toMetres(kDefaultIntervalFt, unit);
    intervalM = !std::isnan(given)           ? toMetres(given, unit)
                : std::isfinite(d.intervalM) ? d.intervalM
                                             : fallback;
    if (intervalM >= kMinIntervalM && intervalM <= kMaxIntervalM) return true;
    say(err, boundsMessage("--interval", kMinIntervalM, kMaxIntervalM, unit));
    return false;
}

// Offsets given in the output unit, in metres.
bool offsetsOf(const std::vector<double>& given, Unit unit, std::vector<double>& offsetsM,
               std::FILE* err) {
    offsetsM.clear();
    for (double off : given) {
        if (!withinBounds("--offsets", off, -kMaxAbsOffsetM, kMaxAbsOffsetM, unit, err))
            return false;
        offsetsM.push_back(toMetres(off, unit));
    }
    return true;
}

}  // namespace road
