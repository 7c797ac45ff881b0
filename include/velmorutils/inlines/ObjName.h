#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// Object names as the data base keeps them.
class VELMORUTILS_API ObjName {
public:
    // in without leading and trailing spaces and TABs, every inner run of spaces and TABs
    // turned into one space: "\t Pt\t 12 " becomes "Pt 12".
    static void normalizeName(zel_text::CZelStringT<char>& out,
                              const zel_text::CZelStringT<char>& in);
};
