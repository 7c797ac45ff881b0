#include "RoadCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "PointFile.h"
#include "StationOffset.h"

namespace road {
namespace {

// A corridor for station-offset from 1 mm to 100 km across.
constexpr double kMinCorridorM = 0.001;
constexpr double kMaxCorridorM = 100000.0;

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

}  // namespace

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
    PointsToDesign toDesign;
    if ((code = toDesign.setUp(a.crs, d, unit, err)) != kExitOk) return code;
    RoadModel model;
    if ((code = loadRoadModel(a.sections, c, d, model, err)) != kExitOk) return code;
    StationOffsetOptions options = stationOffsetOptions(a, c, unit, d);
    if (model.hasModel())
        options.designHeight = [&model](double chainage, double offset, double& height) {
            return model.designHeight(chainage, offset, height);
        };
    StationOffsetTable table(d.alnt, options);
    if (!table.isok()) return fail(err, a.file + ": " + table.error(), kExitBadInput);
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    sayNotes(toDesign.notes(), c.csv, output.stream(), err);
    table.writeHeader(output.stream());
    const landxml::StationStyle style = stationStyle(c, unit);
    long long badCount = 0, pointCount = 0;
    Progress progress(err);
    PointBlocks blocks(reader, source);
    PointBlock block;
    for (bool first = true; !std::ferror(output.stream()) && blocks.next(block); first = false) {
        toDesign.convert(block.points, block.bad);
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

}  // namespace road
