#include "RoadTool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/utils/AtomicFileWriter.h>

#include "CurveTable.h"
#include "FileIo.h"
#include "Plot.h"
#include "PointFile.h"
#include "RoadVersion.h"
#include "SampleRoad.h"
#include "Stakeout.h"
#include "StationOffset.h"

namespace road {
namespace {

namespace landxml = zel_landxml;

// The built-in example curve: a 450 m radius with a 180 m arc, typical of a rural road.
constexpr double kExampleRadius = 450.0;
constexpr double kExampleLength = 180.0;
// Without an interval in the file: 20 m in metres, 50 ft in feet, the usual staking spacing.
constexpr double kDefaultIntervalM = 20.0;
constexpr double kDefaultIntervalFt = 50.0;
// A corridor for station-offset from 1 mm to 100 km across.
constexpr double kMinCorridorM = 0.001;
constexpr double kMaxCorridorM = 100000.0;

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
// In place of a file name: the built-in road.
constexpr const char* kBuiltin = "builtin";
const std::vector<std::string> kAngles{"dms", "deg", "gon"};

// Options that every command shares.
struct Common {
    std::string alignment;
    std::string unit;  // empty: the file's own
    std::string out;   // empty: standard output
    bool csv = false;
    std::string angles = "dms";
    double stationLength = 0.0;  // 0: the unit's usual (1000 m, 100 ft)
    int stationDecimals = 2;
    std::string profile;  // empty: the first
};

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

// The road a command works on, with the unit, stations and interval of its file.
struct Design {
    CAlnt alnt;
    Unit fileUnit = Unit::Metre;
    landxml::Stationing stationing;
    double intervalM = NAN;  // the file's own station interval, when it gives one
};

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

// The road of a file (or the built-in road when `path` is empty or "builtin").
int loadDesign(const std::string& path, const Common& c, std::FILE* err, Design& d) {
    if (path.empty() || path == kBuiltin) {
        buildSampleRoad(d.alnt);
        d.alnt.setName("sample");
        return kExitOk;
    }
    landxml::Document doc;
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

// Where a table goes: standard output, or a file written whole or not at all.
class Output {
public:
    Output(std::FILE* stdOut, const std::string& path) : stdOut_(stdOut) {
        if (!path.empty()) file_ = std::make_unique<CAtomicFileWriter>(path.c_str());
    }

    bool open(std::FILE* err) {
        if (!file_ || file_->IsOpen()) return true;
        say(err, file_->ErrorText());
        return false;
    }
    std::FILE* stream() const { return file_ ? file_->File() : stdOut_; }
    // Nothing of the table is kept when `keep` is false.
    bool finish(bool keep, std::FILE* err) {
        if (file_ && !keep) {
            file_->Abandon();
            return true;
        }
        std::string error;
        const bool ok = file_ ? file_->Commit() : finishStream(stdOut_, "standard output", error);
        if (!ok) say(err, file_ ? file_->ErrorText() : error);
        return ok;
    }

private:
    std::FILE* stdOut_;
    std::unique_ptr<CAtomicFileWriter> file_;
};

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

// ---- stakeout ----

struct StakeoutArgs {
    std::string file;
    double interval = NAN;  // NaN: default
    std::vector<double> offsets{0.0};
    std::string from, to;
};

int checkStakeout(const StakeoutArgs& a, const Common& c, Unit unit, const Design& d,
                  StakeoutOptions& o, std::FILE* err) {
    if (!intervalOf(a.interval, unit, d, o.interval, err) ||
        !offsetsOf(a.offsets, unit, o.offsets, err))
        return kExitUsage;
    const landxml::StationStyle style = stationStyle(c, unit);
    std::string error;
    if (!a.from.empty() && !d.stationing.chainage(a.from, style, o.from, error))
        return fail(err, "--from: " + error, kExitUsage);
    if (!a.to.empty() && !d.stationing.chainage(a.to, style, o.to, error))
        return fail(err, "--to: " + error, kExitUsage);
    o.stationing = &d.stationing;
    if (o.from > o.to) return fail(err, "--from: lies after --to", kExitUsage);
    if (stakeoutRowCount(d.alnt, o) > kMaxStakeoutRows)
        return fail(err, "--interval: the table would have more than 10 million rows", kExitUsage);
    return kExitOk;
}

int runStakeout(const StakeoutArgs& a, const Common& c, std::FILE* out, std::FILE* err) {
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    const Unit unit = outputUnit(c, d);
    StakeoutOptions o;
    if ((code = checkStakeout(a, c, unit, d, o, err)) != kExitOk) return code;
    o.style = tableStyle(c, unit, d.stationing);
    o.stationStyle = stationStyle(c, unit);
    // Progress only where a person watches, and never in the table itself.
    if (err == stderr && isatty(STDERR_FILENO))
        o.progress = [](double done) { std::fprintf(stderr, "\rstake-out %3.0f%%", done * 100); };
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    std::string error;
    const bool ok = writeStakeout(output.stream(), d.alnt, o, error);
    if (o.progress) std::fprintf(stderr, "\r                \r");
    if (!ok) {
        output.finish(false, err);
        return fail(err, error, kExitBadInput);
    }
    return output.finish(true, err) ? kExitOk : kExitFile;
}

// ---- station-offset ----

struct StationOffsetArgs {
    std::string file, points;
    std::string columns = "PNEZD";
    double corridor = NAN;  // output unit; NaN: none
    bool allFeet = false;
};

// Points are read, answered and written this many at a time: large enough that the batch
// answer keeps the road's tree in the cache, small enough that memory stays a few megabytes
// whatever the file's size.
constexpr std::size_t kPointsPerBlock = 64 * 1024;

// Reads the stations the points carry against the design; a station that is not one of the
// design's makes its line a bad line.
void readCarriedStations(std::vector<MeasuredPoint>& points, std::vector<BadLine>& bad,
                         const landxml::Stationing& stationing,
                         const landxml::StationStyle& style) {
    size_t kept = 0;
    for (MeasuredPoint& p : points) {
        std::string error;
        if (!p.station.empty() && !stationing.chainage(p.station, style, p.chainageM, error)) {
            bad.push_back({p.line, p.station, "station: " + error});
            continue;
        }
        p.hasChainage = !p.station.empty();
        if (&points[kept] != &p) points[kept] = std::move(p);
        ++kept;
    }
    points.resize(kept);
    std::sort(bad.begin(), bad.end(),
              [](const BadLine& x, const BadLine& y) { return x.line < y.line; });
}

// The point file, or standard input for "-"; its size in bytes (0 when unknown) for progress.
class PointInput {
public:
    int open(const std::string& path, std::FILE* err) {
        if (path == "-") return file_ = stdin, kExitOk;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return fail(err, path + ": is a directory, not a file", kExitFile);
        file_ = std::fopen(path.c_str(), "rb");
        if (file_ == nullptr)
            return fail(err, path + ": cannot open: " + std::strerror(errno), kExitFile);
        owned_ = true;
        size_ = S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : 0;
        return kExitOk;
    }
    ~PointInput() {
        if (owned_) std::fclose(file_);
    }
    std::FILE* file() const { return file_; }
    long long size() const { return size_; }

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    long long size_ = 0;
};

// Progress on a terminal: points done, and the share of the file when its size is known. It
// shares the terminal with the bad-line messages, so it is wiped before each of them.
class Progress {
public:
    explicit Progress(std::FILE* err) : on_(err == stderr && isatty(STDERR_FILENO)) {}
    void show(long long points, long long bytes, long long size) {
        if (!on_) return;
        if (size > 0)
            std::fprintf(stderr, "\rstation-offset: %lld points, %3.0f%%", points,
                         100.0 * static_cast<double>(bytes) / static_cast<double>(size));
        else
            std::fprintf(stderr, "\rstation-offset: %lld points", points);
        shown_ = true;
    }
    void wipe() {
        if (shown_) std::fprintf(stderr, "\r%50s\r", "");
        shown_ = false;
    }

private:
    bool on_;
    bool shown_ = false;
};

// A block of points with the bad lines among them, and how far into the file it reaches.
struct PointBlock {
    std::vector<MeasuredPoint> points;
    std::vector<BadLine> bad;
    long long bytesRead = 0;
    bool any = false;  // false: the file had no more lines
};

// The blocks of a point file, each read on a second thread while the block before it is
// answered and written, so that on two cores the reading overlaps the geometry and the table.
// Only one block is read ahead, so memory stays two blocks.
class PointBlocks {
public:
    PointBlocks(PointFileReader& reader, const LineSource& source)
        : reader_(reader), source_(source) {
        readAhead();
    }
    ~PointBlocks() { wait(); }
    PointBlocks(const PointBlocks&) = delete;
    PointBlocks& operator=(const PointBlocks&) = delete;

    // The next block; false when the file has no more lines.
    bool next(PointBlock& block) {
        wait();
        if (!ahead_.any) return false;
        std::swap(block, ahead_);
        ahead_.points.clear();
        ahead_.bad.clear();
        readAhead();
        return true;
    }

private:
    void read() {
        ahead_.any = reader_.readBlock(kPointsPerBlock, ahead_.points, ahead_.bad);
        ahead_.bytesRead = source_.bytesRead();
    }
    void readAhead() {
        try {
            thread_ = std::thread([this] { read(); });
        } catch (const std::system_error&) {
            read();  // no second thread to be had: read here, one block after the other
        }
    }
    void wait() {
        if (thread_.joinable()) thread_.join();
    }

    PointFileReader& reader_;
    const LineSource& source_;
    PointBlock ahead_;
    std::thread thread_;
};

StationOffsetOptions stationOffsetOptions(const StationOffsetArgs& a, const Common& c, Unit unit,
                                          const Design& d) {
    StationOffsetOptions o;
    o.pointUnit = unit;
    o.style = tableStyle(c, unit, d.stationing);
    o.carried = a.columns.find('S') != std::string::npos;
    if (!std::isnan(a.corridor)) o.corridorM = toMetres(a.corridor, unit);
    o.allFeet = a.allFeet;
    return o;
}

int runStationOffset(const StationOffsetArgs& a, const Common& c, std::FILE* out, std::FILE* err) {
    Design d;
    std::string error;
    const std::string pointsName = a.points == "-" ? "standard input" : a.points;
    const std::optional<ColumnLayout> layout = parseColumns(a.columns, error);
    if (!layout) return fail(err, "--columns: " + error, kExitUsage);
    int code = loadDesign(a.file, c, err, d);
    PointInput input;
    if (code == kExitOk) code = input.open(a.points, err);
    if (code != kExitOk) return code;
    if (!withinBounds("--corridor", a.corridor, kMinCorridorM, kMaxCorridorM, outputUnit(c, d),
                      err))
        return kExitUsage;
    LineSource source(input.file());
    PointFileReader reader(source, *layout);
    if (!reader.start(error)) return fail(err, pointsName + ": " + error, kExitBadInput);
    if (source.readFailed())
        return fail(err, pointsName + ": cannot read: " + source.readError(), kExitFile);
    const Unit unit = outputUnit(c, d);
    StationOffsetTable table(d.alnt, stationOffsetOptions(a, c, unit, d));
    if (!table.isok()) return fail(err, a.file + ": " + table.error(), kExitBadInput);
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    table.writeHeader(output.stream());
    const landxml::StationStyle style = stationStyle(c, unit);
    long long badCount = 0, pointCount = 0;
    Progress progress(err);
    PointBlocks blocks(reader, source);
    PointBlock block;
    for (bool first = true; !std::ferror(output.stream()) && blocks.next(block); first = false) {
        readCarriedStations(block.points, block.bad, d.stationing, style);
        if (!block.bad.empty()) progress.wipe();
        // The header, if any, is the first line that is not blank: within the first block.
        if (first && reader.headerLine() > 0)
            say(err, pointsName + ": line " + std::to_string(reader.headerLine()) +
                         " skipped as a header: " + reader.headerText());
        for (const BadLine& b : block.bad)
            say(err,
                pointsName + ": line " + std::to_string(b.line) + ": " + b.reason + ": " + b.text);
        table.writeBlock(output.stream(), block.points);
        // Whole blocks reach a pipe as soon as they are answered.
        std::fflush(output.stream());
        badCount += static_cast<long long>(block.bad.size());
        pointCount += static_cast<long long>(block.points.size());
        progress.show(pointCount, block.bytesRead, input.size());
    }
    progress.wipe();
    if (source.readFailed()) {
        output.finish(false, err);
        return fail(err, pointsName + ": cannot read: " + source.readError(), kExitFile);
    }
    table.writeFooter(output.stream());
    if (!output.finish(true, err)) return kExitFile;
    if (badCount == 0) return kExitOk;
    say(err, pointsName + ": " + counted(badCount, "line", "lines") +
                 " could not be read (listed above); the other points are in the table");
    return kExitBadInput;
}

// ---- plot ----

struct PlotArgs {
    std::string file, output, paper;
    double interval = NAN;  // NaN: default
    std::vector<double> offsets;
};

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &local);
    return buf;
}

int runPlot(const PlotArgs& a, const Common& c, std::FILE* err) {
    const std::optional<PlotFormat> format = plotFormatOf(a.output);
    if (!format) return fail(err, "--out: the file must end in .svg, .pdf or .png", kExitUsage);
    Design d;
    const int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    PlotOptions o;
    const Unit unit = outputUnit(c, d);
    if (!offsetsOf(a.offsets, unit, o.offsets, err) ||
        !intervalOf(a.interval, unit, d, o.intervalM, err))
        return kExitUsage;
    if (!a.paper.empty()) o.paper = *parsePaper(a.paper);
    o.metresPerUnit = metresPerUnit(unit);
    o.unitSymbol = unitSymbol(unit);
    o.stationing = d.stationing;
    o.stationStyle = stationStyle(c, unit);
    o.fileName = a.file == kBuiltin ? std::string() : a.file;
    o.date = today();
    PlotModel model;
    std::string bytes, error;
    if (!layoutPlot(d.alnt, o, model, error))
        return fail(err, (a.file.empty() ? "built-in road" : a.file) + ": " + error, kExitBadInput);
    if (!renderPlot(model, *format, bytes, error))
        return fail(err, a.output + ": " + error, kExitFile);
    if (!writeFileAtomically(a.output, bytes, error)) return fail(err, error, kExitFile);
    return kExitOk;
}

// ---- export-landxml ----

// The alignments of a file as the library computes them, with the file's stations and every
// profile; each one that cannot be read is left out and named. kExitBadInput when any is.
int describeFile(const std::string& file, const Common& c, std::FILE* err, landxml::Document& doc,
                 Unit& unit) {
    landxml::Document in;
    std::vector<const landxml::Alignment*> chosen;
    int code = readDocument(file, in, err);
    if (code == kExitOk) code = chooseAlignments(file, in, c.alignment, true, err, chosen);
    if (code != kExitOk) return code;
    unit = unitOf(in.unit);
    const Unit shown = c.unit.empty() ? unit : *parseUnit(c.unit);
    int result = kExitOk;
    for (const landxml::RefusedAlignment& r : in.refused) {
        if (!c.alignment.empty()) continue;
        say(err, refusalText(file, r) + "; left out of the export");
        result = kExitBadInput;
    }
    std::string error;
    for (const landxml::Alignment* a : chosen) {
        CAlnt alnt;
        landxml::Alignment out;
        if (!buildReported(file, *a, shown, err, alnt, error) ||
            !landxml::describeAlignment(alnt, out, error)) {
            say(err, file + ": alignment '" + a->name + "' refused: " + error +
                         "; left out of the export");
            result = kExitBadInput;
            continue;
        }
        // The geometry runs on the running chainage; the design's own stations and every
        // profile go along.
        out.equations = a->equations;
        out.staIncrement = a->staIncrement;
        out.profiles = a->profiles;
        doc.alignments.push_back(std::move(out));
    }
    return doc.alignments.empty() ? kExitBadInput : result;
}

int runExport(const std::string& file, const Common& c, std::FILE* out, std::FILE* err) {
    landxml::Document doc;
    Unit unit = Unit::Metre;
    std::string error;
    int result = kExitOk;
    if (file.empty() || file == kBuiltin) {
        doc.alignments.resize(1);
        CAlnt alnt;
        buildSampleRoad(alnt);
        alnt.setName("sample");
        if (!landxml::describeAlignment(alnt, doc.alignments[0], error))
            return fail(err, error, kExitBadInput);
    } else {
        result = describeFile(file, c, err, doc, unit);
        if (doc.alignments.empty()) return result;
    }
    if (!c.unit.empty()) unit = *parseUnit(c.unit);
    const std::string xml = landxml::write(doc, landXmlUnit(unit));
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    std::fputs(xml.c_str(), output.stream());
    return output.finish(true, err) ? result : kExitFile;
}

// ---- list ----

// The built-in road as a document, as a file that holds it would read.
int builtinDocument(landxml::Document& doc, std::FILE* err) {
    CAlnt alnt;
    buildSampleRoad(alnt);
    alnt.setName("sample");
    doc.alignments.resize(1);
    std::string error;
    if (!landxml::describeAlignment(alnt, doc.alignments[0], error))
        return fail(err, error, kExitBadInput);
    return kExitOk;
}

void listProfiles(const landxml::Alignment& a, const TableStyle& s, std::FILE* out) {
    for (const landxml::Profile& p : a.profiles)
        std::fprintf(out, "  profile '%s': %s, %s to %s\n", p.name.c_str(),
                     counted(static_cast<long long>(p.vips.size()), "VIP", "VIPs").c_str(),
                     s.station(p.vips.front().station).c_str(),
                     s.station(p.vips.back().station).c_str());
}

// One alignment's line (and its profiles'); false when it cannot be built.
bool listAlignment(const std::string& file, const landxml::Alignment& a, const Common& c, Unit unit,
                   std::FILE* out, std::FILE* err) {
    CAlnt alnt;
    std::string error;
    const TableStyle s = tableStyle(c, unit, landxml::stationingOf(a));
    if (!buildReported(file, a, unit, err, alnt, error)) {
        std::fprintf(out, "%-20s refused: %s: %s\n", a.name.c_str(), file.c_str(), error.c_str());
        return false;
    }
    const double start = alnt.getStartChainageInM();
    double end = start;
    alnt.getFinalChainageInM(end);
    std::fprintf(out, "%-20s %16s %12s %-27s %8zu  ok\n", a.name.c_str(),
                 s.length(end - start, 3).c_str(),
                 counted(alnt.getNumOfHes(), "element", "elements").c_str(),
                 (s.station(start) + " to " + s.station(end)).c_str(), a.profiles.size());
    listProfiles(a, s, out);
    return true;
}

int runList(const std::string& file, const Common& c, std::FILE* out, std::FILE* err) {
    landxml::Document doc;
    std::vector<const landxml::Alignment*> chosen;
    const int code = file == kBuiltin ? builtinDocument(doc, err) : readDocument(file, doc, err);
    if (code != kExitOk) return code;
    const bool one = !c.alignment.empty();
    if (one && chooseAlignments(file, doc, c.alignment, true, err, chosen) == kExitUsage)
        return kExitUsage;
    const Unit unit = c.unit.empty() ? unitOf(doc.unit) : *parseUnit(c.unit);
    const TableStyle s = tableStyle(c, unit, landxml::Stationing());
    std::fprintf(out, "%s: %s, file unit %s\n", file.c_str(),
                 counted(static_cast<long long>(doc.alignments.size() + doc.refused.size()),
                         "alignment", "alignments")
                     .c_str(),
                 unitSymbol(unitOf(doc.unit)));
    std::fprintf(out, "%-20s %16s %12s %-27s %8s  %s\n", "name", s.heading("length").c_str(),
                 "elements", "stations", "profiles", "state");
    // Every alignment in file order, each with its state.
    size_t good = 0, bad = 0;
    int result = kExitOk;
    while (good < doc.alignments.size() || bad < doc.refused.size()) {
        const bool takeGood =
            bad == doc.refused.size() ||
            (good < doc.alignments.size() && doc.alignments[good].line < doc.refused[bad].line);
        if (takeGood) {
            const landxml::Alignment& a = doc.alignments[good++];
            if ((!one || a.name == c.alignment) && !listAlignment(file, a, c, unit, out, err))
                result = kExitBadInput;
            continue;
        }
        const landxml::RefusedAlignment& r = doc.refused[bad++];
        if (one && r.name != c.alignment) continue;
        std::fprintf(out, "%-20s refused: %s: %s\n", r.name.c_str(), file.c_str(),
                     r.message.c_str());
        result = kExitBadInput;
    }
    return result;
}

// ---- curve ----

// The curve in the unit asked for (metres by default); without RADIUS and LENGTH the example
// curve, given in metres, in that unit.
int runCurve(CLI::App* cmd, double radius, double length, const Common& c, std::FILE* out,
             std::FILE* err) {
    if (cmd->count("RADIUS") != cmd->count("LENGTH"))
        return fail(err, "curve: give both RADIUS and LENGTH, or neither", kExitUsage);
    const Unit unit = c.unit.empty() ? Unit::Metre : *parseUnit(c.unit);
    if (cmd->count("RADIUS") == 0) {
        radius = fromMetres(kExampleRadius, unit);
        length = fromMetres(kExampleLength, unit);
    }
    std::string error;
    if (!checkCurve(radius, length, error, unit)) return fail(err, "curve: " + error, kExitUsage);
    printCurveTable(out, radius, length, unit);
    std::string writeError;
    if (!finishStream(out, "standard output", writeError)) return fail(err, writeError, kExitFile);
    return kExitOk;
}

bool isCommand(const CLI::App& app, const std::string& name) {
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->get_name() == name) return true;
    return false;
}

