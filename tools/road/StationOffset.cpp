#include "StationOffset.h"

#include <algorithm>
#include <cmath>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

namespace road {
namespace {

// A CSV field that needs quoting (a name or code with a comma or quote) gets it; numbers
// never do.
void appendCsv(std::string& line, const std::string& s) {
    const bool plain =
        std::none_of(s.begin(), s.end(), [](char c) { return c == ',' || c == '"' || c == '\n'; });
    if (plain) {
        line += s;
        return;
    }
    line += '"';
    for (char c : s)
        line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
}

// CSV is for machines checking a built road against its design: chainage and offset to a
// micrometre (or a millionth of a foot), beyond any survey's own accuracy, so that a reader
// compares the tool's numbers with its own without the rounding of the text table.
constexpr int kCsvLengthDecimals = 6;
constexpr int kTextOffsetDecimals = 3;
constexpr int kTextEchoDecimals = 4;
constexpr int kHeightDecimals = 3;

}  // namespace

const char* statusText(const StationOffsetRow& row) {
    if (!row.found) return "offRoad";
    switch (row.foot.status) {
        case TAlntFootStatus::square:
            return "square";
        case TAlntFootStatus::beforeStart:
            return "beforeStart";
        case TAlntFootStatus::afterEnd:
            return "afterEnd";
        case TAlntFootStatus::atJoint:
            return "atJoint";
    }
    return "square";
}

StationOffsetTable::StationOffsetTable(const CAlnt& alnt, const StationOffsetOptions& options)
    : alnt_(alnt), options_(options), inverse_(alnt) {
    startM_ = inverse_.getStartChainageInM();
    endM_ = inverse_.getFinalChainageInM();
}

StationOffsetRow StationOffsetTable::rowAt(const MeasuredPoint& p, const TAlntFoot* foot) const {
    StationOffsetRow row;
    if (foot == nullptr) return row;
    row.found = true;
    row.foot = *foot;
    // The design gives heights on the road only: beyond its ends there is no design height.
    const bool onRoad =
        foot->status == TAlntFootStatus::square || foot->status == TAlntFootStatus::atJoint;
    if (!onRoad) return row;
    const double chainage = std::clamp(foot->chainageInM, startM_, endM_);
    if (options_.designHeight) {
        row.hasDesignHeight = options_.designHeight(chainage, foot->offsetInM, row.designHeight);
    } else if (alnt_.getNumOfVes() > 0) {
        TAlntEval at;
        row.hasDesignHeight = evaluateAlnt(alnt_, chainage, at, foot->side) && at.hasHeight;
        row.designHeight = at.height;
    }
    if (row.hasDesignHeight && p.hasHeight)
        row.heightDifference = toMetres(p.height, options_.pointUnit) - row.designHeight;
    return row;
}

std::vector<StationOffsetRow> StationOffsetTable::rowsOf(const MeasuredPoint& p) const {
    const double n = toMetres(p.north, options_.pointUnit);
    const double e = toMetres(p.east, options_.pointUnit);
    std::vector<StationOffsetRow> rows;
    if (options_.allFeet) {
        std::vector<TAlntFoot> feet;
        inverse_.findAllFeet(n, e, options_.corridorM, feet);
        for (const TAlntFoot& f : feet)
            rows.push_back(rowAt(p, &f));
    } else {
        TAlntFoot foot;
        if (inverse_.findNearest(n, e, foot, options_.corridorM)) rows.push_back(rowAt(p, &foot));
    }
    if (rows.empty()) rows.push_back(rowAt(p, nullptr));
    return rows;
}

std::vector<std::string> StationOffsetTable::headings() const {
    const TableStyle& s = options_.style;
    const bool model = static_cast<bool>(options_.designHeight);
    std::vector<std::string> h{s.csv ? "name" : "point", s.heading("northing"),
                               s.heading("easting"), s.heading("height"), "station"};
    if (s.csv) h.push_back(s.heading("chainage"));
    h.push_back(s.heading("offset"));
    if (s.csv)
        h.push_back(s.heading(model ? "design_height" : "cl_design_height"));
    else
        h.push_back(s.heading(model ? "design height" : "CL height"));
    h.push_back(s.heading(s.csv ? "cut_fill" : "cut/fill"));
    if (options_.carried) {
        h.push_back(s.csv ? "carried_station" : "carried");
        h.push_back(s.heading("dstation"));
    }
    h.push_back("status");
    h.push_back("code");
    if (s.csv) h.push_back("side");
    return h;
}

void StationOffsetTable::writeHeader(std::FILE* out) {
    const std::vector<std::string> h = headings();
    std::string line;
    widths_.assign(h.size(), 0);
    for (size_t i = 0; i < h.size(); ++i) {
        if (options_.style.csv) {
            line += (i ? "," : "") + h[i];
            continue;
        }
        widths_[i] = std::max<size_t>(15, h[i].size());
        if (i == 0)
            line += padRight(h[i], 12);
        else if (i + 1 == h.size())
            line += "  " + h[i];
        else
            line += std::string(widths_[i] + 1 - h[i].size(), ' ') + h[i];
    }
    std::fprintf(out, "%s\n", line.c_str());
}

void StationOffsetTable::writeRow(std::FILE* out, const MeasuredPoint& p,
                                  const StationOffsetRow& r) {
    const TableStyle& s = options_.style;
    const TAlntFoot& f = r.foot;
    const int echoDecimals = s.csv ? kCsvLengthDecimals : kTextEchoDecimals;
    cells_.clear();
    cells_.push_back(p.name);
    // The shot as measured, in the unit it was read in (the table's).
    cells_.push_back(fixed(p.north, echoDecimals));
    cells_.push_back(fixed(p.east, echoDecimals));
    cells_.push_back(p.hasHeight ? fixed(p.height, s.csv ? kCsvLengthDecimals : kHeightDecimals)
                                 : "");
    cells_.push_back(r.found ? s.station(f.chainageInM) : std::string());
    if (s.csv) cells_.push_back(r.found ? s.length(f.chainageInM, kCsvLengthDecimals) : "");
    const int offsetDecimals = s.csv ? kCsvLengthDecimals : kTextOffsetDecimals;
    cells_.push_back(r.found ? s.length(f.offsetInM, offsetDecimals) : "");
    cells_.push_back(r.hasDesignHeight ? s.length(r.designHeight, kHeightDecimals) : "");
    std::string cutFill;
    if (r.hasDesignHeight && p.hasHeight)
        cutFill = s.csv ? s.length(r.heightDifference, kHeightDecimals)
                        : cutFillText(s, r.heightDifference, kHeightDecimals);
    cells_.push_back(cutFill);
    if (options_.carried) {
        cells_.push_back(p.station);
        cells_.push_back(
            r.found && p.hasChainage ? s.length(f.chainageInM - p.chainageM, kHeightDecimals) : "");
    }
    const char* side = r.found ? alntJointSideText(r.foot.side) : "";
    // The text table names the side in the status cell; CSV in a column of its own, last.
    cells_.push_back(s.csv || *side == '\0' ? std::string(statusText(r))
                                            : std::string(statusText(r)) + " " + side);
    cells_.push_back(p.code);
    if (s.csv) cells_.push_back(side);
    line_.clear();
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (s.csv) {
            if (i) line_ += ',';
            appendCsv(line_, cells_[i]);
            continue;
        }
        // Text: the name left, the numbers right in their columns, the code last.
        const std::string& c = cells_[i];
        if (i == 0) {
            line_ += padRight(c, 12);
        } else if (i + 1 == cells_.size()) {
            line_ += "  ";
            line_ += c;
        } else {
            const std::string& v = c.empty() ? std::string("-") : c;
            const size_t width = i < widths_.size() ? widths_[i] : 15;
            line_ += ' ';
            if (v.size() < width) line_.append(width - v.size(), ' ');
            line_ += v;
        }
    }
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), out);
}

