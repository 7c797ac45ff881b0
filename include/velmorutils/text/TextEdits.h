#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// Edits of a whole text that need nothing but the string: kept beside the string so that the
// containers (object names) and the value formats can both use them.

// out becomes src with every maximal run of characters from `chars` replaced by one copy of
// `replacement` (removed when it is null or empty). Returns the number of runs. Without chars,
// out is "" and the result 0. A null src counts as empty; src may point into out.
VELMORUTILS_API int replaceChars(const char* src, const char* chars, const char* replacement,
                                 zel_text::CZelStringT<char>& out);
