#pragma once

#include <cstdint>

#include "velmorutils/utils/ReportAssertion.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/CLsInfo.h"

/// Where on an element the VIP iterator stands.
enum TIpStage : std::int32_t {
    ipsStart = 0,  // the element's start point
    ipsVip = 1,    // the element's VIP
    ipsEnd = 2,    // the element's end point
};

/// Walks the vertical alignment (T is CAlnt or CAlntV) as its chain of VIPs: from the start
/// point over every VIP to the end, with the breaks between straights as VIPs of no curve.
/// Where the grade runs on unbroken from one element into the next, the joint is no VIP and
/// is passed over; a record equal to the one before (within 1e-12) is never repeated. The
/// iterator points into the alignment, so it is used on an unchanged alignment only.
template <class T>
class TAlntLsItrImpl {
public:
    using TIpStage = ::TIpStage;
    struct TStatus {
        const CAlntVe* ve = nullptr;
        int index = -1;
        TIpStage stage = ipsStart;
        CLsInfo info;
    };

    explicit TAlntLsItrImpl(const T& alnt) : m_alnt(alnt) { setAtAlnVe(0, ipsStart); }
    TAlntLsItrImpl(const TAlntLsItrImpl&) = default;
    TAlntLsItrImpl& operator=(const TAlntLsItrImpl&) = delete;

    /// Moves to the next record that differs from the current one. The end point of the last
    /// element, when a stage step reaches it, ends the walk instead: callers that need the
    /// final point take it from the alignment.
    bool nextLs() {
        int i = m_status.index;
        TIpStage s = m_status.stage;
        for (;;) {
            doIncStage(i, s, m_alnt);
            if (i + 1 == m_alnt.getNumOfVes() && s == ipsEnd) return false;
            TStatus fresh;
            if (!doGetIp(fresh, i, s)) return false;
            if (!fresh.info.isSameAs(m_status.info)) {
                m_status = fresh;
                return true;
            }
        }
    }

    ///@{
    /// The current VIP (chainages and height in metres), the element it came from, that element's
    /// index, and the profile walked.
    const CLsInfo& getCurLs() const { return m_status.info; }
    const CAlntVe* getCurElement() const { return m_status.ve; }
    int getCurAlntVeIndex() const { return m_status.index; }
    const T& getAlnt() const { return m_alnt; }
    ///@}

private:
    static constexpr const char* kSource = "zelmath/AlntLsItrImpl";

    bool setAtAlnVe(int i, TIpStage s) { return doGetIp(m_status, i, s); }

    const CAlntVe* elementAt(int i) const {
        if (i < 0 || i >= m_alnt.getNumOfVes()) return nullptr;
        return m_alnt.getVe(i);
    }

    /// The start (or end) point of an element, when the element can tell where it is.
    static bool pointOf(const CAlntVe& ve, bool atEnd, CLsInfo& info) {
        double start = 0.0;
        if (!ve.isok() || !ve.getStartChainageInM(start)) return false;
        if (atEnd) {
            info.set(ve.getFinalChain(), ve.getFinalHt());
        } else {
            info.set(start, ve.getStartHt());
        }
        return true;
    }

    bool doGetIp(TStatus& st, int i, TIpStage s) const {
        st.index = i;
        st.stage = s;
        const CAlntVe* ve = elementAt(i);
        if (ve == nullptr) return false;
        st.ve = ve;
        if (s == ipsStart) return pointOf(*ve, false, st.info);
        if (s == ipsEnd) return pointOf(*ve, true, st.info);
        return doGetIp(st);
    }

    /// The VIP of the element in st. A straight has none of its own: where it runs on without
    /// a break into a curve, the curve's VIP stands for it, otherwise its end point does.
    bool doGetIp(TStatus& st) const {
        switch (st.ve->getType()) {
            case avtStraight: {
                const CAlntVe* next = elementAt(st.index + 1);
                if (next != nullptr &&
                    zel_math::isNearZero(next->getStartGrade() - st.ve->getEndGrade()) &&
                    (next->getType() == avtParabola || next->getType() == avtArc)) {
                    st.index += 1;
                    st.ve = next;
                    st.stage = ipsVip;
                    return next->getAsLs(st.info);
                }
                st.stage = ipsEnd;
                return pointOf(*st.ve, true, st.info);
            }
            case avtParabola:
            case avtLs:
            case avtArc:
            case avtLsWithArc:
                st.stage = ipsVip;
                return st.ve->getAsLs(st.info);
            default:
                ReportAssertion(kSource, 157);
                return false;
        }
    }

    static void doPreIncStage(int& i, TIpStage& s) {
        if (s == ipsEnd) {
            s = ipsVip;
            ++i;
        } else {
            s = static_cast<TIpStage>(s + 1);
        }
    }

    static void doIncStage(int& i, TIpStage& s, const T& alnt) {
        doPreIncStage(i, s);
        const int count = alnt.getNumOfVes();
        if (i >= count || i < 0 || alnt.getVe(i) == nullptr) return;
        const CAlntVe* ve = alnt.getVe(i);
        if (s == ipsVip && ve->getType() == avtStraight) s = ipsEnd;
        if (s == ipsEnd && i + 1 < count && alnt.getVe(i + 1) != nullptr &&
            zel_math::isNearZero(alnt.getVe(i + 1)->getStartGrade() - ve->getEndGrade())) {
            s = ipsVip;
            ++i;
        }
    }

    const T& m_alnt;
    TStatus m_status;
};
