#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// The OmniSTAR correction service: its satellites by name, and subscription end dates turned
// into "month/day/year" text.

enum OmnistarSats {
    osEMS = 1,
    osEA_SAT = 2,
    osAP_SAT = 3,  // also "AM_SAT"
    osOPTUS = 4,
    osAMSC_EAST = 5,
    osAMSC_CENTRE = 6,
    osAMSC_WEST = 7,
    osAF_SAT = 9,
    osMSC_E = 15,
    osMSC_C = 16,
    osMSC_W = 17,
};

// The satellite whose name fragment occurs in name, the fragments tried in a fixed order so
// that "AMSC_EAST" is found before "MSC_E"; osEA_SAT when none occurs.
VELMORUTILS_API OmnistarSats OmniStarSatNameToEnum(const zel_text::CZelStringT<char>& name);

// "yyyy-mm-dd..." (at least 19 characters) to "m/d/yyyy"; false for a shorter text. The digits
// are taken as they stand, unchecked.
VELMORUTILS_API bool OmniStarHPSubscriptionToString(const zel_text::CZelStringT<char>& s,
                                                    zel_text::CZelStringT<char>& out);

// A subscription end given in seconds of GPS time to "m/d/yyyy", the day taken three hours
// behind GPS time. False, with out unchanged, for seconds below 1 and for times before GPS
// week 1024 (22 August 1999), which no subscription of this service can end at.
VELMORUTILS_API bool QuilSubscriptionToString(long seconds, zel_text::CZelStringT<char>& out);
