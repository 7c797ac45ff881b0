#pragma once

#include <optional>
#include <string>
#include <vector>

#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace road {

// A drawing sheet. Sheets are landscape ISO sizes; Fit makes the page as large as the content
// needs (no scale ratio is stated then, since the drawing is not printed at a known size).
enum class Paper { Fit, A4, A3, A1 };
std::optional<Paper> parsePaper(const std::string& name);  // "A4", "A3", "A1" (any case)

// Page coordinates: points (1/72 inch), x to the right, y downwards from the top left corner.
struct PagePoint {
    double x = 0.0;
    double y = 0.0;
};

struct Box {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;  // x0 <= x1, y0 <= y1
    bool overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    bool inside(const Box& o) const { return x0 >= o.x0 && x1 <= o.x1 && y0 >= o.y0 && y1 <= o.y1; }
};

struct Rgb {
    double r = 0.0, g = 0.0, b = 0.0;
};

// A polyline or polygon; a closed filled one is an area (north arrow, VIP dots).
struct Stroke {
    std::vector<PagePoint> points;
    double width = 0.5;  // points
    Rgb colour;
    std::vector<double> dash;  // on/off lengths in points; empty: solid
    bool closed = false;
    bool filled = false;
    std::string role;  // "centreline", "offset", "grid", "boundary", "design", ... for tests
};

// A text placed on the page. `box` is the area its glyphs occupy (with a hairline of slack);
// the layout never lets two label boxes overlap.
struct Label {
    std::string text;
    std::string
        role;  // "grid" (plan), "elevation" (profile grid), "axis" (profile stations and
               // axis names), "element", "station", "boundary", "kink", "equation", "grade",
               // "vcurve", "vip", "highlow", "height", "title", "scale", "north", "note"
    double x = 0.0, y = 0.0;  // start of the baseline
    double size = 8.0;        // points
    bool vertical = false;    // reads upwards (rotated 90 degrees anticlockwise)
    bool bold = false;
    Rgb colour;
    Box box;
};

struct PlotModel {
    double width = 0.0;  // page size, points
    double height = 0.0;
    std::vector<Stroke> strokes;
    std::vector<Label> labels;
    double planRatio = 0.0;  // 1:planRatio on paper; 0 without a paper size
    // The plan's mapping, north up: page point of a northing and easting (metres).
    double planPtPerMetre = 1.0;
    double planWestE = 0.0, planNorthN = 0.0;  // world at the plan frame's top left corner
    PagePoint planCorner;                      // that corner on the page
    PagePoint planToPage(double north, double east) const {
        return {planCorner.x + (east - planWestE) * planPtPerMetre,
                planCorner.y + (planNorthN - north) * planPtPerMetre};
    }
};

struct PlotOptions {
    std::vector<double> offsets;  // offset lines, metres, right of increasing chainage positive
    double intervalM = 0.0;       // station ticks, metres of design station; 0: chosen
    Paper paper = Paper::Fit;
    // Every number printed is in this unit (metres per unit and its symbol, "m", "usft", "ft").
    double metresPerUnit = 1.0;
    std::string unitSymbol = "m";
    zel_landxml::Stationing stationing;  // design stations of running chainages
    zel_landxml::StationStyle stationStyle;
    std::string fileName;  // for the title block, which shows its name without the folders;
                           // "" for the built-in road
    std::string date;      // for the title block, as the user reads it
};

// Lays out the plan (north up) and the profile of an alignment: grid, north arrow, scale bar,
// element annotations, boundary and interval stations, kinks and station equations; every grade,
// vertical curves, VIPs, high and low points and design heights. Labels that would overprint
// another label or a drawn line are left out, so a long road thins out with the scale.
// False with a message when the road has no length or its geometry cannot be evaluated.
bool layoutPlot(const CAlnt& alnt, const PlotOptions& options, PlotModel& model,
                std::string& error);

enum class PlotFormat { Svg, Pdf, Png };
// The format named by a file's extension (.svg, .pdf, .png in any case).
std::optional<PlotFormat> plotFormatOf(const std::string& path);

// The date a plot's title block shows: today, local time, "2026-12-06".
std::string plotDate();

// A file as a drawing names it: its name without the folders it lies in (they say where a file
// was on one machine, not what the drawing shows); an empty path is the built-in road.
std::string plotFileName(const std::string& path);

// PNG pages are rendered at this resolution.
inline constexpr double kPngDotsPerInch = 150.0;

// Draws the model with cairo into the bytes of one file. An SVG carries, besides the drawn
// glyphs, an invisible text layer (group id "text") with every label's text and box, so the
// drawing can be searched and checked like the PDF's text.
bool renderPlot(const PlotModel& model, PlotFormat format, std::string& bytes, std::string& error);

// Several pages: a PDF holds them all, one page each (files has one entry); SVG and PNG are one
// file per page (files has one entry per page).
bool renderPages(const std::vector<PlotModel>& pages, PlotFormat format,
                 std::vector<std::string>& files, std::string& error);

// The width and height (points) of a text as drawn, and its ascent above the baseline: each
// character in the first of fontconfig's faces for the plot's family that has it (PlotFont.h).
struct TextExtent {
    double width = 0.0, ascent = 0.0, descent = 0.0;
};
TextExtent measureText(const std::string& text, double size, bool bold = false);

}  // namespace road
