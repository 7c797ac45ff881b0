#pragma once

#include <vector>

#include "velmorutils/zelmath/CAlntH.h"
#include "velmorutils/zelmath/CAlntHeArc.h"
#include "velmorutils/zelmath/CAlntHeIp.h"
#include "velmorutils/zelmath/CAlntHeSegment.h"
#include "velmorutils/zelmath/CAlntHeSpiral.h"

// Element builders for the alignment tests: lengths in metres, radii positive, turn given.
inline CAlntHeSegment makeSegment(double len) {
    CAlntHeSegment s;
    s.get_data().get_data().setLen(len);
    return s;
}

inline CAlntHeArc makeArc(double len, double radius, bool right) {
    CAlntHeArc a;
    a.get_data().get_data().SetElement(len, radius, right);
    return a;
}

inline CAlntHeSpiral makeSpiral(double len, double radius, bool right, bool tangentToCurve) {
    CAlntHeSpiral s;
    s.get_data().get_data().setLenAndR(len, radius, right, tangentToCurve);
    return s;
}

inline CAlntHeIp makeIp(double n, double e, double lenIn, double radius, double lenOut) {
    CAlntHeIp ip;
    ip.setIp(n, e, lenIn, radius, lenOut);
    return ip;
}

// A segment that records every re-chaining it receives, to see what an edit re-chains.
class CountingSegment : public CAlntHeSegment {
public:
    explicit CountingSegment(double len, std::vector<int>* log) : m_log(log) {
        get_data().get_data().setLen(len);
    }
    CAlntHe* clone() const override { return new CountingSegment(*this); }

protected:
    void onSetIndex(const CAlntH& alnt, int index) override {
        m_log->push_back(index);
        CAlntHeSegment::onSetIndex(alnt, index);
    }

private:
    std::vector<int>* m_log;
};
