#pragma once

#include <cstddef>
#include <cstring>
#include <new>

#include "velmorutils/alloc/DlMalloc.h"

/// A growable array of pointers on the library heap. It holds the pointers only: whoever fills
/// it decides who deletes what they point to (the alignments own their elements). Indexes are
/// not checked: 0 <= i < GetSize() (0 <= i <= GetSize() for InsertAt) is the caller's duty.
template <class T>
class CPtrArrayT {
public:
    CPtrArrayT() = default;
    CPtrArrayT(const CPtrArrayT&) = delete;
    CPtrArrayT& operator=(const CPtrArrayT&) = delete;
    ~CPtrArrayT() { dlfree(m_data); }

    ///@{
    /// Number of pointers, the last index, and whether there is none.
    int GetSize() const { return m_size; }
    int GetCount() const { return m_size; }
    int GetUpperBound() const { return m_size - 1; }
    bool IsEmpty() const { return m_size == 0; }
    ///@}

    ///@{
    /// Pointer i (not checked). A const array hands out const elements: whoever owns the array owns
    /// their state too.
    const T* GetAt(int i) const { return m_data[i]; }
    T* GetAt(int i) { return m_data[i]; }
    const T* operator[](int i) const { return m_data[i]; }
    T* operator[](int i) { return m_data[i]; }
    T*& ElementAt(int i) { return m_data[i]; }
    void SetAt(int i, T* p) { m_data[i] = p; }
    const T* const* GetData() const { return m_data; }
    T** GetData() { return m_data; }
    ///@}

    /// Appends p and returns its index.
    int Add(T* p) {
        reserve(m_size + 1);
        m_data[m_size] = p;
        return m_size++;
    }

    /// Inserts p before element i (i == GetSize() appends).
    void InsertAt(int i, T* p) {
        reserve(m_size + 1);
        std::memmove(m_data + i + 1, m_data + i, sizeof(T*) * static_cast<std::size_t>(m_size - i));
        m_data[i] = p;
        ++m_size;
    }

    /// Removes elements i .. i + count - 1; the pointers themselves are not deleted.
    void RemoveAt(int i, int count = 1) {
        if (count <= 0) return;
        std::memmove(m_data + i, m_data + i + count,
                     sizeof(T*) * static_cast<std::size_t>(m_size - i - count));
        m_size -= count;
    }

    /// Empties the array and gives its storage back to the heap.
    void RemoveAll() {
        dlfree(m_data);
        m_data = nullptr;
        m_size = m_capacity = 0;
    }

private:
    /// Grows by half again, like the library's other arrays, so that appends stay amortised O(1).
    void reserve(int needed) {
        if (needed <= m_capacity) return;
        int capacity = m_capacity + m_capacity / 2;
        if (capacity < needed) capacity = needed;
        void* grown = dlrealloc(m_data, sizeof(T*) * static_cast<std::size_t>(capacity));
        if (grown == nullptr) throw std::bad_alloc();
        m_data = static_cast<T**>(grown);
        m_capacity = capacity;
    }

    T** m_data = nullptr;
    int m_size = 0;
    int m_capacity = 0;
};
