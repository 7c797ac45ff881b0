#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/inlines/HeapVectorGrowth.h"

namespace zel_templ {

// The library's growable array, with the member names of the framework's array class, over a
// vector on the library heap. Indexes are never checked: they are the caller's obligation.
//
// Capacity is managed here rather than left to the vector: whenever an insertion does not fit,
// the new capacity is the old one plus its half (at least what is needed), so repeated Add gives
// 1, 2, 3, 4, 6, 9, 13, 19, 28, 42, ... Callers that size storage by that rule rely on it.
template <class TYPE, class ARG>
class CZelArray {
public:
    using Growth = HeapVectorGrowth<TYPE>;
    using Impl = typename Growth::Vector;

    CZelArray() = default;
    // The vector's copy takes storage of exactly the source's size.
    CZelArray(const CZelArray& src) : m_impl(src.m_impl) {}
    CZelArray& operator=(const CZelArray& src) {
        if (this == &src) return *this;
        if (src.m_impl.empty()) {
            release();
            return *this;
        }
        if (src.m_impl.size() > m_impl.capacity()) {
            // Exact storage for the source, built before the old storage goes so that a
            // failing copy leaves this array as it was.
            Impl fresh(src.m_impl);
            m_impl.swap(fresh);
            return *this;
        }
        m_impl = src.m_impl;
        return *this;
    }
    ~CZelArray() = default;

    const Impl& getImpl() const { return m_impl; }

    int GetSize() const { return static_cast<int>(m_impl.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_impl.empty(); }

    void SetSize(int newSize, int growBy = -1) {
        if (growBy != -1) reserve(toSize(growBy));
        const size_t wanted = toSize(newSize);
        if (wanted > m_impl.size()) growFor(wanted);
        m_impl.resize(wanted);
    }

    void FreeExtra() {
        if (m_impl.capacity() == m_impl.size()) return;
        Impl fitting(m_impl);
        m_impl.swap(fitting);
    }

    void RemoveAll() { release(); }

    const TYPE* GetData() const { return m_impl.empty() ? nullptr : m_impl.data(); }
    TYPE* GetData() { return m_impl.empty() ? nullptr : m_impl.data(); }

    const TYPE& GetAt(int i) const { return m_impl[static_cast<size_t>(i)]; }
    TYPE& GetAt(int i) { return m_impl[static_cast<size_t>(i)]; }
    const TYPE& ElementAt(int i) const { return m_impl[static_cast<size_t>(i)]; }
    TYPE& ElementAt(int i) { return m_impl[static_cast<size_t>(i)]; }
    const TYPE& operator[](int i) const { return m_impl[static_cast<size_t>(i)]; }
    TYPE& operator[](int i) { return m_impl[static_cast<size_t>(i)]; }

    void SetAt(int i, ARG x) { m_impl[static_cast<size_t>(i)] = x; }

    int Add(ARG x) {
        if (m_impl.size() < m_impl.capacity()) {
            m_impl.push_back(x);
        } else {
            insertCopies(m_impl.size(), 1, x);
        }
        return GetUpperBound();
    }

    int Append(const CZelArray& src) {
        const int first = GetSize();
        insertArray(m_impl.size(), src);
        return first;
    }

    void Copy(const CZelArray& src) {
        if (this != &src) *this = src;
    }

    void SetAtGrow(int i, ARG x) {
        if (i <= GetUpperBound()) {
            SetAt(i, x);
            return;
        }
        const size_t index = toSize(i);
        if (index + 1 > m_impl.capacity()) {
            // x may live in this array: keep a copy before the storage moves.
            TYPE keep(x);
            reserve(index + 1);
            m_impl.resize(index);
            m_impl.push_back(std::move(keep));
            return;
        }
        m_impl.resize(index);
        m_impl.push_back(x);
    }

    void InsertAt(int i, ARG x, int count = 1) { insertCopies(toSize(i), toSize(count), x); }
    void InsertAt(int i, const CZelArray& src) { insertArray(toSize(i), src); }
    void InsertAt(int i, CZelArray* src) {
        if (src) insertArray(toSize(i), *src);
    }

    void RemoveAt(int i, int count = 1) {
        const auto first = m_impl.begin() + i;
        m_impl.erase(first, first + count);
    }

private:
    void release() {
        Impl empty;
        m_impl.swap(empty);
    }

    // Storage of exactly n elements unless there is already room for n.
    void reserve(size_t n) {
        if (n > maxSize()) tooLong();
        if (n > m_impl.capacity()) m_impl.reserve(n);
    }

    static size_t maxSize() { return Growth::maxSize(); }
    static size_t toSize(int n) { return Growth::toSize(n); }
    [[noreturn]] static void tooLong() { Growth::tooLong(); }
    size_t grownCapacity(size_t needed) const { return Growth::grownCapacity(m_impl, needed); }
    void growFor(size_t needed) { Growth::growFor(m_impl, needed); }

    bool holds(const TYPE& x) const {
        const std::less<const TYPE*> before;
        const TYPE* first = m_impl.data();
        return !before(&x, first) && before(&x, first + m_impl.size());
    }

    // Fresh storage holding the elements before `at`, the inserted ones, then the rest. It is
    // exchanged only once complete, so a failing copy leaves the array untouched, and an inserted
    // value that lives in this array stays valid while it is copied.
    template <class Fill>
    void rebuild(size_t capacity, size_t at, Fill fill) {
        Impl fresh;
        fresh.reserve(capacity);
        fresh.insert(fresh.end(), m_impl.begin(), m_impl.begin() + at);
        fill(fresh);
        fresh.insert(fresh.end(), m_impl.begin() + at, m_impl.end());
        m_impl.swap(fresh);
    }

    void insertCopies(size_t at, size_t count, ARG x) {
        if (count == 0) return;
        if (count > maxSize() - m_impl.size()) tooLong();
        const size_t capacity = grownCapacity(m_impl.size() + count);
        if (capacity == 0) {
            if (count == 1 && at == m_impl.size()) {
                m_impl.push_back(x);
            } else {
                m_impl.insert(m_impl.begin() + at, count, x);
            }
            return;
        }
        if (at != m_impl.size()) {
            rebuild(capacity, at, [&](Impl& fresh) { fresh.insert(fresh.end(), count, x); });
            return;
        }
        // Appending: the vector's own move to the larger storage keeps the old contents if it
        // fails; a value that lives in this array is copied out before the storage moves.
        if (holds(x)) {
            const TYPE keep(x);
            m_impl.reserve(capacity);
            m_impl.insert(m_impl.end(), count, keep);
            return;
        }
        m_impl.reserve(capacity);
        m_impl.insert(m_impl.end(), count, x);
    }

    void insertArray(size_t at, const CZelArray& src) {
        if (&src == this) {
            const CZelArray copy(src);
            insertArray(at, copy);
            return;
        }
        const Impl& items = src.m_impl;
        if (items.empty()) return;
        if (items.size() > maxSize() - m_impl.size()) tooLong();
        const size_t capacity = grownCapacity(m_impl.size() + items.size());
        if (capacity != 0 && at != m_impl.size()) {
            rebuild(capacity, at,
                    [&](Impl& fresh) { fresh.insert(fresh.end(), items.begin(), items.end()); });
            return;
        }
        if (capacity != 0) m_impl.reserve(capacity);
        m_impl.insert(m_impl.begin() + at, items.begin(), items.end());
    }

    Impl m_impl;
};

}  // namespace zel_templ
