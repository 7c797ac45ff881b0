#pragma once

// What the plan, the profile and the title block of a plot share: the sheet, the road sampled
// along its length, the number texts and the drawing primitives. Each part lays itself out in
// its own file (PlotPlan.cpp, PlotProfile.cpp, PlotTitle.cpp).

#include <string>
#include <utility>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>

#include "Plot.h"
#include "PlotPlacer.h"
#include "TableFormat.h"  // fixed()

namespace road {

namespace lx = zel_landxml;

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{0.8, 0, 0};
inline constexpr Rgb kBlue{0, 0.2, 0.75};
inline constexpr Rgb kGreen{0, 0.45, 0.1};
inline constexpr Rgb kGrey{0.55, 0.55, 0.55};
inline constexpr Rgb kGridGrey{0.82, 0.82, 0.82};

// The smallest of 1, 2, 5 times a power of ten that is at least `minimum`: the steps of grids
// and scale bars.
double niceStep(double minimum);

// The smallest drawing scale 1:D with D at least `minimum`, from the usual series: metric
// 1, 2, 2.5, 5 times a power of ten; feet drawings at whole feet to the inch (1 in = 10, 20,
// 30, 40, 50, 60 ft times a power of ten).
double standardRatio(double minimum, bool feet);

Stroke line(std::vector<PagePoint> pts, double width, Rgb colour, std::string role);
Stroke dot(PagePoint c, double r, Rgb colour, std::string role);
Stroke rectangle(const Box& b, double width, Rgb colour, std::string role);

// The page: where the plan, the profile and the title go.
struct Sheet {
    double width = 0, height = 0;
    double text = 8.0;  // label size, points
    bool paper = false;
    Box plan, profile, title;
};

// The sheet for a paper size; without one, the plan's frame follows the plan's height/width.
Sheet sheetFor(Paper paper, double planAspect);

struct Element {
    lx::HElement data;
    double start = 0.0, end = 0.0;  // running chainage, metres
};

// The road as the parts of the drawing see it: its elements and VIPs, and its lines (centre
// line first, then each offset line) sampled at running chainages, in metres.
struct Drawing {
    Drawing(const CAlnt& alnt, const PlotOptions& options, PlotModel& model)
        : a(alnt), o(options), m(model), put(model) {}

    const CAlnt& a;
    const PlotOptions& o;
    PlotModel& m;
    Placer put;
    Sheet sheet;
    bool feet = false;
    double start = 0, end = 0;  // running chainage, metres
    double interval = 20;       // station ticks, metres
    std::vector<Element> elements;
    std::vector<lx::Vip> vips;
    std::vector<double> chainages;
    std::vector<std::vector<std::pair<double, double>>> world;  // north, east per line
    std::string profileScale = "none";                          // set by the profile

    double u(double metres) const { return metres / o.metresPerUnit; }
    int heightDecimals() const { return feet ? 2 : 3; }
    std::string len(double metres) const;        // "120.000 m"
    std::string station(double chainage) const;  // the design station's text
    std::string ratioText(double d) const;       // "1:5000", in feet with its inch scale
    Box pageBox() const { return {0, 0, sheet.width, sheet.height}; }
    Label label(std::string text, std::string role, Rgb colour = kBlack) const;

    // The road at a running chainage from the library's one evaluation: every query of the
    // drawing goes through it, so the sheet shows what the stake-out stakes. The side chooses
    // the element at a joint (see TAlntJointSide).
    bool at(double chainage, TAlntEval& e, TAlntJointSide side = TAlntJointSide::none) const;
    // The design height at a running chainage; false off the profile or without one.
    bool heightAt(double chainage, double& h) const;
    // Every element boundary and key point (TS, SC, CS, ST, PC, PT, ... of curves defined at an
    // intersection point too), named as the stake-out names them; one per joint.
    std::vector<TAlntStakeoutStation> keyPoints() const;

    // Chainages of round design stations (multiples of `interval` metres), region by region of
    // the stationing, each with its multiple.
    std::vector<std::pair<double, long long>> roundStations(double interval) const;
};

// The multiple of the interval (1, 2, 5, 10, 20, ... and a multiple of `of`) whose stations lie
// at least `gap` points apart on the page (`pagePerM` points per metre).
long long multipleFor(double interval, double pagePerM, double gap, long long of = 1);

// The extent of the sampled lines, metres.
struct WorldBox {
    double minE = 1e300, maxE = -1e300, minN = 1e300, maxN = -1e300;
};

// The parts, in the order they are laid out: what is placed first keeps its place.
void layoutTitleLine(Drawing& d);  // one line above the plan on a sheet without paper size
void layoutPlan(Drawing& d, const WorldBox& extent);
void layoutProfile(Drawing& d);
void layoutTitleBlock(Drawing& d);  // the framed block and border of a paper sheet

}  // namespace road
