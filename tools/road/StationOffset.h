#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/alignment/CAlntStationOffset.h>

#include "PointFile.h"
#include "TableFormat.h"

namespace road {

// How the station/offset table is made. Lengths in metres.
struct StationOffsetOptions {
    Unit pointUnit = Unit::Metre;  // the unit of the point file's coordinates and heights
    TableStyle style;              // the table's unit, station text, text or CSV
    bool carried = false;          // the points carry stations (column S): show the difference
    // Points whose nearest point of the road lies farther than this are off the road and get no
    // station. Infinite: every point gets its nearest foot, however far.
    double corridorM = std::numeric_limits<double>::infinity();
    // Every foot within the corridor, one row each, instead of only the nearest.
    bool allFeet = false;
    // The design height (metres) at a running chainage and offset (metres, right positive) from
    // the road's section model; false where the model has none. Empty: no model, and the table
    // compares with the centre line's height and says so.
    std::function<bool(double chainageM, double offsetM, double& heightM)> designHeight;
};

// One row of the table, in metres: a point's foot on the road and the design height there.
struct StationOffsetRow {
    bool found = false;  // false: no point of the road within the corridor (off the road)
    TAlntFoot foot;      // chainage, offset (right positive), status; valid when found
    bool hasDesignHeight = false;
    // With a section model the design height at the point's own offset, else the centre line's
    // design height at the foot's chainage.
    double designHeight = 0.0;
    // Cut (positive: the point lies above the design) or fill (negative): measured minus design;
    // valid with a design height and a measured height.
    double heightDifference = 0.0;
};

// "square", "beforeStart", "afterEnd", "atJoint", and "offRoad" for a row without a foot.
const char* statusText(const StationOffsetRow& row);

// The station/offset table of measured points against one road. The road's inverse is built
// once; the points then come in blocks of any size (answered together, see writeBlock), so
// that a file of millions of points is written as it is read, in memory bounded by the block.
class StationOffsetTable {
public:
    // Keeps a reference to alnt (for its profile), which must outlive the table unchanged.
    StationOffsetTable(const CAlnt& alnt, const StationOffsetOptions& options);

    // False when the road's inverse could not be built; error() says why.
    bool isok() const { return inverse_.isok(); }
    const std::string& error() const { return inverse_.buildError(); }

    // The rows of one point, each found on its own: its nearest foot (one row, found or not),
    // or with allFeet every foot within the corridor in chainage order (one row not found
    // when there is none).
    std::vector<StationOffsetRow> rowsOf(const MeasuredPoint& p) const;

    // The column headings, the rows of the points in order, and (text only) the footnote.
    void writeHeader(std::FILE* out);
    void writeBlock(std::FILE* out, const std::vector<MeasuredPoint>& points);
    void writeFooter(std::FILE* out) const;

private:
    StationOffsetRow rowAt(const MeasuredPoint& p, const TAlntFoot* foot) const;
    std::vector<std::string> headings() const;
    void writeRow(std::FILE* out, const MeasuredPoint& p, const StationOffsetRow& r);

    const CAlnt& alnt_;
    StationOffsetOptions options_;
    CAlntStationOffset inverse_;
    double startM_ = 0.0;
    double endM_ = 0.0;
    // Buffers of the batch call and of one row, kept from block to block.
    std::vector<double> north_, east_;
    std::vector<TAlntFoot> feet_;
    std::unique_ptr<bool[]> found_;
    std::size_t foundSize_ = 0;
    std::vector<std::string> cells_;
    std::vector<std::size_t> widths_;  // text columns after the name, each at least its heading
    std::string line_;
};

// The whole table of a list of points (header, rows, footnote), in one block.
void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        const StationOffsetOptions& options);

}  // namespace road