const char* kFooter =
    "Exit codes: 0 done; 1 some input lines or the design refused (the good lines are still "
    "in the table); 2 usage error; 3 a file or standard output could not be read or written.\n";

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
    addTableOptions(cStake, common);
    addProfileOption(cStake, common);

    StationOffsetArgs so;
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

    PlotArgs plot;
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
    addDesignOptions(cPlot, common);
    addProfileOption(cPlot, common);

    std::string exportFile;
    CLI::App* cExport = app.add_subcommand(
        "export-landxml",
        "every alignment (or the one named) with every profile as LandXML 1.2 in the file's "
        "unit; an alignment that cannot be read is left out and named (exit 1)");
    cExport->add_option("FILE", exportFile,
                        "LandXML design, or 'builtin' (default: the built-in road)");
    cExport->add_option("--out", common.out, "write to this file instead of standard output");
    addDesignOptions(cExport, common, "(default: every alignment of the file)");

    std::string listFile;
    CLI::App* cList = app.add_subcommand(
        "list",
        "each alignment's name, length, elements, stations, profiles and state (ok or refused: "
        "why), and the unit; exit 1 when any alignment is refused");
    cList->add_option("FILE", listFile, "LandXML file, or 'builtin'")->required();
    addDesignOptions(cList, common, "(default: every alignment of the file)");

    double radius = kExampleRadius, length = kExampleLength;
    CLI::App* cCurve = app.add_subcommand("curve", "every relation of a circular curve");
    cCurve->add_option("RADIUS", radius, "radius in the unit (default 450 m)")->check(kFinite);
    cCurve->add_option("LENGTH", length, "arc length in the unit (default 180 m)")->check(kFinite);
    cCurve
        ->add_option("--unit", common.unit,
                     "unit of the radius and every length, and base of the degree of curve "
                     "(100 m, 100 ft; default m)")
        ->check(CLI::IsMember(kUnits));

    // Without a command the tool stakes out the built-in road.
    std::vector<const char*> args(argv, argv + argc);
    if (argc <= 1) args = {argc > 0 ? argv[0] : "velmor-road", "stakeout"};
    if (args.size() > 1 && args[1][0] != '-' && !isCommand(app, args[1])) {
        say(err, std::string("unknown command '") + args[1] +
                     "'; the commands are stakeout, station-offset, plot, export-landxml, list, "
                     "curve");
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
    if (common.stationDecimals < 0 || common.stationDecimals > 6)
        return fail(err, "--station-decimals must lie between 0 and 6", kExitUsage);
    if (cStake->parsed()) return runStakeout(stake, common, out, err);
    if (cSo->parsed()) return runStationOffset(so, common, out, err);
    if (cPlot->parsed()) return runPlot(plot, common, err);
    if (cExport->parsed()) return runExport(exportFile, common, out, err);
    if (cList->parsed()) return runList(listFile, common, out, err);
    return runCurve(cCurve, radius, length, common, out, err);
}

}  // namespace road
