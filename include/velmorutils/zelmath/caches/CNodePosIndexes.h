#pragma once

#include <vector>

#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/platform/Export.h"

/// The sample indexes of the element boundaries of a sampled alignment, in the order they were
/// recorded: entry k is the sample where element k starts, the last entry the alignment's end.
/// A zero-length element makes the same sample index appear twice.
class VELMORUTILS_API CNodePosIndexes {
public:
    ///@{
    /// Number of boundaries, entry i (a sample index), adding one, emptying.
    int GetSize() const { return static_cast<int>(m_indexes.size()); }
    bool IsEmpty() const { return m_indexes.empty(); }
    int size() const { return GetSize(); }
    bool empty() const { return m_indexes.empty(); }
    int operator[](int i) const { return m_indexes[static_cast<size_t>(i)]; }
    int GetAt(int i) const { return m_indexes[static_cast<size_t>(i)]; }
    void Add(int posIndex) { m_indexes.push_back(posIndex); }
    void RemoveAll() { m_indexes.clear(); }
    ///@}

    /// The element whose part of the polyline holds sample posIndex. A sample shared by two
    /// elements belongs to the later one; -1 for a negative index.
    int posIndex2AlntElementIndex(int posIndex) const;

private:
    std::vector<int, zel_mem::zel_dl_allocator<int>> m_indexes;
};
