#pragma once

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHe.h"
#include "velmorutils/zelmath/caches/TAlntElWalkerT.h"

struct CAlntHeWalkerAccess {
    ///@{
    /// How the walker reaches the horizontal elements: their number and element i.
    static int count(const CAlntH& alnt) { return alnt.getNumOfHes(); }
    static const CAlntHe* element(const CAlntH& alnt, int i) { return alnt.getHe(i); }
    ///@}
};

/// Walks the horizontal elements of an alignment by chainage (see TAlntElWalkerT).
class CAlntHeWalker : public TAlntElWalkerT<CAlntH, CAlntHe, CAlntHeWalkerAccess> {
public:
    explicit CAlntHeWalker(const CAlntH& alnt) : TAlntElWalkerT(alnt) {}
};
