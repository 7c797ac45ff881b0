#include "Stakeout.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include <velmorutils/landxml/StakeoutStations.h>

#include "StakeoutSections.h"

namespace road {

std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval, double from,
                                               double to,
                                               const zel_landxml::Stationing* stationing) {
    const zel_landxml::Stationing plain;
    return alntStakeoutStations(
        alnt, zel_landxml::stakeoutRequest(stationing != nullptr ? *stationing : plain, interval,
                                           from, to));
}

std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval) {
    return stakeoutChainages(alnt, interval, -1e300, 1e300);
}

namespace {

bool fillRow(const TAlntEval& at, double offset, StakeoutRow& row) {
    row.chainage = at.chainageInM;
    row.offset = offset;
    alntOffsetPoint(at, offset, row.north, row.east);
    row.azimuthDeg = at.azimuthDeg;
    row.hasHeight = at.hasHeight;
    row.height = at.height;
    return std::isfinite(row.north) && std::isfinite(row.east) && std::isfinite(row.azimuthDeg) &&
           (!row.hasHeight || std::isfinite(row.height));
}

}  // namespace

bool stakeoutRow(const CAlnt& alnt, double chainage, double offset, StakeoutRow& row) {
    TAlntEval at;
    row = StakeoutRow();
    row.chainage = chainage;
    row.offset = offset;
    return evaluateAlnt(alnt, chainage, at) && fillRow(at, offset, row);
}

bool stakeoutRows(const CAlnt& alnt, const StakeoutStation& station,
                  const std::vector<double>& offsets, std::vector<StakeoutRow>& rows) {
    rows.assign(offsets.size(), StakeoutRow());
    TAlntEval at;
    if (!evaluateStakeoutStation(alnt, station, at)) return false;
    for (std::size_t k = 0; k < offsets.size(); ++k) {
        if (!fillRow(at, offsets[k], rows[k])) return false;
        rows[k].boundary = station.boundary;
    }
    return true;
}

long long stakeoutRowCount(const CAlnt& alnt, const StakeoutOptions& options) {
    const double start = alnt.getStartChainageInM();
    double end = 0.0;
    if (!(options.interval > 0.0) || !alnt.getFinalChainageInM(end)) return -1;
    const double span = std::min(end, options.to) - std::max(start, options.from);
    if (span < 0.0) return 0;
    // Key points: up to five per element (an IP curve has four inside), each staked twice at an
    // angle point; equations twice.
    const double equations =
        options.stationing != nullptr ? options.stationing->equations().size() : 0.0;
    const double stations =
        span / options.interval + 10.0 * alnt.getNumOfHes() + 2.0 * equations + 2.0;
    const double rows = stations * static_cast<double>(options.offsets.size());
    return rows > 1e18 ? static_cast<long long>(1e18) : static_cast<long long>(rows);
}

