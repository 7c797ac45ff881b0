#pragma once

namespace zel_formats {

// Degrees, minutes and seconds of a non-negative angle. Whole degrees and whole minutes as
// doubles so that the packed forms (DDD.MMSS) can be built without a conversion.
struct TDmsParts {
    double deg = 0.0;
    double min = 0.0;
    double sec = 0.0;
};

// The one carry of degrees-minutes-seconds in the library. Seconds strictly within
// secTolerance of 60 (|sec - 60| < secTolerance, in arc seconds) are a whole minute: sec = 0 and
// the minutes go up by one; minutes above 59 then carry one degree (min modulo 60), and degrees
// above 359 drop a full turn. secTolerance is the caller's documented margin, since each public
// form fixes its own: 1e-12 s (floating residue only) for CMathAngle::getDMS, 6 / 10^(n - 3) s
// for Deg2DDDMMSS with n decimals, 0.00036 s (1e-7 degree) when reading packed DDD.MMSS.
void CarryDms(TDmsParts& dms, double secTolerance);

// Splits an angle in decimal degrees, taken without its sign and modulo 360, into whole degrees,
// whole minutes (both by floor) and seconds, then carries as CarryDms does.
TDmsParts SplitDegreesWithCarry(double deg, double secTolerance);

}  // namespace zel_formats
