#include "formats/DmsCarry.h"

#include <cmath>

namespace zel_formats {

void CarryDms(TDmsParts& dms, double secTolerance) {
    if (std::fabs(dms.sec - 60.0) < secTolerance) {
        dms.min += 1.0;
        dms.sec = 0.0;
    }
    if (dms.min > 59.0) {
        dms.deg += 1.0;
        dms.min = std::fmod(dms.min, 60.0);
    }
    if (dms.deg > 359.0) dms.deg -= 360.0;
}

TDmsParts SplitDegreesWithCarry(double deg, double secTolerance) {
    const double x = std::fmod(std::fabs(deg), 360.0);
    TDmsParts dms;
    dms.deg = std::floor(x);
    const double minutes = (x - dms.deg) * 60.0;
    dms.min = std::floor(minutes);
    dms.sec = (minutes - dms.min) * 60.0;
    CarryDms(dms, secTolerance);
    return dms;
}

}  // namespace zel_formats
