#pragma once

#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>

namespace zel_landxml {

// How a station is written.
//   unit           the linear unit of the text (metres, US survey feet or international feet)
//   stationLength  one station in that unit, a whole number from 1 to 1e6; 0 picks the unit's
//                  usual length: 1000 m, 100 ft
//   decimals       digits after the point, 0 to 6
// Metric text: "0+049.84", "1+000.00", "12+345.68" (the part after '+' is zero-padded to the
// digits of the station length less one); feet text: "12+34.56". A negative station carries
// its sign in front ("-0+090.00"); a value that rounds to zero is written without a sign. The
// value is rounded half up as a decimal figure (after fixing it to 1e-9 of the unit, below any
// survey's concern, so a conversion's last bit never decides a rounding) and the rounding carries
// into the station number (999.995 m is "1+000.00"). Values beyond 1e9 units print as plain
// numbers.
struct StationStyle {
    LinearUnit unit = LinearUnit::Meter;
    double stationLength = 0.0;
    int decimals = 2;

    // The station length in effect: the given one, else the unit's usual one.
    double length() const;
};

// Short unit names for the command line and for table headers: "m", "usft", "ft".
const char* unitSymbol(LinearUnit unit);
// Reads "m", "usft", "ft" (and the LandXML names "meter", "USSurveyFoot", "foot").
bool unitFromText(const std::string& text, LinearUnit& unit);

// Running chainage (metres, as the geometry uses it) against design stations (as the drawing and
// the stake-out book write them). Before the first equation, region 1, the two are the same
// (unless an equation stands at the start itself, which only renames the first station);
// after equation k, region k + 1, the station is staAhead_k plus the chainage run since
// staInternal_k. A point exactly at an equation belongs to the region ahead. staBack is not used
// for the mapping: the region behind ends where its own stations run out, and the reader checks
// that the file's staBack agrees with it.
class Stationing {
public:
    // No equations: stations are chainages.
    Stationing() = default;

    // False with a message when the equations do not stand in increasing chainage from
    // startChainageM or a value is not finite; the object is then unchanged. An equation at
    // startChainageM itself gives the first station and is not counted as a region.
    bool assign(double startChainageM, std::vector<StaEquation> equations, std::string& error);

    double startChainage() const { return start_; }
    const std::vector<StaEquation>& equations() const { return equations_; }
    int regionCount() const { return static_cast<int>(equations_.size()) + 1; }

    // The design station (metres) of a running chainage; its region (from 1) when asked.
    double station(double chainageM, int* region = nullptr) const;
    // The running chainage of a station in a region (no check that the station lies in it).
    double chainageInRegion(double stationM, int region) const;

    // The station of a chainage as text in the style; where the printed station occurs in more
    // than one region (an overlap), or its rounding carries it out of its region, the region
    // follows as " R2", so that the text always reads back to this point.
    std::string text(double chainageM, const StationStyle& style) const;

    // Reads a station typed in the style's unit: "12+345.68", "-0+090.00", "1049.84", each
    // optionally followed by a region "R2". False with a message when the text is not a station,
    // when the station lies in the gap of an equation, when it occurs in several regions and no
    // region is given (the message names them), or when it does not lie in the region given.
    bool chainage(const std::string& text, const StationStyle& style, double& chainageM,
                  std::string& error) const;

private:
    // First and last station (metres) of a region; the first region runs from the start chainage
    // (stations before it extend region 1), the last is open ahead.
    double regionFirstStation(int region) const;
    double regionLastStation(int region) const;
    // Whether the station lies in the region, to the tolerance (region 1 also before the start).
    bool holds(double stationM, int region, double toleranceM) const;
    // Regions (from 1) whose stations include the value, each a different point of the road.
    std::vector<int> regionsOf(double stationM) const;

    double start_ = 0.0;
    double startStation_ = 0.0;  // the design station of start_
    std::vector<StaEquation> equations_;
};

// Checks the station equations of an alignment given as plain values and makes them ready for
// Stationing::assign, whoever read them (startChainageM and endChainageM: the running chainage
// of the road's start and end, metres):
//  - an equation without staBack (NaN; it is optional) takes it from the running station;
//  - a staBack that differs from the running station by more than 1 mm is a warning, the
//    stations follow the running chainage;
//  - an equation whose staInternal lies before the start or after the end cannot apply: a
//    warning naming its line, and it is left out;
//  - two equations at the same staInternal (at the start as anywhere else) are an error naming
//    both lines, as is a staInternal or staAhead that is not finite.
// The equations come back sorted by staInternal. Warnings and errors read "line N: StaEquation:
// ..." with stations in `unit`. False with the error; equations then unchanged.
bool checkEquations(double startChainageM, double endChainageM, std::vector<StaEquation>& equations,
                    LinearUnit unit, std::vector<std::string>& warnings, std::string& error);
// staBack and the running station agree within this.
inline constexpr double kStaBackToleranceM = 0.001;

// The stationing of a file's alignment: its staStart and equations. The reader has checked them.
Stationing stationingOf(const Alignment& alignment);

}  // namespace zel_landxml
