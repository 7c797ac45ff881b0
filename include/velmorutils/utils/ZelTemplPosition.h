#pragma once

#include <cstddef>

#include "velmorutils/platform/Export.h"

namespace zel_templ {

// The iteration handle of the walking members: either empty (the end, or no position) or an
// owned iterator into one of the walked containers. Copying a position copies its iterator.
class VELMORUTILS_API ZelTemplPosition {
public:
    // What a position owns; the containers that walk derive their iterators from it.
    class Iterator {
    public:
        virtual ~Iterator() = default;
        virtual Iterator* Clone() const = 0;
    };

    ZelTemplPosition() = default;
    // Takes ownership of iter (null gives an empty position).
    explicit ZelTemplPosition(Iterator* iter) : m_iter(iter) {}
    ZelTemplPosition(const ZelTemplPosition& other)
        : m_iter(other.m_iter ? other.m_iter->Clone() : nullptr) {}
    ZelTemplPosition(ZelTemplPosition&& other) noexcept : m_iter(other.m_iter) {
        other.m_iter = nullptr;
    }
    ZelTemplPosition& operator=(const ZelTemplPosition& other) {
        if (this != &other) Reset(other.m_iter ? other.m_iter->Clone() : nullptr);
        return *this;
    }
    ZelTemplPosition& operator=(ZelTemplPosition&& other) noexcept {
        if (this != &other) {
            Reset(other.m_iter);
            other.m_iter = nullptr;
        }
        return *this;
    }
    ~ZelTemplPosition() { delete m_iter; }

    bool IsEmpty() const { return m_iter == nullptr; }
    explicit operator bool() const { return m_iter != nullptr; }
    // Lets a walk read "while (pos != nullptr)" (or NULL) as with a plain position pointer.
    bool operator==(std::nullptr_t) const { return m_iter == nullptr; }

    // Replaces the owned iterator (null empties the position).
    void Reset(Iterator* iter = nullptr) {
        if (iter == m_iter) return;
        delete m_iter;
        m_iter = iter;
    }
    Iterator* GetIterator() const { return m_iter; }

private:
    Iterator* m_iter = nullptr;
};

}  // namespace zel_templ
