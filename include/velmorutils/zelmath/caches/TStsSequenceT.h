#pragma once

#include <cstdint>
#include <vector>

#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

/// A sequence of samples kept in strictly increasing chainage (member `sts`), on the library
/// heap. Two chainages closer than 1e-12 are the same chainage, so a sample is never stored
/// twice at one station. The loaders normally append; anything else is placed by bisection.
template <class T>
class TStsSequenceT {
public:
    using Items = std::vector<T, zel_mem::zel_dl_allocator<T>>;
    using const_iterator = typename Items::const_iterator;

    /// Number of samples.
    int GetSize() const { return static_cast<int>(m_items.size()); }
    /// Whether there is no sample.
    bool IsEmpty() const { return m_items.empty(); }
    /// Number of samples.
    int size() const { return GetSize(); }
    /// Whether there is no sample.
    bool empty() const { return m_items.empty(); }
    /// Sample i (not checked).
    const T& operator[](int i) const { return m_items[static_cast<size_t>(i)]; }
    /// Sample i (not checked).
    const T& GetAt(int i) const { return m_items[static_cast<size_t>(i)]; }
    /// Iteration in chainage order.
    const_iterator begin() const { return m_items.begin(); }
    /// End of the iteration.
    const_iterator end() const { return m_items.end(); }
    /// Removes every sample.
    void RemoveAll() {
        m_items.clear();
        ++m_revision;
    }
    /// Counts the changes to the samples, so that derived indexes know when to rebuild.
    std::uint64_t getRevision() const { return m_revision; }

    /// Bisection for sts. Returns the index of the sample at sts (found = true) or the index
    /// where a sample at sts would be inserted (found = false).
    int findSts(double sts, bool& found) const {
        int lo = 0;
        int hi = GetSize();
        found = false;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            const double d = m_items[static_cast<size_t>(mid)].sts - sts;
            if (zel_math::isNearZero(d)) {
                found = true;
                return mid;
            }
            if (d < 0.0) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    }

    /// Stores x unless a sample at its chainage is present. Returns the index of the sample at
    /// x's chainage afterwards; inserted tells whether x was stored.
    int addSorted(const T& x, bool& inserted) {
        inserted = false;
        ++m_revision;
        if (m_items.empty() || x.sts - m_items.back().sts >= 1e-12) {
            m_items.push_back(x);
            inserted = true;
            return GetSize() - 1;
        }
        bool found = false;
        const int at = findSts(x.sts, found);
        if (found) return at;
        m_items.insert(m_items.begin() + at, x);
        inserted = true;
        return at;
    }

    /// The first sample strictly after sts (a sample at sts itself is passed over); -1 when
    /// there is none.
    int getNextVertexIndex(double sts) const {
        bool found = false;
        int i = findSts(sts, found);
        if (found) ++i;
        return i < GetSize() ? i : -1;
    }

protected:
    /// Sample i for derived sequences that adjust it in place (a position update keeps chainages).
    T& itemAt(int i) {
        ++m_revision;
        return m_items[static_cast<size_t>(i)];
    }

private:
    Items m_items;
    std::uint64_t m_revision = 0;
};
