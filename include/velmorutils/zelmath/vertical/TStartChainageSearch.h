#pragma once

#include <cmath>

/// Finds the element of an alignment that holds a chainage: the last element, walking back from
/// the end, whose start chainage is at or before it, so that at a shared boundary the later
/// element answers; element 0 when the chainage lies before every start; -1 when a start met on
/// the way is unset.
///
/// While the start chainages, read from first to last, are all set and never decrease, the last
/// start at or before the chainage is found by bisection, which gives exactly the walk's answer
/// in logarithmic time. Otherwise (bulk update, unchained clones) it walks. The owner calls
/// invalidate() after every change to the elements or their chaining.
template <class Elements>
class TStartChainageSearch {
public:
    /// Forgets whether the starts are in order; call after any change.
    void invalidate() const { m_order = Order::unknown; }

    /// Index of the element holding chainage chain (metres), as described above.
    int find(const Elements& elements, double chain) const {
        const int count = elements.GetSize();
        if (count == 0) return -1;
        if (m_order == Order::unknown) m_order = orderOf(elements);
        // A NaN chainage compares false with everything; only the walk gives its answer.
        if (m_order != Order::sorted || std::isnan(chain)) return walkBack(elements, chain);
        int lo = 0;
        int hi = count;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            double start = 0.0;
            elements[mid]->getStartChainageInM(start);
            if (start <= chain) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo > 0 ? lo - 1 : 0;
    }

private:
    enum class Order : unsigned char { unknown, sorted, unsorted };

    static Order orderOf(const Elements& elements) {
        double previous = -INFINITY;
        for (int k = 0; k < elements.GetSize(); ++k) {
            double start = 0.0;
            if (!elements[k]->getStartChainageInM(start) || std::isnan(start) || start < previous)
                return Order::unsorted;
            previous = start;
        }
        return Order::sorted;
    }

    static int walkBack(const Elements& elements, double chain) {
        for (int k = elements.GetSize() - 1; k >= 0; --k) {
            double start = 0.0;
            if (!elements[k]->getStartChainageInM(start)) return -1;
            if (start <= chain) return k;
        }
        return 0;
    }

    mutable Order m_order = Order::unknown;
};
