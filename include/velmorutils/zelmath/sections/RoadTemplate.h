#pragma once

#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"

namespace zel_math {

/// One segment of a typical section, from the centre line outwards: its code ("lane" segments
/// are the ones superelevation turns), its width in metres (> 0) and its normal cross slope in
/// percent, negative where it falls away from the centre line.
struct TTemplateSegment {
    std::string code;
    double width;
    double slopePercent;
};

/// A typical section: the segments of each side, the side slopes from the hinge (the outer end of
/// the last segment) as horizontal run per unit of height (0: none), an optional ditch at the
/// foot of a cut (metres; width 0: none) and the offset (metres, right positive) of the line the
/// road rotates about under superelevation (0: the centre line; an edge of the lanes such as
/// -3.5 keeps that edge at its normal-crown height).
struct TRoadTemplate {
    std::vector<TTemplateSegment> left;
    std::vector<TTemplateSegment> right;
    double cutHVLeft = 0, fillHVLeft = 0;
    double cutHVRight = 0, fillHVRight = 0;
    double ditchWidthLeft = 0, ditchDepthLeft = 0;
    double ditchWidthRight = 0, ditchDepthRight = 0;
    double pivotOffset = 0;
};

/// Reads a typical section from an INI file with the library's settings reader (CINIFile).
/// Lengths in the file are in a unit of metresPerUnit metres (1 for metres, 0.3048006096 for US
/// survey feet); the template receives metres. Sections [left] and [right], each:
///   segments = lane 3.50 -2.5, shoulder 1.00 -4.0   ; code width slope%, centre line outwards
///   cut = 2.0          ; side slopes H:V from the hinge (0 or missing: none)
///   fill = 3.0
///   ditch = 1.0 0.5    ; optional: ditch width and depth at the foot of a cut
/// and optionally [road] pivot = -3.5 (the offset rotated about; default 0, the centre line).
/// Names and keys are taken without surrounding blanks; a value ends at ";" (a comment).
/// Refused with error "<path>, line <n>, [<section>] <key>: <why>": a file that cannot be read,
/// a side without segments, a segment that is not "code width slope", a width not above 0, a
/// number that is not finite, a negative cut, fill or ditch.
VELMORUTILS_API bool readRoadTemplate(const char* path, double metresPerUnit, TRoadTemplate& road,
                                      std::string& error);

}  // namespace zel_math