void StationOffsetTable::writeBlock(std::FILE* out, const std::vector<MeasuredPoint>& points) {
    if (options_.allFeet) {
        for (const MeasuredPoint& p : points)
            for (const StationOffsetRow& r : rowsOf(p))
                writeRow(out, p, r);
        return;
    }
    const size_t count = points.size();
    north_.resize(count);
    east_.resize(count);
    feet_.resize(count);
    if (foundSize_ < count) {
        found_ = std::make_unique<bool[]>(count);
        foundSize_ = count;
    }
    for (size_t i = 0; i < count; ++i) {
        north_[i] = toMetres(points[i].north, options_.pointUnit);
        east_[i] = toMetres(points[i].east, options_.pointUnit);
    }
    inverse_.findNearestBatch(north_.data(), east_.data(), count, feet_.data(), found_.get(),
                              options_.corridorM);
    for (size_t i = 0; i < count; ++i)
        writeRow(out, points[i], rowAt(points[i], found_[i] ? &feet_[i] : nullptr));
}

void StationOffsetTable::writeFooter(std::FILE* out) const {
    if (options_.style.csv) return;
    std::fprintf(out,
                 "(offset right of increasing station positive; cut/fill: measured height minus "
                 "the %s, C above it, F below%s)\n",
                 options_.designHeight ? "design height at the point's own offset"
                                       : "centre line's design height (no section model)",
                 options_.carried ? "; dstation: located minus carried station" : "");
    std::fprintf(out,
                 "(status: square: square to an element; beforeStart, afterEnd: along the end "
                 "tangent extended; atJoint: outside a kink, the joint nearest%s; back, ahead: "
                 "at an angle point, the side whose normal the point lies on)\n",
                 std::isfinite(options_.corridorM) ? "; offRoad: beyond the corridor" : "");
}

void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        const StationOffsetOptions& options) {
    StationOffsetTable table(alnt, options);
    table.writeHeader(out);
    table.writeBlock(out, points);
    table.writeFooter(out);
}

}  // namespace road
