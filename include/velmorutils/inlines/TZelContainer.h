#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/inlines/HeapVectorGrowth.h"
#include "velmorutils/platform/FailureReport.h"

namespace zel_templ {

// A sequence on the library heap with checked element access: an index at or beyond the size
// throws std::out_of_range ("invalid vector<T> subscript"); the const access first reports the
// bad index to the log. T must be copyable, value-initialisable and comparable with ==.
//
// Capacity is managed here rather than left to the vector: an insertion that does not fit grows
// the storage to the old capacity plus its half (at least what is needed), so appends from empty
// reach 1, 2, 3, 4, 6, 9, 13, 19, 28, ...; storage is always taken in exactly that size.
template <class T>
class TZelContainer {
public:
    using Growth = HeapVectorGrowth<T>;
    using Impl = typename Growth::Vector;
    using iterator = typename Impl::iterator;
    using const_iterator = typename Impl::const_iterator;

    TZelContainer() = default;
    // Storage of exactly the source's size.
    TZelContainer(const TZelContainer& src) : m_impl(src.m_impl) {}
    TZelContainer& operator=(const TZelContainer& src) {
        assignFrom(src);
        return *this;
    }
    ~TZelContainer() = default;

    void reset() {
        Impl empty;
        m_impl.swap(empty);
    }

    unsigned int size() const { return static_cast<unsigned int>(m_impl.size()); }
    unsigned int count() const { return size(); }
    unsigned int capacity() const { return static_cast<unsigned int>(m_impl.capacity()); }

    T& get_at(unsigned int i) {
        checkIndex(i);
        return m_impl[i];
    }
    const T& get_at(unsigned int i) const {
        if (i >= size()) zel_platform::ReportFailure(kSourceName, kAccessLine);
        checkIndex(i);
        return m_impl[i];
    }
    T& operator[](unsigned int i) { return get_at(i); }
    const T& operator[](unsigned int i) const { return get_at(i); }

    iterator begin() { return m_impl.begin(); }
    iterator end() { return m_impl.end(); }
    const_iterator begin() const { return m_impl.begin(); }
    const_iterator end() const { return m_impl.end(); }

    T* getFirst() { return m_impl.empty() ? nullptr : &m_impl.front(); }
    const T* getFirst() const { return m_impl.empty() ? nullptr : &m_impl.front(); }
    T* getLast() { return m_impl.empty() ? nullptr : &m_impl.back(); }
    const T* getLast() const { return m_impl.empty() ? nullptr : &m_impl.back(); }

    unsigned int add(const T& x) {
        push_back(x);
        return size() - 1;
    }
    void push_back(const T& x) { insertRange(m_impl.size(), &x, 1); }
    // 0 <= i <= size() is the caller's obligation.
    void insert(unsigned int i, const T& x) { insertRange(i, &x, 1); }
    // 0 <= i < size() is the caller's obligation.
    void remove(unsigned int i) { m_impl.erase(m_impl.begin() + i); }

    // A negative count asks for more than any allocator can give and is refused as too long.
    void reserve(int n) {
        const size_t wanted = toSize(n);
        if (wanted > maxSize()) tooLong();
        if (wanted > m_impl.capacity()) m_impl.reserve(wanted);
    }

    // growBy is accepted for callers of the older array interface and has no effect.
    void set_size(int n, int /*growBy*/) {
        const size_t wanted = toSize(n);
        if (wanted > maxSize()) tooLong();
        if (wanted > m_impl.size()) growFor(wanted);
        m_impl.resize(wanted);
    }

    void append(const T* p, unsigned int n) {
        if (n == 0) return;
        insertRange(m_impl.size(), p, n);
    }
    void append(const TZelContainer& other) {
        if (other.m_impl.empty()) return;
        insertRange(m_impl.size(), other.m_impl.data(), other.m_impl.size());
    }
    void copy(const TZelContainer& other) { assignFrom(other); }

    bool is_equal(const TZelContainer& other) const {
        if (m_impl.size() != other.m_impl.size()) return false;
        for (size_t i = 0; i < m_impl.size(); ++i) {
            if (!(m_impl[i] == other.m_impl[i])) return false;
        }
        return true;
    }

private:
    static constexpr const char* kSourceName = "utils/inlines/templates";
    static constexpr int kAccessLine = 599;

    void checkIndex(unsigned int i) const {
        if (i >= m_impl.size()) throw std::out_of_range("invalid vector<T> subscript");
    }

    void assignFrom(const TZelContainer& src) {
        if (this == &src) return;
        if (src.m_impl.empty()) {
            reset();
            return;
        }
        if (src.m_impl.size() > m_impl.capacity()) {
            // Exact storage, built before the old storage goes: a failing copy changes nothing.
            Impl fresh(src.m_impl);
            m_impl.swap(fresh);
            return;
        }
        m_impl = src.m_impl;
    }

    static size_t maxSize() { return Growth::maxSize(); }
    static size_t toSize(int n) { return Growth::toSize(n); }
    [[noreturn]] static void tooLong() { Growth::tooLong(); }
    size_t grownCapacity(size_t needed) const { return Growth::grownCapacity(m_impl, needed); }
    void growFor(size_t needed) { Growth::growFor(m_impl, needed); }

    // Inserts n copies of p[0..n) before index at. When the storage must grow, the new storage
    // is filled completely before it replaces the old one, so that elements of this container
    // given as the source stay valid while they are copied.
    void insertRange(size_t at, const T* p, size_t n) {
        if (n > maxSize() - m_impl.size()) tooLong();
        const size_t capacity = grownCapacity(m_impl.size() + n);
        if (capacity == 0) {
            if (pointsInto(p)) {
                const Impl copies(p, p + n);
                m_impl.insert(m_impl.begin() + at, copies.begin(), copies.end());
                return;
            }
            m_impl.insert(m_impl.begin() + at, p, p + n);
            return;
        }
        Impl fresh;
        fresh.reserve(capacity);
        fresh.insert(fresh.end(), m_impl.begin(), m_impl.begin() + at);
        fresh.insert(fresh.end(), p, p + n);
        fresh.insert(fresh.end(), m_impl.begin() + at, m_impl.end());
        m_impl.swap(fresh);
    }

    bool pointsInto(const T* p) const {
        const T* first = m_impl.data();
        return !m_impl.empty() && std::less_equal<const T*>()(first, p) &&
               std::less<const T*>()(p, first + m_impl.size());
    }

    Impl m_impl;
};

}  // namespace zel_templ

using zel_templ::TZelContainer;