namespace {

// Width of the text table's code column, with a section model.
constexpr int kCodeWidth = 12;
// Width of the height column with a section model: "design height [usft]".
constexpr int kModelHeightWidth = 20;

void writeHeader(std::FILE* out, const TableStyle& s, bool model, const std::string& extra) {
    if (s.csv) {
        std::fprintf(out, "station,%s,%s,%s,%s,%s,%s,boundary,point,side%s%s\n",
                     s.heading("chainage").c_str(), s.heading("offset").c_str(),
                     s.heading("northing").c_str(), s.heading("easting").c_str(),
                     s.heading(model ? "design_height" : "cl_design_height").c_str(),
                     s.angleHeading("azimuth").c_str(), model ? ",code" : "", extra.c_str());
        return;
    }
    const std::string code = model ? padRight("  code", kCodeWidth + 2) : "";
    std::fprintf(out, "%13s %13s %15s %15s %*s%s%s  %-14s %s\n", "station",
                 s.heading("offset").c_str(), s.heading("northing").c_str(),
                 s.heading("easting").c_str(), model ? kModelHeightWidth : 16,
                 s.heading(model ? "design height" : "CL height").c_str(), code.c_str(),
                 extra.c_str(), s.angleHeading("azimuth").c_str(), "point");
}

// The point column of the text table: the key point's code ("*" for a boundary without one) and
// the side of a back or ahead row.
std::string pointText(const StakeoutStation& st) {
    std::string t = *st.code != '\0' ? st.code : (st.boundary ? "*" : "");
    if (st.equation) t += t.empty() ? "eq." : " eq.";
    if (st.side != TAlntJointSide::none)
        t += std::string(t.empty() ? "" : " ") + alntJointSideText(st.side);
    return t;
}

// Rows are built into one block of text and written a block at a time: a stake-out of a long
// road at 1 m is millions of cells, and a string per cell or a write per row would cost more
// than the geometry.
constexpr size_t kBlockBytes = 1 << 16;

void appendCsvRow(std::string& block, const TableStyle& s, const std::string& station,
                  const StakeoutStation& st, const StakeoutRow& r, bool model,
                  const std::string& extra) {
    block += station;
    block += ',';
    s.appendLength(block, r.chainage, 4);
    block += ',';
    s.appendLength(block, r.offset, 3);
    block += ',';
    s.appendLength(block, r.north, 4);
    block += ',';
    s.appendLength(block, r.east, 4);
    block += ',';
    if (r.hasHeight) s.appendLength(block, r.height, 3);
    block += ',';
    s.appendAngle(block, r.azimuthDeg);
    block += r.boundary ? ",1," : ",0,";
    block += st.equation ? "EQ" : st.code;
    block += ',';
    block += alntJointSideText(st.side);
    if (model) {
        block += ',';
        block += r.code;
    }
    block += extra;
    block += '\n';
}

// A cell right-aligned in `width` bytes, as printf's "%*s" pads.
void appendAligned(std::string& block, std::string_view cell, size_t width) {
    if (cell.size() < width) block.append(width - cell.size(), ' ');
    block += cell;
}

void appendLengthCell(std::string& block, const TableStyle& s, double metres, int decimals,
                      size_t width, std::string& cell) {
    cell.clear();
    s.appendLength(cell, metres, decimals);
    appendAligned(block, cell, width);
}

void appendTextRow(std::string& block, const TableStyle& s, const std::string& station,
                   const StakeoutStation& st, const StakeoutRow& r, bool model,
                   const std::string& extra, std::string& cell) {
    appendAligned(block, station, 13);
    block += ' ';
    appendLengthCell(block, s, r.offset, 3, 13, cell);
    block += ' ';
    appendLengthCell(block, s, r.north, 4, 15, cell);
    block += ' ';
    appendLengthCell(block, s, r.east, 4, 15, cell);
    block += ' ';
    const size_t heightWidth = model ? kModelHeightWidth : 16;
    if (r.hasHeight)
        appendLengthCell(block, s, r.height, 3, heightWidth, cell);
    else
        appendAligned(block, "-", heightWidth);
    if (model) {
        block += "  ";
        block += padRight(r.code, kCodeWidth);
    }
    block += extra;
    block += "  ";
    const std::string point = pointText(st);
    if (point.empty()) {
        s.appendAngle(block, r.azimuthDeg);
    } else {
        cell.clear();
        s.appendAngle(cell, r.azimuthDeg);
        block += padRight(cell, 14);
        block += ' ';
        block += point;
    }
    block += '\n';
}

void flush(std::FILE* out, std::string& block) {
    std::fwrite(block.data(), 1, block.size(), out);
    block.clear();
}

}  // namespace

bool writeStakeout(std::FILE* out, const CAlnt& alnt, const StakeoutOptions& options,
                   std::string& error) {
    const zel_landxml::Stationing plain;
    const zel_landxml::Stationing& stationing =
        options.stationing != nullptr ? *options.stationing : plain;
    const std::vector<StakeoutStation> stations =
        stakeoutChainages(alnt, options.interval, options.from, options.to, options.stationing);
    if (stations.empty()) {
        error = "no station of the road lies in the range asked for";
        return false;
    }
    const bool model = options.sections != nullptr;
    writeHeader(out, options.style, model, options.extra.headings);
    const size_t every = std::max<size_t>(1, stations.size() / 100);
    std::vector<StakeoutRow> rows;
    std::string block, cell, extra;
    block.reserve(kBlockBytes + 4096);
    for (size_t i = 0; i < stations.size(); ++i) {
        // One station text and one evaluation per station, whatever the number of offsets.
        const std::string text =
            zel_landxml::stakeoutStationText(stationing, stations[i], options.stationStyle);
        const std::vector<double>& offsets =
            model ? options.sections->offsetsAt(stations[i].chainageInM) : options.offsets;
        if (!stakeoutRows(alnt, stations[i], offsets, rows)) {
            flush(out, block);  // the rows before it, as far as they go
            error = "no position at station " + text;
            return false;
        }
        if (model) options.sections->fill(rows);
        for (const StakeoutRow& row : rows) {
            extra.clear();
            if (options.extra.cells && !options.extra.cells(row, extra, error)) {
                flush(out, block);
                error = "station " + text + ": " + error;
                return false;
            }
            if (options.style.csv)
                appendCsvRow(block, options.style, text, stations[i], row, model, extra);
            else
                appendTextRow(block, options.style, text, stations[i], row, model, extra, cell);
        }
        if (block.size() >= kBlockBytes) flush(out, block);
        if (options.progress && i % every == 0)
            options.progress(static_cast<double>(i) / static_cast<double>(stations.size()));
    }
    flush(out, block);
    if (!options.style.csv && model)
        std::fprintf(out,
                     "(point: TS, SC, CS, ST, PC, PT key points, * other element boundaries, eq. "
                     "station equations; back/ahead: the two rows of an angle point or an "
                     "equation. design height: the section model's at the row's offset, - where "
                     "the model has none; code: the section point's, or the surface's there.)\n");
    else if (!options.style.csv)
        std::fprintf(out,
                     "(point: TS, SC, CS, ST, PC, PT key points, * other element boundaries, eq. "
                     "station equations; back/ahead: the two rows of an angle point or an "
                     "equation, each staked square to its own side. CL height: the centre line's "
                     "design height at the station, on offset rows too; cross slopes are not "
                     "applied.)\n");
    return true;
}

}  // namespace road
