#pragma once

#include <limits>
#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/alignment/CAlntStationOffset.h>

namespace zel_math {
class CRoadCorridor;
}

namespace zel_landxml {

// The as-built check of a road: how far each shot of the built road lies from the design point
// it was meant for, across the road and in height, against a tolerance, and the summary a client
// accepts. The road tool and the Python module both call this, so they agree shot for shot.
//
// Units: metres in and out, plane north first, east second; offsets right of increasing chainage
// positive. Deviations are signed: horizontal = the shot's offset minus the design point's
// (positive: right of it), vertical = the shot's height minus the design height at the shot's
// own station and offset (positive: above design, a cut still to make or a fill too high).

struct AsBuiltShot {
    std::string name;  // the point number; a shot without one is a bad shot
    double north = 0.0;
    double east = 0.0;
    double height = kNone;  // NaN: no height, only the horizontal check
    std::string code;       // the shot's code or description; its first word is the code
    int line = 0;           // line of the file, for messages; 0 when not from a file
};

// The code a shot carries: the first word of its code or description ("ETW 12" is ETW).
std::string shotCode(const std::string& codeOrDescription);

struct AsBuiltOptions {
    double toleranceHM = 0.02;  // passes: |deviation| <= tolerance + 1e-6 m
    double toleranceVM = 0.01;
    // Without a section model: the design lines (offsets, metres) a shot is checked against,
    // the nearest one of them; the centre line alone by default.
    std::vector<double> offsets{0.0};
    // Shots whose nearest point of the centre line lies farther than this are outside the
    // corridor (bad shots); shots beyond the road's ends always are.
    double corridorM = std::numeric_limits<double>::infinity();
    // The section model: shots by their code against its points, heights at each shot's own
    // offset. Null: the nearest offset line, and the centre line's design height.
    const zel_math::CRoadCorridor* corridor = nullptr;
};

// What a shot was checked against.
enum class AsBuiltAgainst {
    OffsetLine,      // the nearest design line of the given offsets (0: the centre line)
    SectionCode,     // the section point of the shot's code nearest to it
    SectionNearest,  // the section point nearest to it (the shot has no code)
};
// "offset line", "section code", "nearest section point".
const char* asBuiltAgainstText(AsBuiltAgainst against);

struct AsBuiltResult {
    bool ok = false;     // false: a bad shot, not checked
    std::string reason;  // why it is bad
    double chainage = 0.0;
    double offset = 0.0;
    AsBuiltAgainst against = AsBuiltAgainst::OffsetLine;
    double designOffset = 0.0;  // the design point's offset the shot was meant for
    std::string designCode;     // its code ("" for an offset line)
    double hDev = 0.0;
    bool hPass = false;
    bool hasV = false;  // the shot has a height and the design one there
    double designHeight = 0.0;
    double vDev = 0.0;
    bool vPass = false;
    bool vFromCentreLine = false;  // the design height is the centre line's (no section model)
};

// One deviation's statistics over a set of shots (metres).
struct DeviationStats {
    long long count = 0;
    double mean = 0.0;     // of the signed deviations: a bias
    double rms = 0.0;      // root of the mean square
    double maxAbs = 0.0;   // the largest |deviation|
    long long within = 0;  // shots within tolerance
    double share() const { return count > 0 ? static_cast<double>(within) / count : 0.0; }
};

// The summary of all shots (all = true, code "") or of the shots of one code ("" for shots
// without one). Bad shots count only in `bad`.
struct AsBuiltStats {
    bool all = false;
    std::string code;
    long long bad = 0;
    DeviationStats h, v;
};

class AsBuiltCheck {
public:
    // Keeps references to alnt and options.corridor, which must outlive the check unchanged.
    AsBuiltCheck(const CAlnt& alnt, const AsBuiltOptions& options);
    // False when the road's station/offset inverse could not be built; error() says why.
    bool isok() const { return inverse_.isok(); }
    const std::string& error() const { return inverse_.buildError(); }
    const AsBuiltOptions& options() const { return options_; }

    // One shot. A bad shot (no number, outside the corridor, no design point of its code, no
    // design there) comes back with ok false and the reason.
    AsBuiltResult check(const AsBuiltShot& shot) const;

private:
    bool againstLines(const AsBuiltShot& shot, AsBuiltResult& r) const;
    bool againstSections(const AsBuiltShot& shot, AsBuiltResult& r) const;

    const CAlnt& alnt_;
    AsBuiltOptions options_;
    CAlntStationOffset inverse_;
};

// The summary: first all shots, then each code in alphabetical order. results[i] belongs to
// shots[i].
std::vector<AsBuiltStats> summarizeAsBuilt(const std::vector<AsBuiltShot>& shots,
                                           const std::vector<AsBuiltResult>& results,
                                           const AsBuiltOptions& options);

}  // namespace zel_landxml
