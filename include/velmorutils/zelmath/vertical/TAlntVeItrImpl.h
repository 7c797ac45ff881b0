#pragma once

#include "velmorutils/utils/ReportAssertion.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/CAlntVeLsWithArc.h"
#include "velmorutils/zelmath/vertical/CVerticalLSElement.h"

/// Walks the vertical elements of an alignment (T is CAlnt or CAlntV) one simple piece at a
/// time: a VIP element is visited as its start straight and then its curve. The iterator
/// points into the alignment, so it is used on an unchanged alignment only.
template <class T>
class TAlntVeItrImpl {
public:
    explicit TAlntVeItrImpl(const T& alnt) : m_alnt(alnt) { setAtAlnVe(0); }
    TAlntVeItrImpl(const TAlntVeItrImpl&) = default;
    TAlntVeItrImpl& operator=(const TAlntVeItrImpl&) = delete;

    /// Moves to the first piece of element i; false past either end (the index is kept).
    bool setAtAlnVe(int i) {
        m_index = i;
        m_curVe = nullptr;
        m_element = nullptr;
        if (i < 0 || i >= m_alnt.getNumOfVes()) return false;
        const CAlntVe* ve = m_alnt.getVe(i);
        if (ve == nullptr) return false;
        switch (ve->getType()) {
            case avtStraight:
            case avtParabola:
            case avtArc:
                m_element = ve;
                break;
            case avtLs:
                m_element = &static_cast<const CVerticalLSElement*>(ve)->getStartSegment();
                break;
            case avtLsWithArc:
                m_element = &static_cast<const CAlntVeLsWithArc*>(ve)->getStartSegment();
                break;
            default:
                ReportAssertion(kSource, 283);
                return false;
        }
        m_curVe = ve;
        return true;
    }

    /// Moves to the next piece: the curve of a VIP element after its straight, else the next
    /// element.
    bool nextAlnVe() {
        if (m_curVe == nullptr) return false;
        switch (m_curVe->getType()) {
            case avtLs: {
                const auto* ls = static_cast<const CVerticalLSElement*>(m_curVe);
                if (m_element == &ls->getStartSegment() && ls->getParabole() != nullptr) {
                    m_element = ls->getParabole();
                    return true;
                }
                return setAtAlnVe(m_index + 1);
            }
            case avtLsWithArc: {
                const auto* la = static_cast<const CAlntVeLsWithArc*>(m_curVe);
                if (m_element == &la->getStartSegment()) {
                    m_element = &la->getArc();
                    return true;
                }
                return setAtAlnVe(m_index + 1);
            }
            case avtStraight:
            case avtParabola:
            case avtArc:
                return setAtAlnVe(m_index + 1);
            default:
                ReportAssertion(kSource, 326);
                return false;
        }
    }

    ///@{
    /// The current element, the part of it the iterator stands on, its index, and the profile
    /// walked.
    const CAlntVe* getCurVe() const { return m_curVe; }
    const CAlntVe* getElement() const { return m_element; }
    int getCurAlntVeIndex() const { return m_index; }
    const T& getAlnt() const { return m_alnt; }
    ///@}

private:
    static constexpr const char* kSource = "zelmath/AlntLsItrImpl";

    const T& m_alnt;
    const CAlntVe* m_curVe = nullptr;
    int m_index = -1;
    const CAlntVe* m_element = nullptr;
};
