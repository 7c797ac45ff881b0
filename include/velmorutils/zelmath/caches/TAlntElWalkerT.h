#pragma once

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"

/// Walks the elements of an alignment by chainage for the position caches. Access tells how to
/// reach the elements: static int count(const TAlnt&) and static const TEl* element(const
/// TAlnt&, int). An element must offer isok(), getStartChainageInM(double&),
/// getHLengthInM(double&) and getFinalChainageInM(double&).
///
/// Every element start is a stop (a node). A step that would end within a millimetre of the
/// element's end, or beyond it, ends on the element's end instead, which is then the start of
/// the next element; so no stop lies closer than 0.001 m to an element end, and the end of the
/// last element is the final stop (a node).
template <class TAlnt, class TEl, class Access>
class TAlntElWalkerT {
public:
    enum class Step { moved, ended, failed };

    /// A walker over alnt, not yet on an element.
    explicit TAlntElWalkerT(const TAlnt& alnt) : m_alnt(alnt) {}

    /// Positions the walker on the start of element i; false when there is no such element or
    /// it cannot give its start chainage and length.
    bool setAtElement(int i) {
        if (i < 0 || i >= Access::count(m_alnt)) return false;
        const TEl* el = Access::element(m_alnt, i);
        if (el == nullptr || !el->isok()) return false;
        double chain = 0.0;
        double len = 0.0;
        if (!el->getStartChainageInM(chain) || !el->getHLengthInM(len)) return false;
        m_el = el;
        m_index = i;
        m_chain = chain;
        m_len = len;
        m_walked = 0.0;
        m_atEnd = false;
        m_entered = true;
        return true;
    }

    /// Whether the walker stands on an element boundary (within 1e-12 m).
    bool isAtNode() const {
        if (zel_math::isNearZero(m_walked)) return true;
        if (zel_math::isNearZero(m_len)) return m_atEnd;
        return zel_math::isNearZero(m_len - m_walked);
    }

    /// Moves s metres on along the current element, snapping to its end (see above).
    Step advance(double s) {
        if (m_el == nullptr) return Step::failed;
        if (m_atEnd && isLastElement()) return Step::ended;
        const double rest = m_len - m_walked;
        if (std::fabs(s - rest) < 0.001 || s > rest) {
            m_walked = m_len;
            m_atEnd = true;
        } else {
            m_walked += s;
            m_chain += s;
        }
        if (!m_atEnd) return Step::moved;
        if (!isLastElement()) return setAtElement(m_index + 1) ? Step::moved : Step::failed;
        return m_el->getFinalChainageInM(m_chain) ? Step::moved : Step::failed;
    }

    /// Leaves the rest of the current element and stops at the start of the next one; the walk
    /// ends when there is none.
    Step moveToNextElement() {
        if (m_el == nullptr) return Step::failed;
        if (isLastElement()) return Step::ended;
        return setAtElement(m_index + 1) ? Step::moved : Step::failed;
    }

    /// True once after the walker has been positioned on an element: the caller's cue to
    /// collect what it needs from each element it walks.
    bool takeEntered() {
        const bool entered = m_entered;
        m_entered = false;
        return entered;
    }

    /// The alignment walked.
    const TAlnt& getAlnt() const { return m_alnt; }
    /// The current element.
    const TEl* getElement() const { return m_el; }
    /// Index of the current element.
    int getElementIndex() const { return m_index; }
    /// The current chainage, metres.
    double getChainage() const { return m_chain; }
    /// Length walked within the current element, metres.
    double getWalkedLength() const { return m_walked; }
    /// Length of the current element, metres.
    double getElementLength() const { return m_len; }
    /// Whether the last element's end is reached.
    bool isAtEnd() const { return m_atEnd; }

private:
    bool isLastElement() const { return m_index + 1 >= Access::count(m_alnt); }

    const TAlnt& m_alnt;
    const TEl* m_el = nullptr;
    int m_index = -1;
    double m_chain = 0.0;
    double m_walked = 0.0;
    double m_len = 0.0;
    bool m_atEnd = false;
    bool m_entered = false;
};

/// The walk shared by the fixed-step and the deviation loaders. nextStep(walker) gives the
/// advance at the current stop; a negative advance asks to leave the element for the start of
/// the next one. onEnter(element) runs once for each element entered, onStop(walker) stores the
/// stop and answers false when the element cannot give a value there. True when the walk
/// reached the end of the last element.
template <class Walker, class NextStep, class OnEnter, class OnStop>
bool walkAlignment(Walker& walker, NextStep nextStep, OnEnter onEnter, OnStop onStop) {
    if (!walker.setAtElement(0)) return false;
    for (;;) {
        if (walker.takeEntered()) onEnter(*walker.getElement());
        if (!onStop(walker)) return false;
        const double s = nextStep(walker);
        const typename Walker::Step r = s < 0.0 ? walker.moveToNextElement() : walker.advance(s);
        if (r == Walker::Step::ended) return true;
        if (r == Walker::Step::failed) return false;
    }
}

/// The advance of a deviation walk at the walker's stop: the element's own deviation step, 0
/// on a zero-length element, and -1 (leave the element) when a step below a millimetre would
/// stall the walk. A negative or non-finite step is treated as stalled too, so that a faulty
/// curve can never make the walk run backwards or forever.
template <class Walker>
double deviationStep(const Walker& walker, double maxDev) {
    if (zel_math::isNearZero(walker.getElementLength())) return 0.0;
    const double s = walker.getElement()->getStepForDeviation(walker.getChainage(), maxDev);
    if (!std::isfinite(s) || std::fabs(s) < 0.001 || s < 0.0) return -1.0;
    return s;
}
