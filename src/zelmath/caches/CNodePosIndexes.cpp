#include "velmorutils/zelmath/caches/CNodePosIndexes.h"

#include <algorithm>

int CNodePosIndexes::posIndex2AlntElementIndex(int posIndex) const {
    if (posIndex < 0) return -1;
    const int n = GetSize();
    const auto first = m_indexes.begin();
    const auto at = std::lower_bound(first, m_indexes.end(), posIndex);
    int i = static_cast<int>(at - first);
    if (i < n && m_indexes[static_cast<size_t>(i)] == posIndex) {
        // A sample where a zero-length element sits between two others starts several
        // elements: the last of them owns the polyline from there on.
        while (i < n - 2 && GetAt(i) == GetAt(i + 1))
            ++i;
        return i;
    }
    return i >= 1 ? i - 1 : 0;
}
